# Set-up, build and test in one command each. Packages are Debian's.
PKGS := g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
        libmodbus-dev rapidjson-dev qt6-base-dev qt6-translations-l10n fonts-wqy-microhei
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS := $(shell nproc)
TEST_DIR := build/test

.PHONY: all deps test bench clean

all: test

deps:
	@missing=""; for p in $(PKGS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOVRIN_SANITIZE=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=ON
	cmake --build build/bench -j $(JOBS)
	build/bench/bench/bench_node_exchange

clean:
	rm -rf build
