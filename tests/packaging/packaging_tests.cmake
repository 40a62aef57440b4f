# Tests of the install rules in the native tree: an install into a temporary prefix, used as a
# user would use it. The Debian package and the Windows installer are installed for real by
# scripts/test after scripts/package has made them (they need root, or both Windows trees).
if(PIRELL_WINDOWS OR PIRELL_SANITIZE OR PIRELL_FUZZ OR NOT TARGET pirell_cli)
  return()
endif()

add_test(NAME install_into_prefix
         COMMAND "${CMAKE_CURRENT_LIST_DIR}/install_into_prefix.sh" "${CMAKE_COMMAND}"
                 "${PROJECT_BINARY_DIR}" "${CMAKE_INSTALL_LIBDIR}" "${PROJECT_VERSION}")
set_tests_properties(install_into_prefix PROPERTIES TIMEOUT 120)
