# Network play between whole programs on the fixed ports 1500 and 1501: one test at a
# time holds them. The long runs (SIGSTOP, many reconnects) are in the release tree only.
add_executable(tavorin_red_e2e_test ${CMAKE_CURRENT_LIST_DIR}/red_e2e_test.cpp)
target_link_libraries(tavorin_red_e2e_test PRIVATE testsupport tavorin_gui GTest::gtest_main)
target_compile_definitions(tavorin_red_e2e_test PRIVATE TAVORIN_CARPETA="${TAVORIN_PROGRAM_DIR}")
add_dependencies(tavorin_red_e2e_test program_folder)
gtest_discover_tests(tavorin_red_e2e_test DISCOVERY_MODE PRE_TEST
                     PROPERTIES RESOURCE_LOCK puertos_tavorin TIMEOUT 300)
