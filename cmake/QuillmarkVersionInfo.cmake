# qm_embed_version_info(TARGET DESCRIPTION [ICON]): gives an executable the program's version
# block: a VERSIONINFO resource on Windows (with ICON, also the program's icon, made from
# packaging/linux/quillmark.svg), elsewhere the same block in a section of the binary.
set(QM_COMPANY_NAME "Quillmark Team")
set(QM_LEGAL_COPYRIGHT "Copyright (C) 2026 Quillmark Team")
set(QM_PRODUCT_NAME "Quillmark")
# The four numbers of the file version.
set(QM_FILE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")

function(qm_embed_version_info target description)
  set(_version "${QM_FILE_VERSION}")
  if(WIN32)
    set(QM_FILE_DESCRIPTION "${description}")
    string(REPLACE "." "," QM_VERSION_COMMAS "${_version}")
    set(QM_VERSION_TEXT "${_version}")
    set(QM_ICON_LINE "")
    set(_rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
    find_program(QM_RSVG_CONVERT rsvg-convert)
    find_program(QM_ICOTOOL icotool)
    if(ARGV2 STREQUAL "ICON" AND QM_RSVG_CONVERT AND QM_ICOTOOL)
      set(_ico "${CMAKE_CURRENT_BINARY_DIR}/${target}.ico")
      set(_svg "${PROJECT_SOURCE_DIR}/packaging/linux/quillmark.svg")
      set(_pngs)
      foreach(_size 16 24 32 48 64 256)
        set(_png "${CMAKE_CURRENT_BINARY_DIR}/icon-${_size}.png")
        list(APPEND _pngs "${_png}")
        add_custom_command(OUTPUT "${_png}"
          COMMAND ${QM_RSVG_CONVERT} -w ${_size} -h ${_size} -o "${_png}" "${_svg}"
          DEPENDS "${_svg}" VERBATIM)
      endforeach()
      add_custom_command(OUTPUT "${_ico}" COMMAND ${QM_ICOTOOL} -c -o "${_ico}" ${_pngs}
                         DEPENDS ${_pngs} VERBATIM)
      set(QM_ICON_LINE "1 ICON \"${_ico}\"")
      set_source_files_properties("${_rc}" PROPERTIES OBJECT_DEPENDS "${_ico}")
    endif()
    configure_file("${PROJECT_SOURCE_DIR}/cmake/version.rc.in" "${_rc}" @ONLY)
    target_sources(${target} PRIVATE "${_rc}")
  else()
    set(_cpp "${CMAKE_CURRENT_BINARY_DIR}/${target}_version_block.cpp")
    add_custom_command(
      OUTPUT "${_cpp}"
      COMMAND qm_make_version_block "${_cpp}" "${_version}" "${QM_COMPANY_NAME}"
              "${QM_LEGAL_COPYRIGHT}" "${QM_PRODUCT_NAME}" "${description}"
      DEPENDS qm_make_version_block
      COMMENT "Version block of ${target}"
      VERBATIM)
    target_sources(${target} PRIVATE "${_cpp}")
  endif()
endfunction()
