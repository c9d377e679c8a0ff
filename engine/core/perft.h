// Counts of the legal-move tree, as a check and speed measure of move generation and
// making moves.
#pragma once

#include <cstdint>

// Positions counted per ply (index 1 = after one move).
extern double perft_counts[64];
// Set when the input stopped the count (hooks.count_poll); the counts are then partial.
extern int perft_stopped;

// Counts the tree below the current position to `depth` plies for `side`, adding
// each level's count to perft_counts[ply + 1 ...].
void perft(int depth, int side, int ply);
// The perftest command's work: depth clamped to 1..63, counts printed per ply at level 8,
// then the elapsed time. Returns the count of the last ply. A line of input that would
// stop a search stops the count too (only a message is printed then).
double perftest(int depth, int side);
