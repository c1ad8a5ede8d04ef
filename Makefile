# Kestrun: the commands of the README.
#   make test   install what is missing, build with sanitizers, run every test
#   make bench  build the benchmarks without sanitizers (build/bench)
#   make run    build without sanitizers (build/run) and start Kestrun with
#               the sample plate, putting the samples into a new data root
#   make fuzz   build the file loaders' fuzz programs with clang (build/fuzz)

JOBS ?= $(shell nproc)
GENERATOR := -G Ninja

.PHONY: all deps test build-test bench run fuzz clean

all: test

deps:
	@scripts/install-deps.sh

build-test: deps
	cmake -S . -B build/test $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DKESTRUN_SANITIZE=ON
	cmake --build build/test -j $(JOBS)

test: build-test
	ctest --test-dir build/test --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build/bench $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DKESTRUN_SANITIZE=OFF -DKESTRUN_BUILD_TESTS=OFF -DKESTRUN_BUILD_BENCH=ON
	cmake --build build/bench -j $(JOBS)

# libFuzzer needs clang; only the fuzz programs and what they link are built.
fuzz:
	@scripts/install-deps.sh clang libclang-rt-dev
	CC=clang CXX=clang++ cmake -S . -B build/fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DKESTRUN_SANITIZE=OFF -DKESTRUN_BUILD_TESTS=OFF -DKESTRUN_BUILD_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS) --target fuzzers

# The display is checked before the build, which takes minutes.
run: deps
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display (DISPLAY and WAYLAND_DISPLAY are empty); run it under Xvfb: xvfb-run -a make run"; \
	  exit 1; \
	fi
	cmake -S . -B build/run $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DKESTRUN_SANITIZE=OFF -DKESTRUN_BUILD_TESTS=OFF
	cmake --build build/run -j $(JOBS)
	@tools/run-kestrun.sh build/run/bin

clean:
	rm -rf build
