# The tools against hostile arguments, files, signals, memory limits and full disks.
if(TARGET vavarizo-render AND TARGET zkl-gallery)
  add_executable(hostile_test ${CMAKE_CURRENT_LIST_DIR}/hostile_test.cpp)
  target_link_libraries(hostile_test PRIVATE bmpwrite GTest::gtest_main)
  target_compile_definitions(hostile_test PRIVATE RENDER_TOOL="$<TARGET_FILE:vavarizo-render>"
    MUSIC_TOOL="$<TARGET_FILE:vavarizo-music>" SPRITES_TOOL="$<TARGET_FILE:vavarizo-sprites>"
    GALLERY_TOOL="$<TARGET_FILE:zkl-gallery>" $<$<BOOL:${VAVARIZO_SANITIZE}>:UNDER_SANITIZER>)
  add_dependencies(hostile_test vavarizo-render vavarizo-music vavarizo-sprites zkl-gallery)
  gtest_discover_tests(hostile_test PROPERTIES ENVIRONMENT "DISPLAY=;WAYLAND_DISPLAY=")
endif()
