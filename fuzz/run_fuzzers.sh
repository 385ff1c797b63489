#!/usr/bin/env bash
# run_fuzzers.sh FUZZ_BUILD TOOLS_BUILD LIMIT
#   LIMIT: -runs=N (a fixed number of inputs per target) or -max_total_time=S
# Makes the seed corpora from the bundled examples (hdrslim with the tools of
# TOOLS_BUILD on examples/shop gives TA dumps, fact files, preprocessed sources
# and a compile database; examples/hello adds its TA dump), then runs every fuzz
# target of FUZZ_BUILD from its seeds with the given limit, all at once (each its
# own process, so that a time limit is the wall time of the whole run).
# Prints one line per target with the number of inputs run; exits 1 when a target
# finds a fault (the input that shows it is kept and named).
set -uo pipefail
fuzz_build=$(cd "$1" && pwd)
tools_build=$(cd "$2" && pwd)
limit=$3
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/hdrslim-fuzz-run-XXXXXX)
keep=0
trap '[ $keep = 1 ] || rm -rf "$work"' EXIT

# The seeds' file names must exist while the targets run: the fact files and
# line markers name the sources of the example's copy.
cp -r "$root/examples/shop" "$work/shop"
if ! "$tools_build/driver/hdrslim" run --quiet --build make --out "$work/shop-out" "$work/shop" \
    > "$work/seed-run.log" 2>&1; then
    echo "run_fuzzers: hdrslim failed on the example; the seeds cannot be made" >&2
    cat "$work/seed-run.log" >&2
    exit 1
fi
tree=$work/shop-out/tree
mkdir -p "$work"/seeds/{ta,facts,markers,db}
cp "$root/examples/hello/hello.ta" "$work/seeds/ta/"
n=0
while IFS= read -r ta; do
    n=$((n + 1))
    stem=${ta%.ta}
    cp "$ta" "$work/seeds/ta/shop$n.ta"
    cp "$stem.rsf" "$work/seeds/facts/shop$n.rsf"
    { cat "$stem.rsf"; echo "@@@@"; cat "$stem.cpp.c"; } > "$work/seeds/markers/shop$n"
done < <(find "$tree" -name '*.ta' | sort)
cp "$work/shop-out/work/build-compile_commands.json" "$work/seeds/db/arguments.json"
cat > "$work/seeds/db/command.json" <<JSON
[{"directory": "$tree", "file": "main.c",
  "command": "cc -Iinclude -Wp,-MD,'$tree/m d.d' -DNAME=\"x y\" -c -o main.o main.c"},
 {"directory": "$tree/store", "file": "$tree/store/item.c", "output": "item.o",
  "arguments": ["gcc", "-I../include", "-MMD", "-MF", "item.d", "-c", "item.c"]}]
JSON

status=0
export TMPDIR=$work # the targets' scratch files go with the rest
# run_target TARGET SEEDS [OPTIONS]: runs one target and writes its line (and,
# on a finding, the lines that show it) to TARGET.result; exits 1 on a finding.
run_target() {
    local target=$1 seeds=$2 log result
    shift 2
    mkdir -p "$work/corpus/$target"
    log=$work/$target.log
    result=$work/$target.result
    "$fuzz_build/fuzz/$target" "$limit" -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 "$@" \
        -artifact_prefix="$work/$target-" "$work/corpus/$target" "$work/seeds/$seeds" \
        > "$log" 2>&1
    local rc=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    if [ $rc -eq 0 ]; then
        printf '%-20s %12s executions, no finding\n' "$target" "${runs:-?}" > "$result"
        return 0
    fi
    {
        printf '%-20s FOUND A FAULT after %s executions; log: %s\n' "$target" "${runs:-?}" "$log"
        grep -m 5 -E 'ERROR|SUMMARY|runtime error' "$log"
        ls "$work/$target-"* 2> /dev/null
    } > "$result"
    return 1
}
targets=(fuzz_ta_reader fuzz_extractor fuzz_fact_reader fuzz_line_markers fuzz_compile_db)
pids=()
run_target fuzz_ta_reader ta & pids+=($!)
run_target fuzz_extractor ta & pids+=($!)
# The restructurer keeps every node it makes until it exits, so each input would
# look like a leak and start a full leak scan: leak detection is off for it.
run_target fuzz_fact_reader facts -detect_leaks=0 & pids+=($!)
run_target fuzz_line_markers markers -detect_leaks=0 & pids+=($!)
run_target fuzz_compile_db db & pids+=($!)
for pid in "${pids[@]}"; do
    wait "$pid" || { status=1; keep=1; }
done
for target in "${targets[@]}"; do
    cat "$work/$target.result" 2> /dev/null || { echo "$target: no result"; status=1; keep=1; }
done
[ $keep = 1 ] && echo "run_fuzzers: kept $work"
exit $status
