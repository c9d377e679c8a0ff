#include "core/attacks.h"

#include "core/output.h"
#include "core/state.h"

bool (*in_check_fn)(int side) = in_check_by_rays;

bool refuse_king_capture_position(int side) {
    if (!in_check_by_rays(side ^ 1)) return false;
    if (uci_mode)
        level_printf(LVL_UCI, "info string illegal position: the side not to move is in check\n");
    else
        level_printf(LVL_ERROR, "Illegal position: the side not to move is in check\n");
    return true;
}

bool attacked_by(int s, int opp, bool pawns) {
    const board_state& b = board;
    for (int d = 0; d < 8; ++d) {
        const uint8_t* ray = ray_squares[s][d];
        for (int i = 0, n = ray_length[s][d]; i < n; ++i) {
            int t = ray[i];
            if (b.color[t] == NO_COLOR) continue;
            if (b.color[t] == static_cast<uint32_t>(opp) && slides_along(d, b.piece[t])) return true;
            break;
        }
    }
    for (const uint8_t* t = knight_targets[s]; *t != 64; ++t)
        if (b.piece[*t] == KNIGHT && b.color[*t] == static_cast<uint32_t>(opp)) return true;
    if (pawns) {
        // Squares from which a pawn of `opp` attacks s.
        uint64_t from_mask = attack_mask[opp == WHITE ? BLACK_PAWN_KIND : PAWN][s];
        while (from_mask) {
            int t = __builtin_ctzll(from_mask);
            from_mask &= from_mask - 1;
            if (b.piece[t] == PAWN && b.color[t] == static_cast<uint32_t>(opp)) return true;
        }
    }
    int ek = b.piece_list[opp][0];
    return ek >= 0 && king_distance[s][ek] == 1;
}

void find_pins(int side, int king_square, pin_set& pins) {
    const board_state& b = board;
    pins.count = 0;
    const uint32_t own = static_cast<uint32_t>(side), opp = static_cast<uint32_t>(side ^ 1);
    for (int d = 0; d < 8; ++d) {
        const uint8_t* ray = ray_squares[king_square][d];
        const int n = ray_length[king_square][d];
        int i = 0;
        while (i < n && b.color[ray[i]] == NO_COLOR) ++i;
        if (i >= n || b.color[ray[i]] != own) continue;
        const int shield = ray[i];
        for (++i; i < n && b.color[ray[i]] == NO_COLOR; ++i) {
        }
        if (i < n && b.color[ray[i]] == opp && slides_along(d, b.piece[ray[i]])) {
            pins.square[pins.count] = static_cast<uint8_t>(shield);
            pins.dir[pins.count] = static_cast<int8_t>(d);
            ++pins.count;
        }
    }
}

bool is_legal_move(int side, uint32_t move) {
    board_state& b = board;
    const int from = move_from(move), to = move_to(move);
    const uint32_t p = b.piece[from];
    const uint32_t saved_piece = b.piece[to], saved_color = b.color[to];
    int cap_sq = -1, rook_from = -1, rook_to = -1;
    b.piece[to] = p;
    b.color[to] = static_cast<uint32_t>(side);
    b.piece[from] = EMPTY;
    b.color[from] = NO_COLOR;
    if (move & MOVE_EP) {
        cap_sq = to > from ? to - 8 : to + 8;
        b.piece[cap_sq] = EMPTY;
        b.color[cap_sq] = NO_COLOR;
    } else if (move & MOVE_CASTLE) {
        rook_from = to > from ? from + 3 : from - 4;
        rook_to = to > from ? to - 1 : to + 1;
        b.piece[rook_to] = ROOK;
        b.color[rook_to] = static_cast<uint32_t>(side);
        b.piece[rook_from] = EMPTY;
        b.color[rook_from] = NO_COLOR;
    }
    const int32_t king_sq = b.piece_list[side][0];
    if (p == KING) b.piece_list[side][0] = to;

    const bool illegal = in_check_fn(side);

    b.piece_list[side][0] = king_sq;
    if (rook_from >= 0) {
        b.piece[rook_from] = ROOK;
        b.color[rook_from] = static_cast<uint32_t>(side);
        b.piece[rook_to] = EMPTY;
        b.color[rook_to] = NO_COLOR;
    }
    if (cap_sq >= 0) {
        b.piece[cap_sq] = PAWN;
        b.color[cap_sq] = static_cast<uint32_t>(side ^ 1);
    }
    b.piece[from] = p;
    b.color[from] = static_cast<uint32_t>(side);
    b.piece[to] = saved_piece;
    b.color[to] = saved_color;
    return !illegal;
}

bool square_attacked(int side, int square) { return attacked_by(square, side ^ 1, true); }

bool in_check(int side) {
    const board_state& b = board;
    const int k = b.piece_list[side][0];
    const int opp = side ^ 1;
    const uint64_t kbit = square_bit[k];
    for (int i = b.piece_count[opp]; i >= 1; --i) {
        const int sq = b.piece_list[opp][i];
        if (b.color[sq] != static_cast<uint32_t>(opp)) continue;  // captured in a trial move
        const uint32_t p = b.piece[sq];
        if (p == PAWN || !(attack_mask[p][sq] & kbit)) continue;
        if (p == KNIGHT) return true;
        // A slider on a line with the king: the first man met from the king decides.
        const int d = line_index[k][sq];
        const uint8_t* ray = ray_squares[k][d];
        for (int j = 0, n = ray_length[k][d]; j < n; ++j) {
            int t = ray[j];
            if (b.color[t] == NO_COLOR) continue;
            if (t == sq) return true;
            break;
        }
    }
    const int ek = b.piece_list[opp][0];
    if (king_distance[k][ek] == 1) return true;
    uint64_t from_mask = attack_mask[opp == WHITE ? BLACK_PAWN_KIND : PAWN][k];
    while (from_mask) {
        int t = __builtin_ctzll(from_mask);
        from_mask &= from_mask - 1;
        if (b.piece[t] == PAWN && b.color[t] == static_cast<uint32_t>(opp)) return true;
    }
    return false;
}

bool in_check_by_rays(int side) {
    const int k = board.piece_list[side][0];
    // An enemy White pawn can only attack a king on the third rank or higher, a Black
    // one only a king on the sixth rank or lower.
    const bool pawns = side == BLACK ? rank_index(k) >= 2 : rank_index(k) <= 5;
    return attacked_by(k, side ^ 1, pawns);
}
