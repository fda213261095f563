# Writes a portable archive OUT, staged in STAGE: PROGRAMS and LIBRARIES beside each other
# (stripped with STRIP when given), LANGUAGES into Language/, PLUGINS given as "folder|file", and
# portable.ini. Its files lie at the archive's top, as the update extracts it over the
# program folder.
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/Language")
foreach(_program ${PROGRAMS} ${LIBRARIES})
  file(COPY "${_program}" DESTINATION "${STAGE}")
  get_filename_component(_name "${_program}" NAME)
  if(STRIP)
    execute_process(COMMAND "${STRIP}" "${STAGE}/${_name}" RESULT_VARIABLE _rc)
  endif()
endforeach()
file(COPY ${LANGUAGES} DESTINATION "${STAGE}/Language")
foreach(_plugin ${PLUGINS})
  string(REPLACE "|" ";" _parts "${_plugin}")
  list(GET _parts 0 _folder)
  list(GET _parts 1 _file)
  file(COPY "${_file}" DESTINATION "${STAGE}/${_folder}")
endforeach()
file(WRITE "${STAGE}/portable.ini"
  "; This file makes Quillmark portable: its settings stay in Config beside the program.\n")
file(REMOVE "${OUT}")
file(GLOB _entries RELATIVE "${STAGE}" "${STAGE}/*")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUT}" --format=zip ${_entries}
                WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "could not write ${OUT}")
endif()
