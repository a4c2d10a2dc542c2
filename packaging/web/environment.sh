#!/usr/bin/env bash
# The web build's environment: a Debian 13 (trixie) chroot with Emscripten, Node.js, the host Qt tools
# and a static Qt for WebAssembly, made once in one fixed place outside the source tree and reused by
# every later build and every clone.
#
#   environment.sh check            one line on what is missing to make it, exit 1; or nothing, exit 0
#   environment.sh ensure           makes what is missing (root; installs debootstrap when missing)
#   environment.sh base             the chroot and its packages only, without Qt (to build a Qt in it)
#   environment.sh run DIR CMD...   runs CMD in the chroot with DIR (a source tree) at the same path
#
# The static Qt is the one of this tree's configuration (qt-options, qt-patches/): unpacked from
# QT_WASM=ARCHIVE when that archive was built with exactly this configuration, else built from
# Debian 13's qt6-base source by build-qt-wasm.sh, once, and kept in the environment.
# Knobs: WEB_ENV (the chroot, default /srv/perumora-web-trixie), QT_WASM, JOBS.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
SOURCE=$(cd "$HERE/../.." && pwd)
WEB_ENV=${WEB_ENV:-/srv/perumora-web-trixie}
QT_WASM=${QT_WASM:-}
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
QT_KEY=$("$HERE/build-qt-wasm.sh" key)
QT_PREFIX=/opt/qt6-wasm-$QT_KEY
READY=$WEB_ENV/etc/perumora-web-environment
# g++ and the host Qt build the build's own tools (the sprite-sheet packer); googletest is the
# source the test programs are built from; dpkg-dev unpacks and patches Qt's source; terser
# makes the site's scripts small.
PACKAGES="emscripten binaryen nodejs cmake ninja-build make g++ qt6-base-dev qt6-base-dev-tools python3
          python3-fonttools fonts-ipafont-gothic brotli googletest xz-utils file dpkg-dev terser"

say() { echo "perumora: $*" >&2; }

# The host's own Debian mirror: the chroot comes from the archive this machine already uses.
mirror() {
    local m
    m=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' 2>/dev/null |
        awk '$2 ~ /^[a-z]+$/ && $1 !~ /security/ {print $1; exit}') || true
    [ -n "$m" ] || m=$(awk '/^[[:space:]]*URIs:/ && $2 !~ /security/ {print $2; exit}' \
        /etc/apt/sources.list.d/*.sources 2>/dev/null) || true
    [ -n "$m" ] || m=$(awk '/^[[:space:]]*deb[[:space:]]/ && !/security/ {for (i = 2; i <= NF; i++) if ($i !~ /^\[|\]$/) {print $i; exit}}' \
        /etc/apt/sources.list 2>/dev/null) || true
    echo "${m%/}"
}

# Made, with the packages of this list: a longer list makes the environment again (only what is missing).
ready() { [ -x "$WEB_ENV$QT_PREFIX/bin/qt-cmake" ] && grep -qxF "packages: $(echo $PACKAGES)" "$READY" 2>/dev/null; }

# What stops the environment from being made, in one line; nothing when it can be ("base": without Qt).
missing() {
    ready && return 0
    [ "$(id -u)" = 0 ] || { echo "the web build environment ($WEB_ENV) is missing and only root can make it (debootstrap, chroot): run make web as root once"; return; }
    command -v debootstrap >/dev/null 2>&1 || command -v apt-get >/dev/null 2>&1 ||
        { echo "no debootstrap and no apt-get to install it: the web build needs a Debian host"; return; }
    [ -z "$QT_WASM" ] || [ -f "$QT_WASM" ] || { echo "no archive of a static Qt at QT_WASM=$QT_WASM"; return; }
    [ -n "$(mirror)" ] || { echo "no Debian mirror in this host's apt configuration to make the Debian 13 chroot from"; return; }
    [ -x "$WEB_ENV/usr/bin/apt-get" ] && [ -f "$READY" ] && return 0
    local probe; probe=$(mktemp)
    timeout 30 /usr/lib/apt/apt-helper download-file "$(mirror)/dists/trixie/InRelease" "$probe" >/dev/null 2>&1 ||
        echo "the Debian archive ($(mirror)) cannot be reached to make the Debian 13 chroot"
    rm -f "$probe"
}

MOUNTED=()
unmount_all() {
    local i
    for ((i = ${#MOUNTED[@]} - 1; i >= 0; i--)); do umount "${MOUNTED[i]}" 2>/dev/null || umount -l "${MOUNTED[i]}" || true; done
    MOUNTED=()
}
bind() {  # bind DST MOUNT-ARGS...
    local dst=$1; shift
    mkdir -p "$dst"
    mountpoint -q "$dst" && return 0
    mount "$@" "$dst"
    MOUNTED+=("$dst")
}
mount_system() {
    trap unmount_all EXIT
    bind "$WEB_ENV/proc" -t proc proc
    bind "$WEB_ENV/dev" --bind /dev
    bind "$WEB_ENV/dev/pts" --bind /dev/pts
    bind "$WEB_ENV/dev/shm" -t tmpfs -o size=2g tmpfs
}

inside() {  # inside DIR SCRIPT: runs a bash script in the chroot, in DIR, with a clean environment
    chroot "$WEB_ENV" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb GTEST_COLOR=no \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        EMSDK=/usr/share/emscripten EM_CACHE=/root/emcache EM_FROZEN_CACHE=0 \
        QT_WASM_PREFIX=$QT_PREFIX JOBS="$JOBS" DEBIAN_FRONTEND=noninteractive \
        ${SOURCE_DATE_EPOCH:+SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH} \
        /bin/bash -euo pipefail -c "cd '$1' && $2"
}

ensure() {  # ensure [base]
    [ "${1:-}" != base ] && ready && return 0
    local why; why=$(missing "${1:-}")
    [ -z "$why" ] || { say "$why"; exit 1; }
    local t0=$SECONDS
    if ! command -v debootstrap >/dev/null 2>&1; then
        say "installing debootstrap"
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap ||
            { apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap; }
    fi
    if [ ! -x "$WEB_ENV/usr/bin/apt-get" ]; then
        say "making the Debian 13 build environment in $WEB_ENV (debootstrap, about a minute)"
        rm -rf "$WEB_ENV.partial"
        debootstrap --variant=minbase trixie "$WEB_ENV.partial" "$(mirror)" >/dev/null
        mv "$WEB_ENV.partial" "$WEB_ENV"
    fi
    printf 'deb %s trixie main\ndeb-src %s trixie main\n' "$(mirror)" "$(mirror)" > "$WEB_ENV/etc/apt/sources.list"
    [ -s "$WEB_ENV/etc/resolv.conf" ] || cp /etc/resolv.conf "$WEB_ENV/etc/resolv.conf" 2>/dev/null || true
    mount_system
    install_packages
    [ "${1:-}" = base ] && return 0
    [ -x "$WEB_ENV$QT_PREFIX/bin/qt-cmake" ] || unpack_qt || build_qt
    printf 'made %s in %s s\npackages: %s\n' "$(date -u +%FT%TZ)" "$((SECONDS - t0))" "$(echo $PACKAGES)" > "$READY"
    say "web build environment ready in $WEB_ENV ($((SECONDS - t0)) s)"
}

install_packages() {
    local list; list=$(echo $PACKAGES)
    if ! inside / "dpkg -s $list >/dev/null 2>&1"; then
        say "installing in $WEB_ENV what is missing of: $list (a few minutes)"
        inside / "missing=''; for p in $list; do dpkg -s \$p >/dev/null 2>&1 || missing=\"\$missing \$p\"; done
                  apt-get update -q >/dev/null && apt-get install -y -q --no-install-recommends \$missing >/dev/null"
    fi
    # Debian's Emscripten cache is frozen; a writable one must start as a copy of it.
    inside / '[ -f /root/emcache/sysroot_install.stamp ] || cp -a /usr/share/emscripten/cache /root/emcache'
}

# The archive's Qt, when it is of this configuration.
unpack_qt() {
    [ -n "$QT_WASM" ] || return 1
    say "unpacking $QT_WASM"
    local unpack="$WEB_ENV/opt/qt6-wasm.unpack"
    rm -rf "$unpack" && mkdir -p "$unpack"
    tar -xJf "$QT_WASM" -C "$unpack"
    local top; top=$(find "$unpack" -mindepth 1 -maxdepth 1 -type d | head -n1)
    if [ ! -x "$top/bin/qt-cmake" ] || [ "$(head -n1 "$top/perumora-qt-configuration" 2>/dev/null)" != "$QT_KEY" ]; then
        say "$QT_WASM is not a Qt of this configuration ($QT_KEY)"
        rm -rf "$unpack"
        return 1
    fi
    rm -rf "$WEB_ENV$QT_PREFIX" && mv "$top" "$WEB_ENV$QT_PREFIX" && rm -rf "$unpack"
}

build_qt() {
    say "building the static Qt for WebAssembly ($QT_KEY) from Debian 13's source, once for this machine (about 10 minutes)"
    "$HERE/build-qt-wasm.sh"
}

run() {  # run DIR CMD...
    local dir; dir=$(cd "$1" && pwd); shift
    [ -x "$WEB_ENV/usr/bin/apt-get" ] || { say "no web build environment in $WEB_ENV: make web-environment"; exit 1; }
    [ "$(id -u)" = 0 ] || { say "the web build runs in a chroot: run it as root"; exit 1; }
    mount_system
    bind "$WEB_ENV$dir" --bind "$dir"
    inside "$dir" "$*"
}

case ${1:-} in
    check) why=$(missing); [ -z "$why" ] || { echo "$why"; exit 1; } ;;
    ensure) ensure ;;
    base) ensure base ;;
    run) shift; run "$@" ;;
    *) echo "usage: $0 check|ensure|run DIR CMD..." >&2; exit 2 ;;
esac
