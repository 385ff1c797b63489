#!/usr/bin/env bash
# realworld.sh PKG...: runs hdrslim on real C projects. Each PKG is a Debian source
# package, fetched at run time without Debian's patches (bench/fetch_sources.sh;
# cached under ~/.cache/hdrslim, nothing is committed), built with its own build
# system and checked with its own tests. Prints one line per project, then per
# project the time of each phase, and hdrslim's own work (everything but the
# project's build and check commands) beside the project's plain build, measured
# in the same run without bear, with their ratio.
#
# Known projects, each checked by its own means (same output before and after):
#   lua5.4      make; bench/realworld/check.lua through the built interpreter
#   zlib        ./configure && make; make test
#   zstd-cmake  zstd's CMake build (build/cmake), build folder inside the
#               project; the same check as zstd
#   jq          autotools from the repository's files (autoreconf -i; Debian's
#               upstream tarball ships no configure); jq's own test file
#   sqlite3     autotools; the shell built from the generated amalgamation runs
#               bench/realworld/check.sql
#   zstd        make -C lib libzstd.a && make -C programs zstd; round trips and
#               fixed-level outputs (bench/realworld/check-zstd.sh)
#   vim         ./configure (huge features, no GUI, no X, no NLS) && make -j2;
#               the built editor computes a list and writes it to a file
#
# With --table only the summary table is printed (one row a project: units,
# restructured, compiled, programs made again, check, preprocessed lines before
# and after), aligned for reading.
# Beside the lines before and after, each line gives the lower bound (the lines
# of the units' smallest texts, over the units whose bound compiled), after ÷
# bound over those units, and the project headers a unit reads on average
# before -> project or generated headers after.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
. "$root/scripts/setup.sh"
# What the projects' builds need beside the tools: autotools for jq, tclsh for
# sqlite3's amalgamation, a terminal library for vim.
ensure_packages "${HDRSLIM_PACKAGES[@]}" jq bc autoconf automake libtool tcl libncurses-dev >/dev/null || exit 1
build_tree "$root/build" || exit 1

table_only=false
if [ "${1:-}" = --table ]; then
    table_only=true
    shift
fi
[ $# -gt 0 ] || { echo "usage: bench/realworld.sh [--table] PKG..." >&2; exit 2; }
cache=${HDRSLIM_CACHE:-$HOME/.cache/hdrslim}
# Where the runs go; set HDRSLIM_RUNS to keep two checkouts' runs apart.
runs=${HDRSLIM_RUNS:-$cache/runs}
mkdir -p "$runs"

# The Debian source package a project is built from.
source_of() {
    case $1 in
        zstd-cmake) echo zstd ;;
        *) echo "$1" ;;
    esac
}
build_of() {
    case $1 in
        lua5.4) echo "make" ;;
        zlib) echo "./configure && make" ;;
        zstd-cmake) echo "cmake -S build/cmake -B cmbuild -DZSTD_BUILD_SHARED=OFF && cmake --build cmbuild" ;;
        jq) echo "autoreconf -i && ./configure --disable-docs --disable-maintainer-mode --without-oniguruma && make" ;;
        sqlite3) echo "./configure --disable-tcl && make sqlite3" ;;
        zstd) echo "make -C lib libzstd.a && make -C programs zstd" ;;
        vim) echo "./configure --with-features=huge --enable-gui=no --without-x --disable-nls && make -j2" ;;
        *) echo "" ;;
    esac
}
check_of() {
    case $1 in
        lua5.4) echo "src/lua $here/realworld/check.lua" ;;
        zlib) echo "make test" ;;
        zstd-cmake) echo "sh $here/realworld/check-zstd.sh cmbuild/programs/zstd" ;;
        jq) echo "./jq -L tests/modules --run-tests tests/jq.test" ;;
        sqlite3) echo "./sqlite3 < $here/realworld/check.sql" ;;
        zstd) echo "sh $here/realworld/check-zstd.sh programs/zstd" ;;
        # The built editor computes a list and writes it to a file.
        vim) echo "./src/vim -u NONE -i NONE -es -N -c \"call writefile([string(map(range(5), 'v:val*v:val'))], 'vimout.txt')\" -c 'qa!' ; grep -q '0, 1, 4, 9, 16' vimout.txt" ;;
        *) echo "" ;;
    esac
}

# The project's own full build, timed without any tool around it.
own_build_seconds() {
    local src=$1 build=$2 tmp
    tmp=$(mktemp -d)
    cp -a "$src/." "$tmp/"
    local start end
    start=$(date +%s.%N)
    (cd "$tmp" && sh -c "$build" >/dev/null 2>&1)
    end=$(date +%s.%N)
    rm -rf "$tmp"
    printf "%.2f" "$(echo "$end - $start" | bc)"
}

# Every run also writes, builds and checks the source form (hdrslim's default;
# HDRSLIM_FORM=measured asks for the measured form alone); this prints its proof:
# its build and check, whether hdrslim.patch applies to a fresh copy with git
# apply (and patch -p1 makes the same tree) and that copy builds and passes the
# check, its project-header lines beside the measured form's (and the units above
# the measured form's plus 10%), and the new files that hold a line marker or a
# name reserved for the implementation (__x, _X) that the project never writes
# (or __attribute__, which may be the project's own text).
source_form_proof() {
    local pkg=$1 src=$2 out=$3 build=$4 sf=$3/source_form.json
    [ -f "$sf" ] || { echo "$pkg source form: none written"; return 1; }
    local applies=no patches=no checks=no tmp tmp2 marks attrs
    tmp=$(mktemp -d)
    tmp2=$(mktemp -d)
    cp -a "$src/." "$tmp/"
    cp -a "$src/." "$tmp2/"
    (cd "$tmp" && git apply "$out/hdrslim.patch") && applies=yes
    # patch(1) must make the same tree as git apply.
    (cd "$tmp2" && patch -p1 -s < "$out/hdrslim.patch" >/dev/null) && diff -r "$tmp" "$tmp2" >/dev/null &&
        patches=yes
    rm -rf "$tmp2"
    [ $applies = yes ] && (cd "$tmp" && sh -c "$build" >/dev/null 2>&1 &&
        sh -c "$(check_of "$pkg")" >/dev/null 2>&1) && checks=yes
    rm -rf "$tmp"
    # System internals: names reserved for the implementation (__x, _X) that no
    # file of the project writes itself, so the text came from a system header.
    local written
    written=$(mktemp)
    grep -rhoE --include='*.[ch]' --include='*.in' '(^|[^A-Za-z0-9_])_[_A-Z][A-Za-z0-9_]*' "$src" |
        sed 's/^[^_]*//' | sort -u > "$written"
    marks=$(cd "$out/source" && jq -r '.new_headers[]' "$sf" | while read -r f; do
        if grep -qE '^#[[:space:]]*(line[[:space:]]+)?[0-9]+[[:space:]]+"' "$f" ||
            grep -oE '(^|[^A-Za-z0-9_])_[_A-Z][A-Za-z0-9_]*' "$f" | sed 's/^[^_]*//' | sort -u |
            comm -23 - "$written" | grep -q .; then echo "$f"; fi
    done | tr '\n' ' ')
    rm -f "$written"
    attrs=$(cd "$out/source" && jq -r '.new_headers[]' "$sf" | xargs -r grep -l '__attribute__' | tr '\n' ' ')
    echo "$pkg source form: build $(jq -r .build "$sf"), check $(jq -r .check "$sf");" \
        "patch applies: $applies (patch -p1: $patches), patched copy builds and checks: $checks;" \
        "project-header lines $(jq .total.project_source "$sf") (measured form $(jq .total.project_measured "$sf"), before $(jq .total.project_before "$sf"));" \
        "new files with line markers or system-reserved names the project never writes: ${marks:-none};" \
        "with __attribute__ (the project's own text or not): ${attrs:-none}"
    # Project-header text per unit: at most the measured form's plus 10%.
    echo "$pkg source form: units whose project-header lines exceed the measured form's by more than 10%:" \
        "$(jq -r '[.units[] | select(.measured and .project_source * 10 > .project_measured * 11) |
            "\(.name) (\(.project_source) > \(.project_measured))"] | if length == 0 then "none" else join(", ") end' "$sf")"
}

# The phases the project's own commands take: its build (under bear) and its
# check, before and after restructuring and on the source form.
project_phases='["build", "rebuild", "check before", "check after", "build source form", "check source form"]'

# One project's phase times, then hdrslim's own work (the whole run without the
# phases of the project's commands) beside the project's plain build of the
# same run (own_build_seconds: no bear, a fresh copy) and their ratio.
phase_table() {
    local pkg=$1 report=$2 whole=$3 plain=$4 commands work
    commands=$(jq --argjson p "$project_phases" '[.phases[] | select(.phase as $n | $p | index($n)) | .seconds] | add // 0' "$report")
    work=$(echo "$whole - $commands" | bc)
    echo "$pkg phases:"
    jq -r --argjson p "$project_phases" '.phases[] | "  \(.phase)\t\(.seconds * 100 | round / 100)\t" +
        (if (.phase as $n | $p | index($n)) then "(the project'"'"'s command)" else "" end)' "$report"
    printf '  whole run\t%.2f\t\n' "$whole"
    printf "  hdrslim's own work\t%.2f\t(the whole run without the project's commands)\n" "$work"
    printf "  plain build\t%.2f\t(the project's build alone, without bear)\n" "$plain"
    printf '  own work / plain build\t%.2f\t\n' "$(echo "$work / $plain" | bc -l)"
}

status=0
lines=()
proofs=()
phases=()
for pkg in "$@"; do
    build=$(build_of "$pkg")
    [ -n "$build" ] || { echo "realworld: no build command known for $pkg" >&2; status=1; continue; }
    src=$("$here/fetch_sources.sh" --upstream "$(source_of "$pkg")" | tail -n 1) || { status=1; continue; }
    out=$runs/$pkg
    start=$(date +%s.%N)
    "$root/build/driver/hdrslim" run --quiet --build "$build" --check "$(check_of "$pkg")" \
        ${HDRSLIM_FORM:+--form "$HDRSLIM_FORM"} --out "$out" "$src" > "$runs/$pkg.txt" 2>&1 || status=1
    whole=$(echo "$(date +%s.%N) - $start" | bc)
    report=$out/report.json
    if [ ! -f "$report" ]; then
        echo "realworld: $pkg: no report; see $runs/$pkg.txt" >&2
        status=1
        continue
    fi
    check=no
    [ "$(jq -r '.check.after' "$report")" = passed ] && [ "$(jq -r '.check.same_output' "$report")" = true ] &&
        check=yes
    lines+=("$(jq -r --arg check "$check" --arg pkg "$pkg" \
        '[$pkg, .total.units, .total.restructured, .total.compiled,
          "\(.links.succeeded)/\(.links.steps)", $check,
          .total.lines_before, .total.lines_after,
          .bound.total.lines_bound,
          (if .bound.total.after_over_bound == null then "-"
           else (.bound.total.after_over_bound * 100 | round / 100) end),
          "\(.bound.total.units)/\(.total.units)",
          ((.coupling.headers_read_per_unit_before * 10 | round / 10) | tostring) + " -> " +
          ((.coupling.headers_read_per_unit_after * 10 | round / 10) | tostring)] | @tsv' "$report")")
    [ "${HDRSLIM_FORM:-source}" = source ] && proofs+=("$(source_form_proof "$pkg" "$src" "$out" "$build")")
    $table_only && continue
    own=$(own_build_seconds "$src" "$build")
    phases+=("$(phase_table "$pkg" "$report" "$whole" "$own")")
done

summary() {
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' project units restructured \
        compiled programs check lines_before lines_after lines_bound after/bound bound_units \
        headers_read
    for line in "${lines[@]}"; do echo "$line"; done
}
if $table_only; then
    summary | column -t -s "$(printf '\t')"
    for proof in "${proofs[@]}"; do echo "$proof"; done
    exit $status
fi
summary
for proof in "${proofs[@]}"; do echo "$proof"; done
echo
for table in "${phases[@]}"; do echo "$table" | column -t -s "$(printf '\t')"; done
exit $status
