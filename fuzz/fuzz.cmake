# Fuzz targets: one source per target (NAME_fuzzer.cpp), seeds in corpus/NAME/.
#
# Every build compiles all targets into pirell_fuzz_replay, which runs a target over its corpus
# without a fuzzing engine; each target's corpus is a ctest test. With PIRELL_FUZZ=ON (clang,
# see scripts/fuzz) each target is also a libFuzzer program pirell_fuzz_NAME.

set(_fuzz_dir "${PROJECT_SOURCE_DIR}/fuzz")
pirell_glob(PIRELL_FUZZ_TARGET_SOURCES "fuzz/*_fuzzer.cpp")
set(PIRELL_FUZZ_SUPPORT_SOURCES
  "${_fuzz_dir}/driver_session.cpp"
  "${_fuzz_dir}/render_check.cpp"
  "${_fuzz_dir}/variant_tree.cpp"
  "${PROJECT_SOURCE_DIR}/tests/support/fake_device_io.cpp"
  "${PROJECT_SOURCE_DIR}/tests/support/fake_equipment_manager.cpp"
  "${PROJECT_SOURCE_DIR}/tests/support/scripted_clock.cpp"
  "${PROJECT_SOURCE_DIR}/tests/support/temp_dir.cpp")

add_library(pirell_fuzz_support STATIC ${PIRELL_FUZZ_SUPPORT_SOURCES})
target_include_directories(pirell_fuzz_support PUBLIC "${_fuzz_dir}" "${PROJECT_SOURCE_DIR}/tests")
target_link_libraries(pirell_fuzz_support PUBLIC ${PIRELL_MODULE_OBJECTS} pirell_preview
                                                  pirell_core)

set(PIRELL_FUZZ_TARGETS)
set(_targets_inc "")
foreach(_source IN LISTS PIRELL_FUZZ_TARGET_SOURCES)
  get_filename_component(_name "${_source}" NAME_WE)
  string(REGEX REPLACE "_fuzzer$" "" _name "${_name}")
  list(APPEND PIRELL_FUZZ_TARGETS ${_name})
  string(APPEND _targets_inc "PIRELL_FUZZ_TARGET(${_name})\n")
endforeach()
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/generated/fuzz_targets.inc" CONTENT "${_targets_inc}")

# The replay program: each target's entry point renamed so that all fit into one program.
set(_replay_objects)
foreach(_name IN LISTS PIRELL_FUZZ_TARGETS)
  add_library(pirell_fuzz_replay_${_name} OBJECT "${_fuzz_dir}/${_name}_fuzzer.cpp")
  target_compile_definitions(pirell_fuzz_replay_${_name} PRIVATE
    LLVMFuzzerTestOneInput=PirellFuzz_${_name})
  target_link_libraries(pirell_fuzz_replay_${_name} PRIVATE pirell_fuzz_support)
  list(APPEND _replay_objects $<TARGET_OBJECTS:pirell_fuzz_replay_${_name}>)
endforeach()
add_executable(pirell_fuzz_replay "${_fuzz_dir}/replay_main.cpp" ${_replay_objects}
                                  ${PIRELL_RESOURCES})
target_include_directories(pirell_fuzz_replay PRIVATE "${PROJECT_BINARY_DIR}/generated")
target_link_libraries(pirell_fuzz_replay PRIVATE pirell_fuzz_support)

set(_corpus_root "${_fuzz_dir}/corpus")
if(PIRELL_WINDOWS)
  set(_corpus_root "Z:${_fuzz_dir}/corpus")  # the Unix file system under Wine
endif()
foreach(_name IN LISTS PIRELL_FUZZ_TARGETS)
  add_test(NAME fuzz_corpus_${_name}
           COMMAND pirell_fuzz_replay ${_name} "${_corpus_root}/${_name}"
           WORKING_DIRECTORY "${PROJECT_BINARY_DIR}")
  set_tests_properties(fuzz_corpus_${_name} PROPERTIES TIMEOUT 300)
  if(PIRELL_SANITIZE)
    set_tests_properties(fuzz_corpus_${_name} PROPERTIES ENVIRONMENT "${_sanitizer_env}")
  endif()
endforeach()

# libFuzzer programs (clang only).
if(PIRELL_FUZZ)
  foreach(_name IN LISTS PIRELL_FUZZ_TARGETS)
    add_executable(pirell_fuzz_${_name} "${_fuzz_dir}/${_name}_fuzzer.cpp")
    target_link_libraries(pirell_fuzz_${_name} PRIVATE pirell_fuzz_support)
    target_link_options(pirell_fuzz_${_name} PRIVATE -fsanitize=fuzzer)
  endforeach()
endif()
