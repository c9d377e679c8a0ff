# Benchmark of Tavorin's engine play (bench/motores_gui.sh runs it).
if(TVO_BUILD_GUI)
  add_executable(banco_motores ${TOOL_DIR}/banco_motores.cpp)
  target_link_libraries(banco_motores PRIVATE tavorin_gui)
endif()
