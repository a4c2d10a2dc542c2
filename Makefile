# ペルモラ: one command to start the program, one to test it.
#   make run     install what is missing, build (Release) and start build/perumora
#   make test    install what is missing, build and run the whole test suite (headless), then
#                the same suite again in a build with AddressSanitizer and UBSan
#   make build   install what is missing and build
#   make bench   build and run the benchmarks
#   make assets  redraw the pictures in assets/ with the program in tools/
#   make memcheck  a scripted tour of every activity under valgrind
#   make package   a .deb built with CPack in its own folder (program only), checked with lintian
#   make golden    rewrite the reference frames in tests/golden/ from this build's drawing; only after
#                  a deliberate change to a picture, and look at every rewritten frame before committing
#   make windows   one self-contained build-windows/perumora.exe, cross-built with MinGW-w64 and a static Qt
#   make windows-test  the whole suite cross-built and run under Wine, then perumora.exe under Wine in Xvfb
#   make web       the site for the pupils' browsers in build-web/site/, built in a Debian 13 chroot with
#                  Emscripten and a static Qt for WebAssembly (both made once, outside the source tree)
#   make web-test  the whole suite for WebAssembly under Node.js, then the site in Chromium and WebKit
#   make serve-web serves build-web/site/ on http://127.0.0.1:8643/ for trying it

BUILD    ?= build
SANITIZE ?= build-asan
PACKAGE_BUILD ?= build-package
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null || stat -c %Y CMakeLists.txt)
PACKAGES := g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libgl-dev \
            libgtest-dev libbenchmark-dev fonts-ipafont-gothic qt6-translations-l10n \
            desktop-file-utils appstream kanjidic \
            qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin
MEMCHECK_PACKAGES := valgrind
PACKAGE_PACKAGES  := g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev dpkg-dev file lintian
WINBUILD ?= build-windows
# A static Qt 6.4.2 for x86_64-w64-mingw32 (packaging/windows/build-qt-mingw.sh makes one): its
# prefix, or else this archive of it, unpacked into $(WINBUILD).
QT_MINGW ?=
QT_MINGW_ARCHIVE ?= ../shared/toolchains/qt6.4.2-mingw-w64-static.tar.xz
WINDOWS_PACKAGES  := g++-mingw-w64-x86-64-posix ninja-build cmake qt6-base-dev qt6-base-dev-tools googletest xz-utils \
                     qt6-translations-l10n
WINE_PACKAGES     := wine wine64 xvfb xdotool imagemagick x11-utils
WEBBUILD ?= build-web
WEBTESTBUILD ?= build-web-tests
# The Debian 13 build environment (a chroot, made once and shared by every clone) and in it the
# static Qt for WebAssembly of packaging/web/qt-options and qt-patches/: built there once from
# Debian 13's own source, or unpacked from QT_WASM=ARCHIVE when that archive is of exactly this
# configuration (packaging/web/build-qt-wasm.sh OUT.tar.xz makes one).
WEB_ENV ?= /srv/perumora-web-trixie
QT_WASM ?=
WEB_RUN = WEB_ENV=$(WEB_ENV) QT_WASM=$(QT_WASM) JOBS=$(JOBS) SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) packaging/web/environment.sh
# A build folder configured with another Qt (another configuration's prefix) is configured afresh.
WEB_FRESH = for d in $(WEBBUILD) $(WEBTESTBUILD); do grep -qs "^Qt6Core_DIR:PATH=$$QT_WASM_PREFIX/" $$d/CMakeCache.txt || rm -rf $$d/CMakeCache.txt $$d/CMakeFiles; done
WEB_CONFIGURE = $(WEB_FRESH) && $$QT_WASM_PREFIX/bin/qt-cmake --no-warn-unused-cli -S . -G Ninja -DPERUMORA_BENCH=OFF
# Node.js and npm are looked for by command in the browser check: a machine may have them from elsewhere.
BROWSER_PACKAGES := chromium webkit2gtk-driver xvfb
SOURCE_URL ?=
WEB_FONT ?=

.PHONY: install-missing all deps configure build run test check sanitize bench assets memcheck package golden clean \
        windows windows-configure windows-test web web-environment web-test serve-web

all: build

# Installs the Debian packages that are missing, and only those.
deps:
	@$(MAKE) --no-print-directory install-missing WANT="$(PACKAGES)"

install-missing:
	@if ! command -v dpkg-query >/dev/null 2>&1; then \
	  echo "perumora: not a Debian-like system; install a C++20 compiler, CMake, Qt 6 (Widgets), GoogleTest and Google Benchmark yourself"; \
	  exit 0; \
	fi; \
	missing=""; \
	for p in $(WANT); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || missing="$$missing $$p"; \
	done; \
	[ -z "$$missing" ] && exit 0; \
	echo "perumora: installing missing packages:$$missing"; \
	if [ "$$(id -u)" = 0 ]; then sudo=""; \
	elif command -v sudo >/dev/null 2>&1; then sudo="sudo"; \
	else echo "perumora: cannot install$$missing: run as root or install sudo, then try again" >&2; exit 1; fi; \
	export DEBIAN_FRONTEND=noninteractive; \
	{ $$sudo apt-get install -y -q --no-install-recommends $$missing || \
	  { $$sudo apt-get update -q && $$sudo apt-get install -y -q --no-install-recommends $$missing; }; } || \
	  { echo "perumora: could not install$$missing; install them by hand (apt-get install$$missing)" >&2; exit 1; }

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/perumora

test: check sanitize

check: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite, event storm included, with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	@cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPERUMORA_SANITIZE=ON -DPERUMORA_BENCH=OFF >/dev/null
	@cmake --build $(SANITIZE) -j $(JOBS)
	cd $(SANITIZE) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

memcheck: build
	@$(MAKE) --no-print-directory install-missing WANT="$(MEMCHECK_PACKAGES)"
	QT_QPA_PLATFORM=offscreen valgrind --tool=memcheck --error-exitcode=1 --leak-check=no \
	  --track-origins=yes ./$(BUILD)/tests/perumora_tour

# Only what the package ships is built, in a folder of its own; every time stamp in the .deb and in
# the program's embedded pictures is the last commit's, so two runs from the same commit give the same bytes.
package:
	@$(MAKE) --no-print-directory install-missing WANT="$(PACKAGE_PACKAGES)"
	@cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DPERUMORA_TESTS=OFF -DPERUMORA_BENCH=OFF \
	  -DPERUMORA_ART_TOOL=OFF >/dev/null
	@SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	rm -f $(PACKAGE_BUILD)/perumora_*.deb
	cd $(PACKAGE_BUILD) && SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) cpack -G DEB
	lintian --fail-on error,warning $(PACKAGE_BUILD)/perumora_*.deb

bench: build
	@for b in $(BUILD)/bench/*; do [ -x "$$b" ] && [ -f "$$b" ] && { echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; }; done; true

assets: configure
	@cmake --build $(BUILD) --target perumora-art -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/tools/perumora-art assets

golden: configure
	@cmake --build $(BUILD) --target perumora_tests -j $(JOBS)
	PERUMORA_WRITE_GOLDEN=1 QT_QPA_PLATFORM=offscreen ./$(BUILD)/tests/perumora_tests --gtest_filter='Frames/Golden.*'

# The static Qt: QT_MINGW, or the archive unpacked once into $(WINBUILD), or one line on how to get one.
windows-configure:
	@$(MAKE) --no-print-directory install-missing WANT="$(WINDOWS_PACKAGES)"
	@qt="$(QT_MINGW)"; \
	if [ -z "$$qt" ]; then \
	  qt="$(WINBUILD)/qt6-mingw-static"; \
	  if [ ! -x "$$qt/bin/qt-cmake" ]; then \
	    if [ ! -f "$(QT_MINGW_ARCHIVE)" ]; then \
	      echo "perumora: no static Qt for Windows: build one with packaging/windows/build-qt-mingw.sh and pass QT_MINGW=DIR" >&2; \
	      exit 1; \
	    fi; \
	    echo "perumora: unpacking $(QT_MINGW_ARCHIVE) into $(WINBUILD)"; \
	    mkdir -p "$(WINBUILD)" && tar -xJf "$(QT_MINGW_ARCHIVE)" -C "$(WINBUILD)" || exit 1; \
	  fi; \
	fi; \
	[ -x "$$qt/bin/qt-cmake" ] || { echo "perumora: $$qt is not a Qt prefix (no bin/qt-cmake)" >&2; exit 1; }; \
	"$$qt/bin/qt-cmake" --no-warn-unused-cli -S . -B $(WINBUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPERUMORA_BENCH=OFF \
	  -DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/packaging/windows/mingw-w64-x86_64.cmake \
	  "-DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/tests/windows/wine-run.sh;$(abspath $(WINBUILD))/wineprefix" >/dev/null

windows: windows-configure
	@cmake --build $(WINBUILD) -j $(JOBS) --target perumora
	@ls -l $(WINBUILD)/perumora.exe

# Every test program cross-built and run by ctest under Wine (headless, offscreen), then the real
# program under Wine in an X server, checked by screenshot.
windows-test: windows
	@$(MAKE) --no-print-directory install-missing WANT="$(WINE_PACKAGES)"
	@cmake --build $(WINBUILD) -j $(JOBS)
	tests/windows/run-suite.sh $(WINBUILD) $(JOBS)

web-environment:
	@$(WEB_RUN) ensure

# The program at -Os for the smallest download; the site is assembled by the build.
web: web-environment
	@$(WEB_RUN) run $(CURDIR) '$(WEB_CONFIGURE) -B $(WEBBUILD) -DCMAKE_BUILD_TYPE=MinSizeRel -DPERUMORA_TESTS=OFF \
	  -DPERUMORA_COMMIT=$(shell git rev-parse --short=12 HEAD 2>/dev/null) "-DPERUMORA_SOURCE_URL=$(SOURCE_URL)" \
	  "-DPERUMORA_WEB_FONT_ORIGINAL=$(WEB_FONT)" >/dev/null && \
	  cmake --build $(WEBBUILD) --target perumora-site'
	@ls -l $(WEBBUILD)/site

# The suite's programs for WebAssembly, run by ctest under Node.js in the chroot; then the site in
# headless Chromium and in WebKit under Xvfb, on this machine.
web-test: web
	@$(WEB_RUN) run $(CURDIR) '$(WEB_CONFIGURE) -B $(WEBTESTBUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null && \
	  cmake --build $(WEBTESTBUILD) --target perumora_tests perumora_tour perumora-web-face && \
	  cd $(WEBTESTBUILD) && ctest --output-on-failure -j $(JOBS)'
	@$(MAKE) --no-print-directory install-missing WANT="$(BROWSER_PACKAGES)"
	tests/web/check-browsers.sh $(WEBBUILD)

serve-web:
	@[ -f $(WEBBUILD)/site/index.html ] || { echo "perumora: no site in $(WEBBUILD)/site: make web first" >&2; exit 1; }
	python3 packaging/web/serve.py $(WEBBUILD)/site 8643

clean:
	rm -rf $(BUILD) $(SANITIZE) $(PACKAGE_BUILD) $(WINBUILD) $(WEBBUILD) $(WEBTESTBUILD)
