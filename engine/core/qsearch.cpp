// The quiescence search: captures below the horizon, with stand-pat, delta pruning and,
// as the quiescence mode allows, the answers to checks.
#include <cstring>

#include "core/board.h"
#include "core/hash.h"
#include "core/hooks.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/search.h"
#include "core/search_node.h"
#include "core/eval.h"
#include "core/settings.h"

namespace {

// ---- table probe ---------------------------------------------------------------------------
// Stored depths do not count here. An upper bound at or below alpha, a lower bound at or
// above beta (not from a null move) and any exact entry end the node; a lower bound at
// alpha or above (not from a null move; with `zero_floor` also a draw score) becomes the
// floor of the stand-pat score. The entry's move comes back in `hash_move` (0: no entry).
[[gnu::always_inline]] inline int table_step(int side, int ply, int alpha, int beta, uint16_t* pv_out, bool zero_floor,
                                             int& floor_score, uint32_t& hash_move) {
    int hscore = 0, hdepth = 0;
    uint32_t hmove = 0;
    const int htype = hash_probe(side, ply, &hscore, &hmove, &hdepth) & BOUND_MASK;
    if ((htype == BOUND_UPPER && hscore <= alpha) ||
        (htype == BOUND_LOWER && hscore >= beta && hmove != HASH_NULL_MOVE) || htype == BOUND_EXACT) {
        pv_out[0] = PV_END;
        return hscore;
    }
    if (htype == BOUND_LOWER && hscore >= alpha && hmove != HASH_NULL_MOVE && (zero_floor || hscore != 0))
        floor_score = hscore;
    hash_move = htype ? hmove : 0;
    return GO_ON;
}

// ---- stand pat -----------------------------------------------------------------------------
// The evaluation (at least the floor) is the score to beat: at beta or above it is a
// lower bound and the node ends; above alpha it raises alpha (exact).
[[gnu::always_inline]] inline void stand_pat(int e, int& alpha, int beta, int& best, int& type) {
    type = BOUND_UPPER;
    best = e;
    if (e <= alpha) return;
    if (e >= beta) {
        type = BOUND_LOWER;
    } else {
        type = BOUND_EXACT;
        alpha = e;
    }
}

// ---- the move loop of the quiescence nodes -------------------------------------------------
// How a loop knows its moves to be legal.
enum legality : int {
    LEGAL_AS_GENERATED,  // evasions
    LEGAL_BY_PINS,       // out of check: king moves are tested, other men by the pin test
    LEGAL_AFTER_MOVE,    // in check: every move is tested after it is made
};

// Best first, each move answered by a capture node at `child_qdepth`. With `delta` a
// capture that cannot lift the material (from `base`) above alpha is not searched, but
// its optimistic value may still raise the best score. Returns the number of legal moves
// searched.
[[gnu::always_inline]] inline int quiescence_moves(int alpha, int beta, int side, int child_qdepth, int ply,
                                                   move_list_entry* list, int n, uint16_t* pv_out, int& best,
                                                   uint32_t& best_move, int& type, bool delta, int base,
                                                   legality rule) {
    const int opp = side ^ 1;
    uint16_t child_pv[PV_WORDS];
    const bool all_legal = rule == LEGAL_AS_GENERATED, checked = rule == LEGAL_AFTER_MOVE;
    const int king = board.piece_list[side][0];
    int legal = 0;
    best_first moves(list, n, side);
    uint32_t m;
    while (moves.next(m)) {
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
        const bool must_test = !all_legal && (checked || from == king);
        if (!all_legal && !must_test && on_line(king, from) && move_exposes_king(side, king, m)) continue;
        make_move(side, m);
        hash_prefetch(opp);
        if (must_test && in_check_fn(side)) {
            unmake_move(side, m);
            continue;
        }
        ++legal;
        game_history[board.ply].flags = move_gives_check(side, m) ? static_cast<uint32_t>(HF_CHECK) : 0u;
        const int score = -qsearch_node(-beta, -alpha, opp, child_qdepth, ply + 1, child_pv);
        unmake_move(side, m);
        if (abort_search) return legal;
        if (weigh_score(score, m, child_pv, pv_out, best, best_move, alpha, beta, type) == SCORE_CUTS) break;
    }
    return legal;
}

// ---- the captures of an entry or capture node ------------------------------------------------
// With no capture to try the result is exact, unless the stand-pat score was a lazy one.
void capture_step(int alpha, int beta, int side, int child_qdepth, int ply, uint16_t* pv_out, int& best,
                  uint32_t& best_move, int& type, bool delta) {
    const bool complete = eval_complete != 0;
    const int n = generate_captures(side, ply);
    ++stats.capture_generations;
    stats.captures_generated += static_cast<uint64_t>(n);
    const int base = delta ? lazy_margin[side] + board.material[side] - board.material[side ^ 1] : 0;
    const legality rule = n > 0 && led_here_by_check() ? LEGAL_AFTER_MOVE : LEGAL_BY_PINS;
    quiescence_moves(alpha, beta, side, child_qdepth, ply, move_list_start[ply], n, pv_out, best, best_move, type,
                     delta, base, rule);
    if (n == 0 && complete) type = BOUND_EXACT;
}

// ---- result and table store ------------------------------------------------------------------
// A bitbase ceiling caps the result; the rest is stored at the node kind's depth.
[[gnu::always_inline]] inline int store_step(int side, int ply, int best, uint32_t best_move, int type, int ceiling,
                                             int table_depth, uint16_t* pv_out) {
    if (best > ceiling) {
        pv_out[0] = PV_NO_MOVE;
        return ceiling;
    }
    hash_store(side, best, table_depth, ply, type, best_move);
    return best;
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

    // Mate distance, the fifty-move rule, the ply limit.
    if (beta <= ply - MATE) return ply - MATE;
    if (board.ply - board.last_irreversible >= FIFTY_MOVE_PLIES) return 0;
    if (ply >= PLY_LIMIT) return evaluate(side, alpha, beta);

    int floor_score = NO_MOVE_SCORE;
    uint32_t hash_move = 0;
    if (const int r = table_step(side, ply, alpha, beta, pv_out, true, floor_score, hash_move); r != GO_ON) return r;
    if (const int r = probe_bitbase(side, ply, alpha, beta, ceiling, floor_score, pv_out); r != GO_ON) return r;

    int e = evaluate(side, alpha, beta);
    if (e < floor_score) e = floor_score;
    int type, best;
    uint32_t best_move = 0;
    stand_pat(e, alpha, beta, best, type);
    if (type != BOUND_LOWER) {
        capture_step(alpha, beta, side, 0, ply, pv_out, best, best_move, type, false);
        if (abort_search) return 0;
    }
    return store_step(side, ply, best, best_move, type, ceiling, QSEARCH_DEPTH, pv_out);
}

int qsearch_node(int alpha, int beta, int side, int qdepth, int ply, uint16_t* pv_out) {
    if (abort_search) return 0;
    ++nodes_searched;
    ++qnodes_searched;
    pv_out[0] = PV_NO_MOVE;
    int ceiling = MATE;
    if (ply > seldepth) seldepth = ply;

    // The ply limit, mate distance, the fifty-move rule.
    if (ply >= PLY_LIMIT) return evaluate(side, alpha, beta);
    if (beta <= ply - MATE) return ply - MATE;
    if (board.ply - board.last_irreversible >= FIFTY_MOVE_PLIES) return 0;

    int floor_score = NO_MOVE_SCORE;
    uint32_t hash_move = 0;
    if (const int r = table_step(side, ply, alpha, beta, pv_out, false, floor_score, hash_move); r != GO_ON) return r;
    if (const int r = probe_bitbase(side, ply, alpha, beta, ceiling, floor_score, pv_out); r != GO_ON) return r;

    // Answers to a check, before standing pat or when the stand-pat score beats alpha.
    if ((qsearch_mask & Q_CHECK_ALWAYS) && led_here_by_check())
        return qsearch_check(alpha, beta, side, qdepth, ply, pv_out, hash_move);
    int e = evaluate(side, alpha, beta);
    if (e < floor_score) e = floor_score;
    if ((qsearch_mask & Q_CHECK_WINNERS) && e > alpha && led_here_by_check())
        return qsearch_check(alpha, beta, side, qdepth, ply, pv_out, hash_move);
    int type, best;
    uint32_t best_move = 0;
    stand_pat(e, alpha, beta, best, type);
    if (type != BOUND_LOWER && qdepth > -QSEARCH_CAPTURE_PLIES) {
        // Delta pruning: while the side has pawns, the opponent more than a few, and both
        // pieces.
        const int opp = side ^ 1;
        const bool delta = (qsearch_mask & Q_SKIP_LOSERS) && board.pawn_material[side] > 0 &&
                           board.pawn_material[opp] > DELTA_OPPONENT_PAWNS && board.piece_material[side] > 0 &&
                           board.piece_material[opp] > 0;
        capture_step(alpha, beta, side, qdepth - 1, ply, pv_out, best, best_move, type, delta);
        if (abort_search) return 0;
    }
    return store_step(side, ply, best, best_move, type, ceiling, QSEARCH_NODE_DEPTH, pv_out);
}

int qsearch_check(int alpha, int beta, int side, int qdepth, int ply, uint16_t* pv_out, uint32_t hash_move) {
    if (abort_search) return 0;
    ++nodes_searched;
    ++qnodes_searched;
    pv_out[0] = PV_NO_MOVE;
    int best;
    int type = BOUND_UPPER;
    uint32_t best_move = 0;
    move_list_entry* list = move_list_start[ply];
    int n;
    // Captures only (from alpha), unless the mode asks for every evasion or a mate is
    // already in the window; the evasions are ordered with the table's move and the
    // expected line's move lifted.
    const bool all_moves = (qsearch_mask & Q_ALL_MOVES_IN_CHECK) || alpha < -MATE_RANGE;
    if (!all_moves) {
        best = alpha;
        n = generate_captures(side, ply);
        if (n == 0) {
            hash_store(side, alpha, QSEARCH_CHECK_DEPTH, ply, BOUND_UPPER, 0);
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
    const int legal = quiescence_moves(alpha, beta, side, qdepth - 1, ply, list, n, pv_out, best, best_move, type,
                                       false, 0, all_moves ? LEGAL_AS_GENERATED : LEGAL_AFTER_MOVE);
    if (abort_search) return 0;
    // No legal evasion: mated.
    if (best == NO_MOVE_SCORE && legal == 0) {
        best = ply - MATE;
        type = BOUND_EXACT;
    }
    hash_store(side, best, QSEARCH_CHECK_DEPTH, ply, type, best_move);
    return best;
}
