#!/usr/bin/env bash
# bench/csmith.sh N: N random programs from csmith (seeds 1..N), each through
# `hdrslim run` twice: as a one-unit project, and split into two units sharing
# one header (bench/csmith_split.py). The check runs the rebuilt program and
# compares its checksum with the one the original program printed. Prints one
# line per program and the totals; exits 1 unless every run compiled and agreed.
# HDRSLIM_RUNS sets where the runs go (default: a temporary directory, removed).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
. "$root/scripts/setup.sh"
count=${1:?usage: bench/csmith.sh N}
ensure_packages "${HDRSLIM_PACKAGES[@]}" csmith libcsmith-dev python3 > /dev/null || exit 1
build_tree "$root/build" || exit 1
hdrslim=$root/build/driver/hdrslim

if [ -n "${HDRSLIM_RUNS:-}" ]; then
    work=$HDRSLIM_RUNS/csmith
    rm -rf "$work"
    mkdir -p "$work"
else
    work=$(mktemp -d /tmp/hdrslim-csmith-XXXXXX)
    trap 'rm -rf "$work"' EXIT
fi
cflags="-O1 -w -I/usr/include/csmith"

# run_project NAME DIR SOURCES EXPECTED: hdrslim on DIR, whose Makefile builds
# prog from SOURCES; "agrees" when hdrslim exits 0 (every unit restructured and
# compiled, prog made again, checksum the same).
run_project() {
    local name=$1 dir=$2 sources=$3 expected=$4
    printf 'prog: %s\n\tcc %s -o prog %s\n' "$sources" "$cflags" "$sources" > "$dir/Makefile"
    if "$hdrslim" run --quiet -j 2 --build make \
        --check "test \"\$(timeout 20 ./prog)\" = '$expected'" \
        --out "$work/out-$name" "$dir" > "$work/$name.log" 2>&1; then
        echo ok
    else
        echo "FAILED (see $work/$name.log)"
    fi
}

programs=0 skipped=0 one_ok=0 two_ok=0
for seed in $(seq 1 "$count"); do
    dir=$work/$seed
    mkdir -p "$dir/one" "$dir/two"
    (cd "$dir" && csmith --seed "$seed" > one/prog.c) # it leaves platform.info behind
    # The original's checksum; a program that does not finish in time is skipped.
    if ! cc $cflags -o "$dir/original" "$dir/one/prog.c" 2> "$dir/cc.log" ||
        ! expected=$(timeout 20 "$dir/original"); then
        echo "seed $seed: the original does not build or finish in time; skipped"
        skipped=$((skipped + 1))
        continue
    fi
    programs=$((programs + 1))
    python3 "$here/csmith_split.py" "$dir/one/prog.c" "$dir/two"
    one=$(run_project "$seed-one" "$dir/one" prog.c "$expected")
    two=$(run_project "$seed-two" "$dir/two" "a.c b.c" "$expected")
    [ "$one" = ok ] && one_ok=$((one_ok + 1))
    [ "$two" = ok ] && two_ok=$((two_ok + 1))
    echo "seed $seed ($expected): one unit $one; two units $two"
done
echo "programs: $programs (skipped $skipped); one unit: $one_ok agree; two units: $two_ok agree"
[ "$one_ok" -eq "$programs" ] && [ "$two_ok" -eq "$programs" ]
