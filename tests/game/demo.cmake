# The program's entry and main loop against the scripted platform, music and GL.
add_executable(game_demo_tests demo_test.cpp)
target_link_libraries(game_demo_tests PRIVATE game zkl dib fake_platform fake_music gl_recorder GTest::gtest_main)
gtest_discover_tests(game_demo_tests)
