# Network play between whole programs on the fixed ports 1500 and 1501: one test at a
# time holds them. The long runs (a stopped copy, waits for a close) are in the
# release tree only.
foreach(prueba red_e2e_test red_lento_e2e_test)
  add_executable(tavorin_${prueba} ${CMAKE_CURRENT_LIST_DIR}/${prueba}.cpp)
  target_link_libraries(tavorin_${prueba} PRIVATE testsupport tavorin_gui GTest::gtest_main)
  target_compile_definitions(tavorin_${prueba} PRIVATE TAVORIN_CARPETA="${TAVORIN_PROGRAM_DIR}")
  add_dependencies(tavorin_${prueba} program_folder)
endforeach()
gtest_discover_tests(tavorin_red_e2e_test DISCOVERY_MODE PRE_TEST
                     PROPERTIES RESOURCE_LOCK puertos_tavorin TIMEOUT 300)
gtest_discover_tests(tavorin_red_lento_e2e_test DISCOVERY_MODE PRE_TEST TEST_SUFFIX ".slow"
                     PROPERTIES RESOURCE_LOCK puertos_tavorin TIMEOUT 300 LABELS slow)
