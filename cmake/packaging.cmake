# Install rules and packages. Included by the top-level CMakeLists.txt.
#
# Linux: `cmake --install` puts the command-line host into bin/, the driver module with its
# soname into the multiarch library folder, the manual page, the bash completion, the examples
# and the package documents under share/. `cpack -G DEB` makes pirell_VERSION_amd64.deb of them
# (scripts/package). Windows: the installer (packaging/windows/pirell.nsi, built by
# scripts/package with makensis) takes the version and publisher from a file written here, from
# the same variables as the DLL's version resource.

set(PIRELL_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")

if(PIRELL_WINDOWS)
  if(TARGET pirell_dll)
    file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/generated/installer.nsh" CONTENT
"; Written by CMake from the project: the same values as the DLL's version resource.
!define PIRELL_VERSION \"${PROJECT_VERSION}\"
!define PIRELL_PUBLISHER \"${PIRELL_PUBLISHER}\"
")
  endif()
  return()
endif()

if(NOT TARGET pirell_cli)
  return()
endif()

# Debian keeps libraries in the multiarch folder, lib/x86_64-linux-gnu, under /usr/local too
# (GNUInstallDirs would choose plain lib there).
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT DEFINED CACHE{CMAKE_INSTALL_LIBDIR})
  set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}" CACHE PATH
      "Object code libraries (lib)")
endif()
include(GNUInstallDirs)
set(PIRELL_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/pirell")

# The module's file name carries the version, its soname the major number. The host finds the
# module beside its own bin/ folder under any prefix without LD_LIBRARY_PATH; the build tree's
# host keeps its own path to the build tree's module.
set_target_properties(pirell_module PROPERTIES VERSION "${PROJECT_VERSION}"
                                               SOVERSION "${PROJECT_VERSION_MAJOR}")
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(_pirell_rpath "${CMAKE_INSTALL_LIBDIR}")
else()
  file(RELATIVE_PATH _lib_from_bin "/${CMAKE_INSTALL_BINDIR}" "/${CMAKE_INSTALL_LIBDIR}")
  set(_pirell_rpath "$ORIGIN/${_lib_from_bin}")
endif()
set_target_properties(pirell_cli PROPERTIES INSTALL_RPATH "${_pirell_rpath}")

# Manual page and changelog are installed compressed, as Debian wants them.
set(_packaging_out "${PROJECT_BINARY_DIR}/packaging")
# The changelog's date is that of the last commit (or SOURCE_DATE_EPOCH), so that the same
# checkout makes the same package.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${PROJECT_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE _commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE _git_status ERROR_QUIET)
  if(_git_status EQUAL 0 AND _commit_time)
    set(ENV{SOURCE_DATE_EPOCH} "${_commit_time}")
  endif()
  string(TIMESTAMP PIRELL_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  unset(ENV{SOURCE_DATE_EPOCH})
else()
  string(TIMESTAMP PIRELL_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()
configure_file("${PIRELL_PACKAGING_DIR}/debian/changelog.in" "${_packaging_out}/changelog" @ONLY)
set(_compressed)
foreach(_pair "${PIRELL_PACKAGING_DIR}/pirell.1|pirell.1.gz"
              "${_packaging_out}/changelog|changelog.gz")
  string(REPLACE "|" ";" _pair "${_pair}")
  list(GET _pair 0 _source)
  list(GET _pair 1 _name)
  add_custom_command(OUTPUT "${_packaging_out}/${_name}"
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh "${_source}" "${_packaging_out}/${_name}"
    DEPENDS "${_source}" VERBATIM)
  list(APPEND _compressed "${_packaging_out}/${_name}")
endforeach()
add_custom_target(pirell_compressed_docs ALL DEPENDS ${_compressed})

install(TARGETS pirell_cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
# No development link (libpirell.so): hosts create the driver by its ProgID, nothing links it.
install(TARGETS pirell_module LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" NAMELINK_SKIP)
install(FILES "${_packaging_out}/pirell.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${PIRELL_PACKAGING_DIR}/pirell.bash-completion"
        DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions" RENAME pirell)
install(FILES "${PROJECT_SOURCE_DIR}/examples/price-tag.xml" "${PROJECT_SOURCE_DIR}/examples/labels.csv"
              "${PROJECT_SOURCE_DIR}/examples/marked-tag.xml"
              "${PROJECT_SOURCE_DIR}/examples/marked-labels.csv"
        DESTINATION "${PIRELL_INSTALL_DOCDIR}/examples")
install(FILES "${PIRELL_PACKAGING_DIR}/debian/copyright" "${_packaging_out}/changelog.gz"
        DESTINATION "${PIRELL_INSTALL_DOCDIR}")

# The Debian package: cpack -G DEB (scripts/package). Its dependencies come from the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pirell)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "${PIRELL_PUBLISHER}")
set(CPACK_PACKAGE_CONTACT "Kestro-Dalvin <support@kestro-dalvin.ru>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kestro-dalvin.ru/pirell")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PIRELL_PACKAGING_DIR}/debian/triggers")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Label printer driver (EPL2, ZPL II, TSPL) and its command-line host")
# Lines of at most 80 characters, as Debian wants them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Pirell prints labels, two-dimensional barcodes and marking codes included, on
label printers that speak EPL2, ZPL II or TSPL at 203, 300 or 600 dpi. It fills
numbered XML label templates with the values of data rows and writes the
printer commands straight to the printer's port, without a print spooler.

This package holds the driver module libpirell.so, which a host creates by its
ProgID KestroEq.Pirell, and the command-line host pirell, which uploads
templates, prints labels from CSV files and keeps the driver's settings.")
include(CPack)

include("${PROJECT_SOURCE_DIR}/tests/packaging/packaging_tests.cmake")
