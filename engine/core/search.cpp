// The alpha-beta node procedure: principal-variation search over a transposition table,
// endgame-table and bitbase probes, a verified null move, internal iterative deepening,
// futility pruning and fractional extensions (1/64 ply).
#include "core/search.h"

#include <cstring>
#include <cstdio>
#include <cstdlib>

#include "core/board.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/hooks.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/eval.h"
#include "core/settings.h"
#include "core/state.h"
#include "core/search_node.h"
#include "core/storedmove.h"

uint32_t nodes_searched = 0;
uint32_t qnodes_searched = 0;
uint32_t poll_mark = POLL_INTERVAL;
int abort_search = 0;
uint16_t pv_hint[64];
int iteration_depth = 1;
int check_ply_limit = 3, repcheck_ply_limit = 2, tb_ply_limit = 1, tb_men_limit = 0;
int seldepth = 0;
search_statistics stats;

namespace {

// Flag word of a history record; records before the game's start read as 0.
inline uint32_t record_flags(int index) { return index >= 0 ? game_history[index].flags : 0; }

// An extension granted at a node of remaining depth `depth` (1/64 ply).
inline void count_extension(extension_kind kind, int depth) {
    const int d = depth >> 6;
    ++stats.extensions[kind][d < TREE_DEPTHS - 1 ? (d < 0 ? 0 : d) : TREE_DEPTHS - 1];
}

bool illegal_hash_move_reported = false;

void report_illegal_hash_move(int side, uint32_t move) {
    if (illegal_hash_move_reported) return;
    illegal_hash_move_reported = true;
    static const char letters[] = " PNBRQK";
    for (int level : {LVL_BOARD, LVL_ERROR}) {
        for (int r = 7; r >= 0; --r) {
            level_printf(level, "%d", r + 1);
            for (int f = 0; f < 8; ++f) {
                const int sq = r * 8 + f;
                char c = letters[board.piece[sq] <= KING ? board.piece[sq] : 0];
                if (board.color[sq] == BLACK) c = static_cast<char>(c - 'A' + 'a');
                level_printf(level, "| %c ", c);
            }
            level_printf(level, "|\n");
        }
        level_printf(level, "   a   b   c   d   e   f   g   h\n");
        level_printf(level, "setboard %s\n", board_to_fen(side, true).c_str());
        const int from = move_from(move), to = move_to(move);
        if (move_is_null(move))
            level_printf(level, "hashmove null\n");
        else if (move_promotion(move))
            level_printf(level, "hashmove %c%c%c%c%c\n", 'a' + file_of(from), '1' + rank_index(from), 'a' + file_of(to),
                         '1' + rank_index(to), "  NBRQ"[move_promotion(move) % 6]);
        else
            level_printf(level, "hashmove %c%c%c%c\n", 'a' + file_of(from), '1' + rank_index(from), 'a' + file_of(to),
                         '1' + rank_index(to));
        level_printf(level, "haskey 0x%08lx,0x%08lx\n", static_cast<unsigned long>(board.key_hi()),
                     static_cast<unsigned long>(board.key_lo()));
        level_printf(level, "bad hash move 0x%lx nodes %lu\n", static_cast<unsigned long>(move),
                     static_cast<unsigned long>(nodes_searched));
    }
}

}  // namespace

void credit_history(int side, uint32_t move, int depth) {
    if (!feature_on(OFF_HISTORY)) return;
    uint32_t& h = history_table[side][move & MOVE_SQUARES];
    h += static_cast<uint32_t>((depth * depth) >> 6);
    if (h >= HISTORY_LIMIT)
        for (auto& table : history_table)
            for (uint32_t& v : table) v >>= 1;
}

void reward_move(int side, uint32_t move, int score, int depth, int ply, bool history_too) {
    if (move_is_null(move) || is_pv_end(move)) return;
    if (score > MATE_KILLER_SCORE && feature_on(OFF_KILLERS)) mate_killer[ply] = move;
    const uint32_t last = game_history[board.ply].move;
    const bool on_last_square = !move_is_null(last) && move_to(last) == move_to(move);
    if (history_too && !on_last_square && !(move & MOVE_PROMOTION_CODE)) credit_history(side, move, depth);
    if ((killer1[ply] & MOVE_SQUARES) != (move & MOVE_SQUARES) && feature_on(OFF_KILLERS)) {
        killer2[ply] = killer1[ply];
        killer1[ply] = move & MOVE_SQUARES;
    }
}

void store_search_result(int side, int score, int depth, int ply, int bound, uint32_t move, bool permanent) {
    if (!permanent) {
        hash_store(side, score, depth, ply, bound, move);
        return;
    }
    const int saved_age = hash_age;
    hash_age = HASH_LEARNED_AGE;
    hash_store(side, score, depth, ply, bound, move);
    hash_age = saved_age;
}

void set_pv_hint(int ply, const uint16_t* pv) {
    int p = ply;
    for (int i = 0; p < MAX_SEARCH_PLY && i < PV_WORDS && !is_pv_end(pv[i]); ++i, ++p) pv_hint[p] = pv[i];
    for (; p < MAX_SEARCH_PLY; ++p) pv_hint[p] = 0;
}

void pv_copy(uint16_t* dst, uint32_t move, const uint16_t* src) {
    dst[0] = static_cast<uint16_t>(move_is_null(move) ? (move & 0xFFFF) : (move & MOVE_STORED));
    int i = 0;
    for (; i < PV_WORDS - 3 && !is_pv_end(src[i]); ++i) dst[i + 1] = src[i];
    dst[i + 1] = is_pv_end(src[i]) ? src[i] : static_cast<uint16_t>(PV_END);
}

int check_hash_move(int side, uint32_t move, uint16_t* pv_out, int score) {
    if (move == HASH_NULL_MOVE) {
        pv_out[0] = 0;
        pv_out[1] = PV_END;
        return 0;
    }
    if (move == HASH_EGTB_MOVE) {
        pv_out[0] = PV_EGTB;
        return men_count() > tb_men_limit ? -1 : 0;
    }
    if (move_is_null(move)) return 0;
    int reps = 0;
    const uint32_t full = check_stored_move(side, move, &reps);
    if (full) {
        pv_out[0] = static_cast<uint16_t>(full & MOVE_STORED);
        pv_out[1] = PV_END;
        return (score && reps) ? reps : 0;
    }
    ++stats.hash_errors;
    report_illegal_hash_move(side, move);
    return -1;
}

#ifndef NDEBUG
// Debug builds: the incremental board lists agree with the squares, the side not to
// move is not in check, and the record of the move that led here says whether the side
// to move is.
void debug_check_node(int side, int ply) {
    for (int s = 0; s < 2; ++s) {
        bool bad = board.piece_count[s] < 0 || board.piece_count[s] > 15 ||
                   board.piece[board.piece_list[s][0]] != KING ||
                   board.color[board.piece_list[s][0]] != static_cast<uint32_t>(s);
        for (int i = 1; !bad && i <= board.piece_count[s]; ++i) {
            const int sq = board.piece_list[s][i];
            if (sq < 0 || sq > 63 || board.color[sq] != static_cast<uint32_t>(s) || board.piece[sq] == EMPTY ||
                board.piece[sq] == KING)
                bad = true;
        }
        if (bad) {
            std::fprintf(stderr, "BAD board at ply %d side %d fen %s\n", ply, s, board_to_fen(0, true).c_str());
            std::abort();
        }
    }
    const uint32_t led_here = game_history[board.ply].flags;
    if (in_check_by_rays(side ^ 1) || ((led_here & HF_CHECK) != 0) != in_check_by_rays(side)) {
        std::fprintf(stderr, "ILLEGAL at ply %d side %d fen %s flags %x\n", ply, side, board_to_fen(side, true).c_str(),
                     led_here);
        for (int p = board.ply; p > board.ply - 8 && p > 0; --p)
            std::fprintf(stderr, " rec %d move %s flags %x\n", p, move_to_coordinates(game_history[p].move).c_str(),
                         game_history[p].flags);
        std::abort();
    }
}
#endif

namespace {

// What one node knows as it goes through its steps.
struct node_state {
    int alpha, beta;
    const int side, opp, depth, ply;
    int flags;
    const int repeated;  // repetition count of the move that led here
    uint16_t* const pv_out;
    const uint32_t led_here;  // flag word of the record of the move that led here
    const bool in_check;
    // The result so far.
    int best = NO_MOVE_SCORE;
    uint32_t best_move = 0;
    int result_type = BOUND_UPPER;
    int ceiling = MATE;  // a bitbase upper bound caps the result
    // The table's entry for the node (htype 0: none).
    int hscore = 0, hdepth = 0, htype = 0;
    uint32_t hmove = 0;
    // A mate threat against the side to move (from the table or the null move), the
    // move that makes it with its ordering bonus, and the extension it earns.
    bool threat = false;
    uint32_t threat_move = 0, threat_bonus = 0;
    int threat_ext = 0;
};

// ---- draws, the node count, mate distance and the ply limit ----------------------------
[[gnu::always_inline]] inline int entry_step(const node_state& n) {
    // Fifty moves without a capture or pawn move (a checking move still gets answered).
    if (board.ply - board.last_irreversible >= FIFTY_MOVE_PLIES && !n.in_check) return 0;
    ++nodes_searched;
    ++stats.full_nodes;
    if (search_stopped_at_poll()) return 0;
    if (nodes_searched > node_limit) {
        abort_search = 1;
        return 0;
    }
    if (n.ply > seldepth) seldepth = n.ply;
    if (n.beta <= n.ply - MATE) return n.ply - MATE;
    if (n.ply >= PLY_LIMIT) return evaluate(n.side, -MATE, MATE);
    return GO_ON;
}

// ---- table probe and its cut-offs ----------------------------------------------------------
// The mate-threat bit of the entry forbids the null move and marks the threat. Unless a
// repetition led here, an upper bound at or below alpha, a lower bound at or above beta
// and a usable exact entry cut (each as deep as needed, or a mate), a lower bound inside
// the window raises alpha with the stored move as best, and a shallower bound that says
// the null move would fail forbids it.
[[gnu::always_inline]] inline int table_step(node_state& n) {
    int hscore = 0, hdepth = 0;
    uint32_t hmove = 0;
    int hbound = hash_probe(n.side, n.ply, &hscore, &hmove, &hdepth);
    if (!feature_on(OFF_THREAT_BIT)) hbound &= ~BOUND_THREAT;
    n.hscore = hscore;
    n.hdepth = hdepth;
    n.hmove = hmove;
    n.htype = hbound & BOUND_MASK;
    if (hbound & BOUND_THREAT) {
        n.flags |= NF_NO_NULL;
        n.threat = true;
    }
    if (!n.htype) return GO_ON;
    ++stats.table_hits;
    if (n.repeated || !feature_on(OFF_TABLE_CUTS)) return GO_ON;
    const int side = n.side, depth = n.depth;
    bool cut = false;
    if (n.htype == BOUND_UPPER) {
        if ((hdepth >= depth || hscore < -MATE_RANGE) && hscore <= n.alpha &&
            check_hash_move(side, hmove, n.pv_out, hscore) == 0) {
            ++stats.table_cuts;
            return hscore;
        }
        if (hdepth > 0) n.flags |= NF_NO_NULL;
    } else if (n.htype == BOUND_LOWER) {
        if (hdepth >= depth || hscore > MATE_RANGE) {
            const bool null_refused = hmove == HASH_NULL_MOVE && (n.flags & NF_NO_NULL);
            if (hscore >= n.beta && !null_refused) {
                if (check_hash_move(side, hmove, n.pv_out, hscore) == 0) cut = true;
            } else if (hscore > n.alpha && (hscore < MATE_RANGE || hdepth >= depth) && hmove != HASH_NULL_MOVE &&
                       check_hash_move(side, hmove, n.pv_out, hscore) == 0) {
                n.alpha = n.best = hscore;
                n.best_move = hmove;
                n.result_type = RESULT_FROM_TABLE;
            }
        }
    } else if (n.htype == BOUND_EXACT) {
        const bool usable = hdepth >= depth || hmove == HASH_EGTB_MOVE || (hscore > MATE_RANGE && hscore >= n.beta) ||
                            (hscore < -MATE_RANGE && hscore <= n.alpha);
        if (usable && check_hash_move(side, hmove, n.pv_out, hscore) == 0) {
            if (!names_squares(hmove) || hscore <= n.alpha) {
                ++stats.table_cuts;
                return hscore;
            }
            cut = true;
        } else if (hscore < n.beta && hdepth >= depth - null_high) {
            n.flags |= NF_NO_NULL;
        }
    }
    if (!cut) return GO_ON;
    // The hash cut: the stored move earns what a move that cuts off earns.
    ++stats.table_cuts;
    if (hmove != HASH_NULL_MOVE && hmove != HASH_EGTB_MOVE) reward_move(side, hmove, hscore, depth, n.ply, true);
    return hscore;
}

// ---- bitbase cut-offs ----------------------------------------------------------------------
// A lower bound inside the window raises alpha with the bitbase marker as best move.
[[gnu::always_inline]] inline int bitbase_step(node_state& n) {
    int lower = n.alpha;
    const int r = probe_bitbase(n.side, n.ply, n.alpha, n.beta, n.ceiling, lower, n.pv_out);
    if (r != GO_ON) return r;
    if (lower > n.alpha) {
        n.alpha = n.best = lower;
        n.best_move = PV_BITBASE;
        n.result_type = RESULT_FROM_TABLE;
    }
    return GO_ON;
}

// ---- endgame-table cut-offs ----------------------------------------------------------------
// With few enough men the tables answer at the root's children, and deeper after a
// capture or promotion within the iteration's table plies; a hit is stored as exact and
// ends the node (after a repetition only a draw does). Two bare kings are a draw.
[[gnu::always_inline]] inline int egtb_step(const node_state& n) {
    if (men_count() > tb_men_limit) return GO_ON;
    if (men_count() == 0) return 0;
    const uint32_t last = game_history[board.ply].move;
    const bool capture_or_promotion = (last & (MOVE_CAPTURE | MOVE_PROMOTION_CODE)) != 0;
    if (!hooks.egtb_probe || !(n.ply == 1 || (n.ply < tb_ply_limit && capture_or_promotion))) return GO_ON;
    ++stats.egtb_probes;
    int v = 0;
    if (!hooks.egtb_probe(n.side, &v)) return GO_ON;
    ++stats.egtb_hits;
    ++stats.tb_hits;
    if (v != 0 && n.repeated) return GO_ON;
    const int s = convert_table_value(v, n.ply);
    n.pv_out[0] = PV_EGTB;
    hash_store(n.side, s, n.depth, n.ply, BOUND_EXACT, HASH_EGTB_MOVE);
    return s;
}

// ---- null move with its verification -------------------------------------------------------
// The reduction: by depth while the side's pieces are a middle game's, the ending's
// reduction otherwise (or when the middle-game one is switched off); 0: no null move.
[[gnu::always_inline]] inline int null_reduction(int pieces, int depth) {
    int r = 0;
    if (pieces > ENDING_PIECES) r = depth > null_split ? null_high : null_low;
    if (r <= 0 || pieces <= ENDING_PIECES) r = (pieces > 0 && null_endgame > 0) ? null_endgame : 0;
    return r;
}

// Tried out of check, below a mate bound, with no repetition and not forbidden, and deep
// in the tree only with more than a few legal moves. First the real position is searched
// at the reduced depth against beta (a mate found ends the node; its best move is the
// threat move; below beta the null move is not tried); then the opponent moves again at
// the reduced depth. A null move at beta or above cuts (stored as a lower bound with the
// null-move marker); below, a mate against the side to move is a threat and the threat
// move gets its ordering bonus.
[[gnu::always_inline]] inline int null_move_step(node_state& n, uint16_t* child_pv) {
    board_state& b = board;
    const int side = n.side, opp = n.opp, depth = n.depth, ply = n.ply, beta = n.beta;
    // Nothing is generated at this ply yet: a child searched before the move list
    // (after the null move) starts its list where this ply's would.
    move_list_start[ply + 1] = move_list_start[ply];
    if (ply + 1 < MOVE_PLIES) mate_killer[ply + 1] = 0;
    if ((n.flags & NF_NO_NULL) || n.in_check || beta >= MATE_RANGE || n.repeated) return GO_ON;
    // The position after the null move differs in the en-passant key only: its bucket
    // loads while the verification search runs.
    hash_prefetch_key(b.hash_key ^ ep_key(b.ep_square) ^ ep_key(-1), opp);
    if (depth >= 5 * ONE_PLY && generate_legal_moves(side, ply, move_list_start[ply]) <= NULL_MIN_LEGAL_MOVES)
        return GO_ON;
    const int r = null_reduction(b.piece_material[side], depth);
    if (r <= 0) return GO_ON;
    const int nd = depth - r - ONE_PLY;
    ++stats.null_verifications;
    // Verification: the real position at the reduced depth.
    child_pv[0] = PV_NO_MOVE;
    int v = feature_on(OFF_VERIFY) ? search_or_quiesce(beta - 1, beta, side, nd, ply, child_pv, n.flags | NF_NO_NULL, 0)
                                   : beta;
    if (abort_search) return 0;
    if (v > MATE_RANGE) {
        std::memcpy(n.pv_out, child_pv, PV_WORDS * sizeof child_pv[0]);
        return v;
    }
    if (!is_pv_end(child_pv[0]) && !move_is_null(child_pv[0])) n.threat_move = child_pv[0];
    if (v < beta) {
        if (n.threat_move) n.threat_bonus = BONUS_THREAT_PRESEARCH;
        return GO_ON;
    }
    // The null move itself.
    const int saved_margin = lazy_margin[opp];
    ++stats.null_tries;
    make_null_move(side);
    v = -search_or_quiesce(-beta, 1 - beta, opp, nd, ply + 1, child_pv, n.flags | NF_NO_NULL | NF_AFTER_NULL, 0);
    unmake_null_move(side);
    lazy_margin[opp] = saved_margin;
    if (abort_search) return 0;
    if (v >= beta) {
        ++stats.null_cuts;
        if (v >= MATE_RANGE) v = beta;
        pv_copy(n.pv_out, 0, child_pv);
        hash_store(side, v, depth, ply, BOUND_LOWER, HASH_NULL_MOVE);
        return v;
    }
    if (v < -MATE_RANGE) n.threat = true;
    if (n.threat_move) {
        n.threat_bonus = nd >= 1 ? BONUS_THREAT_FULL : BONUS_THREAT;
        if (n.htype == BOUND_UPPER || (n.htype && n.hdepth <= nd)) n.threat_bonus *= 2;
    }
    return GO_ON;
}

// ---- mate-threat extension -----------------------------------------------------------------
// Every move of a threatened node (not right after a null move) is extended when the
// side's own previous move was made under no threat; when it was, only if the move that
// led here was not, within the iteration's depth, and either near the root or with the
// threat missing from one of the two records before. The null move is allowed again.
[[gnu::always_inline]] inline void threat_extension_step(node_state& n) {
    if (!n.threat || (n.flags & NF_AFTER_NULL)) return;
    const int p = board.ply;
    if (!(record_flags(p - 1) & HF_THREAT) ||
        (!(n.led_here & HF_THREAT) && n.ply < iteration_depth &&
         (n.ply <= THREAT_NEAR_ROOT_PLIES || !(record_flags(p - 2) & HF_THREAT) || !(record_flags(p - 3) & HF_THREAT))))
        n.threat_ext = inullthreat;
    n.flags &= ~NF_NO_NULL;
}

// The move the table (or the internal deepening) names for ordering, with its bonus.
struct ordering_move {
    uint32_t move;
    uint32_t bonus;
};

// ---- internal iterative deepening ----------------------------------------------------------
// On the expected line, with a full window, deep enough, and with no table move nor a
// strong threat move to try first: a search two plies shallower (again with the window
// open below alpha when it fails low) finds the move to try first.
[[gnu::always_inline]] inline int deepening_step(node_state& n, ordering_move& first, uint16_t* child_pv) {
    const bool usable_hash_move = n.htype && names_squares(n.hmove);
    first.move = usable_hash_move ? n.hmove : 0;
    first.bonus = n.htype == BOUND_UPPER ? BONUS_HASH_UPPER : n.hdepth <= 0 ? BONUS_HASH_SHALLOW : BONUS_HASH;
    const int flags = n.flags;
    if (!deepen || n.depth <= 2 * ONE_PLY || n.beta == n.alpha + 1 || !(flags & (NF_PV | NF_PV_FIRST)) ||
        usable_hash_move || n.repeated || (n.threat_move && n.threat_bonus >= BONUS_THREAT) ||
        (flags & NF_AFTER_NULL) || ((flags & NF_FOLLOW_PV) && pv_hint[n.ply]))
        return GO_ON;
    ++stats.iid_searches;
    const int d = n.depth - 2 * ONE_PLY;
    int v = search(n.alpha, n.beta, n.side, d, n.ply, child_pv, flags | NF_NO_NULL, 0);
    if (!abort_search && v <= n.alpha)
        v = search(-FULL_WINDOW, n.alpha + 1, n.side, d, n.ply, child_pv, flags | NF_NO_NULL, 0);
    if (abort_search) return 0;
    if (!is_pv_end(child_pv[0]) && !move_is_null(child_pv[0])) {
        first.move = child_pv[0];
        first.bonus = BONUS_HASH;
    }
    return GO_ON;
}

// ---- move generation with the ordering bonuses ---------------------------------------------
// The threat move, the table's move and the expected line's move are lifted in the
// history table for the time of the generation. In check only the evasions are
// generated; a single one is extended when deep enough and no threat is extended here.
[[gnu::always_inline]] inline int generate_step(node_state& n, const ordering_move& first, move_list_entry* list,
                                                int& one_reply_ext) {
    uint32_t* hist = history_table[n.side];
    const uint32_t hint = (n.ply < MAX_SEARCH_PLY) ? pv_hint[n.ply] : 0;
    if ((n.flags & NF_FOLLOW_PV) && !hint) n.flags &= ~NF_FOLLOW_PV;
    const uint32_t hint_bonus = (n.flags & NF_FOLLOW_PV) ? BONUS_HINT_FOLLOWED : BONUS_HINT;
    if (n.threat_move) hist[n.threat_move & MOVE_SQUARES] += n.threat_bonus;
    if (first.move) hist[first.move & MOVE_SQUARES] += first.bonus;
    if (hint) hist[hint & MOVE_SQUARES] += hint_bonus;
    int count;
    one_reply_ext = 0;
    if (n.in_check) {
        count = generate_evasions(n.side, n.ply, list);
        if (count == 1 && n.depth > 5 * ONE_PLY && !n.threat_ext && !(n.led_here & HF_THREAT)) one_reply_ext = ionerep;
    } else {
        count = generate_moves(n.side, n.ply, list);
    }
    if (n.threat_move) hist[n.threat_move & MOVE_SQUARES] -= n.threat_bonus;
    if (first.move) hist[first.move & MOVE_SQUARES] -= first.bonus;
    if (hint) hist[hint & MOVE_SQUARES] -= hint_bonus;
    return count;
}

// ---- what the node allows its moves ----------------------------------------------------------
// Futility is armed one to two plies from the horizon while both sides keep a middle
// game's pieces, below a mate bound, and when neither a threat nor (one move before) a
// check or a pawn to the seventh led here. The pawn-ending extension is armed deeper
// than three plies when the side to move has no pieces, the opponent at most a queen's
// worth, and the last move was no promotion.
struct move_rules {
    bool futility_armed;
    bool pawn_ending_armed;
    bool opp_last_capture;  // the opponent's last move captured, not as a recapture extension
    uint32_t own_previous;  // flag word of the side's own previous move
    int one_reply_ext;
};

[[gnu::always_inline]] inline move_rules rules_step(const node_state& n, int one_reply_ext) {
    const board_state& b = board;
    const uint32_t last_move = game_history[b.ply].move;
    move_rules r;
    r.futility_armed = prune && n.depth > ONE_PLY && n.depth <= 2 * ONE_PLY &&
                       b.piece_material[WHITE] > ENDING_PIECES && b.piece_material[BLACK] > ENDING_PIECES &&
                       n.alpha < MATE_RANGE && !(n.led_here & HF_THREAT) &&
                       !(record_flags(b.ply - 1) & (HF_CHECK | HF_PAWN7));
    r.pawn_ending_armed = n.depth > 3 * ONE_PLY && b.piece_material[n.side] == 0 &&
                          b.piece_material[n.opp] <= QUEEN_MATERIAL && !(last_move & MOVE_PROMOTION_CODE);
    r.own_previous = record_flags(b.ply - 1);
    r.opp_last_capture = (last_move & MOVE_CAPTURE) != 0 && !(n.led_here & HF_RECAPTURE);
    r.one_reply_ext = one_reply_ext;
    return r;
}

// One move of the loop, made on the board, as the extension rules read it.
struct tried_move {
    uint32_t move;
    int to;
    int balance;  // own material less the opponent's before the move
    uint32_t mover, victim;
    int reps;  // the repetition count after it
    bool check;
    bool pawn7;  // a pawn reaching its seventh (or second) rank
};

// ---- extensions ------------------------------------------------------------------------------
// Check (within the iteration's check plies, the mover not too far ahead), repeated check
// (below the root's children, the mover not too far ahead, this side's previous move
// checked without that extension, and either the iteration's depth is not reached while
// this side keeps pieces enough, or the opponent's last move carried no mark but a single
// reply and the repeated-check plies are not used up), single reply, mate threat, pawn to
// the seventh (not too far ahead), and the capture of the opponent's last piece in a pawn
// ending. Each kind granted is marked in `hf`, the flag word of the move's record.
[[gnu::always_inline]] inline int extension_step(const node_state& n, const move_rules& rules, const tried_move& mv,
                                                 uint32_t& hf) {
    const board_state& b = board;
    const int next = n.ply + 1;
    int ext = 0;
    if (mv.check) {
        hf |= HF_CHECK;
        if (next < check_ply_limit && mv.balance <= CHECK_EXTENSION_LEAD) {
            ext += icheck;
            count_extension(EXT_CHECK, n.depth);
        }
        if (next > 2 && mv.balance <= CHECK_EXTENSION_LEAD && (rules.own_previous & HF_CHECK) &&
            !(rules.own_previous & HF_REPCHECK) &&
            ((next < iteration_depth && b.piece_material[n.side] > REPCHECK_PIECES) ||
             ((n.led_here & ~HF_ONE_REPLY) == 0 && next < repcheck_ply_limit))) {
            ext += irepcheck;
            hf |= HF_REPCHECK;
            count_extension(EXT_REPCHECK, n.depth);
        }
    }
    if (rules.one_reply_ext) {
        ext += rules.one_reply_ext;
        hf |= HF_ONE_REPLY;
        count_extension(EXT_ONE_REPLY, n.depth);
    }
    if (n.threat_ext) {
        ext += n.threat_ext;
        count_extension(EXT_THREAT, n.depth);
    }
    if (mv.pawn7 && mv.balance <= EXTENSION_LEAD) {
        ext += ipawn7;
        hf |= HF_PAWN7;
        count_extension(EXT_PAWN7, n.depth);
    }
    if (rules.pawn_ending_armed && mv.victim != EMPTY && mv.victim != PAWN && b.piece_material[n.opp] == 0) {
        ext += ipawne;
        hf |= HF_PAWN_ENDING;
        count_extension(EXT_PAWN_ENDING, n.depth);
    }
    return ext;
}

// ---- futility --------------------------------------------------------------------------------
// A quiet move (no check, no pawn to the seventh) against an opponent with a middle
// game's pieces, that leaves the material at alpha or below, is not searched when even
// the evaluation cannot bring it within the margin of alpha.
[[gnu::always_inline]] inline bool futile(const node_state& n, const move_rules& rules, const tried_move& mv) {
    const board_state& b = board;
    if (!rules.futility_armed || mv.check || mv.pawn7 || b.piece_material[n.opp] <= ENDING_PIECES ||
        b.material[n.side] - b.material[n.opp] > n.alpha)
        return false;
    const int v = evaluate(n.side, n.alpha - FUTILITY_MARGIN, n.alpha - FUTILITY_MARGIN + 1);
    return v + FUTILITY_MARGIN <= n.alpha;
}

// ---- recapture extension -------------------------------------------------------------------
// A capture (or a queen promotion) answering the opponent's capture, the mover not too
// far ahead, within the iteration's depth, and either deep enough, or hopeful by the
// lazy margin, or answering a check.
[[gnu::always_inline]] inline int recapture_step(const node_state& n, const move_rules& rules, const tried_move& mv,
                                                 uint32_t& hf) {
    const board_state& b = board;
    const int promo = move_promotion(mv.move);
    if (mv.balance <= EXTENSION_LEAD && ((mv.move & MOVE_CAPTURE) || promo == QUEEN) &&
        (promo == 0 || promo == QUEEN) && rules.opp_last_capture && n.ply + 1 < iteration_depth &&
        (n.depth > 2 * ONE_PLY || lazy_margin[n.side] + b.material[n.side] - b.material[n.opp] >= n.alpha ||
         (n.led_here & HF_CHECK))) {
        hf |= HF_RECAPTURE;
        count_extension(EXT_RECAPTURE, n.depth);
        return irecapture;
    }
    return 0;
}

// The depth a move is searched to: one ply less plus its extensions, at least something
// for a check, and never deeper than the node (one ply deeper with a repeated check or
// the pawn-ending capture).
[[gnu::always_inline]] inline int child_depth(int depth, int ext, bool check, uint32_t hf) {
    int d = depth - ONE_PLY + ext;
    if (check && d < 1) d = 1;
    if (d > depth) d = (hf & (HF_REPCHECK | HF_PAWN_ENDING)) ? (d > depth + ONE_PLY ? depth + ONE_PLY : d) : depth;
    return d;
}

// ---- principal-variation search of one move --------------------------------------------------
// The first move with the full window, the others with a zero window; a score inside the
// window sends the search again along the child's line with the full window. The first
// move inherits the expected-line bits; "no null move" and "follows a null move" speak of
// this node only: a child starts without them.
[[gnu::always_inline]] inline int search_child(node_state& n, const tried_move& mv, int d, int legal,
                                               uint16_t* child_pv) {
    const int opp = n.opp, next = n.ply + 1;
    const int child_flags = (n.flags & ~NF_NODE_ONLY) ^ NF_PARITY;
    if (legal == 1) return -search_or_quiesce(-n.beta, -n.alpha, opp, d, next, child_pv, child_flags, mv.reps);
    int score = -search_or_quiesce(-n.alpha - 1, -n.alpha, opp, d, next, child_pv, child_flags, mv.reps);
    if (!abort_search && score > n.alpha && score < n.beta) {
        n.flags |= NF_FOLLOW_PV;
        set_pv_hint(next, child_pv);
        const int research_flags = (n.flags & ~NF_NODE_ONLY) ^ NF_PARITY;
        score = -search_or_quiesce(-n.beta, -n.alpha, opp, d, next, child_pv, research_flags, mv.reps);
    }
    return score;
}

// The score of a legal move made on the board: a repetition too many is a draw; else its
// extensions, the futility test, the recapture extension and its search. The move's
// record gets its flag word.
[[gnu::always_inline]] inline int score_move(node_state& n, const move_rules& rules, tried_move& mv, int legal,
                                             uint16_t* child_pv) {
    history_entry& rec = game_history[board.ply];
    if (mv.reps > (n.ply + 1 <= REPETITION_NEAR_ROOT_PLIES ? 1 : 0)) {
        rec.flags = 0;
        child_pv[0] = PV_NO_MOVE;
        return 0;
    }
    mv.check = move_gives_check(n.side, mv.move);
    mv.pawn7 = mv.mover == PAWN && (rank_index(mv.to) == 1 || rank_index(mv.to) == 6);
    uint32_t hf = n.threat ? static_cast<uint32_t>(HF_THREAT) : 0u;
    int ext = extension_step(n, rules, mv, hf);
    rec.flags = hf;
    if (futile(n, rules, mv)) {
        child_pv[0] = PV_NO_MOVE;
        ++stats.pruned;
        return n.alpha;
    }
    ext += recapture_step(n, rules, mv, rec.flags);
    return search_child(n, mv, child_depth(n.depth, ext, mv.check, rec.flags), legal, child_pv);
}

// ---- the move loop ---------------------------------------------------------------------------
// Best first. Out of check a move is legal unless it moves the king, captures en passant
// or may uncover the king (on a line to it); the first two are tested after the move,
// the last by the pin test; every evasion is legal. Returns the number of legal moves;
// `aborted` tells that the search is unwinding.
[[gnu::always_inline]] inline int move_loop(node_state& n, const move_rules& rules, move_list_entry* list, int count,
                                            uint16_t* child_pv, bool& aborted) {
    board_state& b = board;
    const int side = n.side, opp = n.opp;
    const int king = b.piece_list[side][0];
    int legal = 0;
    best_first moves(list, count, side);
    uint32_t m;
    while (moves.next(m)) {
        const int from = move_from(m), to = move_to(m);
        const bool must_test = !n.in_check && (from == king || (m & MOVE_EP));
        if (!n.in_check && !must_test && on_line(king, from) && move_exposes_king(side, king, m)) continue;
        tried_move mv{m, to, b.material[side] - b.material[opp], b.piece[from], b.piece[to], 0, false, false};
        mv.reps = make_move(side, m);
        hash_prefetch(opp);
        if (must_test && in_check_fn(side)) {
            unmake_move(side, m);
            continue;
        }
        ++legal;
        const int score = score_move(n, rules, mv, legal, child_pv);
        unmake_move(side, m);
        if (abort_search) {
            aborted = true;
            return legal;
        }
        n.flags &= ~(NF_FOLLOW_PV | NF_PV_FIRST);
        const score_effect e =
            weigh_score(score, m, child_pv, n.pv_out, n.best, n.best_move, n.alpha, n.beta, n.result_type);
        if (e >= SCORE_RAISES_ALPHA) n.flags &= ~(NF_PV | NF_PV_FIRST | NF_PARITY);
        if (e == SCORE_CUTS) {
            ++stats.beta_cuts;
            if (legal == 1) ++stats.first_move_cuts;
            break;
        }
    }
    return legal;
}

// ---- result and table store ------------------------------------------------------------------
// No legal move: mate in check, else stalemate. A move that cut or raised alpha earns
// the killer and history credits (history for quiet moves only). A best move from a
// table bound returns with no store; a bitbase ceiling caps the result; the rest is
// stored, for good at the root's moves when analysing.
[[gnu::always_inline]] inline int result_step(node_state& n, int legal) {
    if (legal == 0 && n.result_type == BOUND_UPPER) {
        n.best = n.in_check ? n.ply - MATE : 0;
        n.result_type = BOUND_EXACT;
        n.best_move = 0;
        n.pv_out[0] = PV_NO_MOVE;
    }
    if ((n.result_type == BOUND_LOWER || n.result_type == BOUND_EXACT) && n.best_move)
        reward_move(n.side, n.best_move, n.best, n.depth, n.ply, !(n.best_move & MOVE_CAPTURE));
    if (n.result_type == RESULT_FROM_TABLE) {
        n.pv_out[0] = static_cast<uint16_t>(n.best_move & 0xFFFF);
        n.pv_out[1] = PV_END;
        return n.best;
    }
    if (n.best > n.ceiling) {
        n.pv_out[0] = PV_NO_MOVE;
        return n.ceiling;
    }
    store_search_result(n.side, n.best, n.depth, n.ply, n.result_type | (n.threat ? BOUND_THREAT : 0), n.best_move,
                        n.ply == 1 && search_state == SEARCH_ANALYSE);
    return n.best;
}

}  // namespace

// The node procedure: its steps in the order they are described.
int search(int alpha, int beta, int side, int depth, int ply, uint16_t* pv_out, int flags, int repeated) {
    if (abort_search) return 0;
#ifndef NDEBUG
    debug_check_node(side, ply);
#endif
    pv_out[0] = PV_NO_MOVE;
    const uint32_t led_here = record_flags(board.ply);
    node_state n{
        alpha, beta, side, side ^ 1, depth, ply, flags, repeated, pv_out, led_here, (led_here & HF_CHECK) != 0};
    if (const int r = entry_step(n); r != GO_ON) return r;
    if (const int r = table_step(n); r != GO_ON) return r;
    if (const int r = bitbase_step(n); r != GO_ON) return r;
    if (const int r = egtb_step(n); r != GO_ON) return r;
    uint16_t child_pv[PV_WORDS];
    if (const int r = null_move_step(n, child_pv); r != GO_ON) return r;
    threat_extension_step(n);
    ordering_move first;
    if (const int r = deepening_step(n, first, child_pv); r != GO_ON) return r;
    move_list_entry* list = move_list_start[ply];
    int one_reply_ext;
    const int count = generate_step(n, first, list, one_reply_ext);
    const move_rules rules = rules_step(n, one_reply_ext);
    bool aborted = false;
    const int legal = move_loop(n, rules, list, count, child_pv, aborted);
    if (aborted) return 0;
    return result_step(n, legal);
}
