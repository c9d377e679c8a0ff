# Fixed-depth searches over a fixed position set: the node-count signature that the
# tests pin, and the tree figures (branching factor, ordering, null move, table,
# extensions) that bench/tree.sh prints.
add_library(orvik_tree_bench STATIC ${TOOL_DIR}/tree_bench.cpp)
target_include_directories(orvik_tree_bench PUBLIC ${TOOL_DIR})
target_link_libraries(orvik_tree_bench PUBLIC orvik_core)
add_executable(tree_stats ${TOOL_DIR}/main.cpp)
target_link_libraries(tree_stats PRIVATE orvik_tree_bench)
