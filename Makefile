# Thin front for CMake. `make run` and `make test` are the two commands that matter.
BUILD      ?= build
ASAN_BUILD ?= build-asan
ASSETS_OUT ?= $(BUILD)/assets
CMAKE_FLAGS ?=

.PHONY: all bootstrap build asan run test test-fast assets clean

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)

# Sanitizer build with clang, which also builds the fuzz targets.
asan: bootstrap
	@CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DVAVARIZO_SANITIZE=ON -DVAVARIZO_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD)

assets: build
	@if [ -x $(BUILD)/bin/vavarizo-assets ]; then $(BUILD)/bin/vavarizo-assets "$(ASSETS_OUT)"; fi

run: build
	@if [ -x $(BUILD)/bin/vavarizo-assets ] && [ ! -f $(BUILD)/assets/morvask1.xm ]; then \
	  $(BUILD)/bin/vavarizo-assets $(BUILD)/assets; fi
	@mkdir -p $(BUILD)/assets
	@cd $(BUILD)/assets && ../bin/vavarizo

test-fast: build
	@ctest --test-dir $(BUILD) --output-on-failure -j2

test: build asan
	@ctest --test-dir $(BUILD) --output-on-failure -j2
	@ctest --test-dir $(ASAN_BUILD) --output-on-failure -j2

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
