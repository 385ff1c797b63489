#!/usr/bin/env bash
# End-to-end check on the example project: every unit is preprocessed with the
# real compiler, its facts are produced by c2ta and the extractor, the
# restructurer writes the new tree, and the tree must build with Makefile.gen,
# print exactly what the original program prints, and preprocess to fewer
# lines and bytes than the original sources.
#
# usage: shop_end_to_end.sh C2TA EXTRACTOR RESTRUCTURER EXAMPLE_DIR
set -euo pipefail
c2ta=$1 extractor=$2 restructurer=$3 example=$4

# Absolute paths throughout: the facts and line markers name files by the
# paths the compiler saw, and the restructurer resolves them from its working
# directory. The directory name holds no ".c", which the extractor would
# rewrite as a source-file name.
work=$(mktemp -d /tmp/shop_e2e_XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$example/." "$work"
here=$(cd "$(dirname "$0")" && pwd)
cd "$work"

fail() { echo "FAIL: $*"; exit 1; }

. "$here/shop_chain.sh"
shop_chain "$work" "$c2ta" "$extractor"

"$restructurer" -I"$work/include" -M"$work" "${facts[@]}" > restructurer.log 2> restructurer.err
[ "$(grep -c '^SIZE NODE : [1-9]' restructurer.log)" = 5 ] || fail "not every unit was read"

make -s shop > /dev/null || fail "original build"
./shop > original.out
make -s -f Makefile.gen > build.log 2>&1 || { cat build.log; fail "restructured tree does not build"; }
./prog > restructured.out
cmp original.out restructured.out || { diff original.out restructured.out; fail "output differs"; }

# The shape of the tree: version.h serves main.c only, so its structure is
# expanded into main's source and into no header; the item types are shared
# by both modules and live in a numbered header under include.new/.
grep -q '^struct version {' main.cpp.new.c || fail "struct version not expanded in main"
! grep -q '^struct version {' include.new/*.h */include.new/*.h 2>/dev/null ||
    fail "struct version written into a header"
grep -l '^struct item {' include.new/[0-9]*.h > /dev/null || fail "struct item not in a shared header"
for s in main store/item store/stock report/report report/format; do
    [ -s "$s.cpp.new.c" ] || fail "$s.cpp.new.c missing"
    ! grep -q '#include "\(common\|item\|report\|version\)\.h"' "$s.cpp.new.c" ||
        fail "$s.cpp.new.c includes an original header"
done

# Every line marker points at the line its text comes from: a message about the
# first line after `# N "file"` names line N of that file, which must hold that
# line. The text is preprocessed (macros expanded) and a statement begun on an
# earlier line (`static` on its own) is joined in front, so the first two words
# of the named line (up to any other sign) must appear in the text's first line. Only the project's
# files are compared.
markers_checked=0
while read -r generated; do
    while IFS=$'\t' read -r line file text; do
        [ -f "$file" ] || fail "$generated: a marker names $file, which does not exist"
        case "$file" in "$work"/*) ;; *) continue ;; esac
        want=$(sed -n "${line}p" "$file" | tr -s ' \t' '  ' | sed 's/^ //; s/[^A-Za-z0-9_* ].*//' |
            cut -d' ' -f1-2)
        case "$text" in
            *"$want"*) markers_checked=$((markers_checked + 1)) ;;
            *) fail "$generated: the marker for line $line of $file is followed by '$text'" \
                    "where that line holds '$want'" ;;
        esac
    done < <(awk '/^# [0-9]+ "/ { split($0, q, "\""); n = $2; f = q[2]; marked = 1; next }
                  marked { t = $0; gsub(/[ \t]+/, " ", t); sub(/^ /, "", t); sub(/ $/, "", t);
                           printf "%s\t%s\t%s\n", n, f, t; marked = 0 }' "$generated")
done < <(find . -name '*.cpp.new.c' -o -path '*include.new/*.h')
[ "$markers_checked" -gt 20 ] || fail "only $markers_checked line markers checked"

# Sizes: the new sources against the original ones, preprocessed the same way.
make -s -f Makefile.gen measure > /dev/null || fail "measure target"
read -r new_lines _ new_bytes _ < <(tail -n 1 measure)
mkdir original
for u in $units; do cc -E -P -I"$work/include" "$u.c" > "original/${u//\//_}.all"; done
read -r old_lines _ old_bytes _ < <(cat original/*.all | wc)
echo "preprocessed lines: $old_lines -> $new_lines, bytes: $old_bytes -> $new_bytes"
[ "$new_lines" -lt "$old_lines" ] || fail "no fewer preprocessed lines"
[ "$new_bytes" -lt "$old_bytes" ] || fail "no fewer preprocessed bytes"
# "-c": each unit reduced on its own (only the units that survived cleaning,
# headers expanded) must still compile and link into the same program.
"$restructurer" -c -I"$work/include" -M"$work" "${facts[@]}" > reduce.log 2>&1
objects=()
for u in $units; do
    cc -c -o "$u.reduced.o" "$u.cpp.new.c" || fail "reduced copy of $u does not compile"
    objects+=("$u.reduced.o")
done
cc -o reduced "${objects[@]}" || fail "reduced copies do not link"
./reduced | cmp - original.out || fail "reduced program output differs"

# A generated file that cannot be written fails the run, naming the file.
rm -f Makefile.gen && mkdir Makefile.gen
if "$restructurer" -I"$work/include" -M"$work" "${facts[@]}" > lost.log 2> lost.err; then
    fail "a lost Makefile.gen went unnoticed"
fi
grep -q "Makefile.gen" lost.err || { cat lost.err; fail "the lost file is not named"; }
echo "PASS"
