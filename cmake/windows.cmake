# The libraries of the Windows build, from the cached cross-build of scripts/windows-deps
# (VAVARIZO_WIN_DEPS); the targets get the names the Linux build uses, so the rooms link them
# unchanged. SDL2 and libopenmpt are DLLs, shared by the zip's three programs instead of a copy
# in each; everything else, the C and C++ runtimes too, is linked into each program and DLL, so
# no other DLL is needed.
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

set(win_dll ${VAVARIZO_WIN_DEPS}/dll)
if(NOT EXISTS ${win_dll}/bin/SDL2.dll OR NOT EXISTS ${win_dll}/bin/libopenmpt-0.dll)
  message(FATAL_ERROR "No SDL2 and libopenmpt DLLs in ${win_dll}: run scripts/windows-deps")
endif()
add_library(SDL2::SDL2 SHARED IMPORTED)
set_target_properties(SDL2::SDL2 PROPERTIES
  IMPORTED_LOCATION ${win_dll}/bin/SDL2.dll
  IMPORTED_IMPLIB ${win_dll}/lib/libSDL2.dll.a
  INTERFACE_INCLUDE_DIRECTORIES ${win_dll}/include/SDL2)
add_library(PkgConfig::OPENMPT SHARED IMPORTED)
set_target_properties(PkgConfig::OPENMPT PROPERTIES
  IMPORTED_LOCATION ${win_dll}/bin/libopenmpt-0.dll
  IMPORTED_IMPLIB ${win_dll}/lib/libopenmpt.dll.a
  INTERFACE_INCLUDE_DIRECTORIES ${VAVARIZO_WIN_DEPS}/include
  INTERFACE_COMPILE_DEFINITIONS LIBOPENMPT_USE_DLL)
# Beside the programs and tests in bin/, where Windows looks first, as in the zip's folder.
file(COPY ${win_dll}/bin/SDL2.dll ${win_dll}/bin/libopenmpt-0.dll DESTINATION ${CMAKE_BINARY_DIR}/bin)

set(ZLIB_ROOT ${VAVARIZO_WIN_DEPS})
set(PNG_ROOT ${VAVARIZO_WIN_DEPS})
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)

# Tests run under Wine; the test list is read when CTest runs, so building needs no Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/windows/wine-run ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
