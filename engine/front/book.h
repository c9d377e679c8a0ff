// Entry points of the opening book and the opening names used by the interpreter.
#pragma once

#include <cstdint>
#include <string>

// Name of the learn book (lbook_file changes it).
extern char learn_book_name[256];

// Opens a book file into the main (0) or the learn (1) book descriptor.
void book_open(const char* name, int which);
// Loads the built-in opening-name table.
void eco_init();
// Prints the book candidates of `side` (the bk command).
void list_book_moves(int side);

// Book move for `side` among the root moves (0 = none); `flagged` marks a flagged choice.
uint32_t book_choose_move(int side, const uint32_t* moves, int count, int* flagged);
// First move of the trosk opening (0 = none).
uint32_t trosk_first_move(int side);
// Opening name of the present position (empty when none).
std::string eco_lookup();
// Book learning from a lost game: the position key of the last book ply.
void learn_book_moves(uint64_t key);
// Loads game `number` (from 1) of a PGN file as the current game (read_pgn).
void pgn_load_game(const std::string& file, int number);
