# Sourced by the real-code scripts: the two projects, where their units are,
# and the flags of their own builds (Lua's "linux-noreadline" target, zlib's
# configure on Linux).
project_names=(lua5.4 zlib)
declare -A project_units=(
    [lua5.4]="*.c"
    [zlib]="*.c test/*.c"
)
declare -A project_dirs=(
    [lua5.4]="src"
    [zlib]="."
)
declare -A project_flags=(
    [lua5.4]="-std=gnu99 -O2 -Wall -Wextra -DLUA_COMPAT_5_3 -DLUA_USE_LINUX"
    [zlib]="-O2 -D_LARGEFILE64_SOURCE=1 -DHAVE_HIDDEN -I."
)

# What each project's own configure step writes before the build (Debian's
# rules for lua5.4 generate the multiarch header).
configure_project() {
    local project=$1 dir=$2
    if [ "$project" = lua5.4 ] && [ ! -e "$dir/src/lua5.4-deb-multiarch.h" ]; then
        printf '#ifndef _LUA_DEB_MULTIARCH_\n#define _LUA_DEB_MULTIARCH_\n#define DEB_HOST_MULTIARCH "%s"\n#endif\n' \
            "$(gcc -dumpmachine)" > "$dir/src/lua5.4-deb-multiarch.h"
    fi
}
