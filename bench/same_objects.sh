#!/usr/bin/env bash
# same_objects.sh DIR: for a finished `hdrslim run --build` into DIR, compiles
# every compile command of the project's build three times (the original source,
# the rewritten source, the unit's lower bound) and tells whether the rewritten
# source and the lower bound give the same object as the original: the same
# defined symbols (type, binding, visibility, size) and the same machine code.
# Prints one line per object that differs and a summary; exit status 1 when any
# differs.
set -uo pipefail
[ $# -eq 1 ] || { echo "usage: bench/same_objects.sh HDRSLIM_OUTPUT_DIR" >&2; exit 2; }
out=$(cd "$1" && pwd)
db=$out/work/build-compile_commands.json
[ -f "$db" ] || { echo "same_objects: $db is missing (run hdrslim with --build)" >&2; exit 2; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

symbols() { readelf -sW "$1" | awk 'NF == 8 && $7 != "UND" && $4 != "FILE" && $4 != "SECTION" {print $3, $4, $5, $6, $8}' | sort; }
code() { objdump -d --no-show-raw-insn "$1" | sed -e '/file format/d' -e 's/^ *[0-9a-f]*://'; }
same() { cmp -s <(symbols "$1") <(symbols "$2") && cmp -s <(code "$1") <(code "$2"); }

# The lower bound of a source: the .bound.c whose first marker of the unit's own
# code names it.
bound_of() { grep -l -m1 "^# [0-9]* \"$1\"" "$out"/work/units/*.bound.c 2>/dev/null | head -n 1; }

total=0 after_same=0 bound_same=0 after_missing=0 bound_missing=0
n=$(jq length "$db")
for i in $(seq 0 $((n - 1))); do
    file=$(jq -r ".[$i].file" "$db")
    case $file in *.c) ;; *) continue ;; esac
    dir=$(jq -r ".[$i].directory" "$db")
    mapfile -t argv < <(jq -r ".[$i].arguments[]" "$db")
    flags=() bound_flags=() # the lower bound is preprocessed: no forced includes
    for ((k = 1; k < ${#argv[@]}; k++)); do
        case ${argv[k]} in
            -c) ;;
            -o | -MF | -MT | -MQ) ((k++)) ;;
            -MD | -MMD | -MP) ;;
            -include | -imacros) flags+=("${argv[k]}" "${argv[k + 1]}"); ((k++)) ;;
            -include* | -imacros*) flags+=("${argv[k]}") ;;
            *.c) ;;
            *) flags+=("${argv[k]}") bound_flags+=("${argv[k]}") ;;
        esac
    done
    (cd "$dir" && "${argv[0]}" "${flags[@]}" -c "$file" -o "$tmp/original.o" 2>/dev/null) || continue
    total=$((total + 1))
    rewritten=${file%.c}.cpp.new.c
    if [ -f "$rewritten" ] && (cd "$dir" && "${argv[0]}" "${flags[@]}" -c "$rewritten" -o "$tmp/after.o" 2>/dev/null); then
        if same "$tmp/original.o" "$tmp/after.o"; then after_same=$((after_same + 1)); else echo "after differs: $file ${flags[*]}"; fi
    else
        after_missing=$((after_missing + 1))
    fi
    bound=$(bound_of "$file")
    if [ -n "$bound" ] && (cd "$dir" && "${argv[0]}" "${bound_flags[@]}" -c "$bound" -o "$tmp/bound.o" 2>/dev/null); then
        if same "$tmp/original.o" "$tmp/bound.o"; then bound_same=$((bound_same + 1)); else echo "bound differs: $file ${flags[*]}"; fi
    else
        bound_missing=$((bound_missing + 1))
    fi
done
echo "objects: $total; same as the original: rewritten $after_same (missing $after_missing), lower bound $bound_same (missing $bound_missing)"
[ $after_same -eq $total ] && [ $bound_same -eq $total ]
