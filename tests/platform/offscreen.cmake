# The offscreen GL context of the tools, on Mesa without any display.
add_executable(offscreen_test ${CMAKE_CURRENT_LIST_DIR}/offscreen_test.cpp)
target_link_libraries(offscreen_test PRIVATE platform_offscreen OpenGL::GL GTest::gtest_main)
gtest_discover_tests(offscreen_test)
