# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrappers around CMake and CTest; see README.md.
BUILD      ?= build
ASAN_BUILD ?= build-asan
ODR_BUILD ?= build-odr
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

# build/ is built the way Debian builds a package: Release, with the compiler and linker flags of
# dpkg-buildflags (hardening, _FORTIFY_SOURCE), so that what a distribution meets is what `make
# test` tests and `make deb` packs. The flags are read when a recipe runs, after `deps` has
# installed dpkg-dev.
PACKAGER_CXXFLAGS = $(shell dpkg-buildflags --get CPPFLAGS) $(shell dpkg-buildflags --get CXXFLAGS)
PACKAGER_LDFLAGS = $(shell dpkg-buildflags --get LDFLAGS)
# Checks that only an optimised build of the whole program can make; they go to the compiler and
# the linker alike (e.g. link-time optimisation with its one-definition-rule check).
RELEASE_CHECKS =
RELEASE_ARGS = -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_CXX_FLAGS=$(PACKAGER_CXXFLAGS) $(RELEASE_CHECKS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(PACKAGER_LDFLAGS) $(RELEASE_CHECKS)"
# The one-definition rule across the whole program is seen only when it is linked as one: the
# core and the tool are built with link-time optimisation, where two different types or inline
# functions of the same name stop the link. Only these two, as LTO makes the whole build much
# slower on a small machine.
# The check needs neither the optimiser's full work nor debug information: light optimisation
# without them builds and links a quarter faster and finds the same faults.
ODR_CHECKS = -flto=auto -Werror=odr -Werror=lto-type-mismatch
ODR_ARGS = -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -g0 -DNDEBUG" \
  "-DCMAKE_CXX_FLAGS=$(PACKAGER_CXXFLAGS) $(ODR_CHECKS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(PACKAGER_LDFLAGS) $(ODR_CHECKS)"
# Every build made here stops on a warning; a plain `cmake` (a distribution's) does not.
DEVELOPER_ARGS = -DMERKHAUS_WERROR=ON

.PHONY: all deps build run test check-format test-main test-asan test-odr bench deb format clean

all: build

deps:
	@./scripts/install-deps

# The benchmarks are compiled with everything else, so that a change that breaks them shows in
# `make test`; they are run only by `make bench`.
build: deps
	@cmake -S . -B $(BUILD) $(RELEASE_ARGS) $(DEVELOPER_ARGS) -DMERKHAUS_BENCH=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/merkhaus $(BUILD)/examples/englisch-grundwortschatz.fid

test-main: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The sanitizers' reports need only line tables (-g1), which build faster than full debug
# information; gold links the large instrumented programs faster than the default linker.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
	  -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold -DMERKHAUS_SANITIZE=ON $(DEVELOPER_ARGS) \
	  $(CMAKE_ARGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

test-odr: deps
	@cmake -S . -B $(ODR_BUILD) $(ODR_ARGS) $(DEVELOPER_ARGS) $(CMAKE_ARGS) >/dev/null
	@cmake --build $(ODR_BUILD) -j $(JOBS) --target merkhaus-tool

check-format: deps
	@./scripts/check-format

test: check-format test-main test-odr test-asan

bench: deps
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DMERKHAUS_BENCH=ON $(DEVELOPER_ARGS) $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target merkhaus_bench merkhaus_progress_bench \
	  merkhaus_unicode_bench merkhaus-tool
	./$(BENCH_BUILD)/bench/merkhaus_bench
	./$(BENCH_BUILD)/bench/merkhaus_progress_bench
	./$(BENCH_BUILD)/bench/merkhaus_unicode_bench
	./bench/speed_limits.sh $(BENCH_BUILD)/merkhaus-tool

# The Debian package of the build, e.g. merkhaus_3.05-1_amd64.deb, into this folder.
deb: build
	@rm -f merkhaus_*.deb
	cd $(BUILD) && cpack -G DEB -B package
	mv $(BUILD)/package/merkhaus_*.deb .

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(ODR_BUILD) $(BENCH_BUILD) merkhaus_*.deb
