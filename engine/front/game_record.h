// The interpreter's state of the present game, shared by the game loop, the game-control
// commands, new game and reset, the game records and learning; the moves and their
// per-ply data are the core's game record (recorded_game.h).
#pragma once

#include <cstdint>
#include <string>

#include "book/eco.h"
#include "core/board.h"
#include "core/recorded_game.h"

extern std::string result_text;  // "*" while the game runs
extern int resigned;
extern int record_finished;  // the record was finished (not written twice)
extern int record_written;
extern int record_changed;
extern int book_holes_written;
extern int learning_flags;
extern int game_record_flag;  // set by new_game
extern int games_counter;
extern int saved_game_length;  // record length of the game that ended

extern int engine_start_ply;  // first ply at which the engine searched (0 = not yet)
extern int engine_last_side;  // side for which the engine last searched
extern int book_miss_count;   // searches since the engine's last book move

extern std::string last_book_position;  // FEN, "start position" at a new game
extern std::string last_book_move;      // SAN, "no move" at a new game
extern int last_book_move_ply;

extern int opponent_is_computer;
extern std::string ics_talk_word;  // "whisper", or "kibitz" after computer
extern std::string date_text;      // "%4d.%02d.%02d"
extern std::string opponent_name;  // name command
extern std::string ics_tell_word;  // "say" at start

extern uint32_t ponder_move;  // reply the engine expects
extern uint32_t hint_move;
extern std::string hint_text;

// The opening names last announced and told (the game's opening texts are eco.h's).
extern std::string eco_last_announced, eco_last_told;
