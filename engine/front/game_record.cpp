#include "front/game_record.h"

std::string result_text = "*";
int resigned = 0;
int record_finished = 0;
int record_written = 0;
int record_changed = 0;
int book_holes_written = 0;
int learning_flags = 0;
int game_record_flag = 1;
int games_counter = 0;
int saved_game_length = 0;

int engine_start_ply = 0;
int engine_last_side = BLACK;

std::string last_book_position = "start position";
std::string last_book_move = "no move";
int last_book_move_ply = 0;

int opponent_is_computer = 0;
std::string date_text = "????.??.??";
std::string opponent_name;
std::string ics_tell_word = "say";

uint32_t ponder_move = 0;
uint32_t hint_move = 0;
std::string hint_text;

std::string eco_last_announced, eco_last_told;
