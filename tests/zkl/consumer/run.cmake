# cmake -DBUILD_DIR= -DSOURCE_DIR= -DWORK_DIR= -DCXX= -DGENERATOR= -P run.cmake: installs the build
# into a fresh prefix, then builds and runs a program that finds the toolkit with find_package(zkl).
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  message(STATUS "${what}: ${out}")
endfunction()

step("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
step("configure" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
     -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
step("build" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
step("run" ${WORK_DIR}/build/zkl_consumer)
file(REMOVE_RECURSE ${WORK_DIR})
