// The opening book, book learning, opening names and the PGN reader as the interpreter
// uses them.
#pragma once

#include <cstdint>

#include "book/book_choice.h"
#include "book/book_file.h"
#include "book/book_learning.h"
#include "book/eco.h"
#include "book/pgn_reader.h"

// The bk command: the book candidates of `side` in the present position, and a blank line.
void list_book_moves(int side);
// The search's view of the book: the move chosen among the root moves (0 = none), with
// the candidates printed at `print_level` in `print_mode`.
uint32_t book_move_for_search(int side, const uint32_t* moves, int count, int print_level, int print_mode,
                              int* flagged);
// The trosk opening's first move among the root moves (0 = none).
uint32_t trosk_move_for_search(int side, const uint32_t* moves, int count);
