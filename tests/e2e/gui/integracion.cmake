# Checks across the program's parts, run on the whole program: files opened through
# the menu, the toolbar and a drop beside the PGN browser, and a position carried to a
# linked copy. The linked copies hold the fixed ports.
add_executable(tavorin_integracion_e2e_test ${CMAKE_CURRENT_LIST_DIR}/integracion_e2e_test.cpp)
target_link_libraries(tavorin_integracion_e2e_test PRIVATE testsupport tavorin_gui GTest::gtest_main)
target_compile_definitions(tavorin_integracion_e2e_test PRIVATE TAVORIN_CARPETA="${TAVORIN_PROGRAM_DIR}"
                           TAVORIN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
add_dependencies(tavorin_integracion_e2e_test program_folder)
gtest_discover_tests(tavorin_integracion_e2e_test DISCOVERY_MODE PRE_TEST
                     PROPERTIES RESOURCE_LOCK puertos_tavorin TIMEOUT 300)
