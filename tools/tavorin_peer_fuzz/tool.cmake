# tavorin_peer_fuzz: a hostile peer for Tavorin, run in-process against the real receive
# path, offscreen; and two real copies linked over sockets (--copies). CTest runs a short sample (tests/tools/tavorin_peer_fuzz); the long
# runs are bench/tavorin_peer_fuzz.sh. The grammar is a library of its own, for its tests.
if(TVO_BUILD_GUI)
  add_library(tavorin_peer_fuzz_lib STATIC ${TOOL_DIR}/gramatica.cpp)
  target_include_directories(tavorin_peer_fuzz_lib PUBLIC ${TOOL_DIR})
  target_compile_features(tavorin_peer_fuzz_lib PUBLIC cxx_std_20)
  add_executable(tavorin_peer_fuzz ${TOOL_DIR}/main.cpp ${TOOL_DIR}/ejecucion.cpp ${TOOL_DIR}/copias.cpp
                                   ${TOOL_DIR}/copias_fallos.cpp ${TOOL_DIR}/copias_red.cpp)
  set_target_properties(tavorin_peer_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
  find_package(Threads REQUIRED)
  target_link_libraries(tavorin_peer_fuzz PRIVATE tavorin_peer_fuzz_lib tavorin_pruebas Threads::Threads)
endif()
