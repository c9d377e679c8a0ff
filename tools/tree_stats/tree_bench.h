// Fixed-depth searches of the engine over a fixed set of positions, each from a clean
// table and clean move-ordering data, so that the node counts depend on the search
// alone: their sum is the search's signature.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/search.h"

// The positions of the signature (FEN texts).
extern const std::vector<std::string> tree_positions;

struct tree_totals {
    uint64_t nodes = 0;                  // every node, full-width and quiescence
    search_statistics sum{};             // the statistics of all searches added up
    uint64_t iteration_nodes[64] = {};   // nodes of each iteration, all positions added up
    std::vector<uint64_t> per_position;  // nodes of each position
    std::vector<std::string> moves;      // the move chosen in each position
};

// Sets up the engine's tables once (keys, geometry, evaluation, clocks) and a table of
// `hash_bytes`; output stays off.
void tree_bench_init(long hash_bytes);
// Searches every position to `depth` plies and adds up what the searches counted.
tree_totals run_tree_bench(int depth);
// The figures as text: totals, branching factor by iteration, ordering, null move,
// table, extensions by kind and remaining depth.
std::string tree_report(const tree_totals& t, int depth);
