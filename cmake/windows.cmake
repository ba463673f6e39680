# The libraries of the Windows build, all linked statically so that the programs need no DLLs.
# They come from the cached cross-build of scripts/windows-deps (VAVARIZO_WIN_DEPS); the targets
# get the names the Linux build uses, so the rooms link them unchanged.
if(NOT VAVARIZO_WIN_DEPS)
  message(FATAL_ERROR "Set VAVARIZO_WIN_DEPS to the prefix printed by scripts/windows-deps")
endif()
list(PREPEND CMAKE_PREFIX_PATH ${VAVARIZO_WIN_DEPS})
add_link_options(-static -static-libgcc -static-libstdc++)
# GCC 12 misreads libstdc++'s own string code under this ABI's optimiser (false -Wrestrict).
add_compile_options(-Wno-error=restrict)
# GL/gl.h would otherwise bring in all of windows.h (and its MessageBox macro) wherever GL is
# used; with these it declares plain functions, resolved by opengl32's import library.
add_compile_definitions(WINGDIAPI= APIENTRY=WINAPI WINAPI=__stdcall CALLBACK=__stdcall)

find_package(OpenGL REQUIRED COMPONENTS OpenGL)
if(NOT TARGET OpenGL::GLU)
  add_library(OpenGL::GLU INTERFACE IMPORTED)
  set_target_properties(OpenGL::GLU PROPERTIES INTERFACE_LINK_LIBRARIES glu32)
endif()

find_package(SDL2 REQUIRED CONFIG)
if(NOT TARGET SDL2::SDL2)
  add_library(SDL2::SDL2 INTERFACE IMPORTED)
  set_target_properties(SDL2::SDL2 PROPERTIES INTERFACE_LINK_LIBRARIES SDL2::SDL2-static)
endif()

add_library(PkgConfig::OPENMPT INTERFACE IMPORTED)
set_target_properties(PkgConfig::OPENMPT PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${VAVARIZO_WIN_DEPS}/include
  INTERFACE_LINK_LIBRARIES ${VAVARIZO_WIN_DEPS}/lib/libopenmpt.a)

set(ZLIB_ROOT ${VAVARIZO_WIN_DEPS})
set(PNG_ROOT ${VAVARIZO_WIN_DEPS})
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)

# Tests run under Wine; the test list is read when CTest runs, so building needs no Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/windows/wine-run ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
