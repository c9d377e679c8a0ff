# orvik_fuzz: hostile input for the engine. CTest runs a sample of 20,000 lines; the long
# runs are bench/fuzz.sh.
file(GLOB ORVIK_FUZZ_SOURCES CONFIGURE_DEPENDS ${TOOL_DIR}/*.cpp)
add_executable(orvik_fuzz ${ORVIK_FUZZ_SOURCES})
target_compile_features(orvik_fuzz PRIVATE cxx_std_20)
set_target_properties(orvik_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
find_package(Threads REQUIRED)
target_link_libraries(orvik_fuzz PRIVATE Threads::Threads)
add_dependencies(orvik_fuzz orvik)
add_test(NAME orvik_fuzz_sample
         COMMAND orvik_fuzz --program $<TARGET_FILE:orvik> --lines 20000 --jobs 3 --seed 21
                 --keep ${CMAKE_BINARY_DIR}/fuzz-findings)
set_tests_properties(orvik_fuzz_sample PROPERTIES LABELS "engine;fuzz" PROCESSORS 3 TIMEOUT 180)
