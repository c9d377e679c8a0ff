# pgngen: random legal games written as PGN by Tavorin's own rules and PGN writer.
# The library serves the PGN tests and the PGN benchmark as well.
if(TVO_BUILD_GUI)
  add_library(tavorin_pgngen STATIC ${TOOL_DIR}/partida_aleatoria.cpp)
  target_include_directories(tavorin_pgngen PUBLIC ${TOOL_DIR})
  target_link_libraries(tavorin_pgngen PUBLIC tavorin_gui)
  add_executable(pgngen ${TOOL_DIR}/main.cpp)
  target_link_libraries(pgngen PRIVATE tavorin_pgngen)
endif()
