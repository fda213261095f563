# Makes Quillmark-setup.exe in OUT_DIR from the portable stage STAGE (without portable.ini),
# here on the build machine: quillmark-cli.exe writes the [Files] section and Inno Setup's
# compiler ISCC (a 32-bit Windows program) compiles packaging/windows/Quillmark.iss, both
# under wine in the prefix PREFIX. Without ISCC or a wine that starts it the setup is not made,
# and the build says why.
#   cmake -DSTAGE=... -DOUT_DIR=... -DVERSION=... -DISCC=... -DPREFIX=... -DSOURCE_DIR=...
#         -P MakeInstaller.cmake
set(_wine32 /usr/lib/wine/wine)
set(_wine64 /usr/lib/wine/wine64)
set(_setup "${OUT_DIR}/Quillmark-setup.exe")
file(REMOVE "${_setup}")
if(NOT EXISTS "${ISCC}")
  message(WARNING "Quillmark-setup.exe is not made: no ${ISCC} (scripts/setup.sh install)")
  return()
endif()
execute_process(COMMAND ${_wine32} --version RESULT_VARIABLE _rc OUTPUT_QUIET ERROR_QUIET)
if(NOT _rc EQUAL 0)
  message(WARNING "Quillmark-setup.exe is not made: 32-bit wine cannot start here")
  return()
endif()
if(NOT EXISTS "${PREFIX}/system.reg")
  execute_process(COMMAND bash "${SOURCE_DIR}/tests/support/wine-lane.sh" setup "${PREFIX}"
                  RESULT_VARIABLE _rc OUTPUT_QUIET)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "no wine prefix for the installer in ${PREFIX}")
  endif()
endif()
set(ENV{WINEPREFIX} "${PREFIX}")
set(ENV{WINEDEBUG} "-all")
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")

# Wine sees the build machine's files on drive Z:.
function(_wine_path out path)
  string(REPLACE "/" "\\" _p "${path}")
  set(${out} "Z:${_p}" PARENT_SCOPE)
endfunction()

set(_tree "${OUT_DIR}/installer/tree")
file(REMOVE_RECURSE "${OUT_DIR}/installer")
file(COPY "${STAGE}/" DESTINATION "${_tree}" PATTERN portable.ini EXCLUDE)
configure_file("${SOURCE_DIR}/packaging/windows/Quillmark.iss" "${OUT_DIR}/installer/Quillmark.iss"
               COPYONLY)
_wine_path(_tree_w "${_tree}/")
_wine_path(_files_w "${OUT_DIR}/installer/Files.iss")
execute_process(
  COMMAND ${_wine64} "${_tree}/quillmark-cli.exe" files "${_tree_w}" --dest "{app}"
          --flags ignoreversion --quiet -o "${_files_w}"
  RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "quillmark-cli.exe could not list ${_tree}")
endif()
_wine_path(_source_w "${_tree}")
file(WRITE "${OUT_DIR}/installer/Build.iss"
  "; Written at packaging time from the install tree.\n"
  "AppVersion=${VERSION}\n"
  "VersionInfoVersion=${VERSION}.0\n"
  "SourceDir=${_source_w}\n")
_wine_path(_script_w "${OUT_DIR}/installer/Quillmark.iss")
_wine_path(_out_w "${OUT_DIR}")
execute_process(COMMAND ${_wine32} "${ISCC}" "/O${_out_w}" "${_script_w}"
                RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
if(NOT _rc EQUAL 0 OR NOT EXISTS "${_setup}")
  message(FATAL_ERROR "ISCC could not compile Quillmark.iss:\n${_out}")
endif()
if(_out MATCHES "Warning")
  message(FATAL_ERROR "Quillmark.iss compiles with warnings:\n${_out}")
endif()
