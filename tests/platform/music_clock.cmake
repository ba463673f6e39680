# The heard clock, driven by a simulated audio device.
add_executable(music_clock_test ${CMAKE_CURRENT_LIST_DIR}/music_clock_test.cpp)
target_link_libraries(music_clock_test PRIVATE platform_music GTest::gtest_main)
gtest_discover_tests(music_clock_test)
