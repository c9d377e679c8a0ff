# tavorin_file_fuzz: mutated PGN, EPD and own game files opened in Tavorin's windows,
# offscreen; Tavorin started and ended with its own files mutated or replaced by FIFOs,
# devices, folders and links; its writers on a disk that fills at a random byte. CTest
# runs a sample of 240 cases; the long runs are bench/tavorin_file_fuzz.sh.
# The generator and the worker's watcher are a library of their own, for their tests.
if(TVO_BUILD_GUI)
  add_library(tavorin_file_fuzz_lib STATIC ${TOOL_DIR}/mutador.cpp ${TOOL_DIR}/ejecutor.cpp)
  target_include_directories(tavorin_file_fuzz_lib PUBLIC ${TOOL_DIR})
  target_link_libraries(tavorin_file_fuzz_lib PUBLIC tavorin_pgngen testsupport)
  # The program's own files as delivered, the ground of their mutations.
  target_compile_definitions(tavorin_file_fuzz_lib PRIVATE TAVORIN_RECURSOS="${PROJECT_SOURCE_DIR}/gui/resources")
  # The worker is the same program (--worker), in a program folder made as the tests
  # of the windows make theirs.
  add_executable(tavorin_file_fuzz ${TOOL_DIR}/main.cpp ${TOOL_DIR}/trabajador.cpp
                                   ${PROJECT_SOURCE_DIR}/tests/gui/files/pgn_comun.cpp
                                   ${PROJECT_SOURCE_DIR}/tests/gui/files/ficheros_prueba.cpp)
  set_target_properties(tavorin_file_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
  target_include_directories(tavorin_file_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/tests/gui/files)
  target_compile_definitions(tavorin_file_fuzz PRIVATE TAVORIN_FUZZ_SUPRESIONES="${TOOL_DIR}/lsan.supp")
  find_package(Threads REQUIRED)
  target_link_libraries(tavorin_file_fuzz PRIVATE tavorin_file_fuzz_lib tavorin_pruebas tavorin_rules_testsupport
                                                  Threads::Threads)
  add_test(NAME tavorin_file_fuzz_sample
           COMMAND tavorin_file_fuzz --files 240 --seconds 60 --jobs 2 --seed 11
                   --keep ${CMAKE_BINARY_DIR}/tavorin-fuzz-findings)
  set_tests_properties(tavorin_file_fuzz_sample PROPERTIES LABELS "gui;fuzz" PROCESSORS 2 TIMEOUT 180
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
