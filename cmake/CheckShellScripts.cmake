# Fails when shellcheck warns about one of the project's shell scripts (sourced files followed).
#   cmake -DSHELLCHECK=<shellcheck> -DROOT=<project> -P CheckShellScripts.cmake
file(GLOB_RECURSE _scripts RELATIVE "${ROOT}"
  "${ROOT}/scripts/*.sh" "${ROOT}/tests/*.sh" "${ROOT}/packaging/*.sh" "${ROOT}/bench/*.sh")
list(APPEND _scripts .ci/run)
execute_process(
  COMMAND ${SHELLCHECK} -x -P SCRIPTDIR -S warning ${_scripts}
  WORKING_DIRECTORY "${ROOT}"
  RESULT_VARIABLE _rc
  OUTPUT_VARIABLE _out
  ERROR_VARIABLE _err)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "shellcheck:\n${_out}${_err}")
endif()
