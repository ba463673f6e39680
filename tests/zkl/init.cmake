# The window and context code against the scripted platform and the GL recorder.
add_executable(zkl_init_tests init_test.cpp)
target_link_libraries(zkl_init_tests PRIVATE zkl fake_platform gl_recorder GTest::gtest_main)
gtest_discover_tests(zkl_init_tests)
