# The BMP writer the asset makers and tests rely on.
add_executable(bmp_write_tests bmp_write_test.cpp)
target_link_libraries(bmp_write_tests PRIVATE bmpwrite dib fake_platform GTest::gtest_main)
gtest_discover_tests(bmp_write_tests)
