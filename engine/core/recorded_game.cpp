#include "core/recorded_game.h"

#include <cstring>

#include "core/clock.h"
#include "core/fen.h"
#include "core/hooks.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/search.h"
#include "core/state.h"

int ply_recorded_value[MAX_GAME_PLY];
uint32_t ply_ponder_moves[MAX_GAME_PLY];
double ply_move_times[MAX_GAME_PLY];
std::string ply_ponder_texts[MAX_GAME_PLY];
int32_t last_score[2] = {NO_SCORE, NO_SCORE};

namespace {
const char* const STANDARD_START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

int start_side() {
    const size_t blank = start_fen.find(' ');
    return blank != std::string::npos && blank + 1 < start_fen.size() && start_fen[blank + 1] == 'b' ? BLACK : WHITE;
}
}  // namespace

const char* ply_mark_text(uint32_t flags) {
    // Without the recorded-mark bit a field of 0 is no mark (words written before marks
    // carried that bit).
    static const char* const marks[8] = {"??", "?", "?!", "", "!?", "!", "!!", ""};
    const unsigned field = (flags & PLY_MARK_BITS) >> 14;
    if (field == 0 && !(flags & PLY_MARK_SET)) return "";
    return marks[field];
}

void record_move_text(history_entry& h, uint32_t move) {
    const std::string san = move_to_text(move);
    std::strncpy(h.san, san.c_str(), sizeof h.san - 1);
    h.san[sizeof h.san - 1] = '\0';
    h.has_text = 1;
}

void make_and_record_move(int side, uint32_t move, int score, uint32_t flags) {
    int continuation = 1;
    history_entry& next = game_history[board.ply + 1];
    if (fritz_mode) continuation = (next.has_text && next.move == move) ? 1 : 0;
    make_move(side, move);
    record_length = board.ply;
    ply_recorded_value[board.ply] = NO_RECORDED_VALUE;
    history_entry& h = game_history[board.ply];
    if (flags & THINK_SEARCHED)
        h.score = score;
    else if (!(fritz_mode && continuation))
        h.score = score = NO_SCORE;
    if ((flags & THINK_SEARCHED) || !(fritz_mode && continuation)) h.flags = flags | ply_mover_flag(side);
    record_move_text(h, move);
    if (score != NO_SCORE) last_score[side] = score;
}

bool game_from_standard_position() { return start_move_number == 0 && start_fen == STANDARD_START; }

int side_of_ply(int p) { return start_side() ^ ((p - 1) & 1); }

int move_number_of_ply(int p) { return start_move_number + 1 + (p - 1 + (start_side() == BLACK ? 1 : 0)) / 2; }

void new_game_record() {
    set_start_position();
    side_to_move = WHITE;
    auto_play = 0;
    computer_side = BLACK;
    force_mode = 0;
    start_history(WHITE);
    clear_move_ordering();
    record_length = 0;
    reset_clocks();
    engine_move_count = 0;
    start_move_number = 0;
    start_fen = board_to_fen(WHITE, false);
    move_number_offset = 0;
}

void start_new_game(int full) {
    if (hooks.new_game)
        hooks.new_game(full);
    else
        new_game_record();
}
