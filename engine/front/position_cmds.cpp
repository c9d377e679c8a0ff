// Position, clock, ICS and log commands.
#include "core/board.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/game_record.h"
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
int cmd_ponder(const std::string& arg) {
    const std::string text = arg.substr(0, 199);
    hint_move = parse_move(text, side_to_move, nullptr, nullptr);
    hint_text.clear();
    if (hint_move) {
        make_move(side_to_move, hint_move);
        hint_text = move_to_text(hint_move);
        unmake_move(side_to_move, hint_move);
    }
    // The pondering search starts from this expected reply.
    last_ponder_reply = hint_move & 0x7FFF;
    force_mode = 0;
    return 3;
}

int cmd_hint(const std::string&) {
    if (hint_move)
        level_printf(LVL_NORMAL, "Hint: %s\n", hint_text.c_str());
    else
        level_printf(LVL_NORMAL, "Hint: no hint available\n");
    return 0;
}
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
