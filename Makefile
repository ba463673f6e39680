# Thin front for CMake. `make run` and `make test` are the two commands that matter.
BUILD      ?= build
ASAN_BUILD ?= build-asan
ASSETS_OUT ?= $(BUILD)/assets
WIN_BUILD  ?= build-win
CMAKE_FLAGS ?=
# Warnings stop the build in `make test` (and so in CI), never in a user's `make build` or `make run`.
WERROR     ?= OFF

.PHONY: all bootstrap build asan run test test-fast test-all assets clean web serve-web test-web bench-web \
        windows windows-tests

WEB_BUILD ?= build-web
WEB_PORT  ?= 8800
# emscripten's tools need Debian's acorn module, which another node on PATH would not find.
export NODE_PATH := /usr/share/nodejs

all: build

test test-fast test-web windows-tests: WERROR = ON

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

# The show in a browser: $(WEB_BUILD)/site is a static folder any web server can host as it is.
# libopenmpt for the browser is built once and cached outside the clone (scripts/web-deps).
web: bootstrap
	@scripts/bootstrap web
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVAVARIZO_WERROR=$(WERROR) $(CMAKE_FLAGS)
	@cmake --build $(BUILD) --target vavarizo-sprites vavarizo-music vavarizo-render
	@prefix=$$(scripts/web-deps) && emcmake cmake -S . -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DVAVARIZO_PLATFORM=web -DVAVARIZO_TESTS=OFF -DVAVARIZO_BENCH=OFF -DVAVARIZO_WERROR=$(WERROR) \
	  -DVAVARIZO_WEB_OPENMPT="$$prefix"
	@cmake --build $(WEB_BUILD) --target vavarizo-web
	@$(BUILD)/bin/vavarizo-sprites $(WEB_BUILD)/site
	@$(BUILD)/bin/vavarizo-music $(WEB_BUILD)/site

# Browsers refuse WebAssembly from file://, so the folder is served on this machine only.
serve-web: web
	@echo "The show: http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops the server)"
	@cd $(WEB_BUILD)/site && python3 -m http.server $(WEB_PORT) --bind 127.0.0.1

# The browser's driver comes from npm at the versions the lock file names, into the build folder.
$(WEB_BUILD)/node/node_modules/.package-lock.json: tests/web/package.json tests/web/package-lock.json
	@mkdir -p $(WEB_BUILD)/node
	@cp tests/web/package.json tests/web/package-lock.json $(WEB_BUILD)/node/
	@cd $(WEB_BUILD)/node && npm ci --ignore-scripts --no-audit --no-fund --silent

test-web: web $(WEB_BUILD)/node/node_modules/.package-lock.json
	@NODE_PATH=$(CURDIR)/$(WEB_BUILD)/node/node_modules node tests/web/web_test.js $(WEB_BUILD)/site $(BUILD)/bin/vavarizo-render

bench-web: web $(WEB_BUILD)/node/node_modules/.package-lock.json
	@NODE_PATH=$(CURDIR)/$(WEB_BUILD)/node/node_modules node bench/web/web_bench.js $(WEB_BUILD)/site

# The show for 64-bit Windows: $(WIN_BUILD)/vavarizo-win64.zip. SDL2, libopenmpt, libpng and
# GoogleTest are cross-built once from Debian's sources and cached outside the clone; the assets
# come from the native asset makers.
WIN_PROGRAMS := vavarizo vavarizo-render zkl-gallery

windows: bootstrap
	@scripts/bootstrap windows
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVAVARIZO_WERROR=$(WERROR) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) --target vavarizo-sprites vavarizo-music
	@deps=$$(scripts/windows-deps) && \
	 cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	   -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DVAVARIZO_WIN_DEPS="$$deps" \
	   -DVAVARIZO_NATIVE_BIN="$(abspath $(BUILD))/bin" -DVAVARIZO_BENCH=OFF -DVAVARIZO_WERROR=$(WERROR) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(WIN_BUILD) --target $(WIN_PROGRAMS)
	@scripts/windows-package $(WIN_BUILD) $(BUILD)/bin

# The portable tests built for Windows and run under Wine, and the program's own tests there.
windows-tests: windows
	@cmake --build $(BUILD) --target e2e_assets e2e_xclose vavarizo-render
	@cmake --build $(WIN_BUILD)
	@ctest --test-dir $(WIN_BUILD) --output-on-failure -j2

# Everything: both native builds' tests, the browser build's and the Windows build's.
test-all: test test-web windows-tests

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WEB_BUILD) $(WIN_BUILD)
