#!/usr/bin/env bash
# Golden test of the restructurer's main output on the example project: the new
# headers, the rewritten sources and Makefile.gen, with the temporary directory's
# path replaced by "@SHOP@", must equal the files under golden/shop/.
#
# After an intended change of the output, refresh the goldens with
#   UPDATE_GOLDEN=1 ctest --test-dir build -R Golden
# and review the difference with `git diff tests/restructurer/golden/shop`.
#
# usage: shop_golden.sh C2TA EXTRACTOR RESTRUCTURER EXAMPLE_DIR
set -euo pipefail
c2ta=$1 extractor=$2 restructurer=$3 example=$4
here=$(cd "$(dirname "$0")" && pwd)
golden=$here/golden/shop

work=$(mktemp -d /tmp/shop_golden_XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$example/." "$work"
cd "$work"
. "$here/shop_chain.sh"
shop_chain "$work" "$c2ta" "$extractor"
"$restructurer" -I"$work/include" -M"$work" "${facts[@]}" > restructurer.log 2>&1

# The generated files, relative to the example's top, with the path made neutral.
actual=$work/.actual
mkdir "$actual"
while IFS= read -r file; do
    mkdir -p "$actual/$(dirname "$file")"
    sed "s|$work|@SHOP@|g" "$file" > "$actual/$file"
done < <(find . -path ./.actual -prune -o -type f \( -name '*.cpp.new.c' -o -name Makefile.gen \
              -o -path '*/include.new/*' \) -print | sed 's|^\./||' | LC_ALL=C sort)

if [ "${UPDATE_GOLDEN:-}" = 1 ]; then
    find "$golden" -mindepth 1 ! -name README.md -delete 2>/dev/null || true
    mkdir -p "$golden"
    cp -r "$actual/." "$golden/"
    echo "golden files updated in $golden"
    exit 0
fi
if ! diff -r -u --exclude=README.md "$golden" "$actual"; then
    echo "FAIL: the generated tree differs from $golden (UPDATE_GOLDEN=1 refreshes it after an intended change)"
    exit 1
fi
echo "PASS"
