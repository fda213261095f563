# Fails when clang-tidy (with the project's .clang-tidy) finds something in src/.
#   cmake -DRUN_CLANG_TIDY=<run-clang-tidy> -DBUILD_DIR=<build> -DROOT=<project> -P CheckTidy.cmake
cmake_host_system_information(RESULT _cores QUERY NUMBER_OF_LOGICAL_CORES)
execute_process(
  COMMAND ${RUN_CLANG_TIDY} -quiet -p ${BUILD_DIR} -j ${_cores} "^${ROOT}/src/.*\\.cpp$"
  RESULT_VARIABLE _rc
  OUTPUT_VARIABLE _out
  ERROR_VARIABLE _err)
if(NOT _rc EQUAL 0)
  string(ASCII 27 _escape)
  string(REGEX REPLACE "${_escape}\\[[0-9;]*m" "" _out "${_out}")
  string(REGEX MATCHALL "[^\n]*(warning|error): [^\n]*" _found "${_out}")
  list(JOIN _found "\n  " _text)
  message(FATAL_ERROR "clang-tidy:\n  ${_text}")
endif()
