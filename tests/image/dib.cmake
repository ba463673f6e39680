# The DIB decoder: the bmpsuite files against their reference pictures, hand-made files,
# and the loader's messages.
add_executable(dib_tests dib_suite_test.cpp dib_decode_test.cpp dib_load_test.cpp)
target_link_libraries(dib_tests PRIVATE dib bmpwrite fake_platform PNG::PNG GTest::gtest_main)
target_compile_definitions(dib_tests PRIVATE
  VAVARIZO_SHARED_DIR="${VAVARIZO_SHARED_DIR}")
gtest_discover_tests(dib_tests)
