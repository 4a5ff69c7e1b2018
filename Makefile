# make run   installs what is missing, builds, runs the main job
# make test  installs what is missing, builds, runs every test
# make test SANITIZE=1  the same with AddressSanitizer and UndefinedBehaviorSanitizer
# make fuzz  builds the fuzz targets with clang and runs each FUZZ_SECONDS on its corpus

JOBS     ?= $(shell nproc)
SANITIZE ?= 0
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

FUZZ_SECONDS ?= 60
FUZZ_JOBS    ?= $(JOBS)

.PHONY: all deps configure build run test bench fuzz clean

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

bench: build
	@scripts/bench $(BUILD_DIR)

fuzz:
	@scripts/install-deps --fuzz
	@FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_JOBS=$(FUZZ_JOBS) scripts/fuzz

clean:
	rm -rf build build-asan build-fuzz
