// Checking a stored 15-bit move (table entry, variation word) against the position one
// move at a time, without generating the whole move list.
#pragma once

#include <cstdint>

// The move word the generator gives for `move15` of `side` (with its capture, castling,
// en-passant and promotion bits), or 0 when the generator has no such move or the move
// takes the king. Legality towards the own king is not tested.
uint32_t generated_move_word(int side, uint32_t move15);

// The same answer as find_and_make_move: the full word of a legal move or 0, and in
// `reps` the repetition count after the move (100 at the fifty-move count).
uint32_t check_stored_move(int side, uint32_t move15, int* reps);
