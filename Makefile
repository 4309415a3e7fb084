# Set-up, build and test in one command each. Packages are Debian's.
PKGS := g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
        libmodbus-dev libpcre2-dev rapidjson-dev qt6-base-dev qt6-translations-l10n fonts-wqy-microhei \
        libx11-dev libmimalloc-dev
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= $(shell nproc)
TEST_DIR := build/test
RUN_DIR := build/run
# ccache, when installed, shares compiled objects between build folders.
LAUNCHER := $(shell command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

FUZZ_DIR := build/fuzz
# Seconds each harness runs under make fuzz, and how many run at once.
FUZZ_TIME ?= 60
FUZZ_PARALLEL ?= 4
FUZZ_PKGS := clang-14 libclang-rt-14-dev

.PHONY: all deps test bench run fuzz clean

all: test

# Installs those of the Debian packages $(1) that are missing.
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PKGS))

# The tests also build every benchmark and run each once, quickly, so that
# make bench cannot break unseen.
test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOVRIN_SANITIZE=ON -DBUILD_BENCHMARKS=ON $(LAUNCHER)
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure --timeout 300 -j $(JOBS)

# Functions and loops are aligned, so that a change elsewhere in the program
# does not move a timed loop across fetch boundaries and its figure with it.
BENCH_FLAGS := -falign-functions=64 -falign-loops=32

bench: deps
	cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=ON \
	  "-DCMAKE_CXX_FLAGS=$(BENCH_FLAGS)" $(LAUNCHER)
	cmake --build build/bench -j $(JOBS)
	build/bench/bench/bench_project_files
	build/bench/bench/bench_page_paint
	build/bench/bench/bench_alarm_import
	build/bench/bench/bench_grid_paint
	build/bench/bench/bench_node_exchange
	build/bench/bench/bench_regex
	build/bench/bench/bench_long_text

# The editor itself: an optimised build without sanitizers, then started. It
# needs a display; without one Qt says so and the program ends.
run: deps
	cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DOVRIN_SANITIZE=OFF -DBUILD_TESTING=OFF $(LAUNCHER)
	cmake --build $(RUN_DIR) -j $(JOBS) --target hmi_editor
	$(RUN_DIR)/src/app/hmi_editor

# The libFuzzer harnesses of fuzz/, built with clang and both sanitizers, each
# run for FUZZ_TIME seconds. Only this target needs clang.
fuzz: deps
	$(call install_missing,$(FUZZ_PKGS))
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DOVRIN_FUZZ=ON -DBUILD_TESTING=OFF $(LAUNCHER)
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_all
	FUZZ_TIME=$(FUZZ_TIME) FUZZ_PARALLEL=$(FUZZ_PARALLEL) fuzz/run.sh $(FUZZ_DIR)

clean:
	rm -rf build
