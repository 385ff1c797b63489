#!/usr/bin/env bash
# fetch_sources.sh [--upstream] PACKAGE...: fetches the Debian source packages
# named on the command line with `apt-get source`, through a deb-src list derived
# from the machine's own Debian sources, and unpacks each once under
# ~/.cache/hdrslim/sources/PACKAGE (with --upstream: sources-upstream/PACKAGE,
# without Debian's patches, so that the project's own build system is the one its
# authors ship). Prints the source directory of every package, one a line.
# Nothing is written into the repository.
set -euo pipefail

upstream=false
if [ "${1:-}" = --upstream ]; then
    upstream=true
    shift
fi

cache=${HDRSLIM_CACHE:-$HOME/.cache/hdrslim}
apt_dir=$cache/apt
sources=$cache/sources
$upstream && sources=$cache/sources-upstream
mkdir -p "$apt_dir/lists/partial" "$sources"

# deb-src entries for the same archives as the binary packages.
src_list=$apt_dir/debian-src.sources
if [ ! -s "$src_list" ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$src_list"
fi
apt_options=(-o "APT::Sandbox::User=root" -o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/parts"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache::archives=$apt_dir/archives")
mkdir -p "$apt_dir/parts" "$apt_dir/archives/partial"
cp "$src_list" "$apt_dir/parts/debian-src.sources"

updated=$apt_dir/updated
for package in "$@"; do
    target=$sources/$package
    if [ ! -d "$target" ]; then
        if [ ! -e "$updated" ]; then
            apt-get "${apt_options[@]}" update -qq >&2
            touch "$updated"
        fi
        work=$(mktemp -d "$sources/.fetch-XXXXXX")
        # The newest version may sit in an archive that does not serve it; then
        # take the one of each release suite in turn.
        fetched=false
        for request in "$package" $(sed -n 's/^Suites: *//p' "$src_list" | tr ' ' '\n' | sed "s|^|$package/|"); do
            if (cd "$work" && apt-get "${apt_options[@]}" source -qq $($upstream && echo --download-only) "$request" >&2 &&
                { ! $upstream || dpkg-source --skip-patches -x ./*.dsc >&2; }); then
                fetched=true
                break
            fi
            rm -rf "${work:?}"/*
        done
        $fetched || { echo "fetch_sources: cannot fetch $package" >&2; exit 1; }
        unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
        [ -n "$unpacked" ] || { echo "fetch_sources: no source tree for $package" >&2; exit 1; }
        mv "$unpacked" "$target"
        rm -rf "$work"
    fi
    echo "$target"
done
