# The front door: `make run` starts the player, `make test` runs every test.
BUILD_DIR ?= build
JOBS ?= 2
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: run test build deps bench fuzz clean format install uninstall deb

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

# Honours PREFIX (default /usr/local) and DESTDIR, as in
# `make install PREFIX=/usr DESTDIR=/tmp/stage`.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# The Debian package $(BUILD_DIR)/vidora_<version>_amd64.deb, its
# dependencies computed from the binary.
deb: build
	cd $(BUILD_DIR) && cpack -G DEB

uninstall:
	DESTDIR="$(DESTDIR)" ./tools/uninstall.sh $(BUILD_DIR) "$(PREFIX)"

deps:
	./tools/install-deps.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
