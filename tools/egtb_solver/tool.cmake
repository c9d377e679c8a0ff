# Retrograde solver of the three- and four-man tables the endgame tests read.
add_executable(egtb_solver ${TOOL_DIR}/solver.cpp)
target_link_libraries(egtb_solver PRIVATE orvik_egtb)
