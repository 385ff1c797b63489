#!/usr/bin/env bash
# run_reduction.sh HDRSLIM CASE_DIR [OPTION]: runs hdrslim on one reduced project (a tiny
# C project whose Makefile makes ./prog) with its own build and `./prog` as the
# check, in a fresh temporary output directory, and fails unless hdrslim exits 0.
# A case may hold a file `build` (the build command, default `make`), a file
# `check` (the check command, default `./prog`), and an executable `prepare` run
# in the copied project before hdrslim (for links and modes that a repository
# cannot hold). OPTION (such as --form measured) is passed on to `hdrslim run`.
# Every unit's lower bound must compile with its flags and be counted.
# On failure the run's output and the tail of the report are printed.
set -uo pipefail
hdrslim=$1
case_dir=$(cd "$2" && pwd)
option=${3:-}
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT

build=make
check=./prog
[ -f "$case_dir/build" ] && build=$(cat "$case_dir/build")
[ -f "$case_dir/check" ] && check=$(cat "$case_dir/check")

# The case is copied first, so that the files describing the case are not part of
# the project and the project can be given modes or links by a `prepare` script.
mkdir "$tmp/project"
cp -a "$case_dir/." "$tmp/project/"
rm -f "$tmp/project/build" "$tmp/project/check" "$tmp/project/prepare"
if [ -x "$case_dir/prepare" ]; then
    (cd "$tmp/project" && "$case_dir/prepare") || { echo "prepare failed"; exit 1; }
fi

if "$hdrslim" run --quiet ${option:+$option} --build "$build" --check "$check" --out "$tmp/out" "$tmp/project" \
    > "$tmp/run.log" 2>&1; then
    # Every unit's lower bound compiles with the unit's own flags and is counted.
    uncounted=$(jq -r '.bound.not_counted[] | "\(.unit): \(.why) (\(.log))"' "$tmp/out/report.json")
    [ -z "$uncounted" ] && exit 0
    echo "lower bound not counted on $(basename "$case_dir"):"
    echo "$uncounted"
    for log in $(jq -r '.bound.not_counted[].log' "$tmp/out/report.json"); do
        [ -f "$log" ] && head -n 20 "$log"
    done
    exit 1
fi
echo "hdrslim failed on $(basename "$case_dir"):"
cat "$tmp/run.log"
[ -f "$tmp/out/report.md" ] && tail -n 40 "$tmp/out/report.md"
exit 1
