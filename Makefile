# Thin front for CMake. `make run` and `make test` are the two commands that matter.
BUILD      ?= build
ASAN_BUILD ?= build-asan
ASSETS_OUT ?= $(BUILD)/assets
CMAKE_FLAGS ?=
# Warnings stop the build in `make test` (and so in CI), never in a user's `make build` or `make run`.
WERROR     ?= OFF

.PHONY: all bootstrap build asan run test test-fast assets clean

all: build

test test-fast: WERROR = ON

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVAVARIZO_WERROR=$(WERROR) $(CMAKE_FLAGS)
	@cmake --build $(BUILD)

# Sanitizer build with clang, which also builds the fuzz targets.
asan: bootstrap
	@CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DVAVARIZO_SANITIZE=ON -DVAVARIZO_BENCH=OFF -DVAVARIZO_WERROR=$(WERROR) $(CMAKE_FLAGS)
	@cmake --build $(ASAN_BUILD)

# The default assets, made from source: seven BMPs and the module.
SPRITE_FILES := grass morvask liten stor lampa kossa hal

assets: build
	@$(BUILD)/bin/vavarizo-sprites "$(ASSETS_OUT)"
	@$(BUILD)/bin/vavarizo-music "$(ASSETS_OUT)"

# Makes the assets first when any is missing; the show reads them from its current directory.
# Ending the show with a close or with Escape is success; its own exit code stays what it is.
run: build
	@for f in $(SPRITE_FILES); do [ -f "$(BUILD)/assets/$$f.bmp" ] || missing=1; done; \
	 if [ -n "$$missing" ]; then $(BUILD)/bin/vavarizo-sprites "$(BUILD)/assets"; fi
	@[ -f "$(BUILD)/assets/morvask1.xm" ] || $(BUILD)/bin/vavarizo-music "$(BUILD)/assets"
	@cd "$(BUILD)/assets" && "$(CURDIR)/scripts/run-show" ../bin/vavarizo

test-fast: build
	@ctest --test-dir $(BUILD) --output-on-failure -j2

test: build asan
	@ctest --test-dir $(BUILD) --output-on-failure -j2
	@ctest --test-dir $(ASAN_BUILD) --output-on-failure -j2

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
