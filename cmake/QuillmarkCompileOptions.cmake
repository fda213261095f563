# Warnings, sanitizers and Qt's strictness switches for every target of the project.
add_library(qm_compile_options INTERFACE)

if(MSVC)
  target_compile_options(qm_compile_options INTERFACE /W4 /utf-8 $<$<BOOL:${QM_WERROR}>:/WX>)
else()
  target_compile_options(qm_compile_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Wnull-dereference -Wimplicit-fallthrough
    $<$<BOOL:${QM_WERROR}>:-Werror>)
endif()

# Text is QString everywhere; an implicit conversion from char* would silently pick an encoding.
target_compile_definitions(qm_compile_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_DISABLE_DEPRECATED_UP_TO=0x060400)

if(QM_SANITIZE)
  set(_qm_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(qm_compile_options INTERFACE ${_qm_san})
  target_link_options(qm_compile_options INTERFACE ${_qm_san})
  # The standard library's own checks (an empty container popped, an index out of range).
  target_compile_definitions(qm_compile_options INTERFACE _GLIBCXX_ASSERTIONS)
endif()

# Fuzzing (clang): the code is instrumented for libFuzzer's coverage and checked by the sanitizers;
# only the fuzz targets link libFuzzer itself.
if(QM_FUZZ)
  set(_qm_fuzz -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  target_compile_options(qm_compile_options INTERFACE ${_qm_fuzz})
  target_link_options(qm_compile_options INTERFACE -fsanitize=address,undefined)
endif()
