# The installed toolkit: headers, the static libraries and a CMake package, so that another
# project builds with find_package(zkl) and target_link_libraries(app zkl::zkl).
#
# An installed zkl is linked by applications, so its seams resolve to this platform's own
# implementations (window layer, file mapping, OpenGL and GLU); see vavarizo_implements.
include(CMakePackageConfigHelpers)

install(TARGETS zkl dib vavarizo_headers seam_window seam_files seam_gl platform_files platform_window
        EXPORT zklTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

# Headers keep their room, as the sources include them: <zkl/vector.h>, and beside them the
# decoder and window seam headers that zkl's own headers include.
file(GLOB zkl_headers ${PROJECT_SOURCE_DIR}/zkl/*.h)
install(FILES ${zkl_headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zkl)
install(FILES ${PROJECT_SOURCE_DIR}/image/dib.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/image)
install(FILES ${PROJECT_SOURCE_DIR}/platform/msgbox.h ${PROJECT_SOURCE_DIR}/platform/win.h
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
