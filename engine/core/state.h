// Dialogue and game state shared by the search core and the command interpreter.
#pragma once

#include <cstdint>
#include <string>

#include "core/types.h"

extern int side_to_move;  // the game loop keeps it and passes it to every board operation
extern search_mode search_state;
extern int force_mode;
extern int auto_play;
extern int computer_side;
extern int xboard_mode;  // 0 console; otherwise the xboard protocol version
extern int uci_mode;
extern int ics_mode;
// Move text: NOTATION_COORDINATES under UCI and for the gui host that asks for them,
// SAN otherwise (NOTATION_GUI_SAN after gui).
enum : int { NOTATION_SAN = 0, NOTATION_GUI_SAN = 1, NOTATION_COORDINATES = 2 };
extern int notation_mode;
extern int fritz_mode;             // once set, never cleared
extern int thinking;               // 1 while the game loop's search runs
extern int record_length;          // plies in the game record
extern int move_number_offset;     // set by mn
extern std::string ics_talk_word;  // "whisper", or "kibitz" after computer

// Copy of the board taken before a search; the board printers show it while thinking.
struct display_board_t {
    uint32_t piece[64];
    uint32_t color[64];
};
extern display_board_t display_board;
void copy_display_board();
