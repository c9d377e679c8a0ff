#include "front/new_game.h"

#include <ctime>

#include "book/eco.h"
#include "core/board.h"
#include "core/hash.h"
#include "core/recorded_game.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/game_loop.h"
#include "front/game_record.h"
#include "front/logs.h"
#include "front/pgn_record.h"

namespace {
void clear_per_ply_arrays() {
    for (int i = 0; i < MAX_GAME_PLY; ++i) {
        ply_ponder_moves[i] = 0;
        ply_move_times[i] = -1.0;
        ply_ponder_texts[i].clear();
    }
}

void forget_opponent() {
    opponent_is_computer = 0;
    if (autokibitz) ics_talk_word = "whisper";
}
}  // namespace

void new_game(int full) {
    saved_game_length = record_length;
    new_game_record();
    if (!fritz_mode) {
        if (full) {
            last_book_position = "start position";
            last_book_move = "no move";
            forget_opponent();
        }
        last_book_move_ply = 0;
        if (!uci_mode) {
            engine_start_ply = 0;
            book_miss_count = 0;
            learning_flags = 0;
        }
        engine_last_side = BLACK;
        last_score[WHITE] = last_score[BLACK] = NO_SCORE;
        book_holes_written = record_written = record_finished = 0;
        if (!uci_mode) clear_per_ply_arrays();
        if (full) hash_clear();
    }
    ponder_move = 0;
    game_record_flag = 1;
    eco_clear_game();
    eco_last_announced.clear();
    eco_last_told.clear();
    if (full) {
        result_text.assign(1, '*');
        resigned = 0;
        std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        char buf[32];
        snprintf(buf, sizeof buf, "%4d.%02d.%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
        date_text = buf;
        if (auto_log && !fritz_mode) open_numbered_log();
        record_changed = 0;
    }
}

void reset_engine() {
    if (!record_finished) finish_game_record();
    hash_clear();
    last_score[WHITE] = last_score[BLACK] = NO_SCORE;
    last_book_move = "no move";
    last_book_position = "start position";
    book_miss_count = 0;
    last_book_move_ply = 0;
    engine_start_ply = 0;
    hash_age = 0;
    hash_wraps = 0;
    forget_opponent();
    learning_flags = 0;
    book_holes_written = record_written = record_finished = 0;
    if (auto_log) open_numbered_log();
    record_changed = 0;
    clear_per_ply_arrays();
    for (int i = 0; i < HISTORY_SIZE; ++i) {
        game_history[i].key = 0;
        game_history[i].has_text = 0;
    }
    engine_last_side = 1;
    record_length = 0;
}
