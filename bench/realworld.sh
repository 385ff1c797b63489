#!/usr/bin/env bash
# realworld.sh PKG...: runs hdrslim on real C projects. Each PKG is a Debian source
# package, fetched at run time without Debian's patches (bench/fetch_sources.sh;
# cached under ~/.cache/hdrslim, nothing is committed), built with its own build
# system and checked with its own tests. Prints one line per project, then the time
# of each phase beside the project's own full build.
#
# Known projects: lua5.4 (check: bench/realworld/check.lua through the built
# interpreter, same output as the original build), zlib (check: make test) and vim
# (check: the built editor writes a computed list).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
. "$root/scripts/setup.sh"
# libncurses-dev: vim's configure needs a terminal library.
ensure_packages "${HDRSLIM_PACKAGES[@]}" jq bc libncurses-dev >/dev/null || exit 1
build_tree "$root/build" || exit 1

[ $# -gt 0 ] || { echo "usage: bench/realworld.sh PKG..." >&2; exit 2; }
cache=${HDRSLIM_CACHE:-$HOME/.cache/hdrslim}
# Where the runs go; set HDRSLIM_RUNS to keep two checkouts' runs apart.
runs=${HDRSLIM_RUNS:-$cache/runs}
mkdir -p "$runs"

build_of() {
    case $1 in
        lua5.4) echo "make" ;;
        zlib) echo "./configure && make" ;;
        vim) echo "./configure --with-features=huge --enable-gui=no --without-x --disable-nls && make -j2" ;;
        *) echo "" ;;
    esac
}
check_of() {
    case $1 in
        lua5.4) echo "src/lua $here/realworld/check.lua" ;;
        zlib) echo "make test" ;;
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

status=0
lines=()
phases=()
for pkg in "$@"; do
    build=$(build_of "$pkg")
    [ -n "$build" ] || { echo "realworld: no build command known for $pkg" >&2; status=1; continue; }
    src=$("$here/fetch_sources.sh" --upstream "$pkg" | tail -n 1) || { status=1; continue; }
    out=$runs/$pkg
    start=$(date +%s.%N)
    "$root/build/driver/hdrslim" run --quiet --build "$build" --check "$(check_of "$pkg")" \
        --out "$out" "$src" > "$runs/$pkg.txt" 2>&1 || status=1
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
          .total.lines_before, .total.lines_after] | @tsv' "$report")")
    own=$(own_build_seconds "$src" "$build")
    phases+=("$pkg: $(jq -r '[.phases[] | "\(.phase) \(.seconds * 100 | round / 100)s"] | join(", ")' "$report"); whole run ${whole%.*}s; the project's own full build ${own}s")
done

printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' project units restructured compiled programs check \
    lines_before lines_after
for line in "${lines[@]}"; do echo "$line"; done
echo
for line in "${phases[@]}"; do echo "$line"; done
exit $status
