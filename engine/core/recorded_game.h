// The game record: the moves of the present game as the history holds them (SAN text,
// flag word with its annotation mark, score), the per-ply data kept beside them, and the
// start of a new record. The game loop, the PGN loaders and tools and the pondering
// search all record their moves through make_and_record_move.
#pragma once

#include <climits>
#include <cstdint>
#include <string>

#include "core/board.h"

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

// The mover's bit of a recorded move's flag word (beside the search's result code).
constexpr uint32_t PLY_WHITE_MOVED = 0x1000;
constexpr uint32_t PLY_BLACK_MOVED = 0x2000;
inline uint32_t ply_mover_flag(int side) { return side == BLACK ? PLY_BLACK_MOVED : PLY_WHITE_MOVED; }

// Value the game loop records with each engine move (the search depth); NO_RECORDED_VALUE
// for moves that carry none.
constexpr int NO_RECORDED_VALUE = INT_MIN;
extern int ply_recorded_value[MAX_GAME_PLY];
// Per ply of the game: the reply the engine expected, the move's thinking time (-1.0
// none) and the expected reply's text.
extern uint32_t ply_ponder_moves[MAX_GAME_PLY];
extern double ply_move_times[MAX_GAME_PLY];
extern std::string ply_ponder_texts[MAX_GAME_PLY];
// The last score recorded for each side, NO_SCORE when none.
extern int32_t last_score[2];

// The SAN text of the move just made (`move_to_text`), kept in its history entry.
void record_move_text(history_entry& h, uint32_t move);
// Makes a game move and records it: score, flag word and SAN text in the history entry.
void make_and_record_move(int side, uint32_t move, int score, uint32_t flags);

// Whether the game began at the standard start position.
bool game_from_standard_position();
// The side that made ply p (p >= 1) and the move number of ply p, counted from the
// game's start position.
int side_of_ply(int p);
int move_number_of_ply(int p);

// The board and the record of a new game: the initial position with White to move, an
// empty history and record, the start FEN, the clocks and the move-ordering tables anew.
void new_game_record();
// What a new game starts afresh: NEW_GAME_FULL a real new game; NEW_GAME_RECORD_ONLY the
// start position and an empty record (hash table, learning texts, date and log left
// alone), as a host's position or the PGN tools' next game want it.
enum : int { NEW_GAME_RECORD_ONLY = 0, NEW_GAME_FULL = 1 };

// A new game for the PGN loaders and tools (`full` as new_game takes it): the
// interpreter's new game when one is registered, which also starts its own records of
// the game, else new_game_record.
void start_new_game(int full);
