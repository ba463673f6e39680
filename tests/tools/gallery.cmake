# zkl-gallery renders every piece of the toolkit offscreen, the same bytes on every run.
if(TARGET zkl-gallery)
  add_executable(gallery_tests ${CMAKE_CURRENT_LIST_DIR}/gallery_test.cpp)
  target_compile_definitions(gallery_tests PRIVATE ZKL_GALLERY="$<TARGET_FILE:zkl-gallery>")
  target_link_libraries(gallery_tests PRIVATE PNG::PNG GTest::gtest_main)
  add_dependencies(gallery_tests zkl-gallery)
  gtest_discover_tests(gallery_tests)
endif()
