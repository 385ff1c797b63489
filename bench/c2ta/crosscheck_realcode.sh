#!/usr/bin/env bash
# crosscheck_realcode.sh [BUILD_DIR]: runs c2ta and the extractor on every unit
# of lua5.4 and zlib (Debian source packages, fetched and cached by
# fetch_sources.sh), once from the sources and once from the compiler's
# preprocessed units, and holds the facts against Universal Ctags and GNU cflow
# with c2ta-crosscheck; what the tools find on lines that the compiler's
# preprocessed text does not hold is counted apart. Prints per project the
# number of units, facts and mismatches; the details go to
# crosscheck-details.txt in the work directory.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
c2ta=$build/c2ta/c2ta
extractor=$build/extractor/extractor
crosscheck=$build/bench/c2ta/c2ta-crosscheck
for tool in "$c2ta" "$extractor" "$crosscheck"; do
    [ -x "$tool" ] || { echo "missing $tool: build first" >&2; exit 1; }
done
. "$here/projects.sh"
"$here/../fetch_sources.sh" "${project_names[@]}" > /dev/null || exit 1
sources=${HDRSLIM_CACHE:-$HOME/.cache/hdrslim}/sources
work=$(mktemp -d)
details=$work/crosscheck-details.txt

for mode in source preprocessed; do
for project in "${project_names[@]}"; do
    configure_project "$project" "$sources/$project"
    dir=$sources/$project/${project_dirs[$project]}
    flags=${project_flags[$project]}
    summary=$work/$project.summary
    : > "$summary"
    failed=0
    units=0
    scope_mismatches=0
    cd "$dir" || exit 1
    for unit in ${project_units[$project]}; do
        units=$((units + 1))
        cc -E $flags "$unit" > "$work/unit.cpp.c" 2>/dev/null
        input=$unit
        [ "$mode" = preprocessed ] && input=$work/unit.cpp.c
        if ! "$c2ta" $flags "$input" > "$work/unit.ta" 2> "$work/unit.err"; then
            failed=$((failed + 1))
            { echo "$project/$unit ($mode): c2ta failed"; head -n 5 "$work/unit.err"; } >> "$details"
            continue
        fi
        # The scope files of the user's headers carry the names, and come in the
        # number, of the compiler's line markers.
        sed -n 's/^\$INSTANCE [0-9]* cScopeFile - { name = "\([^/"][^"]*\)".*/\1/p' "$work/unit.ta" |
            grep -vx "$unit" | sort > "$work/scopes.dump"
        sed -n 's/^# [0-9]* "\([^/<"][^"]*\)" 1.*/\1/p' "$work/unit.cpp.c" | sort > "$work/scopes.markers"
        if ! cmp -s "$work/scopes.dump" "$work/scopes.markers"; then
            scope_mismatches=$((scope_mismatches + 1))
            { echo "$project/$unit ($mode): scope files differ from the line markers";
              diff "$work/scopes.dump" "$work/scopes.markers" | head -n 5; } >> "$details"
        fi
        "$extractor" "$work/unit.ta" > "$work/unit.rsf"
        files=$(awk '$1 == "-1" && $3 !~ /^file:\// { sub(/^file:/, "", $3); print $3 }' "$work/unit.rsf" |
                sed 's/\.cpp\.c$/.c/' | sort -u)
        ctags -x --kinds-C=+px --_xformat='%K|%N|%n|%F|%s' -o - "$unit" $files > "$work/unit.tags" 2>/dev/null
        cflow -x -i +s -i +_ "$unit" > "$work/unit.cflow" 2>/dev/null
        "$crosscheck" "$project/$unit" "$work/unit.rsf" "$work/unit.tags" "$work/unit.cflow" "$work/unit.cpp.c" \
            "$unit" $files \
            > "$work/unit.check"
        head -n 1 "$work/unit.check" >> "$summary"
        tail -n +2 "$work/unit.check" | sed "s|^|$project/$unit ($mode)|" >> "$details"
    done
    awk -v project="$project ($mode)" -v units="$units" -v failed="$failed" -v scopes="$scope_mismatches" '
        { for (i = 2; i <= NF; i++) { split($i, kv, "="); sum[kv[1]] += kv[2] } }
        END {
            printf "%s: units=%d failed=%d units_with_other_scope_files=%d\n", project, units, failed, scopes
            printf "%s: node_facts=%d ctags_units=%d ctags_inactive=%d matched=%d exact_begin=%d kind_differs=%d ctags_misread=%d node_mismatches=%d cut_mismatches=%d\n",
                   project, sum["facts"], sum["ctags"], sum["ctags_inactive"], sum["matched"], sum["exact_begin"],
                   sum["kind_differs"], sum["ctags_misread"], sum["node_mismatches"], sum["cut_mismatches"]
            printf "%s: calls=%d calls_found=%d calls_inactive=%d calls_in_macros=%d calls_recursive=%d call_mismatches=%d extra_call_facts=%d\n",
                   project, sum["calls"], sum["calls_found"], sum["calls_inactive"], sum["calls_in_macros"], sum["calls_recursive"],
                   sum["call_mismatches"], sum["extra_calls"]
        }' "$summary"
done
done
echo "details: $details"
