# vavarizo-render end to end: pictures from small hand-made textures, sequences, argument errors.
if(TARGET vavarizo-render)
  add_executable(render_test ${CMAKE_CURRENT_LIST_DIR}/render_test.cpp)
  target_link_libraries(render_test PRIVATE bmpwrite PNG::PNG GTest::gtest_main)
  target_compile_definitions(render_test PRIVATE RENDER_TOOL="$<TARGET_FILE:vavarizo-render>")
  add_dependencies(render_test vavarizo-render)
  # The default module, for the sequences with music.
  if(TARGET vavarizo-music)
    target_compile_definitions(render_test PRIVATE MUSIC_TOOL="$<TARGET_FILE:vavarizo-music>")
    add_dependencies(render_test vavarizo-music)
  endif()
  # No display: a missing texture must be reported on stderr, never in a box that waits.
  gtest_discover_tests(render_test PROPERTIES ENVIRONMENT "DISPLAY=;WAYLAND_DISPLAY=")
endif()
