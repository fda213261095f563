# The key update downloads must be signed with: a build input, compiled into the program, so
# that nothing at run time (no variable, no setting) can put another in its place. A release
# is signed with the private half of packaging/update-key.pem (packaging/sign-release.sh).
# A test build may instead make a key of its own in the build tree, whose private half its
# end-to-end update test signs with: never for a release.
set(QM_UPDATE_PUBLIC_KEY ${PROJECT_SOURCE_DIR}/packaging/update-key.pem CACHE FILEPATH
    "The public key (PEM, ECDSA P-256) update downloads are checked against")
option(QM_TEST_RELEASE_KEY "Check updates against a key made in the build tree (tests only)" OFF)
if(QM_TEST_RELEASE_KEY)
  set(QM_TEST_RELEASE_PRIVATE_KEY ${CMAKE_BINARY_DIR}/test-release-key/private.pem)
  set(QM_RELEASE_KEY_FILE ${CMAKE_BINARY_DIR}/test-release-key/public.pem)
  if(NOT EXISTS ${QM_RELEASE_KEY_FILE})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-release-key)
    execute_process(COMMAND openssl ecparam -name prime256v1 -genkey -noout
                            -out ${QM_TEST_RELEASE_PRIVATE_KEY} RESULT_VARIABLE _rc)
    if(_rc EQUAL 0)
      execute_process(COMMAND openssl ec -in ${QM_TEST_RELEASE_PRIVATE_KEY} -pubout
                              -out ${QM_RELEASE_KEY_FILE} RESULT_VARIABLE _rc ERROR_QUIET)
    endif()
    if(NOT _rc EQUAL 0)
      message(FATAL_ERROR "openssl could not make the test release key")
    endif()
  endif()
else()
  set(QM_RELEASE_KEY_FILE ${QM_UPDATE_PUBLIC_KEY})
endif()
file(READ ${QM_RELEASE_KEY_FILE} QM_RELEASE_KEY_PEM)
if(NOT QM_RELEASE_KEY_PEM MATCHES "-----BEGIN PUBLIC KEY-----")
  message(FATAL_ERROR "${QM_RELEASE_KEY_FILE} holds no PEM public key (QM_UPDATE_PUBLIC_KEY)")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QM_RELEASE_KEY_FILE})
