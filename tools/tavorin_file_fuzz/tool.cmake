# tavorin_file_fuzz: mutated PGN, EPD and own game files opened in Tavorin's windows,
# offscreen. CTest runs a sample of 200 files; the long runs are bench/tavorin_file_fuzz.sh.
# The generator and the worker's watcher are a library of their own, for their tests.
if(TVO_BUILD_GUI)
  add_library(tavorin_file_fuzz_lib STATIC ${TOOL_DIR}/mutador.cpp ${TOOL_DIR}/ejecutor.cpp)
  target_include_directories(tavorin_file_fuzz_lib PUBLIC ${TOOL_DIR})
  target_link_libraries(tavorin_file_fuzz_lib PUBLIC tavorin_pgngen testsupport)
  # The worker is the same program (--worker), in a program folder made as the tests
  # of the windows make theirs.
  add_executable(tavorin_file_fuzz ${TOOL_DIR}/main.cpp ${TOOL_DIR}/trabajador.cpp
                                   ${PROJECT_SOURCE_DIR}/tests/gui/files/pgn_comun.cpp)
  set_target_properties(tavorin_file_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
  target_include_directories(tavorin_file_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/tests/gui/files)
  target_compile_definitions(tavorin_file_fuzz PRIVATE TAVORIN_FUZZ_SUPRESIONES="${TOOL_DIR}/lsan.supp")
  find_package(Threads REQUIRED)
  target_link_libraries(tavorin_file_fuzz PRIVATE tavorin_file_fuzz_lib tavorin_pruebas Threads::Threads)
  add_test(NAME tavorin_file_fuzz_sample
           COMMAND tavorin_file_fuzz --files 200 --seconds 40 --jobs 2 --seed 11
                   --keep ${CMAKE_BINARY_DIR}/tavorin-fuzz-findings)
  set_tests_properties(tavorin_file_fuzz_sample PROPERTIES LABELS "gui;fuzz" PROCESSORS 2 TIMEOUT 180
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
