# Twinward's entry points. Each target installs what it is missing, configures its own build
# folder and builds there, so the variants never share object files.
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja
FUZZ_SECONDS ?= 60

.PHONY: all build test test-asan test-tsan bench bench-gui fuzz demo gui screenshots deps clean

all: build

deps:
	@bash scripts/install-deps.sh build

build: deps
	@cmake -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build -j $(JOBS)

test: build
	@cd build && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B build-asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTWN_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

TSAN_TESTS ?= ^(JobRun|QueueHost|CliRun|Scan|ParallelScan|ChangeWatchTest)\.

test-tsan: deps
	@cmake -S . -B build-tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTWN_TSAN=ON >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	@cd build-tsan && ctest --output-on-failure -j $(JOBS) -R '$(TSAN_TESTS)'

bench:
	@bash scripts/install-deps.sh bench
	@cmake -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DTWN_BENCH=ON -DTWN_TESTS=OFF -DTWN_GUI=OFF >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@bash bench/run.sh build-bench

# The window's start-up time and memory at rest with 1,000 jobs, and the Visual run grid on
# 100,000 files per side (use the normal build).
bench-gui: build
	@bash bench/gui/gui_start.sh build 1000
	@QT_QPA_PLATFORM=offscreen build/twn-visual-bench 100000

fuzz:
	@bash scripts/install-deps.sh fuzz
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTWN_FUZZ=ON -DTWN_TESTS=OFF -DTWN_GUI=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@bash fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

demo: build
	@bash scripts/demo.sh build

gui: build
	@./build/twn

screenshots: build
	@QT_QPA_PLATFORM=offscreen ./build/twn-screenshots build/screenshots

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz
