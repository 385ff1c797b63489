# Shared set-up for the two entry commands (./hdrslim and ./test.sh): installs the
# Debian packages the build needs when they are missing, then configures and builds.
# Sourced, not run.

# Packages the build and the tests need on a fresh Debian 12 machine.
# clang builds the end-to-end test of a clang-built project; clang-14 (with its
# libFuzzer runtime) builds the fuzz targets.
HDRSLIM_PACKAGES=(cmake ninja-build g++ clang make libgtest-dev libclang-14-dev nlohmann-json3-dev
                  bear universal-ctags cflow clang-14)

hdrslim_log() { printf 'hdrslim: %s\n' "$*" >&2; }

# Installs every package of the argument list that dpkg does not report installed.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    hdrslim_log "installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq >&2 &&
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >&2
}

# build_tree DIR [cmake options...]: configures DIR once with Ninja, then builds it.
# The build's own output is shown only when it fails.
build_tree() {
    local dir=$1 log
    shift
    mkdir -p "$dir"
    log="$dir/setup-build.log"
    if [ ! -f "$dir/build.ninja" ]; then
        hdrslim_log "building the tools in $dir (the first build takes a few minutes)"
        cmake -S "$HDRSLIM_ROOT" -B "$dir" -G Ninja "$@" > "$log" 2>&1 || { cat "$log" >&2; return 1; }
    fi
    cmake --build "$dir" -j "$(nproc)" > "$log" 2>&1 || { cat "$log" >&2; return 1; }
    if grep -q -E 'Building|Linking' "$log"; then
        hdrslim_log "built $dir"
    fi
}

HDRSLIM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
