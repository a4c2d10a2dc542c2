#!/usr/bin/env bash
# Builds the static Qt for WebAssembly that `make web` needs, from Debian 13's own qt6-base source
# with Debian 13's own Emscripten, in the web build environment (packaging/web/environment.sh).
# Root; about 10 minutes on two cores, once per machine and configuration.
#
#   packaging/web/build-qt-wasm.sh            builds and installs it in the environment
#   packaging/web/build-qt-wasm.sh OUT.tar.xz  the same, then packs it for QT_WASM=OUT.tar.xz
#   packaging/web/build-qt-wasm.sh key         prints the configuration's key
#
# The configuration is qt-options (configure's options) and qt-patches/: its key, a digest of both,
# names the prefix (/opt/qt6-wasm-KEY) and is written into it, so that an archive is used only for
# exactly the configuration it was built with. qtbase only (Core, Gui, Widgets and the platform
# plugins wasm, offscreen and minimal), static, single-threaded (any static web server can serve
# it: no cross-origin isolation needed). The host Qt tools (moc, rcc, uic) are Debian 13's
# qt6-base-dev-tools, which must be the same version as the source. The patches: the first undoes
# Debian's default that keeps a static application from linking its platform plugin; the second
# builds the offscreen and minimal plugins for WebAssembly so that test programs run headless under
# Node.js; the third leaves out fonts and pictures a web application never shows; the fourth ends a
# cancelled touch.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
WEB_ENV=${WEB_ENV:-/srv/perumora-web-trixie}
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
export WEB_ENV JOBS

key() { cat "$HERE/qt-options" "$HERE"/qt-patches/*.diff | sha256sum | cut -c1-12; }
[ "${1:-}" = key ] && { key; exit 0; }

KEY=$(key)
PREFIX=/opt/qt6-wasm-$KEY
OUT=${1:-}
OPTIONS=$(sed 's/#.*//' "$HERE/qt-options" | xargs)

"$HERE/environment.sh" base
# One build at a time: a second `make web` started meanwhile waits for this one, then finds it made.
mkdir -p "$WEB_ENV/root"
exec 9> "$WEB_ENV/root/.qt-build.lock"
flock 9
[ -x "$WEB_ENV$PREFIX/bin/qt-cmake" ] && [ -z "$OUT" ] && { echo "perumora: Qt $KEY is there"; exit 0; }
rm -rf "$WEB_ENV/root/qt-patches" && mkdir -p "$WEB_ENV/root/qt-patches"
cp "$HERE"/qt-patches/*.diff "$WEB_ENV/root/qt-patches/"

# Runs in the chroot, in /root: a fresh copy of the source, patched; a build tree of its own.
"$HERE/environment.sh" run "$WEB_ENV/root" "
  t0=\$SECONDS
  mkdir -p src && cd src
  ls qt6-base_6.8.2*.dsc >/dev/null 2>&1 || apt-get source -q --download-only qt6-base >/dev/null
  source=\$PWD/qt-$KEY/
  if [ ! -f \${source}.patched ]; then
    rm -rf \$source && dpkg-source --no-check -x \$(ls qt6-base_6.8.2*.dsc | head -n1) \$source >/dev/null
    for p in /root/qt-patches/*.diff; do patch -d \$source -p1 --forward -s < \$p; done
    touch \${source}.patched
  fi
  version=\$(dpkg-parsechangelog -l \${source}debian/changelog -SVersion)
  tools=\$(dpkg-query -W -f='\${Version}' qt6-base-dev-tools)
  [ \"\${version%%+*}\" = \"\${tools%%+*}\" ] || { echo \"host Qt tools \$tools differ from the source \$version\" >&2; exit 1; }
  # An interrupted build of the same configuration goes on where it stopped.
  mkdir -p /root/build-qt-$KEY && cd /root/build-qt-$KEY
  [ -f build.ninja ] || \${source}configure $OPTIONS -qt-host-path /usr -prefix $PREFIX \
    -- -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
       -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake > configure.log 2>&1 ||
    { tail -n 40 configure.log >&2; rm -f build.ninja; exit 1; }
  cmake --build . --parallel \$JOBS > build.log 2>&1 || { grep -B2 -A12 -m3 'error:\|FAILED' build.log >&2; exit 1; }
  rm -rf $PREFIX && cmake --install . >/dev/null
  for f in lib/libQt6Widgets.a plugins/platforms/libqwasm.a plugins/platforms/libqoffscreen.a; do
    [ -f $PREFIX/\$f ] || { echo \"the build made no $PREFIX/\$f\" >&2; exit 1; }
  done
  printf '%s\n' $KEY \"qt6-base \$version\" > $PREFIX/perumora-qt-configuration
  cd /root && rm -rf /root/build-qt-$KEY \$source
  echo \"perumora: Qt $KEY built in \$((SECONDS - t0)) s\""

if [ -n "$OUT" ]; then
  tar -C "$WEB_ENV/opt" -cf - "qt6-wasm-$KEY" | xz -9 -T"$JOBS" > "$OUT.partial"
  mv "$OUT.partial" "$OUT"
  echo "perumora: $OUT is ready: make web QT_WASM=$OUT"
fi
