#!/usr/bin/env bash
# Builds the static Qt for WebAssembly that `make web` needs, from Debian 13's own qt6-base source
# with Debian 13's own Emscripten, in the web build environment (packaging/web/environment.sh), and
# packs it as an archive for QT_WASM=ARCHIVE. Root; about 12 minutes on two cores.
#
#   packaging/web/build-qt-wasm.sh [OUT.tar.xz]      (default /tmp/qt6.8.2-wasm-static.tar.xz)
#
# qtbase only (Core, Gui, Widgets and the platform plugins wasm, offscreen and minimal), static,
# single-threaded (any static web server can serve it: no cross-origin isolation needed), release,
# optimised for size. The host Qt tools (moc, rcc, uic) are Debian 13's qt6-base-dev-tools, which
# must be the same version as the source. Two patches (qt-patches/): the first undoes Debian's
# default that keeps a static application from linking its platform plugin; the second builds the
# offscreen and minimal plugins for WebAssembly, with QtCore's WebAssembly event dispatcher and a
# FreeType font database, so that test programs run headless under Node.js.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
OUT=${1:-/tmp/qt6.8.2-wasm-static.tar.xz}
WEB_ENV=${WEB_ENV:-/srv/perumora-web-trixie}
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
PREFIX=/opt/qt6-wasm-built
export WEB_ENV JOBS

"$HERE/environment.sh" base
mkdir -p "$WEB_ENV/root/qt-patches"
cp "$HERE"/qt-patches/*.diff "$WEB_ENV/root/qt-patches/"

# Runs in the chroot, in /root.
"$HERE/environment.sh" run "$WEB_ENV/root" "
  mkdir -p src && cd src
  ls -d qt6-base-6.8.2*/ >/dev/null 2>&1 || apt-get source -q qt6-base >/dev/null
  source=\$(ls -d \$PWD/qt6-base-6.8.2*/ | head -n1)
  tools=\$(dpkg-query -W -f='\${Version}' qt6-base-dev-tools)
  case \$(basename \$source) in qt6-base-\${tools%%+*}*) ;; *) echo \"host Qt tools \$tools differ from \$source\" >&2; exit 1;; esac
  cd \$source
  for p in /root/qt-patches/*.diff; do
    patch -p1 -R --dry-run -s -f < \$p >/dev/null 2>&1 || patch -p1 --forward -s < \$p
  done
  mkdir -p /root/build-qtbase && cd /root/build-qtbase
  \${source}configure -platform wasm-emscripten -qt-host-path /usr -prefix $PREFIX \
    -static -release -optimize-size -no-feature-thread -nomake tests -nomake examples \
    -qt-freetype -qt-harfbuzz -qt-libpng -qt-zlib -qt-pcre -qt-doubleconversion \
    -no-libjpeg -no-feature-gif -no-feature-ico -no-feature-sql -no-feature-network -no-feature-xml \
    -no-feature-dbus -no-feature-testlib -no-feature-printsupport -no-feature-concurrent \
    -- -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
       -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake >/dev/null
  cmake --build . --parallel \$JOBS
  cmake --install . >/dev/null
  for f in lib/libQt6Widgets.a plugins/platforms/libqwasm.a plugins/platforms/libqoffscreen.a; do
    [ -f $PREFIX/\$f ] || { echo \"the build made no $PREFIX/\$f\" >&2; exit 1; }
  done"

tar -C "$WEB_ENV$(dirname "$PREFIX")" -cf - "$(basename "$PREFIX")" | xz -9 -T"$JOBS" > "$OUT.partial"
mv "$OUT.partial" "$OUT"
echo "perumora: $OUT is ready: make web QT_WASM=$OUT (a Qt already unpacked in $WEB_ENV stays until removed)"
