# Windows tests that run programs under Wine. Included by the top-level CMakeLists.txt.

include("${CMAKE_CURRENT_LIST_DIR}/com_test_server/com_test_server.cmake")

# The settings windows through their real Win32 views, driven with window messages inside a
# virtual X server. GUI tests run in a Wine prefix of their own, so registering pirell.dll there
# for a while does not meet the driver script test.
pirell_glob(_gui_test_sources "tests/windows/gui/*.cpp" "tests/support/*.cpp")
if(TARGET pirell_dll AND _gui_test_sources)
  add_executable(pirell_gui_tests ${_gui_test_sources} ${PIRELL_RESOURCES})
  target_link_libraries(pirell_gui_tests PRIVATE ${PIRELL_MODULE_OBJECTS} pirell_core
                                                 GTest::gmock_main)
  target_include_directories(pirell_gui_tests PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_compile_definitions(pirell_gui_tests PRIVATE
    PIRELL_PROJECT_VERSION="${PROJECT_VERSION}"
    PIRELL_SOURCE_DIR="Z:${PROJECT_SOURCE_DIR}"
    PIRELL_TEST_DATA_DIR="Z:${PROJECT_SOURCE_DIR}/tests/data")
  add_dependencies(pirell_gui_tests pirell_dll)
  # Planted as hhctrl.ocx by the test that the help viewer comes from the system folder only.
  add_library(pirell_fake_hhctrl SHARED "${PROJECT_SOURCE_DIR}/tests/windows/gui/fake_hhctrl/fake_hhctrl.cpp")
  add_dependencies(pirell_gui_tests pirell_fake_hhctrl)
  target_compile_definitions(pirell_gui_tests PRIVATE
    PIRELL_FAKE_HHCTRL="Z:$<TARGET_FILE:pirell_fake_hhctrl>")
  pirell_add_wine_test(NAME settings_windows_gui GUI TIMEOUT 300
                       COMMAND "$<TARGET_FILE:pirell_gui_tests>")
endif()

# scripts/screenshots: a program that opens each settings window and saves pictures of it.
# Not built by default and not a test.
pirell_glob(_screenshot_sources "tests/windows/screenshots/*.cpp")
if(_screenshot_sources)
  add_executable(pirell_screenshots EXCLUDE_FROM_ALL ${_screenshot_sources} ${PIRELL_RESOURCES})
  target_link_libraries(pirell_screenshots PRIVATE pirell_core)
  target_include_directories(pirell_screenshots PRIVATE "${PROJECT_SOURCE_DIR}/tests")
endif()

# A process that uploads a template and ends itself at a chosen step of the file write, for the
# test that a killed upload leaves a whole template file.
if(TARGET pirell_tests)
  add_executable(pirell_upload_child EXCLUDE_FROM_ALL
                 "${CMAKE_CURRENT_LIST_DIR}/upload_child/upload_child.cpp"
                 "${PROJECT_SOURCE_DIR}/tests/support/failing_file_writer.cpp"
                 "${PROJECT_SOURCE_DIR}/tests/support/fake_equipment_manager.cpp"
                 "${PROJECT_SOURCE_DIR}/tests/support/host_calls.cpp")
  target_include_directories(pirell_upload_child PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(pirell_upload_child PRIVATE pirell_core GTest::gtest)
  add_dependencies(pirell_tests pirell_upload_child)
endif()

# A printer on a serial line: COM42 of the prefix linked to a pseudo-terminal that socat makes;
# the script reads what the driver wrote at the other end and checks the line settings.
if(TARGET pirell_tests)
  add_test(NAME serial_port_pty
           COMMAND "${CMAKE_CURRENT_LIST_DIR}/serial_port_pty.sh" "${PIRELL_WINE_RUN}"
                   "${PIRELL_WINEPREFIX}" "$<TARGET_FILE:pirell_tests>")
  set_tests_properties(serial_port_pty PROPERTIES TIMEOUT 300)
endif()

# Print queues: Wine's spooler printing to a CUPS server that the script starts and stops. In a
# prefix of its own: every Wine program that loads the spooler brings the prefix's printers in
# line with the CUPS server it sees, so a unit test program running meanwhile, which sees no
# server, would delete the test's queue.
if(TARGET pirell_tests)
  add_test(NAME print_queue_cups
           COMMAND "${CMAKE_CURRENT_LIST_DIR}/print_queue_cups.sh" "${PIRELL_WINE_RUN}"
                   "${PIRELL_WINEPREFIX}-spooler" "$<TARGET_FILE:pirell_tests>")
  set_tests_properties(print_queue_cups PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
endif()
