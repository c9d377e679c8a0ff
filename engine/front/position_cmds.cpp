// Position, clock, ICS and log commands.
#include "core/fen.h"
#include "core/output.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/handlers.h"
#include "front/new_game.h"

int cmd_fen(const std::string&) {
    level_printf(LVL_NORMAL, "%s\n", board_to_fen(side_to_move, true).c_str());
    return 0;
}

int cmd_reset(const std::string&) {
    reset_engine();
    return 0;
}

int cmd_bk(const std::string&) { return 0; }
int cmd_read_pgn(const std::string&) { return 0; }
int cmd_ponder(const std::string&) { return 0; }
int cmd_hint(const std::string&) { return 0; }
int cmd_dot(const std::string&) {
    if (thinking) print_search_stats();
    return 0;
}
int cmd_auto_log(const std::string&) { return 0; }
int cmd_wclock(const std::string&) { return 0; }
int cmd_bclock(const std::string&) { return 0; }
int cmd_clocks(const std::string&) { return 0; }
int cmd_easy(const std::string&) {
    hard = 0;
    return search_state != 1 ? 1 : 0;
}

int cmd_hard(const std::string&) {
    hard = 1;
    return 0;
}
int cmd_computer(const std::string&) { return 0; }
int cmd_win_humans(const std::string&) { return 0; }
int cmd_win_computers(const std::string&) { return 0; }
int cmd_win_all(const std::string&) { return 0; }
int cmd_win_file(const std::string&) { return 0; }
int cmd_prompt_human(const std::string&) { return 0; }
int cmd_prompt_computer(const std::string&) { return 0; }
int cmd_prompt_all(const std::string&) { return 0; }
