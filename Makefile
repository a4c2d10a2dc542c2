# ペルモラ: one command to start the program, one to test it.
#   make run     install what is missing, build (Release) and start build/perumora
#   make test    install what is missing, build and run the whole test suite (headless)
#   make build   install what is missing and build
#   make bench   build and run the benchmarks
#   make assets  redraw the pictures in assets/ with the program in tools/

BUILD    ?= build
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES := g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev \
            libgtest-dev libbenchmark-dev fonts-ipafont-gothic

.PHONY: all deps configure build run test bench assets clean

all: build

# Installs the Debian packages that are missing, and only those.
deps:
	@if ! command -v dpkg-query >/dev/null 2>&1; then \
	  echo "perumora: not a Debian-like system; install a C++20 compiler, CMake, Qt 6 (Widgets), GoogleTest and Google Benchmark yourself"; \
	  exit 0; \
	fi; \
	missing=""; \
	for p in $(PACKAGES); do \
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

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/*; do [ -x "$$b" ] && [ -f "$$b" ] && { echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; }; done; true

assets: configure
	@cmake --build $(BUILD) --target perumora-art -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/tools/perumora-art assets

clean:
	rm -rf $(BUILD)
