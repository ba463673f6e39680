# The scene clock over the scripted music layer.
add_executable(scene_clock_test ${CMAKE_CURRENT_LIST_DIR}/scene_clock_test.cpp ${CMAKE_SOURCE_DIR}/game/clock.cpp)
target_link_libraries(scene_clock_test PRIVATE fake_music GTest::gtest_main)
gtest_discover_tests(scene_clock_test)
