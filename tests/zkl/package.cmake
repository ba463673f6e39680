# The installed toolkit works for a project outside this one. The sanitizer build is left out:
# its libraries need the sanitizer runtime, which a plain consumer does not link.
if(NOT VAVARIZO_SANITIZE AND NOT WIN32)
  add_test(NAME zkl_package_consumer
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}/consumer
                   -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/zkl_consumer
                   -DCXX=${CMAKE_CXX_COMPILER} -DGENERATOR=${CMAKE_GENERATOR}
                   -P ${CMAKE_CURRENT_LIST_DIR}/consumer/run.cmake)
endif()
