#include "core/movegen.h"

#include <cstring>

move_list_entry move_stack[MOVE_STACK_SIZE];
move_list_entry* move_list_start[MOVE_PLIES + 1] = {move_stack};

uint32_t history_table[2][4096];
uint32_t mate_killer[MOVE_PLIES];
uint32_t killer1[MOVE_PLIES];
uint32_t killer2[MOVE_PLIES];
uint32_t recapture_bonus[65];
uint64_t generated_move_count;

namespace {

// Drops from [first, end) the moves of a man that neither reach `targets` nor keep to
// its pin line; returns the new end.
inline move_list_entry* keep_evasions(move_list_entry* first, move_list_entry* end, int king, uint64_t targets,
                                      const pin_set* pins) {
    move_list_entry* out = first;
    for (move_list_entry* e = first; e != end; ++e) {
        const int from = move_from(e->move), to = move_to(e->move);
        if ((targets & square_bit[to]) && pins->allows(king, from, to)) *out++ = *e;
    }
    return out;
}

// The moves of the side's men in list order. With EVADE set (the side is in check) a
// man other than the king keeps only the moves to `targets` that its pin allows, and
// the king only its legal moves: the survivors keep their order and values.
template <bool EVADE>
move_list_entry* piece_moves(move_list_entry* list, int side, uint64_t targets, const pin_set* pins) {
    const board_state& b = board;
    const uint32_t* hist = history_table[side];
    const uint32_t opp = static_cast<uint32_t>(side ^ 1);
    const int fwd = side == WHITE ? 8 : -8;
    // Capture squares of a pawn, first the one the walk tables name first.
    const int cap_first = side == WHITE ? 7 : -7;  // file - 1 for White, file + 1 for Black
    const int cap_second = side == WHITE ? 9 : -9;
    const int first_edge = side == WHITE ? 0 : 7;  // file on which the first capture leaves the board
    const int second_edge = 7 - first_edge;

    const int king = b.piece_list[side][0];
    for (int i = b.piece_count[side]; i >= 0; --i) {
        const int from = b.piece_list[side][i];
        const uint32_t p = b.piece[from];
        move_list_entry* const first = list;
        if (EVADE && p != KING && p != PAWN && !(attack_mask[p][from] & targets)) continue;
        if (p == PAWN) {
            if (EVADE && !targets) continue;
            const int push = from + fwd;
            const int rr = relative_rank(side, push);
            int caps[2];
            int ncaps = 0;
            if (file_of(from) != first_edge && b.color[from + cap_first] == opp) caps[ncaps++] = from + cap_first;
            if (file_of(from) != second_edge && b.color[from + cap_second] == opp) caps[ncaps++] = from + cap_second;
            if (rr == 7) {
                if (b.color[push] == NO_COLOR) {
                    uint32_t m = make_move_word(from, push);
                    int32_t s = static_cast<int32_t>(hist[m & MOVE_SQUARES]);
                    *list++ = {m | promotion_flags(QUEEN), s + static_cast<int32_t>(BONUS_QUEEN_PROMOTION)};
                    *list++ = {m | promotion_flags(KNIGHT), s};
                    *list++ = {m | promotion_flags(ROOK), s};
                    *list++ = {m | promotion_flags(BISHOP), s};
                }
                for (int c = 0; c < ncaps; ++c) {
                    int to = caps[c];
                    uint32_t m = make_move_word(from, to, MOVE_CAPTURE);
                    int32_t s =
                        static_cast<int32_t>(mvv_lva[PAWN][b.piece[to]] + hist[m & MOVE_SQUARES] + recapture_bonus[to]);
                    *list++ = {m | promotion_flags(QUEEN), s + static_cast<int32_t>(BONUS_QUEEN_PROMOTION)};
                    *list++ = {m | promotion_flags(KNIGHT), s};
                    *list++ = {m | promotion_flags(ROOK), s};
                    *list++ = {m | promotion_flags(BISHOP), s};
                }
                if (EVADE) list = keep_evasions(first, list, king, targets, pins);
                continue;
            }
            const int32_t bonus = rr == 5 ? BONUS_PAWN_SIXTH : rr == 6 ? BONUS_PAWN_SEVENTH : 0;
            if (b.color[push] == NO_COLOR) {
                uint32_t m = make_move_word(from, push);
                *list++ = {m, static_cast<int32_t>(hist[m & MOVE_SQUARES]) + bonus};
                if (rr == 2 && b.color[push + fwd] == NO_COLOR) {
                    uint32_t m2 = make_move_word(from, push + fwd);
                    *list++ = {m2, static_cast<int32_t>(hist[m2 & MOVE_SQUARES])};
                }
            }
            for (int c = 0; c < ncaps; ++c) {
                int to = caps[c];
                uint32_t m = make_move_word(from, to, MOVE_CAPTURE);
                *list++ = {
                    m, static_cast<int32_t>(mvv_lva[PAWN][b.piece[to]] + hist[m & MOVE_SQUARES] + recapture_bonus[to]) +
                           bonus};
            }
            if (EVADE) list = keep_evasions(first, list, king, targets, pins);
            continue;
        }
        // Steps and rays in the fixed walk order: the list order decides between equal values.
        auto emit = [&](int to) {
            const uint32_t c = b.color[to];
            if (c == NO_COLOR) {
                uint32_t m = make_move_word(from, to);
                *list++ = {m, static_cast<int32_t>(hist[m & MOVE_SQUARES])};
                return true;
            }
            if (c == opp) {
                uint32_t m = make_move_word(from, to, MOVE_CAPTURE);
                *list++ = {
                    m, static_cast<int32_t>(mvv_lva[p][b.piece[to]] + hist[m & MOVE_SQUARES] + recapture_bonus[to])};
            }
            return false;
        };
        if (p == KNIGHT || p == KING) {
            for (const uint8_t* t = p == KNIGHT ? knight_targets[from] : king_targets[from]; *t != 64; ++t) emit(*t);
        } else {
            for (int d = first_ray[p]; d < last_ray[p]; ++d) {
                const uint8_t* ray = ray_squares[from][d];
                for (int j = 0, n = ray_length[from][d]; j < n && emit(ray[j]); ++j) {
                }
            }
        }
        if (EVADE) {
            if (p == KING) {
                // The king's squares seen with the king lifted off its square, so that a
                // checking slider's line runs on through it.
                board.piece[from] = EMPTY;
                board.color[from] = NO_COLOR;
                move_list_entry* out = first;
                for (move_list_entry* e = first; e != list; ++e)
                    if (!attacked_by(move_to(e->move), static_cast<int>(opp), true)) *out++ = *e;
                board.piece[from] = KING;
                board.color[from] = static_cast<uint32_t>(side);
                list = out;
            } else {
                list = keep_evasions(first, list, king, targets, pins);
            }
        }
    }
    return list;
}

}  // namespace

move_list_entry* generate_piece_moves(move_list_entry* list, int side) {
    return piece_moves<false>(list, side, 0, nullptr);
}

namespace {

template <bool EVADE>
int all_moves(int side, int ply, move_list_entry* list, uint64_t targets, const pin_set* pins) {
    const board_state& b = board;
    uint32_t* hist = history_table[side];
    const uint32_t mk = mate_killer[ply] & MOVE_SQUARES, k1 = killer1[ply] & MOVE_SQUARES,
                   k2 = killer2[ply] & MOVE_SQUARES;
    hist[mk] += BONUS_MATE_KILLER;
    hist[k1] += BONUS_KILLER1;
    hist[k2] += BONUS_KILLER2;
    const uint32_t last = game_history[b.ply].move;
    const int last_to = move_is_null(last) ? 64 : move_to(last);
    recapture_bonus[last_to] += BONUS_RECAPTURE;

    move_list_entry* end = piece_moves<EVADE>(list, side, targets, pins);

    // In check the castling tests below find the king attacked and add nothing.
    // Castling rights come from the touch counters of the home squares; the king must
    // stand on its own square too (a hand-set position may say otherwise).
    const int home = side == WHITE ? E1 : E8;
    if (!EVADE && (b.castling_rights & castle_any_mask[side]) && b.piece_list[side][0] == home) {
        const int k = home;
        int checked = -1;  // in-check result, computed at most once
        if ((b.castling_rights & castle_short_mask[side]) && b.color[k + 1] == NO_COLOR && b.color[k + 2] == NO_COLOR) {
            checked = square_attacked(side, k) ? 1 : 0;
            if (!checked && !square_attacked(side, k + 1) && !square_attacked(side, k + 2)) {
                uint32_t m = make_move_word(k, k + 2, MOVE_CASTLE);
                *end++ = {m, static_cast<int32_t>(hist[m & MOVE_SQUARES] + BONUS_CASTLE)};
            }
        }
        if ((b.castling_rights & castle_long_mask[side]) && b.color[k - 1] == NO_COLOR && b.color[k - 2] == NO_COLOR &&
            b.color[k - 3] == NO_COLOR) {
            if (checked < 0) checked = square_attacked(side, k) ? 1 : 0;
            if (!checked && !square_attacked(side, k - 1) && !square_attacked(side, k - 2)) {
                uint32_t m = make_move_word(k, k - 2, MOVE_CASTLE);
                *end++ = {m, static_cast<int32_t>(hist[m & MOVE_SQUARES] + BONUS_CASTLE)};
            }
        }
    }

    if (ep_target_for(side) > 0) {
        const int t = b.ep_square;
        // The capturing pawns stand beside the double-stepped pawn.
        int from_sq[2];
        int n = 0;
        if (side == WHITE) {
            if (file_of(t) != 7) from_sq[n++] = t - 7;
            if (file_of(t) != 0) from_sq[n++] = t - 9;
        } else {
            if (file_of(t) != 0) from_sq[n++] = t + 7;
            if (file_of(t) != 7) from_sq[n++] = t + 9;
        }
        for (int i = 0; i < n; ++i) {
            int from = from_sq[i];
            if (b.piece[from] == PAWN && b.color[from] == static_cast<uint32_t>(side)) {
                uint32_t m = make_move_word(from, t, MOVE_EP | MOVE_CAPTURE);
                if (!EVADE || is_legal_move(side, m))
                    *end++ = {m, static_cast<int32_t>(hist[m & MOVE_SQUARES] + BONUS_EP)};
            }
        }
    }

    hist[mk] -= BONUS_MATE_KILLER;
    hist[k1] -= BONUS_KILLER1;
    hist[k2] -= BONUS_KILLER2;
    recapture_bonus[last_to] -= BONUS_RECAPTURE;

    int count = static_cast<int>(end - list);
    generated_move_count += static_cast<uint64_t>(count);
    if (list == move_list_start[ply]) move_list_start[ply + 1] = end;
    return count;
}

}  // namespace

int generate_moves(int side, int ply, move_list_entry* list) { return all_moves<false>(side, ply, list, 0, nullptr); }

int generate_captures(int side, int ply) {
    static const int V[7] = {0, 100, 300, 350, 500, 1000, 2000};
    const board_state& b = board;
    const uint32_t opp = static_cast<uint32_t>(side ^ 1);
    move_list_entry* list = move_list_start[ply];
    move_list_entry* start = list;
    const int fwd = side == WHITE ? 8 : -8;
    const int cap_first = side == WHITE ? 7 : -7;
    const int cap_second = side == WHITE ? 9 : -9;
    const int first_edge = side == WHITE ? 0 : 7;
    const int second_edge = 7 - first_edge;
    // Each side's men: all of them for the sliders' first man on each ray, the enemy's
    // to pass over a man that reaches none of them.
    const uint64_t occupied = b.men[WHITE] | b.men[BLACK];
    const uint64_t enemy = b.men[opp];
    // Pawns with work here: an enemy man diagonally ahead, or one step from promoting.
    constexpr uint64_t FILE_A = 0x0101010101010101ULL, FILE_H = FILE_A << 7;
    const uint64_t busy_pawns =
        b.kinds[side][PAWN] &
        (side == WHITE ? ((enemy & ~FILE_H) >> 7) | ((enemy & ~FILE_A) >> 9) | 0x00FF000000000000ULL
                       : ((enemy & ~FILE_A) << 7) | ((enemy & ~FILE_H) << 9) | 0x000000000000FF00ULL);

    for (int i = b.piece_count[side]; i >= 0; --i) {
        const int from = b.piece_list[side][i];
        const uint32_t p = b.piece[from];
        if (p == PAWN) {
            if (((busy_pawns >> from) & 1) == 0) continue;
            const int push = from + fwd;
            const bool promo = relative_rank(side, push) == 7;
            int caps[2];
            int ncaps = 0;
            if (file_of(from) != first_edge && b.color[from + cap_first] == opp) caps[ncaps++] = from + cap_first;
            if (file_of(from) != second_edge && b.color[from + cap_second] == opp) caps[ncaps++] = from + cap_second;
            for (int c = 0; c < ncaps; ++c) {
                int to = caps[c];
                int v = V[b.piece[to]];
                int gain = v - 100 > 0 ? v - 100 : 0;
                if (promo)
                    *list++ = {make_move_word(from, to, MOVE_CAPTURE) | promotion_flags(QUEEN), 2 * v + 999 + gain};
                else
                    *list++ = {make_move_word(from, to, MOVE_CAPTURE), v - 1 + gain};
            }
            if (promo && b.color[push] == NO_COLOR)
                *list++ = {make_move_word(from, push) | promotion_flags(QUEEN), 999};
            continue;
        }
        // Not one enemy man within the piece's reach on an empty board: no capture.
        const uint64_t reach = attack_mask[p][from] & enemy;
        if (reach == 0) continue;
        auto take = [&](int to) {
            int v = V[b.piece[to]];
            int gain = v - V[p] > 0 ? v - V[p] : 0;
            *list++ = {make_move_word(from, to, MOVE_CAPTURE), v - static_cast<int>(p) + gain};
        };
        if (p == KNIGHT || p == KING) {
            // One man in reach is the one capture; with more, the targets' own order.
            if ((reach & (reach - 1)) == 0) {
                take(__builtin_ctzll(reach));
                continue;
            }
            for (const uint8_t* t = p == KNIGHT ? knight_targets[from] : king_targets[from]; *t != 64; ++t)
                if (b.color[*t] == opp) take(*t);
            continue;
        }
        // The first man on each ray, the rays unrolled per kind (in the order 0..7).
        auto ray = [&](int d) {
            const uint64_t on_ray = ray_mask[from][d] & occupied;
            if (on_ray == 0) return;
            const int t = ray_ascends(d) ? __builtin_ctzll(on_ray) : 63 - __builtin_clzll(on_ray);
            if (b.color[t] == opp) take(t);
        };
        if (p != BISHOP) ray(0), ray(1), ray(2), ray(3);
        if (p != ROOK) ray(4), ray(5), ray(6), ray(7);
    }
    move_list_start[ply + 1] = list;
    return static_cast<int>(list - start);
}

int generate_legal_moves(int side, int ply, move_list_entry* list) {
    const int n = generate_moves(side, ply, list);
    const int k = board.piece_list[side][0];
    pin_set pins;
    find_pins(side, k, pins);
    int out = 0;
    for (int i = 0; i < n; ++i) {
        const uint32_t m = list[i].move;
        const int from = move_from(m);
        bool keep;
        if (from == k || (m & MOVE_EP))
            keep = is_legal_move(side, m);
        else if (!on_line(k, from))
            keep = true;
        else
            keep = pins.allows(k, from, move_to(m));
        if (keep) list[out++] = list[i];
    }
    if (list == move_list_start[ply]) move_list_start[ply + 1] = list + out;
    return out;
}

namespace {

// The men of `opp` that attack square k: their count (at most 2 matter) and, for a
// single attacker, the squares a move must reach to answer it (the attacker's square,
// and for a slider the squares between it and k).
inline int find_checkers(int k, int opp, uint64_t& answer_squares) {
    const board_state& b = board;
    int count = 0;
    answer_squares = 0;
    for (int d = 0; d < 8; ++d) {
        const uint8_t* ray = ray_squares[k][d];
        uint64_t between = 0;
        for (int i = 0, n = ray_length[k][d]; i < n; ++i) {
            const int t = ray[i];
            if (b.color[t] == NO_COLOR) {
                between |= square_bit[t];
                continue;
            }
            if (b.color[t] == static_cast<uint32_t>(opp) && slides_along(d, b.piece[t])) {
                ++count;
                answer_squares = between | square_bit[t];
            }
            break;
        }
    }
    for (const uint8_t* t = knight_targets[k]; *t != 64; ++t)
        if (b.piece[*t] == KNIGHT && b.color[*t] == static_cast<uint32_t>(opp)) {
            ++count;
            answer_squares = square_bit[*t];
        }
    uint64_t from_mask = attack_mask[opp == WHITE ? BLACK_PAWN_KIND : PAWN][k];
    while (from_mask) {
        const int t = __builtin_ctzll(from_mask);
        from_mask &= from_mask - 1;
        if (b.piece[t] == PAWN && b.color[t] == static_cast<uint32_t>(opp)) {
            ++count;
            answer_squares = square_bit[t];
        }
    }
    return count;
}

}  // namespace

int generate_evasions(int side, int ply, move_list_entry* list) {
    const int k = board.piece_list[side][0];
    uint64_t answer_squares = 0;
    const int checkers = find_checkers(k, side ^ 1, answer_squares);
    if (checkers > 0) {
        // A move other than the king's must take the single checking man or step
        // between it and the king, with a man that is not pinned (a pinned man cannot
        // leave its line, and that line never meets the checking one but at the king).
        // Against a double check only the king can move.
        pin_set pins;
        if (checkers == 1) find_pins(side, k, pins);
        return all_moves<true>(side, ply, list, checkers == 1 ? answer_squares : 0, &pins);
    }
    const int n = generate_moves(side, ply, list);
    int out = 0;
    {
        // Not in check after all: the plain rule (a line with the king or a knight
        // capture needs the full test, the rest cannot matter).
        for (int i = 0; i < n; ++i) {
            const uint32_t m = list[i].move;
            const int from = move_from(m), to = move_to(m);
            bool keep;
            if (from == k || (m & MOVE_EP))
                keep = is_legal_move(side, m);
            else if (!((m & MOVE_CAPTURE) && board.piece[to] == KNIGHT) && !on_line(k, to))
                keep = false;
            else
                keep = is_legal_move(side, m);
            if (keep) list[out++] = list[i];
        }
    }
    if (list == move_list_start[ply]) move_list_start[ply + 1] = list + out;
    return out;
}

void age_history() {
    for (int i = 0; i < 63; ++i) {
        killer1[i] = killer1[i + 1];
        killer2[i] = killer2[i + 1];
    }
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i < 4096; ++i) history_table[s][i] >>= 1;
}

void clear_move_ordering() {
    std::memset(history_table, 0, sizeof history_table);
    std::memset(mate_killer, 0, sizeof mate_killer);
    std::memset(killer1, 0, sizeof killer1);
    std::memset(killer2, 0, sizeof killer2);
    std::memset(recapture_bonus, 0, sizeof recapture_bonus);
}
