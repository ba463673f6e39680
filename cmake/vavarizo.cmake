# How the build is put together: the seams between portable code and a platform, and the one
# function that declares a test program.

# Every target includes headers by their room ("image/dib.h", "zkl/textures.h", "tests/support/...").
add_library(vavarizo_headers INTERFACE)
set_target_properties(vavarizo_headers PROPERTIES EXPORT_NAME headers)
target_include_directories(vavarizo_headers INTERFACE $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                           $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

# The seams. Portable code (image, zkl, game) links the seam it calls, never an implementation:
#   seam_window  platform/win.h, platform/msgbox.h   windows, messages, message boxes, GL context
#   seam_music   platform/music.h                    the module player and its clock
#   seam_files   platform/file_map.h, memory_advice.h
#   seam_gl      <GL/gl.h>, <GL/glu.h>
# A seam's link interface is evaluated on the executable that finally links it: the property
# VAVARIZO_<SEAM>_IMPL on that executable names the implementation it uses (tests set it to a
# fake, see vavarizo_test); without it the platform's own implementation is linked, registered
# with vavarizo_implements() in the platform's folder.
set(VAVARIZO_SEAMS window music files gl)
foreach(seam ${VAVARIZO_SEAMS})
  add_library(seam_${seam} INTERFACE)
  target_link_libraries(seam_${seam} INTERFACE vavarizo_headers)
endforeach()

# vavarizo_implements(<seam> <target>...): the platform's implementation of <seam>.
function(vavarizo_implements seam)
  string(TOUPPER ${seam} SEAM)
  get_target_property(taken seam_${seam} VAVARIZO_PLATFORM_IMPL)
  if(taken)
    message(FATAL_ERROR "seam ${seam}: ${ARGN} and ${taken} both claim to implement it")
  endif()
  set_target_properties(seam_${seam} PROPERTIES VAVARIZO_PLATFORM_IMPL "${ARGN}")
  set(chosen "$<TARGET_PROPERTY:VAVARIZO_${SEAM}_IMPL>")
  target_link_libraries(seam_${seam} INTERFACE "$<BUILD_INTERFACE:${chosen}>")
  foreach(impl ${ARGN})
    target_link_libraries(seam_${seam} INTERFACE "$<BUILD_INTERFACE:$<$<NOT:$<BOOL:${chosen}>>:${impl}>>"
                          $<INSTALL_INTERFACE:${impl}>)
  endforeach()
endfunction()
