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
#include "core/storedmove.h"

uint32_t nodes_searched = 0;
uint32_t qnodes_searched = 0;
uint32_t poll_mark = 5000;
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

// Men besides the two kings.
inline int men_count() { return board.piece_count[WHITE] + board.piece_count[BLACK]; }

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
// Debug builds: the incremental board lists agree with the squares.
void dbg_check(const char* where, int ply) {
    for (int s = 0; s < 2; ++s) {
        bool bad = board.piece_count[s] < 0 || board.piece_count[s] > 15 || board.piece[board.piece_list[s][0]] != KING || board.color[board.piece_list[s][0]] != (uint32_t)s;
        for (int i = 1; !bad && i <= board.piece_count[s]; ++i) {
            int sq = board.piece_list[s][i];
            if (sq < 0 || sq > 63 || board.color[sq] != (uint32_t)s || board.piece[sq] == EMPTY || board.piece[sq] == KING) bad = true;
        }
        if (bad) { fprintf(stderr, "BAD board at %s ply %d side %d fen %s\n", where, ply, s, board_to_fen(0, true).c_str());
            for (int i = 0; i <= board.piece_count[s] + 1 && i < 32; ++i) fprintf(stderr, " %d(%d,%d)", board.piece_list[s][i], board.piece_list[s][i] >= 0 ? (int)board.piece[board.piece_list[s][i]] : -1, board.piece_list[s][i] >= 0 ? (int)board.color[board.piece_list[s][i]] : -1);
            fprintf(stderr, "\n");
            for (int p = board.ply; p > board.ply - 8 && p > 0; --p) fprintf(stderr, " rec %d move %x flags %x\n", p, game_history[p].move, game_history[p].flags);
            abort(); }
    }
}
#endif

int search(int alpha, int beta, int side, int depth, int ply, uint16_t* pv_out, int flags, int repeated) {
    if (abort_search) return 0;
#ifndef NDEBUG
    dbg_check("search", ply);
    if (in_check_by_rays(side ^ 1) || ((record_flags(board.ply) & HF_CHECK) != 0) != in_check_by_rays(side)) {
        fprintf(stderr, "ILLEGAL at ply %d side %d fen %s flags %x\n", ply, side, board_to_fen(side, true).c_str(), record_flags(board.ply));
        for (int p = board.ply; p > board.ply - 8 && p > 0; --p) fprintf(stderr, " rec %d move %s flags %x\n", p, move_to_coordinates(game_history[p].move).c_str(), game_history[p].flags);
        abort();
    }
#endif
    pv_out[0] = PV_NO_MOVE;
    board_state& b = board;
    const uint32_t led_here = record_flags(b.ply);

    // Fifty moves without a capture or pawn move (a checking move still gets answered).
    if (b.ply - b.last_irreversible >= 100 && !(led_here & HF_CHECK)) return 0;

    ++nodes_searched;
    ++stats.full_nodes;
    if (search_stopped_at_poll()) return 0;
    if (nodes_searched > node_limit) {
        abort_search = 1;
        return 0;
    }
    if (ply > seldepth) seldepth = ply;

    if (beta <= ply - MATE) return ply - MATE;
    if (ply >= PLY_LIMIT) return evaluate(side, -MATE, MATE);

    const int opp = side ^ 1;
    int best = NO_MOVE_SCORE;
    uint32_t best_move = 0;
    int result_type = BOUND_UPPER;
    int ceiling = MATE;
    bool threat = false;
    uint32_t threat_move = 0;
    uint32_t threat_bonus = 0;

    // ---- transposition table ----
    int hscore = 0, hdepth = 0;
    uint32_t hmove = 0;
    int hbound = hash_probe(side, ply, &hscore, &hmove, &hdepth);
    if (!feature_on(OFF_THREAT_BIT)) hbound &= ~BOUND_THREAT;
    const int htype = hbound & BOUND_MASK;
    if (hbound & BOUND_THREAT) {
        flags |= NF_NO_NULL;
        threat = true;
    }
    if (htype) ++stats.table_hits;
    if (htype && !repeated && feature_on(OFF_TABLE_CUTS)) {
        bool cut = false;
        if (htype == BOUND_UPPER) {
            if ((hdepth >= depth || hscore < -MATE_RANGE) && hscore <= alpha && check_hash_move(side, hmove, pv_out, hscore) == 0) {
                ++stats.table_cuts;
                return hscore;
            }
            if (hdepth > 0) flags |= NF_NO_NULL;
        } else if (htype == BOUND_LOWER) {
            if (hdepth >= depth || hscore > MATE_RANGE) {
                const bool null_refused = hmove == HASH_NULL_MOVE && (flags & NF_NO_NULL);
                if (hscore >= beta && !null_refused) {
                    if (check_hash_move(side, hmove, pv_out, hscore) == 0) cut = true;
                } else if (hscore > alpha && (hscore < MATE_RANGE || hdepth >= depth) && hmove != HASH_NULL_MOVE &&
                           check_hash_move(side, hmove, pv_out, hscore) == 0) {
                    alpha = best = hscore;
                    best_move = hmove;
                    result_type = RESULT_FROM_TABLE;
                }
            }
        } else if (htype == BOUND_EXACT) {
            const bool usable = hdepth >= depth || hmove == HASH_EGTB_MOVE || (hscore > MATE_RANGE && hscore >= beta) ||
                                (hscore < -MATE_RANGE && hscore <= alpha);
            if (usable && check_hash_move(side, hmove, pv_out, hscore) == 0) {
                if (!names_squares(hmove) || hscore <= alpha) {
                    ++stats.table_cuts;
                    return hscore;
                }
                cut = true;
            } else if (hscore < beta && hdepth >= depth - null_high) {
                flags |= NF_NO_NULL;
            }
        }
        if (cut) {
            ++stats.table_cuts;
            if (hmove != HASH_NULL_MOVE && hmove != HASH_EGTB_MOVE) reward_move(side, hmove, hscore, depth, ply, true);
            return hscore;
        }
    }
    const bool usable_hash_move = htype && names_squares(hmove);

    // ---- bitbases ----
    if (hooks.bitbase_probe && men_count() <= 2) {
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
            if (v > alpha) {
                alpha = best = v;
                best_move = PV_BITBASE;
                result_type = RESULT_FROM_TABLE;
            }
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
    }

    // ---- endgame tables ----
    if (men_count() <= tb_men_limit) {
        if (men_count() == 0) return 0;
        const uint32_t last = game_history[b.ply].move;
        const bool capture_or_promotion = (last & (MOVE_CAPTURE | MOVE_PROMOTION_CODE)) != 0;
        if (hooks.egtb_probe && (ply == 1 || (ply < tb_ply_limit && capture_or_promotion))) {
            ++stats.egtb_probes;
            int v = 0;
            if (hooks.egtb_probe(side, &v)) {
                ++stats.egtb_hits;
                ++stats.tb_hits;
                if (v == 0 || !repeated) {
                    const int s = convert_table_value(v, ply);
                    pv_out[0] = PV_EGTB;
                    hash_store(side, s, depth, ply, BOUND_EXACT, HASH_EGTB_MOVE);
                    return s;
                }
            }
        }
    }

    const bool in_check = (led_here & HF_CHECK) != 0;
    uint16_t child_pv[PV_WORDS];

    // ---- null move ----
    // Nothing is generated at this ply yet: a child searched before the move list
    // (after the null move) starts its list where this ply's would.
    move_list_start[ply + 1] = move_list_start[ply];
    if (ply + 1 < MOVE_PLIES) mate_killer[ply + 1] = 0;
    if (!(flags & NF_NO_NULL) && !in_check && beta < MATE_RANGE && !repeated) {
        // The position after the null move differs in the en-passant key only: its
        // bucket loads while the verification search runs.
        hash_prefetch_key(b.hash_key ^ ep_key(b.ep_square) ^ ep_key(-1), opp);
        bool allowed = true;
        if (depth >= 5 * ONE_PLY) allowed = generate_legal_moves(side, ply, move_list_start[ply]) > 6;
        int R = 0;
        if (allowed) {
            const int pieces = b.piece_material[side];
            if (pieces > 450) R = depth > null_split ? null_high : null_low;
            if (R <= 0 || pieces <= 450) R = (pieces > 0 && null_endgame > 0) ? null_endgame : 0;
        }
        if (allowed && R > 0) {
            const int nd = depth - R - ONE_PLY;
            ++stats.null_verifications;
            // Verification: the real position at the reduced depth.
            child_pv[0] = PV_NO_MOVE;
            int v = !feature_on(OFF_VERIFY) ? beta
                    : nd < 1               ? qsearch(beta - 1, beta, side, ply, child_pv, flags)
                                           : search(beta - 1, beta, side, nd, ply, child_pv, flags | NF_NO_NULL, 0);
            if (abort_search) return 0;
            if (v > MATE_RANGE) {
                std::memcpy(pv_out, child_pv, sizeof child_pv);
                return v;
            }
            if (!is_pv_end(child_pv[0]) && !move_is_null(child_pv[0])) threat_move = child_pv[0];
            if (v < beta) {
                if (threat_move) threat_bonus = BONUS_THREAT_PRESEARCH;
            } else {
                const int saved_margin = lazy_margin[opp];
                ++stats.null_tries;
                make_null_move(side);
                v = nd < 1 ? -qsearch(-beta, 1 - beta, opp, ply + 1, child_pv, flags)
                           : -search(-beta, 1 - beta, opp, nd, ply + 1, child_pv, flags | NF_NO_NULL | NF_AFTER_NULL, 0);
                unmake_null_move(side);
                lazy_margin[opp] = saved_margin;
                if (abort_search) return 0;
                if (v >= beta) {
                    ++stats.null_cuts;
                    if (v >= MATE_RANGE) v = beta;
                    pv_copy(pv_out, 0, child_pv);
                    hash_store(side, v, depth, ply, BOUND_LOWER, HASH_NULL_MOVE);
                    return v;
                }
                if (v < -MATE_RANGE) threat = true;
                if (threat_move) {
                    threat_bonus = nd >= 1 ? BONUS_THREAT_FULL : BONUS_THREAT;
                    if (htype == BOUND_UPPER || (htype && hdepth <= nd)) threat_bonus *= 2;
                }
            }
        }
    }

    // ---- mate-threat extension ----
    int threat_ext = 0;
    if (threat && !(flags & NF_AFTER_NULL)) {
        const uint32_t own_previous = record_flags(b.ply - 1);
        if (!(own_previous & HF_THREAT) ||
            (!(led_here & HF_THREAT) && ply < iteration_depth &&
             (ply <= 4 || !(record_flags(b.ply - 2) & HF_THREAT) || !(record_flags(b.ply - 3) & HF_THREAT))))
            threat_ext = inullthreat;
        flags &= ~NF_NO_NULL;
    }

    // ---- internal iterative deepening ----
    uint32_t order_hash_move = usable_hash_move ? hmove : 0;
    uint32_t hash_bonus = htype == BOUND_UPPER ? BONUS_HASH_UPPER : hdepth <= 0 ? BONUS_HASH_SHALLOW : BONUS_HASH;
    if (deepen && depth > 2 * ONE_PLY && beta != alpha + 1 && (flags & (NF_PV | NF_PV_FIRST)) && !usable_hash_move && !repeated &&
        !(threat_move && threat_bonus >= BONUS_THREAT) && !(flags & NF_AFTER_NULL) &&
        (!(flags & NF_FOLLOW_PV) || !pv_hint[ply])) {
        ++stats.iid_searches;
        int v = search(alpha, beta, side, depth - 2 * ONE_PLY, ply, child_pv, flags | NF_NO_NULL, 0);
        if (!abort_search && v <= alpha) v = search(-FULL_WINDOW, alpha + 1, side, depth - 2 * ONE_PLY, ply, child_pv, flags | NF_NO_NULL, 0);
        if (abort_search) return 0;
        if (!is_pv_end(child_pv[0]) && !move_is_null(child_pv[0])) {
            order_hash_move = child_pv[0];
            hash_bonus = BONUS_HASH;
        }
    }

    // ---- move generation with the ordering bonuses ----
    uint32_t* hist = history_table[side];
    const uint32_t hint = (ply < MAX_SEARCH_PLY) ? pv_hint[ply] : 0;
    if ((flags & NF_FOLLOW_PV) && !hint) flags &= ~NF_FOLLOW_PV;
    const uint32_t hint_bonus = (flags & NF_FOLLOW_PV) ? BONUS_HINT_FOLLOWED : BONUS_HINT;
    if (threat_move) hist[threat_move & MOVE_SQUARES] += threat_bonus;
    if (order_hash_move) hist[order_hash_move & MOVE_SQUARES] += hash_bonus;
    if (hint) hist[hint & MOVE_SQUARES] += hint_bonus;
    move_list_entry* list = move_list_start[ply];
    int one_reply_ext = 0;
    int n;
    if (in_check) {
        n = generate_evasions(side, ply, list);
        if (n == 1 && depth > 5 * ONE_PLY && !threat_ext && !(led_here & HF_THREAT)) one_reply_ext = ionerep;
    } else {
        n = generate_moves(side, ply, list);
    }
    if (threat_move) hist[threat_move & MOVE_SQUARES] -= threat_bonus;
    if (order_hash_move) hist[order_hash_move & MOVE_SQUARES] -= hash_bonus;
    if (hint) hist[hint & MOVE_SQUARES] -= hint_bonus;

    // ---- per-node extension preconditions ----
    const bool futility_armed = prune && depth > ONE_PLY && depth <= 2 * ONE_PLY && b.piece_material[WHITE] > 450 &&
                                b.piece_material[BLACK] > 450 && alpha < MATE_RANGE &&
                                !(led_here & HF_THREAT) &&
                                !(record_flags(b.ply - 1) & (HF_CHECK | HF_PAWN7));
    const uint32_t last_move = game_history[b.ply].move;
    const bool pawn_ending_armed = depth > 3 * ONE_PLY && b.piece_material[side] == 0 && b.piece_material[opp] <= 1001 &&
                                   !(last_move & MOVE_PROMOTION_CODE);
    const uint32_t own_previous_flags = record_flags(b.ply - 1);
    const bool opp_last_capture = (last_move & MOVE_CAPTURE) != 0 && !(led_here & HF_RECAPTURE);

    // ---- move loop ----
    const int king = b.piece_list[side][0];
    int legal = 0;
    // The order depends on the generated values only, so the next move is chosen one
    // move ahead and its table bucket loaded while this move is searched.
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
        const int from = move_from(m), to = move_to(m);
        const bool must_test = !in_check && (from == king || (m & MOVE_EP));
        if (!in_check && !must_test && on_line(king, from) && move_exposes_king(side, king, m)) continue;

        const int balance = b.material[side] - b.material[opp];
        const uint32_t mover = b.piece[from];
        const uint32_t victim = b.piece[to];
        const int reps = make_move(side, m);
        hash_prefetch(opp);
        if (must_test && in_check_fn(side)) {
            unmake_move(side, m);
            continue;
        }
        ++legal;
        history_entry& rec = game_history[b.ply];
        int score;
        if (reps > (ply + 1 <= 3 ? 1 : 0)) {
            rec.flags = 0;
            score = 0;
            child_pv[0] = PV_NO_MOVE;
        } else {
            const bool check = move_gives_check(side, m);
            uint32_t hf = threat ? static_cast<uint32_t>(HF_THREAT) : 0u;
            int ext = 0;
            if (check) {
                hf |= HF_CHECK;
                if (ply + 1 < check_ply_limit && balance <= 750) {
                    ext += icheck;
                    count_extension(EXT_CHECK, depth);
                }
                if (ply + 1 > 2 && balance <= 750 && (own_previous_flags & HF_CHECK) && !(own_previous_flags & HF_REPCHECK) &&
                    ((ply + 1 < iteration_depth && b.piece_material[side] > 800) ||
                     ((led_here & ~HF_ONE_REPLY) == 0 && ply + 1 < repcheck_ply_limit))) {
                    ext += irepcheck;
                    hf |= HF_REPCHECK;
                    count_extension(EXT_REPCHECK, depth);
                }
            }
            if (one_reply_ext) {
                ext += one_reply_ext;
                hf |= HF_ONE_REPLY;
                count_extension(EXT_ONE_REPLY, depth);
            }
            if (threat_ext) {
                ext += threat_ext;
                count_extension(EXT_THREAT, depth);
            }
            const bool pawn7 = mover == PAWN && (rank_index(to) == 1 || rank_index(to) == 6);
            if (pawn7 && balance <= 550) {
                ext += ipawn7;
                hf |= HF_PAWN7;
                count_extension(EXT_PAWN7, depth);
            }
            if (pawn_ending_armed && victim != EMPTY && victim != PAWN && b.piece_material[opp] == 0) {
                ext += ipawne;
                hf |= HF_PAWN_ENDING;
                count_extension(EXT_PAWN_ENDING, depth);
            }
            rec.flags = hf;

            bool pruned = false;
            score = 0;
            if (futility_armed && !check && !pawn7 && b.piece_material[opp] > 450 &&
                b.material[side] - b.material[opp] <= alpha) {
                const int v = evaluate(side, alpha - 100, alpha - 99);
                if (v + 100 <= alpha) {
                    pruned = true;
                    score = alpha;
                    child_pv[0] = PV_NO_MOVE;
                    ++stats.pruned;
                }
            }
            if (!pruned) {
                const int promo = move_promotion(m);
                if (balance <= 550 && ((m & MOVE_CAPTURE) || promo == QUEEN) && (promo == 0 || promo == QUEEN) &&
                    opp_last_capture && ply + 1 < iteration_depth &&
                    (depth > 2 * ONE_PLY || lazy_margin[side] + b.material[side] - b.material[opp] >= alpha ||
                     (led_here & HF_CHECK))) {
                    ext += irecapture;
                    rec.flags |= HF_RECAPTURE;
                    count_extension(EXT_RECAPTURE, depth);
                }
                int new_depth = depth - ONE_PLY + ext;
                if (check && new_depth < 1) new_depth = 1;
                if (new_depth > depth)
                    new_depth = (rec.flags & (HF_REPCHECK | HF_PAWN_ENDING)) ? (new_depth > depth + ONE_PLY ? depth + ONE_PLY : new_depth)
                                                                            : depth;
                // The first move searched inherits the principal-variation bits; they are
                // cleared once it has been searched. "No null move" and "follows a null
                // move" speak of this node only: a child starts without them.
                const int child_flags = (flags & ~NF_NODE_ONLY) ^ NF_PARITY;
                if (legal == 1) {
                    score = new_depth < 1 ? -qsearch(-beta, -alpha, opp, ply + 1, child_pv, child_flags)
                                          : -search(-beta, -alpha, opp, new_depth, ply + 1, child_pv, child_flags, reps);
                } else {
                    score = new_depth < 1 ? -qsearch(-alpha - 1, -alpha, opp, ply + 1, child_pv, child_flags)
                                          : -search(-alpha - 1, -alpha, opp, new_depth, ply + 1, child_pv, child_flags, reps);
                    if (!abort_search && score > alpha && score < beta) {
                        flags |= NF_FOLLOW_PV;
                        set_pv_hint(ply + 1, child_pv);
                        const int research_flags = (flags & ~NF_NODE_ONLY) ^ NF_PARITY;
                        score = new_depth < 1 ? -qsearch(-beta, -alpha, opp, ply + 1, child_pv, research_flags)
                                              : -search(-beta, -alpha, opp, new_depth, ply + 1, child_pv, research_flags, reps);
                    }
                }
            }
        }
        unmake_move(side, m);
        if (abort_search) return 0;
        flags &= ~(NF_FOLLOW_PV | NF_PV_FIRST);

        if (score > best) {
            best = score;
            best_move = m;
            pv_copy(pv_out, m, child_pv);
            if (score > alpha) {
                alpha = score;
                result_type = BOUND_EXACT;
                flags &= ~(NF_PV | NF_PV_FIRST | NF_PARITY);
                if (score >= beta) {
                    result_type = BOUND_LOWER;
                    ++stats.beta_cuts;
                    if (legal == 1) ++stats.first_move_cuts;
                    break;
                }
            }
        }
    }

    if (legal == 0 && result_type == BOUND_UPPER) {
        best = in_check ? ply - MATE : 0;
        result_type = BOUND_EXACT;
        best_move = 0;
        pv_out[0] = PV_NO_MOVE;
    }
    if ((result_type == BOUND_LOWER || result_type == BOUND_EXACT) && best_move)
        reward_move(side, best_move, best, depth, ply, !(best_move & MOVE_CAPTURE));
    if (result_type == RESULT_FROM_TABLE) {
        pv_out[0] = static_cast<uint16_t>(best_move & 0xFFFF);
        pv_out[1] = PV_END;
        return best;
    }
    if (best > ceiling) {
        pv_out[0] = PV_NO_MOVE;
        return ceiling;
    }
    // Analysing, the results of the root's moves stay in the table for good.
    store_search_result(side, best, depth, ply, result_type | (threat ? BOUND_THREAT : 0), best_move,
                        ply == 1 && search_state == 2);
    return best;
}
