# Tavorin's shell as a whole program (included by tests/e2e/gui/CMakeLists.txt).
add_executable(tavorin_shell_e2e_test ${CMAKE_CURRENT_LIST_DIR}/shell_e2e_test.cpp)
target_link_libraries(tavorin_shell_e2e_test PRIVATE testsupport tavorin_gui GTest::gtest_main)
target_compile_definitions(tavorin_shell_e2e_test PRIVATE TAVORIN_CARPETA="${TAVORIN_PROGRAM_DIR}")
add_dependencies(tavorin_shell_e2e_test program_folder)
gtest_discover_tests(tavorin_shell_e2e_test DISCOVERY_MODE PRE_TEST)

# The windows under Xvfb with openbox, driven with xdotool (release tree only).
foreach(prueba ciclos basura tablero menus lados apartadas preparar abiertas)
  add_test(NAME VentanasXvfb.${prueba}
           COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/ventanas_xvfb.py ${prueba}
                   --programa ${TAVORIN_PROGRAM_DIR} --recursos ${PROJECT_SOURCE_DIR}/gui/resources
                   --captura $<TARGET_FILE:captura> --salida ${CMAKE_BINARY_DIR}/xvfb/${prueba})
  set_tests_properties(VentanasXvfb.${prueba} PROPERTIES LABELS slow TIMEOUT 300)
endforeach()
# The board drag and the maximise cycle time real window-manager events: run them
# alone, so a loaded run beside them cannot starve the drag or the cycle.
set_tests_properties(VentanasXvfb.tablero VentanasXvfb.ciclos PROPERTIES RUN_SERIAL TRUE)
