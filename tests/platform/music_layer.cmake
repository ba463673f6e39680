# The real music layer on SDL's dummy audio driver, with a tiny module the test writes itself.
add_executable(music_layer_test ${CMAKE_CURRENT_LIST_DIR}/music_layer_test.cpp)
target_link_libraries(music_layer_test PRIVATE platform_music tiny_xm GTest::gtest_main)
gtest_discover_tests(music_layer_test PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy")
