# Shared by the example's end-to-end and golden tests; sourced, not run.
# shop_chain WORK C2TA EXTRACTOR: preprocesses every unit of the example copied
# into WORK, writes its TA dump and its facts beside it, and sets `units`,
# `flags` and `facts` (the fact files, in the order the restructurer takes them).
shop_chain() {
    local work=$1 c2ta=$2 extractor=$3 u
    units="main store/item store/stock report/report report/format"
    flags="-O1 -Wall -I$work/include"
    facts=()
    for u in $units; do
        cc -E $flags "$work/$u.c" > "$work/$u.cpp.c"
        "$c2ta" "$work/$u.cpp.c" > "$work/$u.ta" || { echo "FAIL: c2ta on $u"; return 1; }
        "$extractor" "$work/$u.ta" > "$work/$u.rsf" || { echo "FAIL: extractor on $u"; return 1; }
        facts+=("$work/$u.rsf")
    done
}
