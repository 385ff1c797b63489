#!/usr/bin/env bash
# scale.sh [BASE [BIG]]: the restructurer on synthetic projects shaped like large
# code bases (bench/restructurer/project_generator.h: every unit includes one
# umbrella header of 60 headers and 1,200 shared declarations). Runs BASE units
# (default 2500) times 1, 2, 4 and 8 (20,000 units by default), then BIG units
# when given and not already run, and prints for each the wall-clock and CPU
# seconds of the restructurer and its peak memory, taken from /usr/bin/time -v,
# with the CPU time per unit. Each project is generated under $TMPDIR (default
# /tmp) and removed after its run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${HDRSLIM_BUILD:-$root/build}
generator=$build/bench/restructurer/restructurer_synthetic_project
restructurer=$build/restructurer/restructurer
for tool in "$generator" "$restructurer"; do
    [ -x "$tool" ] || { echo "scale.sh: $tool not built" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "scale.sh: needs /usr/bin/time (Debian package time)" >&2; exit 1; }
base=${1:-2500}
big=${2:-}
sizes="$base $((2 * base)) $((4 * base)) $((8 * base))"
[ -z "$big" ] || [ "$big" = $((8 * base)) ] || sizes="$sizes $big"

printf '%8s %10s %12s %10s %10s %10s %12s\n' units facts lines wall_s cpu_s peak_MB ms_per_unit
for units in $sizes; do
    dir=$(mktemp -d "${TMPDIR:-/tmp}/hdrslim-scale-XXXXXX")
    summary=$("$generator" "$dir" "$units") || { rm -rf "$dir"; exit 1; }
    read -r _ _ _ _ _ facts _ lines _ <<< "$(echo "$summary" | tr -d ,)"
    mkdir "$dir/work"
    mapfile -t arguments < "$dir/arguments"
    (cd "$dir/work" && /usr/bin/time -v "$restructurer" "${arguments[@]}" > restructurer.log 2> time.log)
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {
        n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$dir/work/time.log")
    cpu=$(awk -F': ' '/User time/ {u = $2} /System time/ {s = $2} END {print u + s}' "$dir/work/time.log")
    peak=$(awk -F': ' '/Maximum resident set size/ {printf "%.0f", $2 / 1024}' "$dir/work/time.log")
    written=$(grep -c '^SIZE NODE' "$dir/work/restructurer.log")
    [ "$written" = "$units" ] || echo "scale.sh: only $written of $units units read" >&2
    printf '%8d %10d %12d %10.1f %10.1f %10d %12.2f\n' "$units" "$facts" "$lines" "$wall" "$cpu" \
        "$peak" "$(echo "1000 * $cpu / $units" | bc -l)"
    rm -rf "$dir"
done
