# Test script: configures and builds cmake/windows-platform in BUILD_DIR (the platform layer and
# its tests for Windows).
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${ROOT}/cmake/windows-platform -B ${BUILD_DIR} -G Ninja
          -DCMAKE_TOOLCHAIN_FILE=${ROOT}/cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
          -DQM_DOCTEST_DIR=${QM_DOCTEST_DIR}
  RESULT_VARIABLE _rc)
if(_rc EQUAL 0)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} RESULT_VARIABLE _rc)
endif()
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "The Windows backends of src/platform do not build")
endif()
