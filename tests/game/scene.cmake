# The frame and its actors, checked call by call through the GL recorder with a scripted clock,
# and the scene texture set loaded from its files.
add_executable(scene_test ${CMAKE_CURRENT_LIST_DIR}/scene_test.cpp)
target_link_libraries(scene_test PRIVATE game zkl dib bmpwrite fake_platform fake_music gl_recorder GTest::gtest_main)
gtest_discover_tests(scene_test)
