// Learning and book-file commands.
#include "front/learning.h"

#include "book/book_file.h"
#include "core/hash.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/handlers.h"
#include "front/new_game.h"
#include "front/pgn_record.h"
#include "front/settings_args.h"

FILE* book_holes_file = nullptr;
int book_holes = 0;

namespace {
void close_file(FILE*& f) {
    if (f) std::fclose(f);
    f = nullptr;
}

// The rest of the line without the blanks at its end.
std::string file_argument(const std::string& arg) {
    std::string name = arg;
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\r' || name.back() == '\n'))
        name.pop_back();
    return name;
}

// book_file and lbook_file: the book under a new name.
void choose_book_file(book_descriptor& d, const std::string& arg, const char* used, const char* missing) {
    const char* prefix = uci_mode ? "info string " : "";
    book_close(d);
    d.name = file_argument(arg);
    if (book_open(d))
        level_printf(LVL_NORMAL, used, prefix, d.name.c_str());
    else
        level_printf(LVL_NORMAL, missing, prefix, d.name.c_str());
}
}  // namespace

int cmd_book_learn(const std::string& arg) {
    book_learn = read_integer_arg(arg);
    level_printf(LVL_NORMAL, "book_learn = %d\n", book_learn);
    if (book_learn & BOOK_LEARN_GAMES) {
        if (!bklearn_file) bklearn_file = open_file("bklearn.pgn", "a");
        if (!bklearn_file) book_learn = 0;
    } else {
        close_file(bklearn_file);
    }
    if (book_learn & BOOK_LEARN_BOOK) book_open(learn_book);
    return CMD_READ_ON;
}

int cmd_book_holes(const std::string& arg) {
    book_holes = read_integer_arg(arg);
    level_printf(LVL_NORMAL, "book_holes = %d\n", book_holes);
    if (book_holes > 0 && !book_holes_file) {
        book_holes_file = open_file("bkholes.pgn", "a");
        if (!book_holes_file) book_holes = 0;
    } else if (book_holes <= 0) {
        close_file(book_holes_file);
    }
    return CMD_READ_ON;
}

int cmd_book_file(const std::string& arg) {
    choose_book_file(main_book, arg, "%sUsing \"%s\" as opening book\n", "%sCan't find opening book \"%s\"\n");
    return CMD_READ_ON;
}

int cmd_lbook_file(const std::string& arg) {
    choose_book_file(learn_book, arg, "%sUsing \"%s\" as learn book\n", "%sCan't find learn book \"%s\"\n");
    return CMD_READ_ON;
}

// The learning margins are plain settings (centipawns).
int cmd_margin_book_learn(const std::string& arg) {
    const int v = read_integer_arg(arg);
    margin_book_learn_white = margin_book_learn_black = v;
    level_printf(LVL_NORMAL, "margin_book_learn = %d\n", v);
    return CMD_READ_ON;
}
int cmd_margin_book_learn_white(const std::string& arg) {
    margin_book_learn_white = read_integer_arg(arg);
    level_printf(LVL_NORMAL, "margin_book_learn_white = %d\n", margin_book_learn_white);
    return CMD_READ_ON;
}
int cmd_margin_book_learn_black(const std::string& arg) {
    margin_book_learn_black = read_integer_arg(arg);
    level_printf(LVL_NORMAL, "margin_book_learn_black = %d\n", margin_book_learn_black);
    return CMD_READ_ON;
}

int cmd_pos_learn(const std::string& arg) {
    close_file(learnpos_ovk_file);
    close_file(learnpos_bin_file);
    pos_learn = read_integer_arg(arg);
    level_printf(LVL_NORMAL, "pos_learn = %d\n", pos_learn);
    if (pos_learn) {
        learnpos_ovk_file = open_file("learnpos.ovk", "a");
        load_learned_positions();
        if (!learnpos_ovk_file && !learnpos_bin_file) pos_learn = 0;
    }
    if (!pos_learn) hash_clear();
    return CMD_READ_ON;
}

int cmd_import_pos(const std::string& arg) {
    if (import_learned_positions(file_argument(arg)) == 0) new_game(NEW_GAME_FULL);
    return CMD_READ_ON;
}

int cmd_margin_pos_learn(const std::string& arg) {
    margin_pos_learn = read_integer_arg(arg);
    level_printf(LVL_NORMAL, "margin_pos_learn = %d\n", margin_pos_learn);
    return CMD_READ_ON;
}
