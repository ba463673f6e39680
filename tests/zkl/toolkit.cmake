# The toolkit's vector, generators, materials and lights, relief, font and sprite field, drawn
# into the GL recorder.
add_executable(zkl_toolkit_tests
  ${CMAKE_CURRENT_LIST_DIR}/toolkit_generators_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/toolkit_extras_test.cpp)
target_link_libraries(zkl_toolkit_tests PRIVATE zkl dib bmpwrite fake_platform gl_recorder GTest::gtest_main)
# A guard that fails lets a generator loop for ever: the timeout turns that into a failure.
gtest_discover_tests(zkl_toolkit_tests PROPERTIES TIMEOUT 60)
