# Test script: installs the build into a fresh prefix and starts the program through the link
# in bin/. On its first start it picks the English language file, which it finds only in the
# Language folder beside the real executable: the settings it writes prove that "beside the
# executable" follows the link.
set(prefix "${BUILD_DIR}/install-check")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed")
endif()
if(NOT IS_SYMLINK "${prefix}/bin/quillmark" OR NOT EXISTS "${prefix}/lib/quillmark/Language/English.ini")
  message(FATAL_ERROR "unexpected layout of the installed tree")
endif()

set(home "${prefix}/home")
file(MAKE_DIRECTORY "${home}/run")
file(CHMOD "${home}/run" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{XDG_CONFIG_HOME} "${home}/config")
set(ENV{XDG_DATA_HOME} "${home}/data")
set(ENV{XDG_RUNTIME_DIR} "${home}/run")
set(ENV{QUILLMARK_REGISTRY_FILE} "${home}/hkcu.txt")
set(ENV{LC_ALL} C.UTF-8)
set(ENV{LANGUAGE} en)
# The program runs until it is stopped; by then it has written its first settings.
execute_process(COMMAND "${prefix}/bin/quillmark" TIMEOUT 5 OUTPUT_QUIET ERROR_QUIET)
file(GLOB_RECURSE settings "${home}/config/*/Option.ini")
if(NOT settings)
  message(FATAL_ERROR "the installed program wrote no settings")
endif()
file(READ "${settings}" text)
if(NOT text MATCHES "Language=English")
  message(FATAL_ERROR "the installed program did not find its language files: ${text}")
endif()
