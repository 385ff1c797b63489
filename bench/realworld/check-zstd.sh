#!/bin/sh
# check-zstd.sh ZSTD: round trips through the built zstd at several levels and
# prints the size and checksum of the fixed-level outputs, which must not change
# when zstd is rebuilt from restructured sources. Inputs are files of zstd's own
# source tree, read from the current directory, that restructuring leaves alone
# (a rewritten .c file would make the outputs differ for no fault).
set -e
zstd=$1
for input in lib/zstd.h doc/zstd_compression_format.md README.md; do
    for level in 1 3 9 19; do
        "$zstd" -q -c -$level "$input" > check.zst
        "$zstd" -q -d -c check.zst | cmp - "$input"
        echo "$input -$level $(wc -c < check.zst) $(cksum < check.zst)"
    done
done
"$zstd" -q -c --ultra -22 --long=20 lib/zstd.h | "$zstd" -q -d -c --long=20 | cmp - lib/zstd.h
rm -f check.zst
echo "round trips passed"
