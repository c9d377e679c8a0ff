// Counts of the legal-move tree, as a check and speed measure of move generation and
// making moves.
#pragma once

#include <cstdint>

// Positions counted per ply (index 1 = after one move).
extern double perft_counts[64];
// Set when the input stopped the count (hooks.count_poll).
extern int perft_stopped;

// Counts the tree below the current position to `depth` plies for `side`, adding
// each level's count to perft_counts[ply + 1 ...].
void perft(int depth, int side, int ply);
// The perftest command's work: depth clamped to 1..63, counted depth by depth, each ply's
// count printed at level 8 as it is done, then the elapsed time. Returns the count of the
// last ply done. The input may stop the count (hooks.count_poll): the plies finished
// before stay in perft_counts (the rest 0) and a message replaces the time.
double perftest(int depth, int side);
