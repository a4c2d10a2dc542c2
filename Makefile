# ペルモラ: one command to start the program, one to test it.
#   make run     install what is missing, build (Release) and start build/perumora
#   make test    install what is missing, build and run the whole test suite (headless), then
#                the same suite again in a build with AddressSanitizer and UBSan
#   make build   install what is missing and build
#   make bench   build and run the benchmarks
#   make assets  redraw the pictures in assets/ with the program in tools/
#   make memcheck  a scripted tour of every activity under valgrind
#   make package   a .deb built with CPack in its own folder (program only), checked with lintian

BUILD    ?= build
SANITIZE ?= build-asan
PACKAGE_BUILD ?= build-package
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null || stat -c %Y CMakeLists.txt)
PACKAGES := g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev \
            libgtest-dev libbenchmark-dev fonts-ipafont-gothic desktop-file-utils appstream
MEMCHECK_PACKAGES := valgrind
PACKAGE_PACKAGES  := g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev dpkg-dev file lintian

.PHONY: install-missing all deps configure build run test check sanitize bench assets memcheck package clean

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

clean:
	rm -rf $(BUILD) $(SANITIZE) $(PACKAGE_BUILD)
