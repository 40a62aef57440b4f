# Windows tests that run programs under Wine. Included by the top-level CMakeLists.txt.

include("${CMAKE_CURRENT_LIST_DIR}/com_test_server/com_test_server.cmake")
