// Position, clock, ICS and log commands.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/board.h"
#include "core/clock.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/book.h"
#include "front/commands.h"
#include "front/game_record.h"
#include "front/handlers.h"
#include "front/logs.h"
#include "front/new_game.h"
#include "front/settings_args.h"
#include "front/win_lists.h"

int cmd_fen(const std::string&) {
    level_printf(LVL_NORMAL, "%s\n", board_to_fen(side_to_move, true).c_str());
    return CMD_READ_ON;
}

int cmd_reset(const std::string&) {
    reset_engine();
    return CMD_READ_ON;
}

int cmd_bk(const std::string&) {
    list_book_moves(side_to_move);
    return CMD_READ_ON;
}

int cmd_read_pgn(const std::string& arg) {
    size_t i = 0;
    while (i < arg.size() && (arg[i] == ' ' || arg[i] == '\t')) ++i;
    size_t j = i;
    while (j < arg.size() && arg[j] != ' ' && arg[j] != '\t') ++j;
    const std::string file = arg.substr(i, std::min<size_t>(j - i, 255));
    int number = read_integer_arg(arg.substr(j));
    if (number < 1) number = 1;
    if (!file.empty()) pgn_load_game(file, number);
    return CMD_READ_ON;
}

int cmd_ponder(const std::string& arg) {
    std::string text = arg.substr(0, 199);
    hint_move = parse_move(text, side_to_move, nullptr, nullptr);
    hint_text.clear();
    if (hint_move) hint_text = move_text_here(side_to_move, hint_move);
    // A UCI host ponders with "go ponder" on a position of its own: here the command
    // only names the hint, and the game loop's pondering is not asked for.
    if (uci_mode) return CMD_READ_ON;
    // The pondering search starts from this expected reply (none when it is not legal).
    last_ponder_reply = hint_move & MOVE_STORED;
    force_mode = 0;
    return CMD_PONDER;
}

int cmd_hint(const std::string&) {
    if (hint_move)
        level_printf(LVL_NORMAL, "Hint: %s\n", hint_text.c_str());
    else
        level_printf(LVL_NORMAL, "Hint: no hint available\n");
    return CMD_READ_ON;
}

int cmd_dot(const std::string&) {
    if (thinking) print_search_stats();
    return CMD_READ_ON;
}

int cmd_auto_log(const std::string& arg) {
    if (log_file) {
        std::fclose(log_file);
        log_file = nullptr;
    }
    auto_log = 1;
    size_t i = 0;
    while (i < arg.size() && (arg[i] == ' ' || arg[i] == '\t')) ++i;
    if (i < arg.size() && arg[i] == '0') {
        auto_log = 0;
        return CMD_READ_ON;
    }
    open_numbered_log();
    return CMD_READ_ON;
}

int cmd_wclock(const std::string&) {
    print_clock(WHITE);
    return CMD_READ_ON;
}

int cmd_bclock(const std::string&) {
    print_clock(BLACK);
    return CMD_READ_ON;
}

int cmd_clocks(const std::string&) {
    print_clock(WHITE);
    print_clock(BLACK);
    return CMD_READ_ON;
}

int cmd_easy(const std::string&) {
    hard = 0;
    return search_state != SEARCH_PONDER ? CMD_ACT : CMD_READ_ON;
}

int cmd_hard(const std::string&) {
    hard = 1;
    return CMD_READ_ON;
}

int cmd_computer(const std::string&) {
    opponent_is_computer = 1;
    if (autokibitz) ics_talk_word = "kibitz";
    return CMD_READ_ON;
}

namespace {
int set_win_variable(win_list& list, const std::string& arg) {
    const int n = read_integer_arg(arg);
    list.variable = n;
    if (n > 0) {
        read_win_list(list);
        if (ics_mode) level_printf(LVL_NORMAL, "%s\n", win_list_line(list, n).c_str());
    }
    return CMD_READ_ON;
}
}  // namespace

int cmd_win_humans(const std::string& arg) { return set_win_variable(win_lists[WIN_HUMANS], arg); }
int cmd_win_computers(const std::string& arg) { return set_win_variable(win_lists[WIN_COMPUTERS], arg); }
int cmd_win_all(const std::string& arg) { return set_win_variable(win_lists[WIN_ALL], arg); }

int cmd_win_file(const std::string& arg) {
    if (arg.empty()) return CMD_READ_ON;
    const std::string base = arg.substr(0, 251);
    win_lists[WIN_ALL].file = base + ".all";
    win_lists[WIN_HUMANS].file = base + ".hum";
    win_lists[WIN_COMPUTERS].file = base + ".cmp";
    return CMD_READ_ON;
}

int cmd_prompt_human(const std::string& arg) {
    win_lists[WIN_HUMANS].title = arg.substr(0, 255);
    return CMD_READ_ON;
}

int cmd_prompt_computer(const std::string& arg) {
    win_lists[WIN_COMPUTERS].title = arg.substr(0, 255);
    return CMD_READ_ON;
}

int cmd_prompt_all(const std::string& arg) {
    win_lists[WIN_ALL].title = arg.substr(0, 255);
    return CMD_READ_ON;
}
