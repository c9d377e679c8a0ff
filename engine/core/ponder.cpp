// Thinking on the opponent's time: the expected reply is played on the board and the
// position after it is searched until the opponent moves.
#include <cstring>

#include "core/board.h"
#include "core/clock.h"
#include "core/hooks.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/recorded_game.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"

uint32_t ponder_expected = 0;
int ponder_root_ply = -1;
uint32_t move_after_stop = 0;
ponder_stop ponder_command_result = PONDER_STOP_NONE;
board_state ponder_root_board;

uint32_t ponder_search(ponder_outcome* result_out) {
    const int opponent = side_to_move;
    const int engine = opponent ^ 1;
    if (op_info) {
        level_printf(LVL_NORMAL, "0 0 0 0 %s left on internal clock. Please adjust if needed\n",
                     console_time_text(clock_remaining(engine)).c_str());
    }
    *result_out = PONDER_MISSED;
    move_after_stop = 0;
    ponder_hit = 0;
    ponder_command_result = PONDER_STOP_NONE;
    ponder_expected = 0;

    if (!last_ponder_reply || !game_has_room()) return 0;
    int reps = 0;
    const uint32_t expected = find_and_make_move(opponent, last_ponder_reply, &reps);
    if (!expected) return 0;

    copy_display_board();
    ponder_root_board = board;
    ponder_root_ply = board.ply;
    ponder_expected = expected;
    make_and_record_move(opponent, expected, NO_SCORE, 0);
    search_state = SEARCH_PONDER;
    level_printf(LVL_THINKING, "Hint: %s\n", game_history[board.ply].has_text ? game_history[board.ply].san : "");
    thinking = 1;
    int code = 0, score = 0, depth = 0;
    const uint32_t move = think(engine, &code, &score, &depth, nullptr);
    thinking = 0;
    if (search_state == SEARCH_PONDER) search_state = SEARCH_PLAY;
    const bool hit = ponder_hit != 0;
    ponder_expected = 0;
    ponder_root_ply = -1;
    if (!hit) {
        game_history[board.ply].flags &= ~static_cast<uint32_t>(THINK_BOOK_MARK);
        unmake_move(opponent, expected);
        record_length = board.ply;
        if (ponder_command_result == PONDER_STOP_QUIT)
            *result_out = PONDER_QUIT;
        else if (ponder_command_result != PONDER_STOP_NONE)
            *result_out = PONDER_NEW_GAME;
        else
            *result_out = PONDER_MISSED;
        return move_after_stop;
    }
    if (show_eco && board.ply < OPENING_NAME_PLIES && hooks.announce_opening) hooks.announce_opening();
    side_to_move = engine;
    *result_out = PONDER_HIT;
    age_history();
    return move;
}
