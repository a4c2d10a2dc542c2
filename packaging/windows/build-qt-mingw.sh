#!/usr/bin/env bash
# Builds the static Qt that `make windows` links: qtbase 6.4.2 (Core, Gui, Widgets; the windows,
# offscreen and minimal platform plugins; the windowsvista style) for x86_64-w64-mingw32, release,
# from Debian's own qt6-base source, with Debian's MinGW-w64 g++ and the host Qt 6.4.2 for moc, rcc
# and uic (the host tools must be the same Qt version). About 25 minutes on 2 cores.
#
#   apt-get install g++-mingw-w64-x86-64-posix ninja-build cmake qt6-base-dev qt6-base-dev-tools dpkg-dev
#   (a deb-src line for bookworm main, then)  apt-get source --download-only qt6-base
#   packaging/windows/build-qt-mingw.sh qt6-base_6.4.2+dfsg.orig.tar.xz [PREFIX]
#   tar -cJf qt6.4.2-mingw-w64-static.tar.xz -C "$(dirname PREFIX)" qt6-mingw-static   # optional
#   make windows QT_MINGW=PREFIX
set -euo pipefail
TARBALL=$(realpath "${1:?usage: build-qt-mingw.sh qt6-base_6.4.2+dfsg.orig.tar.xz [PREFIX]}")
PREFIX=$(realpath -m "${2:-$PWD/qt6-mingw-static}")
TOOLCHAIN=$(cd "$(dirname "$0")" && pwd)/mingw-w64-x86_64.cmake
WORK=${WORK:-$PWD/qt-mingw-work}
JOBS=${JOBS:-$(nproc)}

rm -rf "$WORK" "$PREFIX"
mkdir -p "$WORK/build"
tar -xf "$TARBALL" -C "$WORK"
SRC=$(echo "$WORK"/qtbase-everywhere-src-6.4.2)
cd "$WORK/build"

# Why these options:
#  -no-feature-tabletevent   the +dfsg tarball drops src/3rdparty/wintab, whose header the windows
#                            plugin's tablet support includes.
#  Direct2D stays on         in 6.4.2 turning it off also drops the DirectWrite font database from
#                            QtGui while the windows plugin still calls it: the link fails.
#  -qt-zlib ... -qt-freetype bundled copies, so no Windows builds of other libraries are needed; the
#                            bundled FreeType also gives the windows plugin its fontengine=freetype,
#                            which synthesises bold for faces that have no bold style.
#  -no-icu -no-libjpeg       not needed; zstd has no bundled copy and stays off (the host rcc is then
#                            told --no-zstd by Qt's CMake).
#  QT_HOST_PATH_CMAKE_DIR    Debian keeps the host Qt's CMake files in the multiarch folder.
"$SRC/configure" \
  -prefix "$PREFIX" \
  -xplatform win32-g++ \
  -qt-host-path /usr \
  -release -static -static-runtime \
  -nomake tests -nomake examples \
  -no-feature-sql -no-feature-network -no-feature-dbus -no-feature-testlib \
  -no-feature-printsupport -no-feature-concurrent -no-feature-xml \
  -no-opengl -no-feature-vulkan -no-feature-tabletevent \
  -no-icu -no-libjpeg \
  -qt-zlib -qt-libpng -qt-harfbuzz -qt-freetype -qt-pcre -qt-doubleconversion \
  -- \
  -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  > "$WORK/configure.log" 2>&1 || { tail -40 "$WORK/configure.log"; exit 1; }
cmake --build . --parallel "$JOBS" > "$WORK/build.log" 2>&1 || { tail -40 "$WORK/build.log"; exit 1; }
cmake --install . > "$WORK/install.log"
echo "static Qt for Windows in $PREFIX ($(du -sh "$PREFIX" | cut -f1))"
