# Kestrun: the commands of the README.
#   make test   install what is missing, build with sanitizers, run every test
#   make bench  build the benchmarks without sanitizers (build/bench)

JOBS ?= $(shell nproc)
GENERATOR := -G Ninja

.PHONY: all deps test build-test bench clean

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

clean:
	rm -rf build
