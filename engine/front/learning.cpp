// Learning and book-file commands.
#include "front/handlers.h"
#include "front/learning.h"

FILE* learnpos_ovk_file = nullptr;
FILE* learnpos_bin_file = nullptr;
FILE* book_holes_file = nullptr;
int book_holes = 0;

void load_learned_positions() {}
int store_learned_positions() { return 0; }
void learn_game_position() {}

int cmd_book_learn(const std::string&) { return 0; }
int cmd_book_holes(const std::string&) { return 0; }
int cmd_book_file(const std::string&) { return 0; }
int cmd_lbook_file(const std::string&) { return 0; }
int cmd_margin_book_learn(const std::string&) { return 0; }
int cmd_margin_book_learn_white(const std::string&) { return 0; }
int cmd_margin_book_learn_black(const std::string&) { return 0; }
int cmd_pos_learn(const std::string&) { return 0; }
int cmd_import_pos(const std::string&) { return 0; }
int cmd_margin_pos_learn(const std::string&) { return 0; }
