# libzint, which encodes every barcode the driver draws itself (two-dimensional symbols) and every
# symbol the preview draws: the target pirell_zint.
#
# The native build links Debian's libzint-dev. The Windows build has no Debian library: it
# compiles the C backend of Debian's source package, which cmake/fetch-zint-source downloads into
# the build folder once.

if(PIRELL_WINDOWS)
  set(_zint_dir "${PROJECT_BINARY_DIR}/zint")
  set(_zint_backend "${_zint_dir}/source/backend")
  if(NOT EXISTS "${_zint_backend}/zint.h")
    message(STATUS "Fetching the libzint source (Debian source package)")
    execute_process(COMMAND "${PROJECT_SOURCE_DIR}/cmake/fetch-zint-source" "${_zint_dir}"
                    RESULT_VARIABLE _zint_fetched)
  endif()
  if(NOT EXISTS "${_zint_backend}/zint.h")
    message(FATAL_ERROR "No libzint source: cmake/fetch-zint-source could not fetch it")
  endif()
  file(READ "${_zint_backend}/zintconfig.h.in" _zint_config)
  file(READ "${_zint_dir}/source/CMakeLists.txt" _zint_project)
  foreach(_part MAJOR MINOR RELEASE BUILD)
    string(REGEX MATCH "set\\(ZINT_VERSION_${_part} ([0-9]+)\\)" _found "${_zint_project}")
    set(_value 0)
    if(_found)
      set(_value "${CMAKE_MATCH_1}")
    endif()
    string(REPLACE "@ZINT_VERSION_${_part}@" "${_value}" _zint_config "${_zint_config}")
  endforeach()
  file(CONFIGURE OUTPUT "${_zint_dir}/include/zintconfig.h" CONTENT "${_zint_config}")
  file(GLOB _zint_sources "${_zint_backend}/*.c")
  list(REMOVE_ITEM _zint_sources "${_zint_backend}/dllversion.c")
  add_library(pirell_zint STATIC EXCLUDE_FROM_ALL ${_zint_sources})
  # Third-party C code: built as it is, its warnings are not ours. No PNG output is needed.
  target_compile_definitions(pirell_zint PRIVATE NO_PNG)
  target_compile_options(pirell_zint PRIVATE -w)
  target_include_directories(pirell_zint BEFORE PRIVATE "${_zint_dir}/include")
  target_include_directories(pirell_zint SYSTEM INTERFACE "${_zint_backend}" "${_zint_dir}/include")
else()
  find_path(PIRELL_ZINT_INCLUDE_DIR zint.h)
  find_library(PIRELL_ZINT_LIBRARY zint)
  if(NOT PIRELL_ZINT_INCLUDE_DIR OR NOT PIRELL_ZINT_LIBRARY)
    message(FATAL_ERROR "libzint-dev is missing (scripts/setup installs it)")
  endif()
  add_library(pirell_zint INTERFACE)
  target_include_directories(pirell_zint SYSTEM INTERFACE "${PIRELL_ZINT_INCLUDE_DIR}")
  target_link_libraries(pirell_zint INTERFACE "${PIRELL_ZINT_LIBRARY}")
endif()
