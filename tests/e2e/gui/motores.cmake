# Tavorin against real engines as child processes: Orvik, and the Debian packages
# fairymax, hoichess and stockfish (through polyglot). What CI must pass plays against
# Orvik; whole games with the third-party engines run in the release tree only and
# skip, naming the engine and its signal, when one of those engines crashes.
add_executable(tavorin_motores_e2e_test ${CMAKE_CURRENT_SOURCE_DIR}/motores_e2e_test.cpp)
target_link_libraries(tavorin_motores_e2e_test PRIVATE partida_motor tavorin_rules_testsupport)
target_compile_definitions(tavorin_motores_e2e_test PRIVATE ORVIK="$<TARGET_FILE:orvik>")
add_dependencies(tavorin_motores_e2e_test orvik)
gtest_discover_tests(tavorin_motores_e2e_test DISCOVERY_MODE PRE_TEST TEST_FILTER "-*Partidas*:*TimeControl*"
                     PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
gtest_discover_tests(tavorin_motores_e2e_test DISCOVERY_MODE PRE_TEST TEST_FILTER "*Partidas*:*TimeControl*"
                     TEST_SUFFIX ".slow"
                     PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS slow TIMEOUT 900)

# The whole program against the test engine: nothing of it is left when Tavorin exits
# or is ended by a signal, and its claims and refusals are read as the board says.
add_executable(tavorin_motores_programa_e2e_test ${CMAKE_CURRENT_SOURCE_DIR}/motores_programa_e2e_test.cpp)
target_link_libraries(tavorin_motores_programa_e2e_test PRIVATE testsupport tavorin_gui GTest::gtest_main)
target_compile_definitions(tavorin_motores_programa_e2e_test PRIVATE TAVORIN_CARPETA="${TAVORIN_PROGRAM_DIR}"
                           MOTOR_PRUEBA="$<TARGET_FILE:motor_prueba>")
add_dependencies(tavorin_motores_programa_e2e_test program_folder motor_prueba)
gtest_discover_tests(tavorin_motores_programa_e2e_test TEST_PREFIX "motores." DISCOVERY_MODE PRE_TEST
                     PROPERTIES TIMEOUT 300)

