# Tavorin's shell as a whole program (included by tests/e2e/gui/CMakeLists.txt).
add_executable(tavorin_shell_e2e_test ${CMAKE_CURRENT_LIST_DIR}/shell_e2e_test.cpp)
target_link_libraries(tavorin_shell_e2e_test PRIVATE testsupport tavorin_gui GTest::gtest_main)
target_compile_definitions(tavorin_shell_e2e_test PRIVATE TAVORIN_CARPETA="${TAVORIN_PROGRAM_DIR}")
add_dependencies(tavorin_shell_e2e_test program_folder)
gtest_discover_tests(tavorin_shell_e2e_test DISCOVERY_MODE PRE_TEST)
