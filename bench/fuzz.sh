#!/usr/bin/env bash
# bench/fuzz.sh SECONDS: runs every libFuzzer target (TA reader, whole extractor,
# the restructurer's fact and line-marker readers, the driver's compile-database
# reader) from seeds made from the examples, all at once for SECONDS of wall time
# (so each gets its share of the cores), and prints the number of inputs each ran
# without a finding. Builds the fuzz tree (build-fuzz,
# clang-14) and the ordinary tree (build, for the seeds) first.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
seconds=${1:?usage: bench/fuzz.sh SECONDS}
ensure_packages "${HDRSLIM_PACKAGES[@]}" || exit 1
build_tree build || exit 1
CC=clang-14 CXX=clang++-14 build_tree build-fuzz -DHDRSLIM_FUZZ=ON || exit 1
fuzz/run_fuzzers.sh build-fuzz build -max_total_time="$seconds"
