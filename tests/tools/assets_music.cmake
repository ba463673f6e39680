# The XM writer and the composed song, checked with libopenmpt and libxmp.
pkg_check_modules(XMP REQUIRED IMPORTED_TARGET libxmp)
add_executable(assets_music_tests ${CMAKE_CURRENT_LIST_DIR}/assets_music_test.cpp)
target_link_libraries(assets_music_tests PRIVATE assetmusic PkgConfig::OPENMPT PkgConfig::XMP GTest::gtest_main)
gtest_discover_tests(assets_music_tests)
