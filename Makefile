# The two commands a fresh Debian 12 machine needs:
#   make run    set up, build, and start the changer under Wine
#               (make run MODE=demo: a demonstration saver session)
#   make test   set up, build both targets, run every test (the i686 suite
#               only where the machine runs 32-bit programs)
BUILD := build
ROOT := $(abspath $(BUILD))
JOBS ?= 2
MAKEFLAGS += --no-print-directory

.PHONY: all setup build build32 build64 test run bench clean

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

test: build
	@scripts/test.sh $(BUILD)

run: build
	@scripts/run.sh $(BUILD) $(MODE)

bench: build
	@scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)
