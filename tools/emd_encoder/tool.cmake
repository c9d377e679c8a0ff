# Writer of compressed table files, as a library for the tests and a command.
add_library(emd_writer STATIC ${TOOL_DIR}/emd_writer.cpp)
target_include_directories(emd_writer PUBLIC ${TOOL_DIR})
add_executable(emd_encoder ${TOOL_DIR}/main.cpp)
target_link_libraries(emd_encoder PRIVATE emd_writer)
