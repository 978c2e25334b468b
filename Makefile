# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrappers around CMake and CTest; see README.md.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps build run test check-format test-main test-asan bench deb format clean

all: build

deps:
	@./scripts/install-deps

# The benchmarks are compiled with everything else, so that a change that breaks them shows in
# `make test`; they are run only by `make bench`.
build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMERKHAUS_BENCH=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/merkhaus $(BUILD)/examples/englisch-grundwortschatz.fid

test-main: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMERKHAUS_SANITIZE=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

check-format: deps
	@./scripts/check-format

test: check-format test-main test-asan

bench: deps
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DMERKHAUS_BENCH=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target merkhaus_bench merkhaus_progress_bench
	./$(BENCH_BUILD)/bench/merkhaus_bench
	./$(BENCH_BUILD)/bench/merkhaus_progress_bench

# The Debian package of the build, e.g. merkhaus_3.05-1_amd64.deb, into this folder.
deb: build
	@rm -f merkhaus_*.deb
	cd $(BUILD) && cpack -G DEB -B package
	mv $(BUILD)/package/merkhaus_*.deb .

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) merkhaus_*.deb
