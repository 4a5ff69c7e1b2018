# make run   installs what is missing, builds, runs the main job
# make test  installs what is missing, builds, runs every test
# make test SANITIZE=1  the same with AddressSanitizer and UndefinedBehaviorSanitizer
# make package  builds the Debian package into build/package/
# make stress  repeats the end-to-end and GUI tests, 4 at a time, until one fails
# make fuzz  builds the fuzz targets with clang and runs each FUZZ_SECONDS on its corpus

JOBS     ?= $(shell nproc)
SANITIZE ?= 0
STRESS_ROUNDS ?= 20
STRESS_JOBS   ?= 4
ifeq ($(SANITIZE),1)
BUILD_DIR ?= build-asan
CMAKE_FLAGS += -DTAVRIN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_BUILD_BENCH=OFF
else
BUILD_DIR ?= build
CMAKE_FLAGS += -DCMAKE_BUILD_TYPE=RelWithDebInfo
endif
ifneq ($(CI),)
CMAKE_FLAGS += -DTAVRIN_WERROR=ON
endif
# ccache sees paths relative to the checkout, so a fresh clone in another folder reuses
# what an earlier build of the same sources compiled.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= true

FUZZ_SECONDS ?= 60
FUZZ_JOBS    ?= $(JOBS)

.PHONY: all deps configure build run test stress bench package fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run $(BUILD_DIR)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

stress: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -L '^test_(e2e|gui)$$' --repeat until-fail:$(STRESS_ROUNDS) -j $(STRESS_JOBS)

package: build
	@cd $(BUILD_DIR) && cpack -G DEB

bench: build
	@scripts/bench $(BUILD_DIR)

fuzz:
	@scripts/install-deps --fuzz
	@FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_JOBS=$(FUZZ_JOBS) scripts/fuzz

clean:
	rm -rf build build-asan build-fuzz
