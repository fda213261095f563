# Writes the installer's generated parts into OUT_DIR from the Windows install tree TREE:
# Files.iss (the [Files] section, written by quillmark-cli CLI) and Build.iss (VERSION and
# SourceDir).
#   cmake -DTREE=... -DCLI=... -DVERSION=... -DOUT_DIR=... -P MakeInstallerIncludes.cmake
foreach(_var TREE CLI VERSION OUT_DIR)
  if(NOT DEFINED ${_var})
    message(FATAL_ERROR "${_var} is not given")
  endif()
endforeach()
file(TO_NATIVE_PATH "${TREE}/" _tree)
execute_process(
  COMMAND "${CLI}" files "${_tree}" --dest "{app}" --flags ignoreversion --quiet
          -o "${OUT_DIR}/Files.iss"
  RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "quillmark-cli could not list ${TREE}")
endif()
file(TO_NATIVE_PATH "${TREE}" _source)
file(WRITE "${OUT_DIR}/Build.iss"
  "; Written at packaging time from the install tree.\n"
  "AppVersion=${VERSION}\n"
  "VersionInfoVersion=${VERSION}.0\n"
  "SourceDir=${_source}\n")
