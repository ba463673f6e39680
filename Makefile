# Thin front for CMake. `make run` and `make test` are the two commands that matter.
BUILD      ?= build
ASAN_BUILD ?= build-asan
ASSETS_OUT ?= $(BUILD)/assets
WIN_BUILD  ?= build-win
CMAKE_FLAGS ?=

.PHONY: all bootstrap build asan run test test-fast test-all assets windows windows-tests clean

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

# The default assets, made from source: seven BMPs and the module.
SPRITE_FILES := grass morvask liten stor lampa kossa hal

assets: build
	@$(BUILD)/bin/vavarizo-sprites "$(ASSETS_OUT)"
	@$(BUILD)/bin/vavarizo-music "$(ASSETS_OUT)"

# Makes the assets first when any is missing; the show reads them from its current directory.
run: build
	@for f in $(SPRITE_FILES); do [ -f "$(BUILD)/assets/$$f.bmp" ] || missing=1; done; \
	 if [ -n "$$missing" ]; then $(BUILD)/bin/vavarizo-sprites "$(BUILD)/assets"; fi
	@[ -f "$(BUILD)/assets/morvask1.xm" ] || $(BUILD)/bin/vavarizo-music "$(BUILD)/assets"
	@cd "$(BUILD)/assets" && ../bin/vavarizo

test-fast: build
	@ctest --test-dir $(BUILD) --output-on-failure -j2

test: build asan
	@ctest --test-dir $(BUILD) --output-on-failure -j2
	@ctest --test-dir $(ASAN_BUILD) --output-on-failure -j2

# The show for 64-bit Windows: $(WIN_BUILD)/vavarizo-win64.zip. SDL2, libopenmpt, libpng and
# GoogleTest are cross-built once from Debian's sources and cached outside the clone; the assets
# come from the native asset makers.
WIN_PROGRAMS := vavarizo vavarizo-render zkl-gallery

windows: bootstrap
	@scripts/bootstrap windows
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) --target vavarizo-sprites vavarizo-music
	@deps=$$(scripts/windows-deps) && \
	 cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	   -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DVAVARIZO_WIN_DEPS="$$deps" \
	   -DVAVARIZO_NATIVE_BIN="$(abspath $(BUILD))/bin" -DVAVARIZO_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(WIN_BUILD) --target $(WIN_PROGRAMS)
	@scripts/windows-package $(WIN_BUILD) $(BUILD)/bin

# The portable tests built for Windows and run under Wine, and the program's own tests there.
windows-tests: windows
	@cmake --build $(BUILD) --target e2e_assets e2e_xclose vavarizo-render
	@cmake --build $(WIN_BUILD)
	@ctest --test-dir $(WIN_BUILD) --output-on-failure -j2

test-all: test windows-tests

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WIN_BUILD)
