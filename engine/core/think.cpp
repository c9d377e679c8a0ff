// Iterative deepening over the root move list with an aspiration window, the root
// search, and the decisions made before any search (draws, forced moves, book).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/board.h"
#include "core/clock.h"
#include "core/hash.h"
#include "core/hooks.h"
#include "core/input.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/search.h"
#include "core/eval.h"
#include "core/settings.h"
#include "core/state.h"

double usetime = 0.0, mintime = 0.0, maxtime = 0.0;
double time_limit = 0.0;
int time_extended = 0;
uint32_t search_start = 0;
int root_move_number = 0;
int root_move_count = 0;
char root_move_text[12] = "";
int root_stored_depth = 0;
int think_game_end = 0;
int ponder_hit = 0;
int stop_auto_play = 0;
int book_miss_count = 0;
int last_think_code = 0;
int last_think_score = 0;
int last_think_depth = 0;
uint16_t last_pv[PV_WORDS] = {PV_NO_MOVE};
uint32_t last_ponder_reply = 0;
std::string last_hint_text = "null";

namespace {

struct root_entry {
    uint32_t move;
    uint16_t first_reply;
    int score;            // ordering value before the first iteration, then the search score
    int depth;            // 1/64 ply at which the score was found, -10 none
    uint16_t pv[PV_WORDS];
    char text[12];
    bool excluded;        // left out of the search (dialog, avoid list, searchmoves)
};

root_entry root_list[256];
int root_count = 0;

// State of the present iteration, shared by think and search_root.
int iteration_new_best = 0;
int iteration_fail_high = 0;
int previous_score = NO_MOVE_SCORE;
int first_fail_low = 0;
int think_ply = 0;


void move_entry_to(int from, int to) {
    if (from == to) return;
    root_entry e = root_list[from];
    if (from > to)
        std::memmove(root_list + to + 1, root_list + to, static_cast<size_t>(from - to) * sizeof(root_entry));
    else
        std::memmove(root_list + from, root_list + from + 1, static_cast<size_t>(to - from) * sizeof(root_entry));
    root_list[to] = e;
}

// Earlier occurrences of the present position since the last irreversible move.
int root_repetitions() {
    int count = 0;
    const int stop = board.last_irreversible > 1 ? board.last_irreversible : 1;
    for (int i = board.ply - 1; i >= stop; i -= 2)
        if (game_history[i].key == board.hash_key) ++count;
    return count;
}

bool bare_or_minor(int side) {
    if (board.material[side] == 0) return true;
    if (board.piece_count[side] != 1 || board.pawn_material[side] != 0) return false;
    const int sq = board.piece_list[side][1];
    return board.piece[sq] == KNIGHT || board.piece[sq] == BISHOP;
}

// The root's in-check test: the piece-list test when few men are left.
void choose_check_test() {
    const int men = board.piece_count[WHITE] + board.piece_count[BLACK];
    const int home = (rank_index(board.piece_list[WHITE][0]) == 0 ? ut1 : 0) +
                     (rank_index(board.piece_list[BLACK][0]) == 7 ? ut1 : 0);
    in_check_fn = men + home < ut2 ? in_check : in_check_by_rays;
}

void set_iteration_limits(int d, int endgame_mode) {
    iteration_depth = d;
    if (endgame_mode == 2) {
        check_ply_limit = d / 2;
        repcheck_ply_limit = 0;
    } else if (endgame_mode == 1) {
        check_ply_limit = 2 * d;
        repcheck_ply_limit = d;
    } else {
        check_ply_limit = 3 * d;
        repcheck_ply_limit = 2 * d;
    }
    switch (tb_usage) {
    case -1: tb_ply_limit = 0; break;
    case 0: tb_ply_limit = 1; break;
    case 1: tb_ply_limit = (d + 1) / 2; break;
    case 2: tb_ply_limit = (3 * d + 3) / 4; break;
    case 4: tb_ply_limit = 63; break;
    default: tb_ply_limit = d; break;
    }
}

// Console dialog that enables and disables root moves.
void exclusion_dialog() {
    for (;;) {
        for (int i = 0; i < root_count; ++i) {
            level_printf(LVL_NORMAL, "%3d%c:%7s ", i + 1, root_list[i].excluded ? 'd' : 'e', root_list[i].text);
            if (i % 6 == 5 || i + 1 == root_count) level_printf(LVL_NORMAL, "\n");
        }
        std::string line;
        if (!stdin_read_line(line)) return;
        if (line.empty() || line[0] == 'q' || line[0] == 'Q') return;
        const long k = std::strtol(line.c_str(), nullptr, 10);
        if (k >= 1 && k <= root_count) root_list[k - 1].excluded = !root_list[k - 1].excluded;
    }
}

}  // namespace

uint32_t current_best_move() { return root_count > 0 ? root_list[0].move : 0; }

double search_elapsed() {
    const double s = (millis() - search_start) * 0.001;
    return s < 0.001 ? 0.001 : s;
}

void reset_search_counters() {
    nodes_searched = 0;
    qnodes_searched = 0;
    poll_mark = 5000;
    abort_search = 0;
    seldepth = 0;
    stats = search_statistics{};
    eval_count = 0;
    eval_lazy_count = 0;
    generated_move_count = 0;
    hash_probes = hash_hits = hash_stores = hash_rejects = 0;
    search_start = millis();
}

int search_root(int alpha, int beta, int side, int depth_plies, uint16_t* pv_out, int flags) {
    const int opp = side ^ 1;
    const int depth = depth_plies * ONE_PLY;
    int best = NO_MOVE_SCORE;
    int result_type = BOUND_UPPER;
    uint16_t child_pv[PV_WORDS];
    pv_out[0] = PV_NO_MOVE;
    root_move_count = root_count;
    for (int i = 0; i < root_count; ++i) {
        root_entry& e = root_list[i];
        root_move_number = i + 1;
        std::memcpy(root_move_text, e.text, sizeof root_move_text);
        if (e.excluded) continue;
        if (e.depth == depth || (e.score < -MATE_RANGE && e.score <= alpha)) {
            if (e.depth == depth && e.score > best) {
                best = e.score;
                if (best > alpha) alpha = best;
                move_entry_to(i, 0);
            }
            continue;
        }
        const uint32_t m = e.move;
        const int reps = make_move(side, m);
        int score;
        bool fell_back = false;
        if (reps >= 2) {
            score = 0;
            child_pv[0] = PV_NO_MOVE;
            game_history[board.ply].flags = 0;
        } else {
            choose_check_test();
            print_current_move(i + 1, root_count, depth_plies);
            const bool check = in_check_fn(opp);
            game_history[board.ply].flags = check ? static_cast<uint32_t>(HF_CHECK) : 0u;
            // The move's stored continuation (none before its first search) is the
            // expected line below it.
            set_pv_hint(1, is_pv_end(e.pv[0]) ? e.pv : e.pv + 1);
            int d = depth - ONE_PLY + (check ? icheck : 0);
            const bool full_window = (flags & NF_PV_FIRST) || alpha <= -MATE;
            if (d < ONE_PLY) {
                score = full_window ? -qsearch(-beta, -alpha, opp, 1, child_pv, flags)
                                    : -qsearch(-alpha - 1, -alpha, opp, 1, child_pv, flags & ~NF_PARITY);
            } else if (full_window) {
                score = -search(-beta, -alpha, opp, d, 1, child_pv, flags, reps);
            } else {
                score = -search(-alpha - 1, -alpha, opp, d, 1, child_pv, flags & ~NF_PARITY, reps);
            }
            if (!full_window && !abort_search && score > alpha && score < beta) {
                call_epd_check_solution(m, depth_plies, score);
                set_pv_hint(1, child_pv);
                uint16_t tmp[PV_WORDS];
                pv_copy(tmp, m, child_pv);
                unmake_move(side, m);
                print_thinking(tmp, score, depth_plies, search_elapsed(), "t+", 0);
                make_move(side, m);
                game_history[board.ply].flags = check ? static_cast<uint32_t>(HF_CHECK) : 0u;
                const int again = d < ONE_PLY ? -qsearch(-beta, -alpha, opp, 1, child_pv, NF_ROOT)
                                              : -search(-beta, -alpha, opp, d, 1, child_pv, NF_ROOT, reps);
                if (!abort_search) {
                    if (again <= alpha) fell_back = true;
                    score = again;
                }
            }
        }
        unmake_move(side, m);
        if (abort_search) {
            if (iteration_new_best) break;
            return 0;
        }
        e.score = score;
        pv_copy(e.pv, m, child_pv);
        e.first_reply = is_pv_end(child_pv[0]) ? 0 : child_pv[0];
        if (fell_back) {
            print_thinking(e.pv, score, depth_plies, search_elapsed(), "t-", 0);
            print_thinking(root_list[0].pv, root_list[0].score, depth_plies, search_elapsed(), "t ", 0);
            if (i > 1) move_entry_to(i, 1);
        }
        flags &= ~NF_PV_FIRST;
        flags |= NF_FOLLOW_PV;
        const bool first_failed_low = i == 0 && score <= alpha;
        if (score > best) {
            best = score;
            move_entry_to(i, 0);
            root_entry& front = root_list[0];
            ++iteration_new_best;
            call_epd_check_solution(m, depth_plies, score);
            pv_copy(pv_out, m, child_pv);
            if (score >= beta) {
                result_type = BOUND_LOWER;
                iteration_fail_high = 1;
                break;
            }
            if (score > alpha) {
                result_type = BOUND_EXACT;
                alpha = score;
                front.depth = depth;
                flags = NF_FOLLOW_PV;
                print_thinking(front.pv, score, depth_plies, search_elapsed(), "t ", 0);
                if (node_limit == 0xFFFFFFFFu && search_state == 0 && search_elapsed() > usetime && score > previous_score &&
                    previous_score != NO_MOVE_SCORE) {
                    abort_search = 1;
                    break;
                }
            }
        }
        if (first_failed_low) {
            first_fail_low = 1;
            if (fail_low_early) return score;
            time_limit = maxtime;
            time_extended = 1;
        }
    }
    if (root_count == 0) {
        const bool check = in_check_fn(side);
        return check ? -MATE : 0;
    }
    if ((result_type == BOUND_LOWER || result_type == BOUND_EXACT) && !abort_search) {
        const uint32_t m = root_list[0].move;
        reward_move(side, m, best, depth, 0, !(m & MOVE_CAPTURE));
    }
    if (!abort_search && !(hooks.root_list_restricted && hooks.root_list_restricted())) {
        store_search_result(side, best, depth, 0, result_type, root_list[0].move, search_state == 2);
    }
    return best;
}

uint32_t think(int side, int* code_out, int* score_out, int* depth_out, uint16_t* pv_out) {
    int code = 0;
    int final_score = 0;
    int final_depth = 0;
    uint32_t chosen = 0;
    const char* final_type = "f.";
    bool searched = false;
    bool completed_last = true;
    uint16_t chosen_pv[PV_WORDS];
    chosen_pv[0] = PV_NO_MOVE;
    think_game_end = 0;
    ponder_hit = 0;
    stop_auto_play = 0;
    think_ply = board.ply;
    think_side = side;
    const bool analysis = search_state == 2;
    // The root list of the last search belongs to its position: until this one lists
    // its moves there is no best move (a stop while pondering asks for it).
    root_count = 0;

    eval_root_margins();

    auto finish = [&](uint32_t move) {
        last_think_code = code;
        last_think_score = final_score;
        last_think_depth = final_depth;
        if (code_out) *code_out = code;
        if (score_out) *score_out = final_score;
        if (depth_out) *depth_out = final_depth;
        if (pv_out) std::memcpy(pv_out, chosen_pv, sizeof chosen_pv);
        std::memcpy(last_pv, chosen_pv, sizeof chosen_pv);
        last_ponder_reply = (!is_pv_end(chosen_pv[0]) && !is_pv_end(chosen_pv[1]) && !move_is_null(chosen_pv[1]))
                                ? chosen_pv[1]
                                : 0;
        last_hint_text = move ? move_to_coordinates(move) : "null";
        return move;
    };

    if (refuse_king_capture_position(side)) return finish(0);

    const int repetitions = root_repetitions();
    if (repetitions >= 1) level_printf(LVL_NORMAL, "Repetition is %d\n", repetitions);
    if (repetitions >= 2 && !analysis && !uci_mode) {
        code = THINK_REPETITION;
        return finish(0);
    }
    if (!uci_mode) {
        const bool bare_kings = board.material[WHITE] == 0 && board.material[BLACK] == 0;
        if (((board.material[WHITE] == 0 && bare_or_minor(BLACK)) || (board.material[BLACK] == 0 && bare_or_minor(WHITE))) &&
            !(analysis && bare_kings)) {
            code = THINK_NO_MATERIAL;
            return finish(0);
        }
    }

    reset_search_counters();
    time_extended = 0;

    // Root moves.
    move_list_entry* gen = move_list_start[0];
    const int n = in_check_fn(side) ? generate_evasions(side, 0, gen) : generate_legal_moves(side, 0, gen);
    int hscore = 0, hdepth = 0;
    uint32_t hmove = 0;
    const int hbound = hash_probe(side, 0, &hscore, &hmove, &hdepth);
    root_stored_depth = hbound ? hdepth : 0;
    if (analysis && hbound && hdepth >= 1) {
        if (uci_mode)
            level_printf(LVL_UCI, "info string Position stored with depth %d\n", (hdepth + ONE_PLY - 1) / ONE_PLY);
        else
            level_printf(LVL_LEARNED, "Position stored with depth %d\n", (hdepth + ONE_PLY - 1) / ONE_PLY);
    }
    tb_men_limit = egtb_max_men > 2 ? egtb_max_men - 2 : 0;
    if (four_men_only && tb_men_limit > 2) tb_men_limit = 2;   // "Use only 3 and 4-men TBs"
    if (tb_usage == -1) tb_men_limit = 0;
    const int men = board.piece_count[WHITE] + board.piece_count[BLACK];
    if (tb_men_limit > 0 && men <= tb_men_limit && hooks.egtb_probe) {
        int v = 0;
        if (hooks.egtb_probe(side, &v))
            level_printf(LVL_NORMAL, "tbscore = %d\n", v);
        else
            level_printf(LVL_NORMAL, "fail tb table_pieces %d ltable_pieces %d\n", men + 2, egtb_max_men);
    }
    root_count = 0;
    for (int i = 0; i < n && root_count < 256; ++i) {
        root_entry& r = root_list[root_count++];
        r.move = gen[i].move;
        r.first_reply = 0;
        r.depth = -10;
        r.pv[0] = PV_NO_MOVE;
        r.excluded = false;
        make_move(side, r.move);
        const std::string text = move_to_text(r.move);
        if (board.ply == 1 && think_ply == 0)
            r.score = evaluate(side, -MATE, MATE) + 10000;
        else
            r.score = gen[i].score + (((hmove & MOVE_STORED) == (r.move & MOVE_STORED) && hbound) ? 10000 : 0);
        unmake_move(side, r.move);
        std::snprintf(r.text, sizeof r.text, "%s", text.c_str());
    }

    if (root_count == 1 && search_state == 0) {
        code = THINK_ONLY_MOVE;
        chosen = root_list[0].move;
        pv_copy(chosen_pv, chosen, root_list[0].pv);
        print_thinking(chosen_pv, 0, 0, search_elapsed(), "om", 2);
        return finish(chosen);
    }
    if (root_count == 0) {
        think_game_end = 1;
        code = in_check_fn(side) ? THINK_MATED : THINK_STALEMATE;
        return finish(0);
    }
    if (board.ply - board.last_irreversible >= 100 && !uci_mode) {
        code = THINK_FIFTY;
        return finish(0);
    }

    // The exclusion dialogue talks to a person at the console, never to a host.
    if (eml_mode && !xboard_mode && !uci_mode) {
        exclusion_dialog();
        search_start = millis();
    }
    if (hooks.root_move_excluded) {
        int kept = 0;
        for (int i = 0; i < root_count; ++i)
            if (!hooks.root_move_excluded(root_list[i].move)) ++kept;
        if (kept > 0)
            for (int i = 0; i < root_count; ++i)
                if (hooks.root_move_excluded(root_list[i].move)) root_list[i].excluded = true;
    }

    abort_search = 0;
    if (node_limit == 0xFFFFFFFFu) allocate_time(side, &usetime, &mintime, &maxtime);
    time_limit = usetime;

    int endgame_mode = 0;
    if (board.piece_material[WHITE] < 1000 && board.piece_material[BLACK] < 1000) endgame_mode = 1;
    if (board.piece_material[WHITE] < 500 && board.piece_material[BLACK] < 500) endgame_mode = 2;

    // Order by value, largest first (stable).
    for (int i = 1; i < root_count; ++i) {
        int j = i;
        while (j > 0 && root_list[j - 1].score < root_list[i].score) --j;
        move_entry_to(i, j);
    }

    if (!analysis) {
        uint32_t book = 0;
        int flagged = 0;
        uint32_t moves[256];
        for (int i = 0; i < root_count; ++i) moves[i] = root_list[i].move;
        if (hooks.trosk_first_move && ((board.ply == 0 && (trosk_mode & 1)) || (board.ply == 1 && (trosk_mode & 2))))
            book = hooks.trosk_first_move(side, moves, root_count);
        if (book) {
            code = THINK_BOOK;
            chosen = book;
            pv_copy(chosen_pv, chosen, root_list[0].pv + 1);
            chosen_pv[1] = PV_NO_MOVE;
            print_thinking(chosen_pv, 0, 0, search_elapsed(), "lm", 2);
            return finish(chosen);
        }
        if (book_miss_count < 5 && use_book && hooks.book_choose_move) {
            book = hooks.book_choose_move(side, moves, root_count, 14, 0, &flagged);
            if (book) {
                book_miss_count = 0;
                code = flagged ? THINK_BOOK_FLAGGED : THINK_BOOK;
                chosen = book;
                chosen_pv[0] = static_cast<uint16_t>(book & MOVE_STORED);
                chosen_pv[1] = PV_NO_MOVE;
                print_thinking(chosen_pv, 0, 0, search_elapsed(), "bk", 2);
                return finish(chosen);
            }
        }
        ++book_miss_count;
        if (kids_mode == 1 && search_state == 0) {
            const int k = std::rand() % root_count;
            chosen = root_list[k].move;
            chosen_pv[0] = static_cast<uint16_t>(chosen & MOVE_STORED);
            chosen_pv[1] = PV_NO_MOVE;
            print_thinking(chosen_pv, 0, 0, search_elapsed(), "km", 2);
            return finish(chosen);
        }
    }

    // Iterative deepening.
    std::memset(pv_hint, 0, sizeof pv_hint);
    int alpha = -FULL_WINDOW, beta = FULL_WINDOW;
    previous_score = NO_MOVE_SCORE;
    int best_score = 0;
    bool have_result = false;
    const bool root_repeated = repetitions >= 1;
    uint16_t iter_pv[PV_WORDS];
    for (int depth = 1; depth <= PLY_LIMIT; ++depth) {
        set_iteration_limits(depth, endgame_mode);
        int fail_lows = 0, fail_highs = 0;
        iteration_new_best = 0;
        iteration_fail_high = 0;
        first_fail_low = 0;
        bool stop = false;
        for (;;) {
            const int v = search_root(alpha, beta, side, depth, iter_pv, NF_ROOT);
            searched = true;
            if (abort_search) {
                if (iteration_new_best || iteration_fail_high) {
                    chosen = root_list[0].move;
                    best_score = root_list[0].score;
                    std::memcpy(chosen_pv, root_list[0].pv, sizeof chosen_pv);
                    final_depth = depth;
                    have_result = true;
                } else if (first_fail_low && fail_low_early && !have_result) {
                    chosen = root_list[0].move;
                    best_score = root_list[0].score;
                    std::memcpy(chosen_pv, root_list[0].pv, sizeof chosen_pv);
                    have_result = true;
                }
                completed_last = false;
                stop = true;
                break;
            }
            if (v <= alpha && alpha > -FULL_WINDOW) {
                ++fail_lows;
                int na = fail_lows == 1 ? v - 100 : fail_lows == 2 ? v - 500 : -FULL_WINDOW;
                if (na < -FULL_WINDOW) na = -FULL_WINDOW;
                if (na >= MATE_RANGE) {
                    na = 0;
                    fail_lows = 2;
                }
                alpha = na;
                print_thinking(root_list[0].pv, v, depth, search_elapsed(), "--", 0);
                time_limit = maxtime;
                time_extended = 1;
                if (fail_low_early) {
                    chosen = root_list[0].move;
                    best_score = v;
                    std::memcpy(chosen_pv, root_list[0].pv, sizeof chosen_pv);
                    have_result = true;
                }
                continue;
            }
            if (v >= beta && beta < FULL_WINDOW) {
                ++fail_highs;
                int nb = fail_highs == 1 ? v + 100 : fail_highs == 2 ? v + 500 : FULL_WINDOW;
                if (nb >= MATE_RANGE) nb = FULL_WINDOW;
                beta = nb;
                chosen = root_list[0].move;
                best_score = v;
                std::memcpy(chosen_pv, root_list[0].pv, sizeof chosen_pv);
                have_result = true;
                print_thinking(root_list[0].pv, v, depth, search_elapsed(), "++", 0);
                continue;
            }
            break;
        }
        if (stop) break;

        // The iteration is complete.
        stats.iteration_nodes[depth] = nodes_searched;
        chosen = root_list[0].move;
        best_score = root_list[0].score;
        std::memcpy(chosen_pv, root_list[0].pv, sizeof chosen_pv);
        have_result = true;
        final_depth = depth;
        completed_last = true;
        print_thinking(chosen_pv, best_score, depth, search_elapsed(), ". ", 0);
        const double elapsed = search_elapsed();
        if (node_limit == 0xFFFFFFFFu && search_state == 0) {
            if (elapsed > mintime && best_score >= previous_score - 25) break;
            if (best_score < previous_score - 25 && 2.0 * elapsed < maxtime) {
                time_limit = maxtime;
                time_extended = 1;
            } else {
                time_limit = usetime;
            }
            if (elapsed > time_limit) break;
        }
        previous_score = best_score;
        alpha = best_score - window < -FULL_WINDOW ? -FULL_WINDOW : best_score - window;
        beta = best_score + window > FULL_WINDOW ? FULL_WINDOW : best_score + window;
        if (!analysis && depth >= 4 &&
            ((best_score >= 30002 - depth && !root_repeated) || best_score <= depth - 30002))
            break;
        if (!analysis && max_depth > 0 && depth >= max_depth) break;
        if (kids_mode && search_state == 0) break;
        if (depth == PLY_LIMIT && analysis && hooks.analysis_wait) hooks.analysis_wait();
    }

    final_score = best_score;
    if (!have_result) {
        chosen = root_list[0].move;
        chosen_pv[0] = static_cast<uint16_t>(chosen & 0x7FFF);
        chosen_pv[1] = PV_NO_MOVE;
    }
    final_type = completed_last ? "f." : "u.";
    const int final_flag = (search_state == 1 && !ponder_hit) ? 1 : 2;
    print_thinking(chosen_pv, final_score, final_depth, search_elapsed(), final_type, final_flag);
    (void)searched;
    code = THINK_SEARCHED;
    if (final_score > MATE_RANGE) code |= THINK_WIN;
    if (final_score < -MATE_RANGE) code |= THINK_LOSS;
    if (final_score == 29999) code |= THINK_MATE_IN_ONE;
    return finish(chosen);
}
