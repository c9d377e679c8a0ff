// Position learning files and learned positions.
#pragma once

#include <cstdio>

extern FILE* learnpos_ovk_file;   // learnpos.ovk, text lines, opened for appending
extern FILE* learnpos_bin_file;   // learnpos.bin, fixed-size records
extern FILE* book_holes_file;     // file of the book_holes command
extern int book_holes;

// Reads (or creates) learnpos.bin and stores its records into the hash table.
void load_learned_positions();
// Stores every learned position into the hash table; returns how many.
int store_learned_positions();
// Stores the present game position for learning after a long enough search.
void learn_game_position();
// Records held in memory by the learned-position store, and its release (posentries
// frees it before the store is loaded again with a new capacity).
int learned_positions_held();
void release_learned_positions();
