#include "front/game_loop.h"

#include <cstring>
#include <string>

#include "core/board.h"
#include "core/clock.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/game_record.h"
#include "front/pgn_record.h"
#include "front/win_lists.h"

void make_and_record_move(int side, uint32_t move, int score, uint32_t flags) {
    int continuation = 1;
    history_entry& next = game_history[board.ply + 1];
    if (fritz_mode) continuation = (next.has_text && next.move == move) ? 1 : 0;
    make_move(side, move);
    record_length = board.ply;
    history_entry& h = game_history[board.ply];
    if (flags & 0x400)
        h.score = score;
    else if (!(fritz_mode && continuation))
        h.score = score = NO_SCORE;
    if ((flags & 0x400) || !(fritz_mode && continuation)) h.flags = flags | (side == BLACK ? 0x2000u : 0x1000u);
    const std::string san = move_to_text(move);
    std::strncpy(h.san, san.c_str(), sizeof h.san - 1);
    h.san[sizeof h.san - 1] = '\0';
    h.has_text = 1;
    if (score != NO_SCORE) last_score[side] = score;
}

int replay_and_record_move(int side, uint32_t move, int score, uint32_t flags, int check) {
    int continuation = 1;
    const history_entry& next = game_history[board.ply + 1];
    if (check) continuation = (next.has_text && next.move == move) ? 1 : 0;
    const uint64_t key_before = board.hash_key;
    make_move(side, move);
    if (check && continuation && game_history[board.ply].key != key_before) continuation = 0;
    record_length = board.ply;
    history_entry& h = game_history[board.ply];
    if (flags & 0x400) {
        h.score = score;
        h.flags = flags | (side == BLACK ? 0x2000u : 0x1000u);
    } else if (!continuation) {
        h.score = NO_SCORE;
        h.flags = flags | (side == BLACK ? 0x2000u : 0x1000u);
    }
    const std::string san = move_to_text(move);
    std::strncpy(h.san, san.c_str(), sizeof h.san - 1);
    h.san[sizeof h.san - 1] = '\0';
    h.has_text = 1;
    return continuation;
}

void finish_game_record() {
    update_win_lists();
    pgn_write_trailer();
    if (!record_written && record_length > 1) {
        write_game_records();
        ++games_counter;
    }
    record_written = 1;
    record_finished = 1;
}

int uci_think() { return 1; }

int game_step() {
    // The search and the engine's own moves join this loop with the search; until then
    // every move is the opponent's, played as typed.
    int code = 0;
    const uint32_t move = read_command(&code);
    if (code == 0) {
        if (!record_finished) finish_game_record();
        return 1;
    }
    if (uci_mode) return uci_think();
    if (!move) return 0;
    const int side = side_to_move;
    const double used = clock_elapsed(side);
    if (board.ply + 1 < MAX_GAME_PLY) ply_move_times[board.ply + 1] = used;
    make_and_record_move(side, move, NO_SCORE, 0);
    record_changed = 1;
    age_history();
    if (force_mode) {
        const int number = ((side ^ 1) + 1 + record_length) / 2 + move_number_offset;
        level_printf(LVL_MOVE, "%s (%2d): %s\n", side == WHITE ? "white" : "black", number,
                     game_history[board.ply].san);
    }
    side_to_move ^= 1;
    if (!force_mode) clock_start(side_to_move);
    return 0;
}
