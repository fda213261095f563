# Fails when a C++ file of the project does not follow .clang-format.
file(GLOB_RECURSE _files
  "${ROOT}/src/*.cpp" "${ROOT}/src/*.h"
  "${ROOT}/tests/*.cpp" "${ROOT}/tests/*.h"
  "${ROOT}/bench/*.cpp" "${ROOT}/bench/*.h")
execute_process(
  COMMAND ${CLANG_FORMAT} --dry-run --Werror ${_files}
  RESULT_VARIABLE _rc
  ERROR_VARIABLE _err)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "Files not formatted with clang-format:\n${_err}")
endif()
