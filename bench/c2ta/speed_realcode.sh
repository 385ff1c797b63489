#!/usr/bin/env bash
# speed_realcode.sh [BUILD_DIR] [RUNS]: for every unit of lua5.4 and zlib, the
# time of `cc -fsyntax-only` beside the time of c2ta on the same unit with the
# same flags (from the source, and from the unit's preprocessed text), each the
# best of RUNS runs (default 3), in milliseconds; then the totals and the ratio.
# Last, per project, one `c2ta --batch` run over all units beside the sum of
# the compiler's times: it shows c2ta without libclang's start-up per unit.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
runs=${2:-3}
c2ta=$build/c2ta/c2ta
[ -x "$c2ta" ] || { echo "missing $c2ta: build first" >&2; exit 1; }
. "$here/projects.sh"
"$here/../fetch_sources.sh" "${project_names[@]}" > /dev/null || exit 1
sources=${HDRSLIM_CACHE:-$HOME/.cache/hdrslim}/sources
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# best_ms COMMAND...: the shortest wall time of RUNS runs, in milliseconds.
best_ms() {
    local best=-1 start end ms i
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        "$@" > /dev/null 2>&1
        end=$(date +%s%N)
        ms=$(((end - start) / 1000000))
        if [ "$best" -lt 0 ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}

printf '%-22s %10s %10s %10s %7s\n' unit cc_ms c2ta_ms c2ta_pp_ms ratio
total_cc=0
total_c2ta=0
total_pp=0
for project in "${project_names[@]}"; do
    configure_project "$project" "$sources/$project"
    cd "$sources/$project/${project_dirs[$project]}" || exit 1
    flags=${project_flags[$project]}
    for unit in ${project_units[$project]}; do
        cc -E $flags "$unit" > "$work/unit.cpp.c" 2>/dev/null
        cc_ms=$(best_ms cc -fsyntax-only $flags "$unit")
        c2ta_ms=$(best_ms "$c2ta" $flags "$unit")
        pp_ms=$(best_ms "$c2ta" $flags "$work/unit.cpp.c")
        total_cc=$((total_cc + cc_ms))
        total_c2ta=$((total_c2ta + c2ta_ms))
        total_pp=$((total_pp + pp_ms))
        printf '%-22s %10d %10d %10d %7s\n' "$project/$unit" "$cc_ms" "$c2ta_ms" "$pp_ms" \
            "$(awk -v a="$c2ta_ms" -v b="$cc_ms" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
    done
done
for project in "${project_names[@]}"; do
    cd "$sources/$project/${project_dirs[$project]}" || exit 1
    flags=${project_flags[$project]}
    units=$(echo ${project_units[$project]})
    project_cc=0
    for unit in $units; do
        project_cc=$((project_cc + $(best_ms cc -fsyntax-only $flags "$unit")))
    done
    batch_ms=$(best_ms "$c2ta" $flags --batch $units)
    for unit in $units; do rm -f "${unit%.c}.ta"; done
    printf '%-22s %10d %10d %10s %7s\n' "$project (--batch)" "$project_cc" "$batch_ms" - \
        "$(awk -v a="$batch_ms" -v b="$project_cc" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
done
printf '%-22s %10d %10d %10d %7s\n' total "$total_cc" "$total_c2ta" "$total_pp" \
    "$(awk -v a="$total_c2ta" -v b="$total_cc" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
echo "c2ta/cc from source: $(awk -v a="$total_c2ta" -v b="$total_cc" 'BEGIN { printf "%.2f", a / b }')," \
     "from preprocessed text: $(awk -v a="$total_pp" -v b="$total_cc" 'BEGIN { printf "%.2f", a / b }')"
