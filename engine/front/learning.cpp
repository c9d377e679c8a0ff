// Learning and book-file commands.
#include "core/output.h"
#include "core/settings.h"
#include "front/handlers.h"
#include "front/settings_args.h"
#include "front/learning.h"

FILE* learnpos_ovk_file = nullptr;
FILE* learnpos_bin_file = nullptr;
FILE* book_holes_file = nullptr;
int book_holes = 0;

void load_learned_positions() {}
int store_learned_positions() { return 0; }
void learn_game_position() {}
int learned_positions_held() { return 0; }
void release_learned_positions() {}

int cmd_book_learn(const std::string&) { return 0; }
int cmd_book_holes(const std::string&) { return 0; }
int cmd_book_file(const std::string&) { return 0; }
int cmd_lbook_file(const std::string&) { return 0; }
// The learning margins are plain settings (centipawns).
int cmd_margin_book_learn(const std::string& arg) {
    const int v = read_integer_arg(arg);
    margin_book_learn_white = margin_book_learn_black = v;
    level_printf(LVL_NORMAL, "margin_book_learn = %d\n", v);
    return 0;
}
int cmd_margin_book_learn_white(const std::string& arg) {
    margin_book_learn_white = read_integer_arg(arg);
    level_printf(LVL_NORMAL, "margin_book_learn_white = %d\n", margin_book_learn_white);
    return 0;
}
int cmd_margin_book_learn_black(const std::string& arg) {
    margin_book_learn_black = read_integer_arg(arg);
    level_printf(LVL_NORMAL, "margin_book_learn_black = %d\n", margin_book_learn_black);
    return 0;
}
int cmd_pos_learn(const std::string&) { return 0; }
int cmd_import_pos(const std::string&) { return 0; }
int cmd_margin_pos_learn(const std::string& arg) {
    margin_pos_learn = read_integer_arg(arg);
    level_printf(LVL_NORMAL, "margin_pos_learn = %d\n", margin_pos_learn);
    return 0;
}
