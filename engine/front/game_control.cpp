// Game-control commands.
#include <cstdlib>

#include "core/types.h"
#include "core/board.h"
#include "core/board_display.h"
#include "core/clock.h"
#include "core/editor.h"
#include "core/eval.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/game_loop.h"
#include "front/game_record.h"
#include "front/handlers.h"
#include "front/new_game.h"
#include "front/time_control.h"
#include "front/uci.h"

namespace {

// Whole decimal number at the start of the text (blanks skipped); nothing when absent.
bool read_long(const std::string& arg, long* value) {
    size_t i = 0;
    while (i < arg.size() && is_blank(arg[i])) ++i;
    const char* start = arg.c_str() + i;
    char* end = nullptr;
    long v = std::strtol(start, &end, 10);
    if (end == start) return false;
    *value = v;
    return true;
}

void take_back(long n) {
    for (long i = 0; i < n; ++i) {
        if (board.ply < 1) {
            level_printf(LVL_ERROR, "cannot undo\n");
            break;
        }
        // The side that made the move is the colour of the man on its destination (the
        // side to move may have been set by hand since).
        const uint32_t move = game_history[board.ply].move;
        const uint32_t colour = move_is_null(move) ? static_cast<uint32_t>(NO_COLOR) : board.color[move_to(move)];
        const int mover = colour <= BLACK ? static_cast<int>(colour) : side_to_move ^ 1;
        unmake_move(mover, move);
        side_to_move = mover;
        record_length = board.ply;
    }
}
}  // namespace

int cmd_display(const std::string&) {
    if (thinking)
        print_board_diagram(display_board.piece, display_board.color);
    else
        print_board_diagram(board.piece, board.color);
    return CMD_READ_ON;
}

int cmd_xdisplay(const std::string&) {
    print_board_diagram(board.piece, board.color);
    level_printf(LVL_BOARD, "%s\nhaskey 0x%08lx,0x%08lx\n", board_to_fen(side_to_move, true).c_str(),
                 static_cast<unsigned long>(board.key_hi()), static_cast<unsigned long>(board.key_lo()));
    return CMD_READ_ON;
}

int cmd_go(const std::string& arg) {
    if (uci_mode) return uci_go(arg);
    computer_side = side_to_move;
    host_clocks_follow_engine();
    auto_play = 0;
    force_mode = 0;
    clock_start(side_to_move);
    return CMD_ACT;
}

int cmd_force(const std::string&) {
    auto_play = 0;
    force_mode = 1;
    for (int c = 0; c < 2; ++c)
        if (clocks[c].run) clock_elapsed(c);
    return CMD_READ_ON;
}

int cmd_auto(const std::string&) {
    auto_play = 1;
    return CMD_ACT;
}

int cmd_newgame(const std::string&) {
    if (search_state == SEARCH_PONDER) return CMD_NEW_GAME;
    if (!fritz_mode && !record_finished) finish_game_record();
    new_game(NEW_GAME_FULL);
    host_new_game();
    return CMD_NEW_GAME;
}

int cmd_setboard(const std::string& arg) {
    int side = WHITE;
    if (parse_fen(arg, &side, true) == 0) {
        side_to_move = side;
        computer_side = side ^ 1;
    }
    return search_state == SEARCH_ANALYSE ? CMD_ACT : CMD_READ_ON;
}

int cmd_mn(const std::string& arg) {
    long n = 0;
    read_long(arg, &n);
    if (n < 1 || n > 600) {
        level_printf(LVL_NORMAL, "Value between 1 and 600 required\n");
        return CMD_READ_ON;
    }
    move_number_offset = static_cast<int>(n - 1);
    level_printf(LVL_NORMAL, "move_number = %ld\n", n);
    return CMD_READ_ON;
}

int cmd_rv(const std::string&) {
    reversed_board ^= 1;
    return CMD_READ_ON;
}

int cmd_white(const std::string&) {
    side_to_move = WHITE;
    computer_side = BLACK;
    host_clocks_follow_engine();
    return CMD_READ_ON;
}

int cmd_black(const std::string&) {
    side_to_move = BLACK;
    computer_side = WHITE;
    host_clocks_follow_engine();
    return CMD_READ_ON;
}

int cmd_edit(const std::string&) {
    edit_mode(read_input_line);
    return search_state == SEARCH_ANALYSE ? CMD_ACT : CMD_READ_ON;
}

int cmd_input(const std::string& arg) {
    // A script that names itself would be opened again and again.
    if (is_command_input(arg)) {
        level_printf(LVL_ERROR, "Commands are read from \"%s\" already\n", arg.c_str());
        return CMD_READ_ON;
    }
    FILE* f = open_for_reading(arg);
    if (!f) return CMD_READ_ON;
    push_command_input(f);
    return CMD_READ_ON;
}

int cmd_undo(const std::string& arg) {
    long n = 1;
    if (!read_long(arg, &n)) n = 1;
    take_back(n);
    return search_state == SEARCH_ANALYSE ? CMD_ACT : CMD_READ_ON;
}

int cmd_remove(const std::string&) {
    take_back(2);
    return search_state == SEARCH_ANALYSE ? CMD_ACT : CMD_READ_ON;
}

int cmd_analyze(const std::string&) {
    search_state = SEARCH_ANALYSE;
    return CMD_ACT;
}

int cmd_exit(const std::string&) {
    search_state = SEARCH_PLAY;
    return CMD_READ_ON;
}

int cmd_post(const std::string&) {
    output_levels[LVL_THINKING] = 1;
    return CMD_READ_ON;
}

int cmd_nopost(const std::string&) {
    output_levels[LVL_THINKING] = 0;
    return CMD_READ_ON;
}

int cmd_gui(const std::string& arg) {
    notation_mode = NOTATION_GUI_SAN;
    resign_on = 0;
    if (match_command("ChessAcademy", arg)) {
        notation_mode = NOTATION_COORDINATES;
        resign_on = 1;
    }
    return CMD_READ_ON;
}

// Prepares the evaluation as a search would and prints the static score of the side to move.
int cmd_score(const std::string&) {
    eval_root_margins();
    int v = evaluate(side_to_move, -30000, 30000);
    if (v > 30000) v = 30000;
    if (v < -30000) v = -30000;
    level_printf(LVL_NORMAL, "score=%d\n", v);
    return CMD_READ_ON;
}
