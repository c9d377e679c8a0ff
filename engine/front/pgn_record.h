// PGN game records: the games file, the per-opponent files, the log, the ml command
// and the book-learning records all come from one header writer and one movetext writer.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/board.h"

extern FILE* bklearn_file;          // bklearn.pgn

// Header texts beside those of the xboard dialogue (xboard.h).
extern std::string site_text;       // "?"
extern std::string round_text;      // "?": the round number is used
extern int round_number;            // 1, rises after each stored game
extern std::string eco_code, opening_name, variation_name;

// Value the game loop records with each engine move (the search depth); NO_RECORDED_VALUE
// for moves that carry none.
constexpr int NO_RECORDED_VALUE = INT_MIN;
extern int ply_recorded_value[MAX_GAME_PLY];

// Movetext options: 1 score, 2 time, 4 recorded value, 8 scores from White's side,
// 16 expected moves, 32 annotation marks left out. PGN_DEFAULT_OPTIONS (0xFFFF) means 23.
constexpr unsigned PGN_DEFAULT_OPTIONS = 0xFFFF;
constexpr unsigned PGN_WITHOUT_MARKS = 32;

// An annotation mark in a move's flag word: bits 14-16 hold the mark plus 3 and bit 17
// says that a mark is recorded, so that "??" (field 0) is told from no mark.
constexpr uint32_t PLY_MARK_BITS = 0x1C000;
constexpr uint32_t PLY_MARK_SET = 0x20000;
// Flag bits of a mark from -3 to 3 (0, and "=" read as 4, record none).
inline uint32_t ply_mark_flags(int mark) {
    return mark >= -3 && mark <= 3 && mark != 0 ? (static_cast<uint32_t>(mark + 3) << 14) | PLY_MARK_SET : 0u;
}
// The mark text ("??" .. "!!", "" for none) of a move's flag word.
const char* ply_mark_text(uint32_t flags);

// Whether the game began at the standard start position.
bool game_from_standard_position();
// Name of the per-opponent game file: the opponent's name cut at the first character
// that is not a letter, digit or "_" (at most 200; "unknown" when empty) and the suffix.
std::string opponent_file_name(const std::string& name, const std::string& suffix);

std::string pgn_header_text(const std::string& result);
// Movetext of plies first..last (ending with the result when not empty); `line_length`
// receives the length of the last line.
std::string pgn_movetext(const std::string& result, int first, int last, unsigned options, int* line_length = nullptr);

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
