# The SDL2 window layer on SDL's offscreen video driver (asked for explicitly, so it counts as a
# display): messages from SDL events, the quit, the default procedure, GL context and swap.
add_executable(platform_window_test ${CMAKE_CURRENT_LIST_DIR}/window_test.cpp
               ${CMAKE_CURRENT_LIST_DIR}/display_text_test.cpp)
target_link_libraries(platform_window_test PRIVATE platform_window GTest::gtest_main)
gtest_discover_tests(platform_window_test PROPERTIES ENVIRONMENT
  "SDL_VIDEODRIVER=offscreen;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan_third_party.supp")
