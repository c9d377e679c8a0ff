#include "front/game_loop.h"

#include <cctype>
#include <cstring>
#include <string>

#include "core/board.h"
#include "core/clock.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/book.h"
#include "front/commands.h"
#include "front/engine_main.h"
#include "front/game_record.h"
#include "front/learning.h"
#include "front/logs.h"
#include "front/new_game.h"
#include "front/pgn_record.h"
#include "front/polling.h"
#include "front/time_control.h"
#include "front/uci.h"
#include "front/win_lists.h"

int replay_and_record_move(int side, uint32_t move, int score, uint32_t flags, int check) {
    int continuation = 1;
    const history_entry& next = game_history[board.ply + 1];
    if (check) continuation = (next.has_text && next.move == move) ? 1 : 0;
    const uint64_t key_before = board.hash_key;
    make_move(side, move);
    if (check && continuation && game_history[board.ply].key != key_before) continuation = 0;
    record_length = board.ply;
    ply_recorded_value[board.ply] = NO_RECORDED_VALUE;
    history_entry& h = game_history[board.ply];
    if (flags & THINK_SEARCHED) {
        h.score = score;
        h.flags = flags | ply_mover_flag(side);
    } else if (!continuation) {
        h.score = NO_SCORE;
        h.flags = flags | ply_mover_flag(side);
    }
    record_move_text(h, move);
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

namespace {

// Coordinate text of a move for the protocols: promotion letter in capitals.
std::string coordinate_text(uint32_t move) { return move_to_coordinates(move); }

std::string lower(std::string t) {
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
}

void set_result(const char* text) {
    level_printf(LVL_NORMAL, "\n%s\n", text);
    result_text = text;
}

// Walks back through the engine's recorded scores, newest first: how many lie below
// `limit` before the first that does not.
int count_scores_below(int from_ply, int limit, int enough) {
    int count = 0;
    for (int p = from_ply; p >= 1 && count < enough; p -= 2) {
        const int s = game_history[p].score;
        if (s == NO_SCORE) continue;
        if (s >= limit) break;
        ++count;
    }
    return count;
}

// Book learning from a game going badly (once per game).
void book_learning_trigger(bool pondering) {
    if (!game_record_flag || !use_book || pondering || book_miss_count <= 1 || (learning_flags & 1)) return;
    if (count_scores_below(board.ply, -300, 3) < 3) return;
    learning_flags |= 1;
    if (!book_learn || record_length <= 1 || game_time_60 < min_learn_tc) return;
    int last_book = 0;
    for (int p = record_length; p >= 1; --p)
        if (game_history[p].flags & THINK_BOOK_MARK) {
            last_book = p;
            break;
        }
    if (last_book > 6) {
        append_book_learn_pgn(last_book);
        // The move of that ply and the position it was played from; the side to move is
        // still the engine's.
        const history_entry& h = game_history[last_book];
        if ((book_learn & BOOK_LEARN_WRITE) && last_book < record_length)
            learn_book_moves(h.move, h.key_lo(), h.key_hi());
    }
}

void write_book_hole(uint32_t move) {
    (void)move;
    const int number = (record_length + 2) / 2;
    std::fprintf(book_holes_file, "[Out_of_book_at_move \"%d%s\"]\n", number, (record_length & 1) ? "..." : ". ");
    std::fprintf(book_holes_file, "[current_pos \"%s\"]\n\n", board_to_fen(side_to_move, true).c_str());
    for (int p = 1; p <= record_length; ++p) {
        if (((p - 1) & 1) == 0) std::fprintf(book_holes_file, "%d. ", (p + 1) / 2);
        std::fprintf(book_holes_file, "%s ", game_history[p].san);
        if (p % 8 == 0 && p != record_length) std::fprintf(book_holes_file, "\n");
    }
    std::fprintf(book_holes_file, "*\n\n");
    std::fflush(book_holes_file);
    book_holes_written = 1;
}

// ---- the steps of a move played ------------------------------------------------------------

// Before the engine's own move (not a ponder search's): the position a book lesson would
// start from while the book answers, and the book hole of a move the book no longer
// knew.
void note_book_position(int side, uint32_t move, bool engine_moved, bool pondering) {
    if (!game_record_flag || !engine_moved || pondering) return;
    if (book_miss_count == 0 && ((bklearn_file && book_learn) || (book_holes > 0 && book_holes_file)))
        last_book_position = board_to_fen(side, true);
    if (!book_holes_written && book_holes > 0 && book_holes_file && book_miss_count >= 1 && use_book &&
        (record_length + 2) / 2 <= book_holes)
        write_book_hole(move);
}

// The move made and recorded: the engine's moves out of the book counted, its search
// depth kept, the last book move remembered while the book answers.
void make_move_played(int side, uint32_t move, int score, int flags, bool engine_moved, bool pondering) {
    if (engine_moved) {
        if (flags & THINK_BOOK)
            engine_move_count = 0;
        else
            ++engine_move_count;
    }
    make_and_record_move(side, move, score, static_cast<uint32_t>(flags));
    record_changed = 1;
    if (engine_moved) ply_recorded_value[board.ply] = last_think_depth;
    if (log_file) log_used = 1;
    if (game_record_flag && use_book && ((bklearn_file && book_learn) || book_holes_file || games_file) &&
        engine_moved && !pondering && book_miss_count == 0) {
        last_book_move = game_history[board.ply].san;
        last_book_move_ply = board.ply;
    }
}

// The engine's move to the host (or the console's bell), and the move line.
void tell_move_played(int side, uint32_t move, bool engine_moved) {
    const std::string coords = coordinate_text(move);
    if (xboard_mode && engine_moved) {
        if (notation_mode == NOTATION_COORDINATES)
            level_printf(LVL_NORMAL, "move %s\n", coords.c_str());
        else
            level_printf(LVL_NORMAL, "\nmove %s\n", coords.c_str());
    } else if (!xboard_mode && bell && engine_moved) {
        level_printf(LVL_NORMAL, "\a");
    }
    age_history();
    if (engine_moved || force_mode) {
        const int number = ((side ^ 1) + 1 + record_length) / 2 + move_number_offset;
        level_printf(LVL_MOVE, "%s (%2d): %s\n", side == WHITE ? "white" : "black", number,
                     game_history[board.ply].san);
    }
}

// The end the move brings: a mate; after the engine's move the fifty-move rule or its
// resignation. Book learning follows both.
void end_after_move(int side, int flags, bool engine_moved, bool pondering, bool& game_over) {
    if (flags & THINK_MATES) {
        set_result(side == WHITE ? "1-0 {White mates}" : "0-1 {Black mates}");
        force_mode = 1;
        game_over = true;
        book_learning_trigger(pondering);
        return;
    }
    if (!engine_moved) return;
    if (board.ply - board.last_irreversible >= FIFTY_MOVE_PLIES) {
        set_result("1/2-1/2 {Draw by 50 moves rule}");
        if (ics_mode) level_printf(LVL_NORMAL, "\ntellics draw\n");
    } else if (!resigned && resign_on && !fritz_mode && count_scores_below(board.ply, rscore, rmoves) >= rmoves) {
        if (xboard_mode && !ics_mode) level_printf(LVL_NORMAL, "\ntellics resign\n");
        set_result(side == WHITE ? "0-1 {White resigns}" : "1-0 {Black resigns}");
        resigned = 1;
        force_mode = 1;
        game_over = true;
        if (!record_finished) finish_game_record();
    }
    book_learning_trigger(pondering);
}

// The opening's name when it changes, told to the host or the server after the engine's
// move when show_eco asks for it.
void announce_opening(int side, bool engine_moved) {
    if (fritz_mode || !show_eco || board.ply >= OPENING_NAME_PLIES) return;
    eco_update_game(side ^ 1);
    const std::string name = eco_name;
    if (name.empty() || name == eco_last_announced) return;
    level_printf(LVL_TIME, "ECO: %s\n", name.c_str());
    eco_last_announced = name;
    if (show_eco >= 2 && engine_moved && name != eco_last_told) {
        if (ics_mode)
            level_printf(LVL_NORMAL, "tellics %s ECO: %s\n", ics_tell_word.c_str(), name.c_str());
        else
            level_printf(LVL_NORMAL, "0 0 0 0 {%s}\n", name.c_str());
        eco_last_told = name;
    }
}

// After the engine's move: the reply it expects becomes the move to ponder on and the
// hint, both kept for the game record.
void expect_reply(int side) {
    ponder_move = last_ponder_reply;
    if (board.ply < MAX_GAME_PLY) ply_ponder_moves[board.ply] = ponder_move;
    hint_move = 0;
    hint_text.clear();
    if (ponder_move) {
        const uint32_t full = find_and_make_move(side ^ 1, ponder_move, nullptr);
        if (full) {
            hint_text = move_text_here(side ^ 1, full);
            hint_move = full;
        }
    }
    if (board.ply < MAX_GAME_PLY) ply_ponder_texts[board.ply] = hint_text;
}

// Plays a move of the side to move and tells what follows from it. `engine_moved`:
// the engine's own move; `flags`: the search's result code.
void play_move(uint32_t move, int score, int flags, bool engine_moved, bool& game_over) {
    const int side = side_to_move;
    const double used = clock_elapsed(side);
    if (board.ply + 1 < MAX_GAME_PLY) ply_move_times[board.ply + 1] = used;
    const bool pondering = search_state == SEARCH_PONDER;
    note_book_position(side, move, engine_moved, pondering);
    make_move_played(side, move, score, flags, engine_moved, pondering);
    tell_move_played(side, move, engine_moved);
    end_after_move(side, flags, engine_moved, pondering, game_over);
    announce_opening(side, engine_moved);
    if (engine_moved) expect_reply(side);
    side_to_move ^= 1;
    if (!force_mode) clock_start(side_to_move);
}

// The game has ended by the result flags of a search that found no move.
void announce_game_end(int code) {
    if (code & THINK_STALEMATE) {
        set_result("1/2-1/2 {Stalemate}");
        force_mode = 1;
    }
    if (code & THINK_REPETITION) {
        set_result("1/2-1/2 {Draw by repetition}");
        force_mode = 1;
    }
    if (code & THINK_FIFTY) {
        set_result("1/2-1/2 {Draw by 50 moves rule}");
        force_mode = 1;
    }
    if (code & THINK_NO_MATERIAL) {
        set_result("1/2-1/2 {Draw (insufficient material)}");
        force_mode = 1;
    } else if (code & THINK_MATED) {
        set_result(side_to_move == BLACK ? "1-0 {White mates}" : "0-1 {Black mates}");
        force_mode = 1;
    }
}

}  // namespace

int uci_think() {
    engine_start_ply = board.ply + 1;
    learning_flags = 0;
    int previous_ply = 0;
    // The host's next command; false when the program is to end.
    auto next_command = [] {
        int rc = CMD_QUIT;
        read_command(&rc);
        return rc != CMD_QUIT;
    };
    for (;;) {
        if (uci_position_refused) {
            // Any move would be one of another game: the host gets the null move at once.
            level_printf(LVL_UCI, "info string no position to search: the last position command was refused\n");
            level_printf(LVL_UCI, "bestmove 0000\n");
            search_state = SEARCH_PLAY;
            if (!next_command()) return 1;
            continue;
        }
        hash_new_search();
        computer_side = engine_last_side = side_to_move;
        if (saved_game_length == 0 || saved_game_length < engine_start_ply || saved_game_length < previous_ply - 2) {
            engine_start_ply = 0;
            book_miss_count = 0;
            learning_flags = 0;
        }
        previous_ply = board.ply + 1;
        if (engine_start_ply == 0) engine_start_ply = previous_ply;
        const uint32_t t0 = millis();
        const int side = side_to_move;
        int code = 0, score = 0, depth = 0;
        uint32_t move;
        // Whether the host gets a bestmove: not after a ponder search that a new game broke off.
        bool answer = true;
        if (search_state == SEARCH_PONDER) {
            ponder_hit = 0;
            ponder_command_result = PONDER_STOP_NONE;
            clock_start(side ^ 1);
            ponder_root_board = board;
            ponder_root_ply = board.ply;
            thinking = 1;
            move = think(side, &code, &score, &depth, nullptr);
            thinking = 0;
            while (search_state == SEARCH_PONDER) wait_for_input();
            ponder_root_ply = -1;
            if (!ponder_hit) {
                game_history[board.ply].has_text = 0;
                record_length = board.ply;
                if (ponder_command_result == PONDER_STOP_QUIT) return 1;
                answer = ponder_command_result == PONDER_STOP_NONE;
            } else {
                age_history();
            }
            if (move_after_stop && !ponder_hit) move = move_after_stop;
        } else {
            copy_display_board();
            thinking = 1;
            move = think(side, &code, &score, &depth, nullptr);
            thinking = 0;
        }
        const double elapsed = (millis() - t0) * 0.001;
        if (move && answer) {
            const std::string best = lower(coordinate_text(move));
            if (last_ponder_reply)
                level_printf(LVL_UCI, "bestmove %s ponder %s\n", best.c_str(),
                             lower(coordinate_text(last_ponder_reply)).c_str());
            else
                level_printf(LVL_UCI, "bestmove %s\n", best.c_str());
            // The score the engine recorded with its previous move.
            const int previous = board.ply >= 1 ? game_history[board.ply - 1].score : NO_SCORE;
            if (board.ply < 100 && answer && (code & THINK_SEARCHED) && previous != NO_SCORE && elapsed >= 1.0)
                learn_game_position(score, last_think_score, depth, previous, last_book_move_ply, engine_start_ply,
                                    move);
            if (!game_has_room()) {
                // The host has its answer; the game record is full.
                level_printf(LVL_UCI, "info string the game has reached %d plies: %s is not recorded\n",
                             MAX_GAME_PLY - 1, best.c_str());
            } else {
                replay_and_record_move(side, move, score, static_cast<uint32_t>(code), 1);
                ply_recorded_value[board.ply] = last_think_depth;
                // Book learning stores the engine's colour: the side still to move here.
                if ((book_learn & BOOK_LEARN_WRITE) && search_state != SEARCH_ANALYSE) book_learning_trigger(false);
                side_to_move ^= 1;
            }
        } else if (!move && answer) {
            // No legal move: the host still waits for an answer.
            level_printf(LVL_UCI, "bestmove 0000\n");
        }
        if (!next_command()) return 1;
    }
}

namespace {

// A move the game loop's search step found, to be played.
struct found_move {
    uint32_t move = 0;
    bool engine_moved = false;  // the engine's own move (not the opponent's typed while pondering)
    int score = 0;
    int flags = 0;  // the search's result code
};

// What a search step asks of the game loop next.
enum class step_next { quit, search_again, play, read_command };

// Whether the loop waits for a command rather than searching (not analysing).
bool waits_for_input(bool game_over, bool ponder_request) {
    return force_mode || game_over || (!auto_play && side_to_move != computer_side && !hard && !ponder_request) ||
           pending_line_waiting;
}

// Analyses the position until a command ends the analysis.
void analyse_position() {
    hash_new_search();
    copy_display_board();
    thinking = 1;
    think(side_to_move, nullptr, nullptr, nullptr, nullptr);
    thinking = 0;
}

// Ponders on the opponent's time (asked for by a command, or the engine's own).
step_next ponder_step(bool& ponder_request, found_move& found) {
    const uint32_t t0 = millis();
    if (ponder_request) computer_side = engine_last_side = side_to_move ^ 1;
    if (engine_start_ply == 0) engine_start_ply = board.ply + 2;
    ponder_outcome outcome = PONDER_MISSED;
    const uint32_t m = ponder_search(&outcome);
    if (ponder_request && outcome == PONDER_HIT) force_mode = 1;
    ponder_request = false;
    if (outcome == PONDER_QUIT) {
        if (!record_finished) finish_game_record();
        return step_next::quit;
    }
    if (outcome == PONDER_NEW_GAME) {
        if (!fritz_mode && !record_finished) finish_game_record();
        new_game(NEW_GAME_FULL);
        host_new_game();
        if (!fritz_mode)
            level_printf(LVL_NORMAL, "tellics %s Hello %s from Orvik version %s\n", ics_tell_word.c_str(),
                         opponent_name.c_str(), release_label);
        return step_next::search_again;
    }
    if (!m) return step_next::read_command;
    found.move = m;
    if (outcome != PONDER_MISSED) {
        found.engine_moved = true;
        found.score = last_think_score;
        found.flags = last_think_code;
        if (board.ply + 1 < MAX_GAME_PLY) ply_move_times[board.ply + 1] = (millis() - t0) * 0.001;
    }
    return step_next::play;
}

// The engine's own search; no move ends the game.
step_next own_search_step(bool& game_over, found_move& found) {
    engine_last_side = side_to_move;
    if (engine_start_ply == 0) engine_start_ply = board.ply + 1;
    copy_display_board();
    thinking = 1;
    int code = 0;
    found.move = think(side_to_move, &code, &found.score, nullptr, nullptr);
    thinking = 0;
    found.flags = code;
    if (stop_by_input) auto_play = 0;
    if (found.move) {
        found.engine_moved = true;
        return step_next::play;
    }
    game_over = true;
    announce_game_end(code);
    if (!record_finished) finish_game_record();
    return step_next::search_again;
}

// Pondering or the engine's own search, whichever the game asks for.
step_next search_step(bool& ponder_request, bool& game_over, found_move& found) {
    hash_new_search();
    const bool ponder = !auto_play && (ponder_request || side_to_move != computer_side);
    const step_next next = ponder ? ponder_step(ponder_request, found) : own_search_step(game_over, found);
    if (next == step_next::quit || next == step_next::search_again) return next;
    if (stop_by_input) auto_play = 0;
    return next;
}

// Plays a move a search step found, unless the game record is full.
void play_found_move(const found_move& found, bool& game_over) {
    if (!game_has_room()) {
        level_printf(LVL_ERROR, "Move refused: the game has reached %d plies\n", MAX_GAME_PLY - 1);
        force_mode = 1;
        return;
    }
    play_move(found.move, found.score, found.flags, found.engine_moved, game_over);
}

}  // namespace

int game_step() {
    bool analysed = false;
    bool game_over = false;
    bool ponder_request = false;
    if (!force_mode) clock_start(side_to_move);
    for (;;) {
        if (search_state == SEARCH_ANALYSE) {
            if (!analysed && !pending_line_waiting) {
                analyse_position();
                analysed = true;
                continue;
            }
        } else if (!waits_for_input(game_over, ponder_request)) {
            found_move found;
            const step_next next = search_step(ponder_request, game_over, found);
            if (next == step_next::quit) return 1;
            if (next == step_next::search_again) continue;
            if (next == step_next::play) {
                play_found_move(found, game_over);
                continue;
            }
        }

        // Read a command.
        int code = CMD_QUIT;
        const uint32_t move = read_command(&code);
        analysed = false;
        game_over = false;
        if (code == CMD_QUIT) {
            if (fritz_mode && !record_written && saved_game_length > 1) record_length = saved_game_length;
            if (!record_finished) finish_game_record();
            return 1;
        }
        ponder_request = code == CMD_PONDER;
        if (!ponder_request && uci_mode) return uci_think();
        if (move) play_move(move, NO_SCORE, 0, false, game_over);
    }
}
