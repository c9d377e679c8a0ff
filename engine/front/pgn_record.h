// PGN game records: the games file, the per-opponent files, the log, the ml command
// and the book-learning records all come from one header writer and one movetext writer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "book/eco.h"
#include "book/pgn_writer.h"
#include "core/board.h"
#include "core/recorded_game.h"

extern FILE* bklearn_file;  // bklearn.pgn

// Header texts beside those of the xboard dialogue (xboard.h).
extern std::string site_text;   // "?"
extern std::string round_text;  // "?": the round number is used
extern int round_number;        // 1, rises after each stored game

// Name of the per-opponent game file: the opponent's name cut at the first character
// that is not a letter, digit or "_" (at most 200; "unknown" when empty) and the suffix.
std::string opponent_file_name(const std::string& name, const std::string& suffix);

std::string pgn_header_text(const std::string& result);

void pgn_write_header(FILE* f, const std::string& result);
int pgn_write_moves(FILE* f, const std::string& result, int first, int last, unsigned options);
// Header, movetext and the result text of the present game, flushed.
void pgn_write_game(FILE* f);
void pgn_write_opponent_game();
// The book-learning record of the present game (once per game, when its scores fell).
void pgn_write_trailer();
// Writes the finished game to the log file, the games file and the per-opponent file.
void write_game_records();
// The first `plies` moves with "??" after the last one, to a book-learning PGN file.
int append_book_learn_pgn(const char* name, const char* mode, int plies);
// The same to bklearn2.pgn, the record of the games book learning learnt from.
void append_book_learn_pgn(int plies);
