# The front door: `make run` starts the player, `make test` runs every test.
BUILD_DIR ?= build
JOBS ?= 2

.PHONY: run test build deps bench fuzz clean format

run: build
	./tools/run-player.sh $(BUILD_DIR)

test: build
	./tools/run-tests.sh $(BUILD_DIR)

bench: build
	./bench/run-benchmarks.sh $(BUILD_DIR)

# FUZZ_SECONDS a target (default 60), in its own clang build.
fuzz: deps
	./fuzz/run-fuzzers.sh build-fuzz $(or $(FUZZ_SECONDS),60)

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j$(JOBS)

deps:
	./tools/install-deps.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
