# orvik_fuzz: hostile input for the engine. CTest runs a sample of 20,000 lines; the long
# runs are bench/fuzz.sh.
# The grammar and the runner are a library of their own, for the grammar's tests.
add_library(orvik_fuzz_lib STATIC ${TOOL_DIR}/grammar.cpp ${TOOL_DIR}/runner.cpp)
target_include_directories(orvik_fuzz_lib PUBLIC ${TOOL_DIR})
target_compile_features(orvik_fuzz_lib PUBLIC cxx_std_20)
add_executable(orvik_fuzz ${TOOL_DIR}/main.cpp)
set_target_properties(orvik_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
find_package(Threads REQUIRED)
target_link_libraries(orvik_fuzz PRIVATE orvik_fuzz_lib Threads::Threads)
add_dependencies(orvik_fuzz orvik)
# Answers are awaited with bounds a sanitizer build beside a full machine keeps; the
# tighter bounds of the tool's own (bench/fuzz.sh) are for the long runs.
add_test(NAME orvik_fuzz_sample
         COMMAND orvik_fuzz --program $<TARGET_FILE:orvik> --lines 20000 --jobs 3 --seed 21 --margin 5 --prompt 1
                 --keep ${CMAKE_BINARY_DIR}/fuzz-findings)
set_tests_properties(orvik_fuzz_sample PROPERTIES LABELS "engine;fuzz" PROCESSORS 3 TIMEOUT 180)
