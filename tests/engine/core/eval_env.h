// Shared set-up of the evaluation tests.
#pragma once

#include <string>

// Core tables plus the evaluation tables, prepared as for a search (once).
void eval_env();
// Replaces the board by its colour mirror: ranks mirrored, colours swapped, touch
// counters, castled flags and the en-passant square carried over.
void mirror_board();
// Sets up `fen` and returns evaluate() for the side to move with a full window.
int eval_fen(const std::string& fen);
