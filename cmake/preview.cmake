# The label preview (src/preview, and the readers of each printer language's jobs in
# src/languages/NAME/NAME_render*.cpp): a static library of its own, linked by the command-line
# host, the tests and the fuzz targets, so that the driver module does not carry it.

pirell_glob(PIRELL_PREVIEW_SOURCES "src/preview/*.cpp")
add_library(pirell_preview STATIC ${PIRELL_PREVIEW_SOURCES} ${PIRELL_LANGUAGE_RENDER_SOURCES})
# The core it builds on (platform, rendering) comes from whatever links it: pirell_core in the
# tests, the driver module in the command-line host, so that there is one copy of the core.
target_include_directories(pirell_preview PUBLIC "${PROJECT_SOURCE_DIR}/src")
target_link_libraries(pirell_preview PUBLIC pirell_options PRIVATE pirell_zint)

# Pictures are written as PNG files by the command-line host (Linux).
if(NOT PIRELL_WINDOWS)
  pkg_check_modules(PIRELL_LIBPNG REQUIRED IMPORTED_TARGET libpng)
endif()
