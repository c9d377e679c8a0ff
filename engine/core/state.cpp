#include "core/state.h"

#include <cstring>

#include "core/board.h"

int side_to_move = WHITE;
search_mode search_state = SEARCH_PLAY;
int force_mode = 0;
int auto_play = 0;
int computer_side = BLACK;
int xboard_mode = 0;
int uci_mode = 0;
int ics_mode = 0;
int notation_mode = NOTATION_SAN;
int fritz_mode = 0;
int thinking = 0;
int record_length = 0;
int move_number_offset = 0;
display_board_t display_board;
std::string ics_talk_word = "whisper";

void copy_display_board() {
    std::memcpy(display_board.piece, board.piece, sizeof display_board.piece);
    std::memcpy(display_board.color, board.color, sizeof display_board.color);
}
