# Skybrant. `make run` builds and starts the program, `make test` builds and
# runs every test. Each installs the missing Debian packages it needs first:
# `make run` only those for building and running, `make test` those for the
# tests too, and lint, fuzz and bench those for the tools as well.

# Warnings are errors in CI (CI=true); locally they stay warnings.
WERROR := $(if $(CI),-DSKYBRANT_WERROR=ON,-DSKYBRANT_WERROR=OFF)

# Compiles go through ccache, keyed on paths relative to this checkout, so a
# fresh clone or a second build folder reuses what was compiled before.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := true
CONFIGURE = $(WERROR) -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache

.PHONY: all deps deps-test deps-tools build build-asan test bench run package fuzz lint clean

all: build

deps:
	@sh packaging/install-deps.sh build

deps-test:
	@sh packaging/install-deps.sh build test

deps-tools:
	@sh packaging/install-deps.sh build test tools

build: deps
	cmake --preset dev $(CONFIGURE)
	cmake --build --preset dev

build-asan: deps
	cmake --preset asan $(CONFIGURE)
	cmake --build --preset asan

test: deps-test build build-asan
	ctest --preset dev
	ctest --preset asan

bench: deps-tools build
	taskset -c 0 build/dev/bench/skybrant_bench
	taskset -c 0 build/dev/bench/skybrant_window_bench
	sh bench/batch_throughput.sh build/dev/cli/skybrant-cli
	sh bench/startup.sh build/dev
	bash bench/cli_startup.sh build/dev/cli/skybrant-cli

run: build
	build/dev/app/skybrant

# Each fuzz target for FUZZ_SECONDS (CI runs 30).
FUZZ_SECONDS ?= 180
fuzz: deps-tools
	cmake --preset fuzz $(CONFIGURE)
	cmake --build --preset fuzz
	sh fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

# clang-format and clang-tidy over every C++ file; any finding fails.
SOURCES = $(shell git ls-files '*.cpp' '*.h')
lint: deps-tools build
	clang-format --dry-run --Werror $(SOURCES)
	cmake --preset fuzz $(CONFIGURE) > /dev/null
	run-clang-tidy -quiet -p build/dev $(filter-out fuzz/%,$(filter %.cpp,$(SOURCES))) > build/clang-tidy.log 2>&1 \
		|| { grep -E 'warning:|error:' build/clang-tidy.log; exit 1; }
	run-clang-tidy -quiet -p build/fuzz $(filter fuzz/%,$(filter %.cpp,$(SOURCES))) > build/clang-tidy-fuzz.log 2>&1 \
		|| { grep -E 'warning:|error:' build/clang-tidy-fuzz.log; exit 1; }
	@echo "lint: clang-format and clang-tidy found nothing"

# A Debian package of the dev build: build/dev/skybrant_<version>_<arch>.deb,
# installable with: apt install ./build/dev/skybrant_*.deb
package: deps-test build
	cd build/dev && cpack -G DEB

clean:
	rm -rf build
