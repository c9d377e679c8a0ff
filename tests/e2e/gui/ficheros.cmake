# Tavorin started with a game file or an EPD list on its command line.
add_executable(tavorin_ficheros_e2e_test ${CMAKE_CURRENT_LIST_DIR}/ficheros_e2e_test.cpp)
target_link_libraries(tavorin_ficheros_e2e_test PRIVATE testsupport tavorin_gui GTest::gtest_main)
target_compile_definitions(tavorin_ficheros_e2e_test PRIVATE TAVORIN_CARPETA="${TAVORIN_PROGRAM_DIR}"
                           TAVORIN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
add_dependencies(tavorin_ficheros_e2e_test program_folder)
gtest_discover_tests(tavorin_ficheros_e2e_test TEST_PREFIX "ficheros." DISCOVERY_MODE PRE_TEST)
