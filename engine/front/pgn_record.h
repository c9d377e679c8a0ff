// PGN game records and the book-learning PGN file.
#pragma once

#include <cstdio>

extern FILE* bklearn_file;   // bklearn.pgn

void pgn_write_trailer();
// Writes the finished game to the log file, the games file and the per-opponent file.
void write_game_records();
void append_book_learn_pgn(int ply);
