# The two asset makers run as programs.
add_executable(assets_make_tests ${CMAKE_CURRENT_LIST_DIR}/assets_make_test.cpp)
target_link_libraries(assets_make_tests PRIVATE GTest::gtest_main)
target_compile_definitions(assets_make_tests PRIVATE
  VAVARIZO_SPRITES="$<TARGET_FILE:vavarizo-sprites>" VAVARIZO_MUSIC="$<TARGET_FILE:vavarizo-music>")
add_dependencies(assets_make_tests vavarizo-sprites vavarizo-music)
gtest_discover_tests(assets_make_tests)
