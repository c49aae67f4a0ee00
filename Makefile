# The two commands a fresh Debian 12 machine needs:
#   make run    set up, build, and start the changer under Wine
#               (make run MODE=demo: a demonstration saver session)
#   make test   set up, build both targets, run every test (the i686 suite
#               only where the machine runs 32-bit programs)
# and, to make a release:
#   make dist   dist/tolvarin-<version>.zip, tested
BUILD := build
ROOT := $(abspath $(BUILD))
JOBS ?= 2
MAKEFLAGS += --no-print-directory

.PHONY: all setup build build32 build64 test run bench dist clean

all: build

setup:
	@bash scripts/setup.sh

build32: setup
	@cmake -S . -B $(BUILD)/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DTOLVARIN_TESTS=ON >/dev/null
	@cmake --build $(BUILD)/i686 -j$(JOBS)

build64: setup
	@cmake -S . -B $(BUILD)/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DTOLVARIN_TESTS=ON >/dev/null
	@cmake --build $(BUILD)/x86_64 -j$(JOBS)

build: build32 build64

# The release archive's tests are part of the suites, so the archive is made first.
test: build
	@bash scripts/dist.sh $(BUILD) dist
	@scripts/test.sh $(BUILD)

run: build
	@scripts/run.sh $(BUILD) $(MODE)

bench: build
	@scripts/bench.sh $(BUILD)

dist: build
	@bash scripts/dist.sh $(BUILD) dist --test

clean:
	rm -rf $(BUILD) dist
