// Iterative deepening over the root move list with an aspiration window, the root
// search, and the decisions made before any search (draws, forced moves, book).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
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
    int score;  // ordering value before the first iteration, then the search score
    int depth;  // 1/64 ply at which the score was found, ROOT_NO_DEPTH none
    uint16_t pv[PV_WORDS];
    char text[12];
    bool excluded;  // left out of the search (dialog, avoid list, searchmoves)
};

root_entry root_list[MAX_ROOT_MOVES];
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

// How far the game is, by the pieces on both sides, for the extension limits.
enum game_phase : int { PHASE_MIDDLEGAME = 0, PHASE_ENDGAME = 1, PHASE_BARE_ENDGAME = 2 };

void set_iteration_limits(int d, game_phase phase) {
    iteration_depth = d;
    if (phase == PHASE_BARE_ENDGAME) {
        check_ply_limit = d / 2;
        repcheck_ply_limit = 0;
    } else if (phase == PHASE_ENDGAME) {
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
        case 4: tb_ply_limit = PLY_LIMIT; break;
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
    poll_mark = POLL_INTERVAL;
    abort_search = 0;
    seldepth = 0;
    stats = search_statistics{};
    eval_count = 0;
    eval_lazy_count = 0;
    generated_move_count = 0;
    hash_probes = hash_hits = hash_stores = hash_rejects = 0;
    search_start = millis();
}

namespace {

// ---- one root move searched ---------------------------------------------------------------
// The move is made; a position seen twice before scores a draw. Otherwise the in-check
// test for the ply is chosen, the move reported, its stored line becomes the expected
// one, and it is searched one ply less (a check gets its extension), below one ply by the
// quiescence search: the first move, or any while alpha is at a mate, with the full
// window, the others with a zero window; a zero-window score inside the window is
// reported as a new best candidate ("t+") and searched again with the full window along
// its line, and `fell_back` tells that the re-search fell to alpha or below. The move
// stays made for the caller to take back.
int search_root_move(root_entry& e, int i, int alpha, int beta, int side, int depth_plies, int flags,
                     uint16_t* child_pv, bool& fell_back) {
    const int opp = side ^ 1;
    const uint32_t m = e.move;
    const int reps = make_move(side, m);
    if (reps >= 2) {
        child_pv[0] = PV_NO_MOVE;
        game_history[board.ply].flags = 0;
        return 0;
    }
    choose_check_test();
    print_current_move(i + 1, root_count, depth_plies);
    const bool check = in_check_fn(opp);
    game_history[board.ply].flags = check ? static_cast<uint32_t>(HF_CHECK) : 0u;
    // The move's stored continuation (none before its first search) is the expected
    // line below it.
    set_pv_hint(1, is_pv_end(e.pv[0]) ? e.pv : e.pv + 1);
    const int d = depth_plies * ONE_PLY - ONE_PLY + (check ? icheck : 0);
    // At the root a move left with less than a whole ply goes to the quiescence search.
    auto child = [&](int a, int b, int child_flags) {
        return d < ONE_PLY ? -qsearch(a, b, opp, 1, child_pv, child_flags)
                           : -search(a, b, opp, d, 1, child_pv, child_flags, reps);
    };
    const bool full_window = (flags & NF_PV_FIRST) || alpha <= -MATE;
    if (full_window) return child(-beta, -alpha, flags);
    const int score = child(-alpha - 1, -alpha, flags & ~NF_PARITY);
    if (abort_search || score <= alpha || score >= beta) return score;
    call_epd_check_solution(m, depth_plies, score);
    set_pv_hint(1, child_pv);
    uint16_t shown[PV_WORDS];
    pv_copy(shown, m, child_pv);
    unmake_move(side, m);
    print_thinking(shown, score, depth_plies, search_elapsed(), THINKING_SCOUT_RAISED, THINKING_GOES_ON);
    make_move(side, m);
    game_history[board.ply].flags = check ? static_cast<uint32_t>(HF_CHECK) : 0u;
    const int again = child(-beta, -alpha, NF_ROOT);
    if (abort_search) return score;
    fell_back = again <= alpha;
    return again;
}

}  // namespace

int search_root(int alpha, int beta, int side, int depth_plies, uint16_t* pv_out, int flags) {
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
        // A move already searched at this depth, or known lost, keeps its result.
        if (e.depth == depth || (e.score < -MATE_RANGE && e.score <= alpha)) {
            if (e.depth == depth && e.score > best) {
                best = e.score;
                if (best > alpha) alpha = best;
                move_entry_to(i, 0);
            }
            continue;
        }
        const uint32_t m = e.move;
        bool fell_back = false;
        const int score = search_root_move(e, i, alpha, beta, side, depth_plies, flags, child_pv, fell_back);
        unmake_move(side, m);
        if (abort_search) {
            if (iteration_new_best) break;
            return 0;
        }

        // The move's result: a fall-back from the re-search moves it to second place; a
        // new best goes to the front and is reported to the test suite; beta ends the
        // iteration; above alpha the move is the iteration's choice (and, past the planned
        // time with a score better than the last iteration's, the search ends with it).
        // A first move that fails low may end the iteration early or earn more time.
        e.score = score;
        pv_copy(e.pv, m, child_pv);
        e.first_reply = is_pv_end(child_pv[0]) ? 0 : child_pv[0];
        if (fell_back) {
            print_thinking(e.pv, score, depth_plies, search_elapsed(), THINKING_FIRST_FELL, THINKING_GOES_ON);
            print_thinking(root_list[0].pv, root_list[0].score, depth_plies, search_elapsed(), THINKING_NEW_BEST,
                           THINKING_GOES_ON);
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
                print_thinking(front.pv, score, depth_plies, search_elapsed(), THINKING_NEW_BEST, THINKING_GOES_ON);
                if (clock_limits_search() && search_state == SEARCH_PLAY && search_elapsed() > usetime &&
                    score > previous_score && previous_score != NO_MOVE_SCORE) {
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
    // No legal move: mated or stalemate. The best move earns its credits, and the root
    // is stored (for good when analysing) unless the host restricted the list.
    if (root_count == 0) return in_check_fn(side) ? -MATE : 0;
    if ((result_type == BOUND_LOWER || result_type == BOUND_EXACT) && !abort_search) {
        const uint32_t m = root_list[0].move;
        reward_move(side, m, best, depth, 0, !(m & MOVE_CAPTURE));
    }
    if (!abort_search && !(hooks.root_list_restricted && hooks.root_list_restricted()))
        store_search_result(side, best, depth, 0, result_type, root_list[0].move, search_state == SEARCH_ANALYSE);
    return best;
}

namespace {

// What think hands back, gathered as it goes.
struct think_outcome {
    int code = 0;
    int score = 0;
    int depth = 0;  // depth of the last finished iteration
    uint32_t move = 0;
    uint16_t pv[PV_WORDS];         // the chosen move and its continuation
    bool searched_choice = false;  // a search found the move (else the front of the list stands)
};

// The move at the front of the root list becomes the choice, with `score`.
void choose_front(think_outcome& out, int score) {
    out.move = root_list[0].move;
    out.score = score;
    std::memcpy(out.pv, root_list[0].pv, sizeof out.pv);
    out.searched_choice = true;
}

// A move chosen without search (book, opening, random, only move): its line is the move.
void choose_move(think_outcome& out, uint32_t move) {
    out.move = move;
    out.pv[0] = static_cast<uint16_t>(move & MOVE_STORED);
    out.pv[1] = PV_NO_MOVE;
}

// Hands the outcome to the caller's out-parameters and to the game loop's copies.
uint32_t hand_back(const think_outcome& out, int* code_out, int* score_out, int* depth_out, uint16_t* pv_out) {
    last_think_code = out.code;
    last_think_score = out.score;
    last_think_depth = out.depth;
    if (code_out) *code_out = out.code;
    if (score_out) *score_out = out.score;
    if (depth_out) *depth_out = out.depth;
    if (pv_out) std::memcpy(pv_out, out.pv, sizeof out.pv);
    std::memcpy(last_pv, out.pv, sizeof out.pv);
    last_ponder_reply = (!is_pv_end(out.pv[0]) && !is_pv_end(out.pv[1]) && !move_is_null(out.pv[1])) ? out.pv[1] : 0;
    last_hint_text = out.move ? move_to_coordinates(out.move) : "null";
    return out.move;
}

// ---- draws and positions settled before any search -------------------------------------------
// A side not to move in check (a position set by hand) is refused; a position that stood
// twice before is a draw (not while analysing, nor for a host), and so is material with
// which neither side can mate (two bare kings are still analysed). Returns the result code,
// or -1 when the search goes on.
int settled_at_once(int side, bool analysis, int repetitions) {
    if (refuse_king_capture_position(side)) return 0;
    if (repetitions >= 1) level_printf(LVL_NORMAL, "Repetition is %d\n", repetitions);
    if (repetitions >= 2 && !analysis && !uci_mode) return THINK_REPETITION;
    if (!uci_mode) {
        const bool bare_kings = board.material[WHITE] == 0 && board.material[BLACK] == 0;
        if (((board.material[WHITE] == 0 && bare_or_minor(BLACK)) ||
             (board.material[BLACK] == 0 && bare_or_minor(WHITE))) &&
            !(analysis && bare_kings))
            return THINK_NO_MATERIAL;
    }
    return -1;
}

// ---- the root list -----------------------------------------------------------------------------
// The legal moves with the table's move first (in analysis the stored depth is reported),
// the table limits from the loaded tables (and a probe of the root reported), and each
// move's text. Before the game's first move every move is ordered by the evaluation of
// the position after it.
void build_root_list(int side, bool analysis) {
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
    if (four_men_only && tb_men_limit > 2) tb_men_limit = 2;  // "Use only 3 and 4-men TBs"
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
    for (int i = 0; i < n && root_count < MAX_ROOT_MOVES; ++i) {
        root_entry& r = root_list[root_count++];
        r.move = gen[i].move;
        r.first_reply = 0;
        r.depth = ROOT_NO_DEPTH;
        r.pv[0] = PV_NO_MOVE;
        r.excluded = false;
        make_move(side, r.move);
        const std::string text = move_to_text(r.move);
        if (board.ply == 1 && think_ply == 0)
            r.score = evaluate(side, -MATE, MATE) + ROOT_ORDER_BONUS;
        else
            r.score =
                gen[i].score + (((hmove & MOVE_STORED) == (r.move & MOVE_STORED) && hbound) ? ROOT_ORDER_BONUS : 0);
        unmake_move(side, r.move);
        std::snprintf(r.text, sizeof r.text, "%s", text.c_str());
    }
}

// ---- a single move, no move, the fifty-move rule ----------------------------------------------
// One legal move is played at once in normal thinking; none is mate or stalemate; the
// fifty-move rule draws (not for a host). Returns the result code, or -1.
int forced_outcome(int side, think_outcome& out) {
    if (root_count == 1 && search_state == SEARCH_PLAY) {
        out.move = root_list[0].move;
        pv_copy(out.pv, out.move, root_list[0].pv);
        print_thinking(out.pv, 0, 0, search_elapsed(), THINKING_ONLY_MOVE, THINKING_LAST);
        return THINK_ONLY_MOVE;
    }
    if (root_count == 0) {
        think_game_end = 1;
        return in_check_fn(side) ? THINK_MATED : THINK_STALEMATE;
    }
    if (board.ply - board.last_irreversible >= FIFTY_MOVE_PLIES && !uci_mode) return THINK_FIFTY;
    return -1;
}

// ---- moves left out ------------------------------------------------------------------------------
// The console's exclusion dialogue (never with a host), then the moves the test suite's
// avoid list or the host's searchmoves leave out (unless that would leave none).
void exclude_root_moves() {
    if (eml_mode && !xboard_mode && !uci_mode) {
        exclusion_dialog();
        search_start = millis();
    }
    if (!hooks.root_move_excluded) return;
    int kept = 0;
    for (int i = 0; i < root_count; ++i)
        if (!hooks.root_move_excluded(root_list[i].move)) ++kept;
    if (kept > 0)
        for (int i = 0; i < root_count; ++i)
            if (hooks.root_move_excluded(root_list[i].move)) root_list[i].excluded = true;
}

// The phase of the extension limits: an endgame when both sides' pieces are below an
// endgame's, a bare endgame below a bare endgame's.
game_phase phase_of_game() {
    if (board.piece_material[WHITE] < BARE_ENDGAME_PIECES && board.piece_material[BLACK] < BARE_ENDGAME_PIECES)
        return PHASE_BARE_ENDGAME;
    if (board.piece_material[WHITE] < ENDGAME_PIECES && board.piece_material[BLACK] < ENDGAME_PIECES)
        return PHASE_ENDGAME;
    return PHASE_MIDDLEGAME;
}

// Orders the root list by value, largest first (stable).
void sort_root_list() {
    for (int i = 1; i < root_count; ++i) {
        int j = i;
        while (j > 0 && root_list[j - 1].score < root_list[i].score) --j;
        move_entry_to(i, j);
    }
}

// ---- book, opening and random moves ------------------------------------------------------------
// Outside analysis: the first move of the chosen opening (at the game's first or second
// ply, as trosk_mode says), then the book while it keeps answering, then, with kids_mode,
// a random legal move. Returns true when `out` holds the move.
bool move_without_search(int side, think_outcome& out) {
    uint32_t moves[MAX_ROOT_MOVES];
    for (int i = 0; i < root_count; ++i) moves[i] = root_list[i].move;
    if (hooks.trosk_first_move &&
        ((board.ply == 0 && (trosk_mode & TROSK_AS_WHITE)) || (board.ply == 1 && (trosk_mode & TROSK_AS_BLACK)))) {
        if (const uint32_t m = hooks.trosk_first_move(side, moves, root_count)) {
            out.code = THINK_BOOK;
            out.move = m;
            pv_copy(out.pv, m, root_list[0].pv + 1);
            out.pv[1] = PV_NO_MOVE;
            print_thinking(out.pv, 0, 0, search_elapsed(), THINKING_FIRST_MOVE, THINKING_LAST);
            return true;
        }
    }
    if (book_miss_count < BOOK_MISS_LIMIT && use_book && hooks.book_choose_move) {
        int flagged = 0;
        if (const uint32_t m = hooks.book_choose_move(side, moves, root_count, LVL_BOOK_REJECT, 0, &flagged)) {
            book_miss_count = 0;
            out.code = flagged ? THINK_BOOK_FLAGGED : THINK_BOOK;
            choose_move(out, m);
            print_thinking(out.pv, 0, 0, search_elapsed(), THINKING_BOOK, THINKING_LAST);
            return true;
        }
    }
    ++book_miss_count;
    if (kids_mode == KIDS_RANDOM_MOVES && search_state == SEARCH_PLAY) {
        choose_move(out, root_list[std::rand() % root_count].move);
        print_thinking(out.pv, 0, 0, search_elapsed(), THINKING_KIDS_MOVE, THINKING_LAST);
        return true;
    }
    return false;
}

// ---- one iteration and its aspiration window -------------------------------------------------
// The root list is searched at `depth` until its score falls inside the window. A fail
// low widens alpha, first by a step, then by a larger one (a window near a mate opens
// from 0), then fully, and gives the search its maximum time; with fail_low_early it
// stands as the choice. A fail high widens beta alike and stands as the choice. Returns
// false when the search was stopped: the iteration's new best move (or fail high) is
// then the choice, or the first move's early fail low when nothing else was chosen.
bool aspiration_iteration(int side, int depth, int& alpha, int& beta, think_outcome& out) {
    uint16_t iteration_pv[PV_WORDS];
    int fail_lows = 0, fail_highs = 0;
    iteration_new_best = 0;
    iteration_fail_high = 0;
    first_fail_low = 0;
    for (;;) {
        const int v = search_root(alpha, beta, side, depth, iteration_pv, NF_ROOT);
        if (abort_search) {
            if (iteration_new_best || iteration_fail_high) {
                choose_front(out, root_list[0].score);
                out.depth = depth;
            } else if (first_fail_low && fail_low_early && !out.searched_choice) {
                choose_front(out, root_list[0].score);
            }
            return false;
        }
        if (v <= alpha && alpha > -FULL_WINDOW) {
            ++fail_lows;
            int na = fail_lows == 1   ? v - ASPIRATION_FIRST_STEP
                     : fail_lows == 2 ? v - ASPIRATION_SECOND_STEP
                                      : -FULL_WINDOW;
            if (na < -FULL_WINDOW) na = -FULL_WINDOW;
            if (na >= MATE_RANGE) {
                na = 0;
                fail_lows = 2;
            }
            alpha = na;
            print_thinking(root_list[0].pv, v, depth, search_elapsed(), THINKING_FAIL_LOW, THINKING_GOES_ON);
            time_limit = maxtime;
            time_extended = 1;
            if (fail_low_early) choose_front(out, v);
            continue;
        }
        if (v >= beta && beta < FULL_WINDOW) {
            ++fail_highs;
            int nb = fail_highs == 1   ? v + ASPIRATION_FIRST_STEP
                     : fail_highs == 2 ? v + ASPIRATION_SECOND_STEP
                                       : FULL_WINDOW;
            if (nb >= MATE_RANGE) nb = FULL_WINDOW;
            beta = nb;
            choose_front(out, v);
            print_thinking(root_list[0].pv, v, depth, search_elapsed(), THINKING_FAIL_HIGH, THINKING_GOES_ON);
            continue;
        }
        return true;
    }
}

// ---- the clock after a finished iteration ----------------------------------------------------
// Under the clock (normal thinking, not by nodes alone): the minimum time spent with a score
// that held ends the search; a score that dropped gives the maximum time while less than
// half of it is spent, else the planned time stands; a passed limit ends the search.
bool time_is_up(int score) {
    if (!clock_limits_search() || search_state != SEARCH_PLAY) return false;
    const double elapsed = search_elapsed();
    if (elapsed > mintime && score >= previous_score - SCORE_DROP_MARGIN) return true;
    if (score < previous_score - SCORE_DROP_MARGIN && 2.0 * elapsed < maxtime) {
        time_limit = maxtime;
        time_extended = 1;
    } else {
        time_limit = usetime;
    }
    return elapsed > time_limit;
}

// ---- iterative deepening ---------------------------------------------------------------------
// From one ply to the ply limit, each iteration with its limits (by the game's `phase`)
// and aspiration window.
// After a finished one the clock may end the search; the next window lies around its
// score; a mate found (or suffered) surely enough ends it (outside analysis, and not for
// a win when the root repeats), and so do the depth limit, a mate within the mate limit
// and kids_mode. At the last depth an analysis waits for its end. Returns whether the
// last iteration finished.
bool deepen_iteratively(int side, bool analysis, bool root_repeated, game_phase phase, think_outcome& out) {
    std::memset(pv_hint, 0, sizeof pv_hint);
    int alpha = -FULL_WINDOW, beta = FULL_WINDOW;
    previous_score = NO_MOVE_SCORE;
    for (int depth = 1; depth <= PLY_LIMIT; ++depth) {
        set_iteration_limits(depth, phase);
        if (!aspiration_iteration(side, depth, alpha, beta, out)) return false;
        stats.iteration_nodes[depth] = nodes_searched;
        choose_front(out, root_list[0].score);
        out.depth = depth;
        print_thinking(out.pv, out.score, depth, search_elapsed(), THINKING_ITERATION, THINKING_GOES_ON);
        const int score = out.score;
        if (time_is_up(score)) return true;
        previous_score = score;
        alpha = score - window < -FULL_WINDOW ? -FULL_WINDOW : score - window;
        beta = score + window > FULL_WINDOW ? FULL_WINDOW : score + window;
        if (!analysis && depth >= MATE_STOP_DEPTH &&
            ((score >= MATE + MATE_SPARE_PLIES - depth && !root_repeated) || score <= depth - MATE - MATE_SPARE_PLIES))
            return true;
        if (!analysis && max_depth > 0 && depth >= max_depth) return true;
        if (!analysis && mate_limit > 0 && score >= MATE - (2 * mate_limit - 1)) return true;
        if (kids_mode && search_state == SEARCH_PLAY) return true;
        if (depth == PLY_LIMIT && analysis && hooks.analysis_wait) hooks.analysis_wait();
    }
    return true;
}

// ---- a mate search ---------------------------------------------------------------------------
// A search for a mate within the mate limit looks at every move: the null move and
// futility pruning, which hide a mate behind a reduced search, are off while it runs,
// so that the depth of the limit's moves holds every such mate (the mating move is a
// check, searched to the end of its replies).
class full_width_search {
public:
    full_width_search() : high_(null_high), low_(null_low), endgame_(null_endgame), prune_(prune) {
        null_high = null_low = null_endgame = prune = 0;
    }
    ~full_width_search() {
        null_high = high_;
        null_low = low_;
        null_endgame = endgame_;
        prune = prune_;
    }
    full_width_search(const full_width_search&) = delete;
    full_width_search& operator=(const full_width_search&) = delete;

private:
    const int high_, low_, endgame_, prune_;
};

}  // namespace

// Chooses the move: the settled positions first, then the root list with its forced
// outcomes and exclusions, the time, the book, and iterative deepening; the final line
// reports the choice.
uint32_t think(int side, int* code_out, int* score_out, int* depth_out, uint16_t* pv_out) {
    think_outcome out;
    out.pv[0] = PV_NO_MOVE;
    think_game_end = 0;
    ponder_hit = 0;
    stop_auto_play = 0;
    think_ply = board.ply;
    think_side = side;
    const bool analysis = search_state == SEARCH_ANALYSE;
    // The root list of the last search belongs to its position: until this one lists
    // its moves there is no best move (a stop while pondering asks for it).
    root_count = 0;
    eval_root_margins();

    const int repetitions = root_repetitions();
    if (const int code = settled_at_once(side, analysis, repetitions); code >= 0) {
        out.code = code;
        return hand_back(out, code_out, score_out, depth_out, pv_out);
    }

    reset_search_counters();
    time_extended = 0;
    build_root_list(side, analysis);
    if (const int code = forced_outcome(side, out); code >= 0) {
        out.code = code;
        return hand_back(out, code_out, score_out, depth_out, pv_out);
    }
    exclude_root_moves();

    // The time for the move (none by nodes alone).
    abort_search = 0;
    if (clock_limits_search()) allocate_time(side, &usetime, &mintime, &maxtime);
    time_limit = usetime;
    const game_phase phase = phase_of_game();

    sort_root_list();
    if (!analysis && move_without_search(side, out)) return hand_back(out, code_out, score_out, depth_out, pv_out);

    std::optional<full_width_search> mate_search;
    if (!analysis && mate_limit > 0) mate_search.emplace();
    const bool completed_last = deepen_iteratively(side, analysis, repetitions >= 1, phase, out);
    mate_search.reset();

    // The final line, and the result code of a searched move.
    if (!out.searched_choice) choose_move(out, root_list[0].move);
    const thinking_end end = (search_state == SEARCH_PONDER && !ponder_hit) ? THINKING_PONDER_END : THINKING_LAST;
    print_thinking(out.pv, out.score, out.depth, search_elapsed(),
                   completed_last ? THINKING_FINISHED : THINKING_UNFINISHED, end);
    out.code = THINK_SEARCHED;
    if (out.score > MATE_RANGE) out.code |= THINK_WIN;
    if (out.score < -MATE_RANGE) out.code |= THINK_LOSS;
    if (out.score == MATE_IN_ONE) out.code |= THINK_MATE_IN_ONE;
    return hand_back(out, code_out, score_out, depth_out, pv_out);
}
