# The test server: a COM server DLL with one test class ("KestroEq.PirellTest"), for the tests
# that go through the COM runtime: loading the DLL by hand, registration, and a script that
# creates the object by its ProgID.
if(NOT TARGET pirell_com_objects OR NOT TARGET pirell_tests)
  return()
endif()

pirell_glob(_test_server_sources "tests/windows/com_test_server/*.cpp")
add_library(pirell_testserver SHARED $<TARGET_OBJECTS:pirell_com_objects>
                                     "${PIRELL_COM_ENTRY_SOURCE}" ${_test_server_sources}
                                     ${PIRELL_COM_DEF_FILES})
target_link_libraries(pirell_testserver PRIVATE pirell_core)
# The .def file names the exports without their stdcall decoration.
target_link_options(pirell_testserver PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup
                   -Wl,--no-undefined)
set_target_properties(pirell_testserver PROPERTIES PREFIX "" OUTPUT_NAME pirell_testserver)
# pirell_tests loads the test server from its own folder.
add_dependencies(pirell_tests pirell_testserver)

# Each script test registers a DLL, runs a script against it, unregisters the DLL and checks the
# keys are gone. One entry per DLL, because the steps must run in this order and each starts a
# Wine program. They run in a prefix apart from the unit tests, whose programs write and delete
# classes of their own in the same registry while the scripts check theirs.
set(_script_runner "${CMAKE_CURRENT_LIST_DIR}/run_script_test.sh")
set(_script_prefix "${PIRELL_WINEPREFIX}-scripts")
add_test(NAME com_test_server_script
         COMMAND "${_script_runner}" "${PIRELL_WINE_RUN}" "${_script_prefix}"
                 "$<TARGET_FILE:pirell_testserver>" 2BF18DBF-F255-49A4-9B26-D1726AEA49C4
                 KestroEq.PirellTest "${CMAKE_CURRENT_LIST_DIR}/script_test.vbs"
                 "${PROJECT_BINARY_DIR}/com_test_server")
set_tests_properties(com_test_server_script PROPERTIES TIMEOUT 300)

if(TARGET pirell_dll)
  add_test(NAME com_driver_script
           COMMAND "${_script_runner}" "${PIRELL_WINE_RUN}" "${_script_prefix}"
                   "$<TARGET_FILE:pirell_dll>" 51B0BFAF-D018-484B-91D5-6ED841398ECC
                   KestroEq.Pirell "${CMAKE_CURRENT_LIST_DIR}/driver_script_test.vbs"
                   "${PROJECT_BINARY_DIR}/com_driver_script"
                   "${CMAKE_CURRENT_LIST_DIR}/driver_script_expected.prn.txt" LabelPrinter1
                   "${CMAKE_CURRENT_LIST_DIR}/jobs")
  set_tests_properties(com_driver_script PROPERTIES TIMEOUT 300)
endif()
