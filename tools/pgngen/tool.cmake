# pgngen: random legal games written as PGN by Tavorin's own rules and PGN writer.
# The library serves the PGN tests and the PGN benchmark as well.
if(TVO_BUILD_GUI)
  add_library(tavorin_pgngen STATIC ${TOOL_DIR}/partida_aleatoria.cpp)
  target_include_directories(tavorin_pgngen PUBLIC ${TOOL_DIR})
  target_link_libraries(tavorin_pgngen PUBLIC tavorin_gui)
  add_executable(pgngen ${TOOL_DIR}/main.cpp)
  target_link_libraries(pgngen PRIVATE tavorin_pgngen)
endif()

# The browser's benchmark (bench/pgn_browser.sh runs it; it is not a test).
if(TVO_BUILD_GUI AND TVO_BUILD_TESTS)
  add_executable(pgn_bench ${TOOL_DIR}/bench_navegador.cpp ${PROJECT_SOURCE_DIR}/tests/gui/files/pgn_comun.cpp)
  target_include_directories(pgn_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/gui/files)
  target_link_libraries(pgn_bench PRIVATE tavorin_pgngen tavorin_pruebas)
endif()
