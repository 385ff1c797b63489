#!/usr/bin/env bash
# Builds and runs every test: once under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz targets for a few hundred inputs each,
# then in the ordinary build, whose ctest summary closes the output. Exits non-zero when anything fails.
set -uo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh

ensure_packages "${HDRSLIM_PACKAGES[@]}" || exit 1

status=0
echo "== sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer) =="
if build_tree build-asan -DHDRSLIM_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug; then
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j "$(nproc)" -LE slow || status=1
else
    echo "sanitizer build failed"
    status=1
fi

# Every fuzz target runs a short fixed number of inputs from seeds made with the
# sanitizer build's tools; bench/fuzz.sh runs them for longer.
echo "== fuzz targets (libFuzzer, 300 inputs each) =="
if [ -x build-asan/driver/hdrslim ] &&
    CC=clang-14 CXX=clang++-14 build_tree build-fuzz -DHDRSLIM_FUZZ=ON; then
    ASAN_OPTIONS=detect_leaks=1 fuzz/run_fuzzers.sh build-fuzz build-asan -runs=300 || status=1
else
    echo "fuzz build failed"
    status=1
fi

echo "== ordinary build =="
if build_tree build; then
    ctest --test-dir build --output-on-failure -j "$(nproc)" || status=1
else
    echo "build failed"
    status=1
fi
exit $status
