# The seven pictures: their art, and their files read back by two decoders.
add_executable(assets_sprites_tests ${CMAKE_CURRENT_LIST_DIR}/assets_sprites_test.cpp)
target_link_libraries(assets_sprites_tests PRIVATE assetart dib fake_platform GTest::gtest_main)
gtest_discover_tests(assets_sprites_tests)
