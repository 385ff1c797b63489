#!/usr/bin/env bash
# Builds and runs every test: once under AddressSanitizer and
# UndefinedBehaviorSanitizer, then in the ordinary build, whose ctest summary
# closes the output. Exits non-zero when anything fails.
#
#   ./test.sh                 everything (what CI runs)
#   ./test.sh --quick         the ordinary build only, no sanitizer tree
#   ./test.sh [--quick] -R RE only the tests whose names match RE (ctest's -R)
set -uo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh

quick=false
filter=()
while [ $# -gt 0 ]; do
    case $1 in
        --quick) quick=true ;;
        -R) [ $# -ge 2 ] || { echo "test.sh: -R needs a pattern" >&2; exit 2; }
            filter=(-R "$2"); shift ;;
        -h|--help) sed -n '2,8s/^# \{0,1\}//p' "$0"; exit 0 ;;
        *) echo "test.sh: unknown option $1 (see ./test.sh --help)" >&2; exit 2 ;;
    esac
    shift
done

ensure_packages "${HDRSLIM_PACKAGES[@]}" || exit 1

status=0
if ! $quick; then
    echo "== sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer) =="
    if build_tree build-asan -DHDRSLIM_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug; then
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
            ctest --test-dir build-asan --output-on-failure -j "$(nproc)" "${filter[@]}" || status=1
    else
        echo "sanitizer build failed"
        status=1
    fi
fi

echo "== ordinary build =="
if build_tree build; then
    ctest --test-dir build --output-on-failure -j "$(nproc)" "${filter[@]}" || status=1
else
    echo "build failed"
    status=1
fi
exit $status
