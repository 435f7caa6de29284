# Entry points for people and CI. Every target does its own set-up first (packages, locale, the
# cross-built libraries), so a fresh Debian 12 machine needs nothing else.
#
#   make test          set-up, all configurations, every test (non-zero exit on any failure)
#   make run           build and start Quillet under Wine
#   make run-corvalen  build and start Corvalen under Wine on the simulated line
#   make bench         the benchmarks, against their peers, as ratios
#   make fuzz          every fuzz target for FUZZ_SECONDS seconds each (default 600)
#   make screenshot    renews the README's pictures of the running programs (docs/*.png)

SHELL := /bin/bash
.SHELLFLAGS := -eo pipefail -c
JOBS ?= $(shell nproc)
BUILD ?= build
FUZZ_SECONDS ?= 600
# How long `make test` runs each fuzz target.
FUZZ_SMOKE_SECONDS ?= 15
CMAKE_GEN := -G Ninja

.PHONY: all setup native asan win32 fuzz-build test test-native test-asan test-win32 test-fuzz \
        run run-corvalen bench fuzz screenshot clean

all: native win32

setup:
	@bash tools/setup/setup.sh >/dev/null

$(BUILD)/deps.path: tools/setup/setup.sh
	@mkdir -p $(BUILD)
	@bash tools/setup/setup.sh | tail -1 > $@.tmp && mv $@.tmp $@

# A configuration is (re)configured when its build folder is new; ninja reruns cmake on its own
# when a CMakeLists.txt changes.
define configure
	@mkdir -p $(BUILD); if [ ! -f $(BUILD)/$(1)/build.ninja ]; then \
	  cmake -S . -B $(BUILD)/$(1) $(CMAKE_GEN) $(2) >$(BUILD)/$(1).configure.log 2>&1 \
	    || { cat $(BUILD)/$(1).configure.log; rm -rf $(BUILD)/$(1); exit 1; }; fi
endef

native: setup
	$(call configure,native,-DCMAKE_BUILD_TYPE=RelWithDebInfo)
	cmake --build $(BUILD)/native -j$(JOBS)

asan: setup
	$(call configure,asan,-DCMAKE_BUILD_TYPE=Debug -DASTREL_SANITIZE=ON -DASTREL_BENCH=OFF)
	cmake --build $(BUILD)/asan -j$(JOBS)

win32: setup $(BUILD)/deps.path
	$(call configure,win32,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake -DCMAKE_BUILD_TYPE=MinSizeRel -DASTREL_WIN32_DEPS=$$(cat $(BUILD)/deps.path))
	cmake --build $(BUILD)/win32 -j$(JOBS)

fuzz-build: setup
	$(call configure,fuzz,-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DASTREL_FUZZ=ON -DASTREL_SANITIZE=ON -DASTREL_BENCH=OFF)
	cmake --build $(BUILD)/fuzz -j$(JOBS)

test-native: native
	cd $(BUILD)/native && ctest -j$(JOBS) --output-on-failure --no-tests=error

test-asan: asan
	cd $(BUILD)/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest -j$(JOBS) --output-on-failure --no-tests=error

# The tests work on copies: dist/ is left as the build made it (names, sizes and times).
test-win32: win32
	@find dist -type f -printf '%P %s %T@\n' | sort > $(BUILD)/dist.built
	cd $(BUILD)/win32 && ctest -j$(JOBS) --output-on-failure --no-tests=error
	@find dist -type f -printf '%P %s %T@\n' | sort | diff $(BUILD)/dist.built - >&2 \
	  || { echo "dist/ ist nach den Tests nicht mehr wie gebaut (siehe oben)" >&2; exit 1; }

test-fuzz: fuzz-build
	@bash tools/fuzz/run-fuzz.sh $(BUILD)/fuzz $(FUZZ_SMOKE_SECONDS) $(JOBS)

test: setup
	@$(MAKE) --no-print-directory test-native
	@$(MAKE) --no-print-directory test-asan
	@$(MAKE) --no-print-directory test-win32
	@$(MAKE) --no-print-directory test-fuzz

fuzz: fuzz-build
	@bash tools/fuzz/run-fuzz.sh $(BUILD)/fuzz $(FUZZ_SECONDS) $(JOBS)

bench: setup
	$(call configure,bench,-DCMAKE_BUILD_TYPE=Release)
	cmake --build $(BUILD)/bench -j$(JOBS)
	@bash tools/bench/run-bench.sh $(BUILD)/bench

run: win32
	@bash tools/run/run.sh quillet $(BUILD)

run-corvalen: win32
	@bash tools/run/run.sh corvalen $(BUILD)

screenshot: win32
	@bash tools/screenshot/quillet.sh $(BUILD)
	@bash tools/screenshot/quillet.sh $(BUILD) docs/quillet-compressor.png compressor
	@bash tools/screenshot/quillet.sh $(BUILD) docs/quillet-browser.png browser
	@bash tools/screenshot/corvalen.sh $(BUILD)

clean:
	rm -rf $(BUILD) dist
