# Windows tests that run programs under Wine. Included by the top-level CMakeLists.txt.

include("${CMAKE_CURRENT_LIST_DIR}/com_test_server/com_test_server.cmake")

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
