// Making and taking back moves: the only way the position changes during play.
#pragma once

#include <cstdint>

// Makes `move` for `side`; returns how many earlier positions since the last
// irreversible move equal the new one with the same side to move.
int make_move(int side, uint32_t move);
// Takes back `move`, the move of the topmost history entry, made by `side`.
void unmake_move(int side, uint32_t move);
// Checks a 15-bit move (hash, book, learning, files) against the position. Returns
// the full move word, or 0 when no legal move matches; `reps` receives the repetition
// count after the move (100 when the fifty-move count is reached). The position is
// unchanged on return.
uint32_t find_and_make_move(int side, uint32_t move15, int* reps);
// The null move: a history record with move 0; only the en-passant part of the key
// changes, the fifty-move count restarts.
void make_null_move(int side);
void unmake_null_move(int side);
