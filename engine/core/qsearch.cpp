// The quiescence search: captures below the horizon, with stand-pat, delta pruning and,
// as the quiescence mode allows, the answers to checks.
#include <cstring>

#include "core/board.h"
#include "core/hash.h"
#include "core/hooks.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/search.h"
#include "core/eval.h"
#include "core/settings.h"

namespace {

// The bitbase step shared by the quiescence nodes. Returns true when the node ends with
// *result; otherwise it may raise the floor or lower beta and the ceiling.
// Whether the side to move is in check: the move that led here carries the check bit
// (every move made in the search and the quiescence search records it).
inline bool led_here_by_check() { return (game_history[board.ply].flags & HF_CHECK) != 0; }

inline bool probe_bitbase(int side, int ply, int alpha, int& beta, int& floor_score, int& ceiling, uint16_t* pv_out,
                          int* result) {
    if (!hooks.bitbase_probe || board.piece_count[WHITE] + board.piece_count[BLACK] > 2) return false;
    ++stats.bitbase_probes;
    int v = 0;
    const int r = hooks.bitbase_probe(side, &v);
    if (r) ++stats.bitbase_hits;
    if (r == PROBE_EXACT) {
        pv_out[0] = PV_BITBASE;
        *result = convert_table_value(v, ply);
        return true;
    }
    if (r == PROBE_LOWER) {
        if (v >= beta) {
            pv_out[0] = PV_BITBASE;
            *result = v;
            return true;
        }
        if (v > floor_score) floor_score = v;
    } else if (r == PROBE_UPPER) {
        if (v <= alpha) {
            pv_out[0] = PV_BITBASE;
            *result = v;
            return true;
        }
        if (v < MATE) {
            beta = v;
            ceiling = v;
        }
    }
    return false;
}

// The capture loop of qsearch and qsearch_node; `delta` arms delta pruning.
int capture_loop(int alpha, int beta, int side, int qdepth, int ply, uint16_t* pv_out, int& best, uint32_t& best_move,
                 int& type, bool delta) {
    const int opp = side ^ 1;
    const int n = generate_captures(side, ply);
    ++stats.capture_generations;
    stats.captures_generated += static_cast<uint64_t>(n);
    move_list_entry* list = move_list_start[ply];
    int base = 0;
    if (delta) base = lazy_margin[side] + board.material[side] - board.material[opp];
    uint16_t child_pv[PV_WORDS];
    // Out of check only king moves and men on a line with the own king need the test.
    const bool checked = n > 0 && led_here_by_check();
    const int king = board.piece_list[side][0];
    if (n > 0) {
        select_best(list, 0, n);
        hash_prefetch_after(side, list[0].move);
    }
    for (int i = 0; i < n; ++i) {
        const uint32_t m = list[i].move;
        if (i + 1 < n) {
            select_best(list, i + 1, n);
            hash_prefetch_after(side, list[i + 1].move);
        }
        if (delta) {
            const int optimistic = base + piece_value[board.piece[move_to(m)]] + piece_value[move_promotion(m)];
            if (optimistic <= alpha) {
                if (optimistic > best) {
                    best = optimistic;
                    best_move = 0;
                    pv_out[0] = PV_NO_MOVE;
                }
                continue;
            }
        }
        const int from = move_from(m);
        const bool must_test = checked || from == king;
        if (!must_test && on_line(king, from) && move_exposes_king(side, king, m)) continue;
        make_move(side, m);
        hash_prefetch(opp);
        if (must_test && in_check_fn(side)) {
            unmake_move(side, m);
            continue;
        }
        game_history[board.ply].flags = move_gives_check(side, m) ? static_cast<uint32_t>(HF_CHECK) : 0u;
        const int score = -qsearch_node(-beta, -alpha, opp, qdepth, ply + 1, child_pv);
        unmake_move(side, m);
        if (abort_search) return 0;
        if (score > best) {
            best = score;
            best_move = m;
            pv_copy(pv_out, m, child_pv);
            if (score > alpha) {
                alpha = score;
                type = BOUND_EXACT;
                if (score >= beta) {
                    type = BOUND_LOWER;
                    break;
                }
            }
        }
    }
    return n;
}

}  // namespace

int qsearch(int alpha, int beta, int side, int ply, uint16_t* pv_out, int) {
    if (abort_search) return 0;
    ++nodes_searched;
    pv_out[0] = PV_NO_MOVE;
    // The first iteration reaches the clock here: its root moves go straight to
    // the quiescence search.
    if (search_stopped_at_poll()) return 0;
    int ceiling = MATE;
    if (ply > seldepth) seldepth = ply;

    if (beta <= ply - MATE) return ply - MATE;
    if (board.ply - board.last_irreversible >= 100) return 0;
    if (ply >= PLY_LIMIT) return evaluate(side, alpha, beta);

    int floor_score = NO_MOVE_SCORE;
    int hscore = 0, hdepth = 0;
    uint32_t hmove = 0;
    const int htype = hash_probe(side, ply, &hscore, &hmove, &hdepth) & BOUND_MASK;
    if ((htype == BOUND_UPPER && hscore <= alpha) || (htype == BOUND_LOWER && hscore >= beta && hmove != HASH_NULL_MOVE) ||
        htype == BOUND_EXACT) {
        pv_out[0] = PV_END;
        return hscore;
    }
    if (htype == BOUND_LOWER && hscore >= alpha && hmove != HASH_NULL_MOVE) floor_score = hscore;

    int result = 0;
    if (probe_bitbase(side, ply, alpha, beta, floor_score, ceiling, pv_out, &result)) return result;

    int e = evaluate(side, alpha, beta);
    if (e < floor_score) e = floor_score;
    int type = BOUND_UPPER;
    int best = e;
    uint32_t best_move = 0;
    if (e > alpha) {
        if (e >= beta) {
            type = BOUND_LOWER;
        } else {
            type = BOUND_EXACT;
            alpha = e;
        }
    }
    if (type != BOUND_LOWER) {
        const bool complete = eval_complete != 0;
        const int n = capture_loop(alpha, beta, side, 0, ply, pv_out, best, best_move, type, false);
        if (abort_search) return 0;
        if (n == 0 && complete) type = BOUND_EXACT;
    }
    if (best > ceiling) {
        pv_out[0] = PV_NO_MOVE;
        return ceiling;
    }
    hash_store(side, best, QSEARCH_DEPTH, ply, type, best_move);
    return best;
}

int qsearch_node(int alpha, int beta, int side, int qdepth, int ply, uint16_t* pv_out) {
    if (abort_search) return 0;
    ++nodes_searched;
    ++qnodes_searched;
    pv_out[0] = PV_NO_MOVE;
    int ceiling = MATE;
    if (ply > seldepth) seldepth = ply;

    if (ply >= PLY_LIMIT) return evaluate(side, alpha, beta);
    if (beta <= ply - MATE) return ply - MATE;
    if (board.ply - board.last_irreversible >= 100) return 0;

    int floor_score = NO_MOVE_SCORE;
    int hscore = 0, hdepth = 0;
    uint32_t hmove = 0;
    const int htype = hash_probe(side, ply, &hscore, &hmove, &hdepth) & BOUND_MASK;
    if ((htype == BOUND_UPPER && hscore <= alpha) || (htype == BOUND_LOWER && hscore >= beta && hmove != HASH_NULL_MOVE) ||
        htype == BOUND_EXACT) {
        pv_out[0] = PV_END;
        return hscore;
    }
    if (htype == BOUND_LOWER && hscore >= alpha && hmove != HASH_NULL_MOVE && hscore != 0) floor_score = hscore;

    int result = 0;
    if (probe_bitbase(side, ply, alpha, beta, floor_score, ceiling, pv_out, &result)) return result;

    const uint32_t hash_move = htype ? hmove : 0;
    if ((qsearch_mask & 8) && led_here_by_check()) return qsearch_check(alpha, beta, side, qdepth, ply, pv_out, hash_move);

    int e = evaluate(side, alpha, beta);
    if (e < floor_score) e = floor_score;
    if ((qsearch_mask & 4) && e > alpha && led_here_by_check())
        return qsearch_check(alpha, beta, side, qdepth, ply, pv_out, hash_move);
    int type = BOUND_UPPER;
    int best = e;
    uint32_t best_move = 0;
    if (e > alpha) {
        if (e >= beta) {
            type = BOUND_LOWER;
        } else {
            type = BOUND_EXACT;
            alpha = e;
        }
    }
    if (type != BOUND_LOWER && qdepth > -8) {
        const bool complete = eval_complete != 0;
        const int opp = side ^ 1;
        const bool delta = (qsearch_mask & 1) && board.pawn_material[side] > 0 && board.pawn_material[opp] > 110 &&
                           board.piece_material[side] > 0 && board.piece_material[opp] > 0;
        const int n = capture_loop(alpha, beta, side, qdepth - 1, ply, pv_out, best, best_move, type, delta);
        if (abort_search) return 0;
        if (n == 0 && complete) type = BOUND_EXACT;
    }
    if (best > ceiling) {
        pv_out[0] = PV_NO_MOVE;
        return ceiling;
    }
    hash_store(side, best, QSEARCH_NODE_DEPTH, ply, type, best_move);
    return best;
}

int qsearch_check(int alpha, int beta, int side, int qdepth, int ply, uint16_t* pv_out, uint32_t hash_move) {
    if (abort_search) return 0;
    ++nodes_searched;
    ++qnodes_searched;
    pv_out[0] = PV_NO_MOVE;
    const int opp = side ^ 1;
    uint16_t child_pv[PV_WORDS];
    int best;
    int type = BOUND_UPPER;
    uint32_t best_move = 0;
    move_list_entry* list = move_list_start[ply];
    int n;
    if (!(qsearch_mask & 2) && alpha >= -MATE_RANGE) {
        best = alpha;
        n = generate_captures(side, ply);
        if (n == 0) {
            hash_store(side, alpha, 0, ply, BOUND_UPPER, 0);
            return alpha;
        }
    } else {
        best = NO_MOVE_SCORE;
        uint32_t* hist = history_table[side];
        const uint32_t hm = names_squares(hash_move) ? hash_move : 0;
        const uint32_t hint = ply < MAX_SEARCH_PLY ? pv_hint[ply] : 0;
        if (hm) hist[hm & MOVE_SQUARES] += BONUS_HASH;
        if (hint) hist[hint & MOVE_SQUARES] += BONUS_HINT;
        n = generate_evasions(side, ply, list);
        if (hm) hist[hm & MOVE_SQUARES] -= BONUS_HASH;
        if (hint) hist[hint & MOVE_SQUARES] -= BONUS_HINT;
    }
    // Evasions are legal as generated; plain captures still need the test.
    const bool all_legal = best == NO_MOVE_SCORE;
    int legal = 0;
    if (n > 0) {
        select_best(list, 0, n);
        hash_prefetch_after(side, list[0].move);
    }
    for (int i = 0; i < n; ++i) {
        const uint32_t m = list[i].move;
        if (i + 1 < n) {
            select_best(list, i + 1, n);
            hash_prefetch_after(side, list[i + 1].move);
        }
        make_move(side, m);
        hash_prefetch(opp);
        if (!all_legal && in_check_fn(side)) {
            unmake_move(side, m);
            continue;
        }
        ++legal;
        game_history[board.ply].flags = move_gives_check(side, m) ? static_cast<uint32_t>(HF_CHECK) : 0u;
        const int score = -qsearch_node(-beta, -alpha, opp, qdepth - 1, ply + 1, child_pv);
        unmake_move(side, m);
        if (abort_search) return 0;
        if (score > best) {
            best = score;
            best_move = m;
            pv_copy(pv_out, m, child_pv);
            if (score > alpha) {
                alpha = score;
                type = BOUND_EXACT;
                if (score >= beta) {
                    type = BOUND_LOWER;
                    break;
                }
            }
        }
    }
    if (best == NO_MOVE_SCORE && legal == 0) {
        best = ply - MATE;
        type = BOUND_EXACT;
    }
    hash_store(side, best, 0, ply, type, best_move);
    return best;
}
