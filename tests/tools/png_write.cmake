# The tools' PNG writer: what it writes reads back as the same picture.
add_executable(png_write_test ${CMAKE_CURRENT_LIST_DIR}/png_write_test.cpp)
target_link_libraries(png_write_test PRIVATE pngwrite PNG::PNG GTest::gtest_main)
gtest_discover_tests(png_write_test)
