# cTexture: through the GL recorder (every call and the bytes handed to GL), and on a real
# offscreen Mesa context (what GL actually holds afterwards).
add_executable(textures_test ${CMAKE_CURRENT_LIST_DIR}/textures_test.cpp)
target_link_libraries(textures_test PRIVATE zkl dib bmpwrite fake_platform gl_recorder GTest::gtest_main)
gtest_discover_tests(textures_test)

# Real GL needs a display under Wine; the Windows build checks GL through the program itself.
if(NOT WIN32)
  add_executable(textures_gl_test ${CMAKE_CURRENT_LIST_DIR}/textures_gl_test.cpp)
  target_link_libraries(textures_gl_test PRIVATE zkl dib bmpwrite fake_platform platform_offscreen OpenGL::GL
                        GTest::gtest_main)
  gtest_discover_tests(textures_gl_test)
endif()
