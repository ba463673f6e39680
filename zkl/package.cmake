# The installed toolkit: headers, the static libraries and a CMake package, so that another
# project builds with find_package(zkl) and target_link_libraries(app zkl::zkl).
#
# In this build zkl names no GL or window implementation (tests pick the recorder or fakes). An
# installed zkl is linked by applications, so its interface adds the real ones: the window
# layer (message boxes), OpenGL and GLU.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(zkl_installed_libraries zkl dib platform_files platform_window)
target_link_libraries(zkl INTERFACE $<INSTALL_INTERFACE:platform_window> $<INSTALL_INTERFACE:OpenGL::GL>
                      $<INSTALL_INTERFACE:OpenGL::GLU>)
target_include_directories(zkl INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

install(TARGETS ${zkl_installed_libraries} EXPORT zklTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

# Headers keep their room, as the sources include them: <zkl/vector.h>, and beside them the
# decoder and window seam headers that zkl's own headers include.
file(GLOB zkl_headers ${CMAKE_SOURCE_DIR}/zkl/*.h)
install(FILES ${zkl_headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zkl)
install(FILES ${CMAKE_SOURCE_DIR}/image/dib.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/image)
install(FILES ${CMAKE_SOURCE_DIR}/platform/msgbox.h ${CMAKE_SOURCE_DIR}/platform/win.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/platform)

set(zkl_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/zkl)
install(EXPORT zklTargets NAMESPACE zkl:: DESTINATION ${zkl_package_dir})
configure_package_config_file(${CMAKE_CURRENT_SOURCE_DIR}/zklConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/zklConfig.cmake
                              INSTALL_DESTINATION ${zkl_package_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/zklConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zklConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/zklConfigVersion.cmake
        DESTINATION ${zkl_package_dir})
