// What the node procedures share: the search, the quiescence search and the root search
// take their moves best first, weigh each score against the window the same way, and
// read the bitbases alike. Everything here is on the hot path and always inlined.
#pragma once

#include <cstdint>

#include "core/board.h"
#include "core/hash.h"
#include "core/hooks.h"
#include "core/movegen.h"
#include "core/search.h"
#include "core/types.h"

// A step's answer when its node goes on to the next step; any other value ends the node
// with that score.
constexpr int GO_ON = INT32_MIN;

// Men besides the two kings.
[[gnu::always_inline]] inline int men_count() { return board.piece_count[WHITE] + board.piece_count[BLACK]; }

// Whether the side to move is in check: the move that led here carries the check bit
// (every move made in the search and the quiescence search records it).
[[gnu::always_inline]] inline bool led_here_by_check() { return (game_history[board.ply].flags & HF_CHECK) != 0; }

// Hands out the moves of a generated list, the largest ordering value first (the first
// of equal values). The order depends on the generated values only, so the next move is
// chosen one move ahead and its table bucket loaded while this one is searched.
class best_first {
public:
    [[gnu::always_inline]] best_first(move_list_entry* list, int count, int side)
        : list_(list), count_(count), side_(side) {
        if (count_ > 0) pick(0);
    }
    // The next move into `move`; false when the list is done.
    [[gnu::always_inline]] bool next(uint32_t& move) {
        if (at_ >= count_) return false;
        move = list_[at_].move;
        if (++at_ < count_) pick(at_);
        return true;
    }

private:
    [[gnu::always_inline]] void pick(int i) {
        select_best(list_, i, count_);
        hash_prefetch_after(side_, list_[i].move);
    }
    move_list_entry* list_;
    int count_;
    int side_;
    int at_ = 0;
};

// What a searched move's score does to its node.
enum score_effect : int { SCORE_NOT_BEST, SCORE_BEST, SCORE_RAISES_ALPHA, SCORE_CUTS };

// Weighs a move's score: above the best it becomes the best with its continuation, above
// alpha it raises alpha (exact result), at beta or above the result is a lower bound and
// the node's loop ends.
[[gnu::always_inline]] inline score_effect weigh_score(int score, uint32_t move, const uint16_t* child_pv,
                                                       uint16_t* pv_out, int& best, uint32_t& best_move, int& alpha,
                                                       int beta, int& type) {
    if (score <= best) return SCORE_NOT_BEST;
    best = score;
    best_move = move;
    pv_copy(pv_out, move, child_pv);
    if (score <= alpha) return SCORE_BEST;
    alpha = score;
    type = BOUND_EXACT;
    if (score < beta) return SCORE_RAISES_ALPHA;
    type = BOUND_LOWER;
    return SCORE_CUTS;
}

// The bitbase probe, when at most two men besides the kings are left. An exact value, a
// lower bound at beta or above, or an upper bound at alpha or below end the node with
// the bitbase marker (GO_ON otherwise). A lower bound below beta raises `lower` to it;
// an upper bound below a mate lowers beta and becomes the node's ceiling.
[[gnu::always_inline]] inline int probe_bitbase(int side, int ply, int alpha, int& beta, int& ceiling, int& lower,
                                                uint16_t* pv_out) {
    if (!hooks.bitbase_probe || men_count() > BITBASE_MEN) return GO_ON;
    ++stats.bitbase_probes;
    int v = 0;
    const int r = hooks.bitbase_probe(side, &v);
    if (r) ++stats.bitbase_hits;
    if (r == PROBE_EXACT) {
        pv_out[0] = PV_BITBASE;
        return convert_table_value(v, ply);
    }
    if (r == PROBE_LOWER) {
        if (v >= beta) {
            pv_out[0] = PV_BITBASE;
            return v;
        }
        if (v > lower) lower = v;
    } else if (r == PROBE_UPPER) {
        if (v <= alpha) {
            pv_out[0] = PV_BITBASE;
            return v;
        }
        if (v < MATE) {
            ceiling = v;
            beta = v;
        }
    }
    return GO_ON;
}

// A child position searched to `depth` (1/64 ply): below one ply by the quiescence
// search (which needs no flags nor repetition count), else by the node search.
[[gnu::always_inline]] inline int search_or_quiesce(int alpha, int beta, int side, int depth, int ply, uint16_t* pv,
                                                    int flags, int repeated) {
    return depth < 1 ? qsearch(alpha, beta, side, ply, pv, flags)
                     : search(alpha, beta, side, depth, ply, pv, flags, repeated);
}
