# The label preview (src/preview): a static library of its own, linked by the command-line host,
# the tests and the fuzz targets, so that the driver module does not carry the barcode library.
#
# Barcodes are encoded by libzint: Debian's libzint-dev in the native build; in the Windows build
# its C backend compiled from Debian's source package, which cmake/fetch-zint-source downloads
# into the build folder once. Without either, barcodes are drawn as refused (hatched boxes).

set(_preview_encoder "${PROJECT_SOURCE_DIR}/src/preview/no_zint/no_barcode_encoder.cpp")
set(_preview_zint "")

if(PIRELL_WINDOWS)
  set(_zint_dir "${PROJECT_BINARY_DIR}/zint")
  set(_zint_backend "${_zint_dir}/source/backend")
  if(NOT EXISTS "${_zint_backend}/zint.h")
    message(STATUS "Fetching the libzint source (Debian source package)")
    execute_process(COMMAND "${PROJECT_SOURCE_DIR}/cmake/fetch-zint-source" "${_zint_dir}"
                    RESULT_VARIABLE _zint_fetched)
  endif()
  if(EXISTS "${_zint_backend}/zint.h")
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
    target_include_directories(pirell_zint SYSTEM INTERFACE "${_zint_backend}"
                                                            "${_zint_dir}/include")
    set(_preview_zint pirell_zint)
  else()
    message(WARNING "No libzint source: the preview draws barcodes as hatched boxes")
  endif()
else()
  find_path(PIRELL_ZINT_INCLUDE_DIR zint.h)
  find_library(PIRELL_ZINT_LIBRARY zint)
  if(PIRELL_ZINT_INCLUDE_DIR AND PIRELL_ZINT_LIBRARY)
    add_library(pirell_zint INTERFACE)
    target_include_directories(pirell_zint SYSTEM INTERFACE "${PIRELL_ZINT_INCLUDE_DIR}")
    target_link_libraries(pirell_zint INTERFACE "${PIRELL_ZINT_LIBRARY}")
    set(_preview_zint pirell_zint)
  else()
    message(WARNING "libzint-dev is missing: the preview draws barcodes as hatched boxes")
  endif()
endif()
if(_preview_zint)
  set(_preview_encoder "${PROJECT_SOURCE_DIR}/src/preview/zint/zint_barcode_encoder.cpp")
endif()

pirell_glob(PIRELL_PREVIEW_SOURCES "src/preview/*.cpp")
add_library(pirell_preview STATIC ${PIRELL_PREVIEW_SOURCES} "${_preview_encoder}")
# The core it builds on (platform, rendering) comes from whatever links it: pirell_core in the
# tests, the driver module in the command-line host, so that there is one copy of the core.
target_include_directories(pirell_preview PUBLIC "${PROJECT_SOURCE_DIR}/src")
target_link_libraries(pirell_preview PUBLIC pirell_options PRIVATE ${_preview_zint})

# Pictures are written as PNG files by the command-line host (Linux).
if(NOT PIRELL_WINDOWS)
  pkg_check_modules(PIRELL_LIBPNG REQUIRED IMPORTED_TARGET libpng)
endif()
