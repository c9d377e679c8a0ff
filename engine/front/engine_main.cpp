#include "front/engine_main.h"

#include <cstdlib>
#include <unistd.h>

#include "core/board.h"
#include "core/clock.h"
#include "core/eval.h"
#include "core/hash.h"
#include "core/hooks.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/search.h"
#include "core/state.h"
#include "core/settings.h"
#include "front/book.h"
#include "front/commands.h"
#include "front/egtb_commands.h"
#include "front/game_loop.h"
#include "front/game_record.h"
#include "front/learning.h"
#include "front/logs.h"
#include "front/new_game.h"
#include "front/pgn_record.h"
#include "front/polling.h"
#include "front/test_suites.h"
#include "front/uci.h"

char release_label[256] = "Vellimast";

namespace {
void position_set_up_hook() {
    hint_move = 0;
    hint_text.clear();
    ponder_move = 0;
}

// After a ponder hit the opening of the new position is named.
void announce_opening_hook() {
    eco_update_game(think_side);
    const std::string& name = eco_name;
    if (!name.empty() && name != eco_last_announced) {
        level_printf(LVL_TIME, "ECO: %s\n", name.c_str());
        eco_last_announced = name;
    }
}

void close_file(FILE*& f) {
    if (f) fclose(f);
    f = nullptr;
}
}  // namespace

void register_core_hooks() {
    hooks.search_poll = search_poll;
    hooks.epd_check_solution = epd_check_solution;
    hooks.new_game = new_game;
    hooks.store_learned_positions = store_learned_positions;
    hooks.position_set_up = position_set_up_hook;
    hooks.book_choose_move = book_move_for_search;
    hooks.trosk_first_move = trosk_move_for_search;
    hooks.announce_opening = announce_opening_hook;
    hooks.analysis_wait = analysis_wait;
    hooks.count_poll = count_poll;
    hooks.root_move_excluded = uci_root_move_excluded;
    hooks.root_list_restricted = uci_root_list_restricted;
    register_egtb_hooks();
}

int engine_main(int argc, char** argv) {
    register_core_hooks();
    move_list_start[0] = move_stack;
    init_millis();
    pipe_flag = isatty(0) ? 0 : 1;
    init_output_levels();

    level_printf(LVL_NORMAL, "Crafty is the magic word, Scid wants to see\n");
    level_printf(LVL_NORMAL, "Orvik (Orvik) version %s\n\n", release_label);
    level_printf(LVL_NORMAL, "Type help for a (very unhelpful) list of commands\n");
    level_printf(LVL_NORMAL,
                 "Make sure, you have a file orvik.ini in the current directory, with a line:\n\nhash 30M\n\nor "
                 "similar, otherwise Orvik will only use a very small hash of 1M.\n");
    level_printf(LVL_NORMAL, "\nfeature done=0\n");

    // Only the strength harness sets this (bench/ablation.sh).
    if (const char* off = std::getenv("ORVIK_OFF"); off && !parse_features_off(off, &features_off))
        level_printf(LVL_ERROR, "ORVIK_OFF: unknown name in \"%s\"\n", off);
    init_geometry_tables();
    init_ray_tables();
    init_zobrist_keys();
    eval_init();
    init_clocks();
    new_game(NEW_GAME_FULL);
    book_open(main_book);
    close_command_inputs();
    hash_alloc(1048576);

    // Position learning.
    close_file(learnpos_ovk_file);
    close_file(learnpos_bin_file);
    pos_learn = std::atoi("1");
    level_printf(LVL_NORMAL, "pos_learn = %d\n", pos_learn);
    if (pos_learn) {
        learnpos_ovk_file = open_file("learnpos.ovk", "a");
        load_learned_positions();
        if (!learnpos_ovk_file && !learnpos_bin_file) {
            pos_learn = 0;
            hash_clear();
        } else if (!pos_learn) {
            hash_clear();
        }
    } else {
        hash_clear();
    }

    eco_init();

    // Book learning.
    book_learn = std::atoi("4");
    level_printf(LVL_NORMAL, "book_learn = %d\n", book_learn);
    if (book_learn & BOOK_LEARN_GAMES) {
        bklearn_file = open_file("bklearn.pgn", "a");
        if (!bklearn_file) book_learn = 0;
    } else {
        close_file(bklearn_file);
    }
    if (book_learn & BOOK_LEARN_BOOK) book_open(learn_book);

    // Script file.
    const char* script = argc == 2 ? argv[1] : "orvik.ini";
    FILE* f = open_for_reading(script, "r", true);  // quietly: the messages below tell what happened
    if (!f && argc == 2) {
        level_printf(LVL_ERROR, "Failed opening \"%s\" as ini file\n", script);
        level_printf(LVL_ERROR, "Trying orvik.ini instead\n");
        level_printf(LVL_ERROR, "Please note, that Orvik does not need any command line parameter\n");
        level_printf(LVL_ERROR, "If one command line parameter is given, it will be assumed to be the ini file\n");
        f = open_for_reading("orvik.ini");
    }
    if (f)
        push_command_input(f);
    else
        level_printf(LVL_ERROR, "Playing without ini file. Please read the documentation\n");

    while (game_step() == 0) {
    }

    close_file(log_file);
    close_file(games_file);
    close_file(bklearn_file);
    close_file(book_holes_file);
    close_file(learnpos_ovk_file);
    close_file(learnpos_bin_file);
    book_close(main_book);
    book_close(learn_book);
    return 0;
}
