// Making and taking back moves: the only way the position changes during play.
#pragma once

#include <cstdint>

#include "core/board.h"

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
// Makes a generated move word on trial: the word when it does not leave the own king in
// check (and through `reps` its repetition count, 100 when the fifty-move count would be
// reached), else 0. The board and the next history record stay as they were.
uint32_t try_move(int side, uint32_t word, int* reps);
// The null move: a history record with move 0; only the en-passant part of the key
// changes, the fifty-move count restarts.
void make_null_move(int side);
void unmake_null_move(int side);

// Keeps the history entry above the present ply while moves are only tried (move text,
// move parsing, checks of stored moves), so that a recorded continuation survives.
class history_slot_guard {
public:
    history_slot_guard() : index_(board.ply + 1), saved_(game_history[index_]) {}
    ~history_slot_guard() { game_history[index_] = saved_; }
    history_slot_guard(const history_slot_guard&) = delete;
    history_slot_guard& operator=(const history_slot_guard&) = delete;

private:
    int index_;
    history_entry saved_;
};
