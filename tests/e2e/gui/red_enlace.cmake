# Network play against a raw peer whose claims no copy should take, on the fixed ports
# 1500 and 1501 (one test at a time holds them). Labelled "enlace" with the two-copy
# checks of a failing link (tests/tools/tavorin_peer_fuzz): while
# TAVORIN_ENLACE_PENDIENTE is set they are listed and not run.
add_executable(tavorin_red_enlace_e2e_test ${CMAKE_CURRENT_LIST_DIR}/red_enlace_e2e_test.cpp)
target_link_libraries(tavorin_red_enlace_e2e_test PRIVATE testsupport tavorin_gui GTest::gtest_main)
target_compile_definitions(tavorin_red_enlace_e2e_test PRIVATE TAVORIN_CARPETA="${TAVORIN_PROGRAM_DIR}")
add_dependencies(tavorin_red_enlace_e2e_test program_folder)
gtest_discover_tests(tavorin_red_enlace_e2e_test DISCOVERY_MODE PRE_TEST
                     PROPERTIES RESOURCE_LOCK puertos_tavorin TIMEOUT 300 LABELS enlace
                                DISABLED ${TAVORIN_ENLACE_PENDIENTE})
