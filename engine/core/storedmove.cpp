#include "core/storedmove.h"

#include "core/board.h"
#include "core/makemove.h"
#include "core/movegen.h"

namespace {

// Castling as the generator allows it: the right, empty squares between king and rook,
// and the king's square and the two it crosses not attacked.
uint32_t castling_word(int side, int from, int to) {
    const board_state& b = board;
    if (!(b.castling_rights & castle_any_mask[side])) return 0;
    const int k = b.piece_list[side][0];
    if (k != from || k != (side == WHITE ? E1 : E8)) return 0;
    if (to == k + 2) {
        if (!(b.castling_rights & castle_short_mask[side]) || b.color[k + 1] != NO_COLOR || b.color[k + 2] != NO_COLOR)
            return 0;
        if (square_attacked(side, k) || square_attacked(side, k + 1) || square_attacked(side, k + 2)) return 0;
    } else {
        if (!(b.castling_rights & castle_long_mask[side]) || b.color[k - 1] != NO_COLOR || b.color[k - 2] != NO_COLOR ||
            b.color[k - 3] != NO_COLOR)
            return 0;
        if (square_attacked(side, k) || square_attacked(side, k - 1) || square_attacked(side, k - 2)) return 0;
    }
    return make_move_word(from, to, MOVE_CASTLE);
}

uint32_t pawn_word(int side, int from, int to, int code) {
    const board_state& b = board;
    const uint32_t opp = static_cast<uint32_t>(side ^ 1);
    const int fwd = side == WHITE ? 8 : -8;
    if (relative_rank(side, from) == 7) return 0;
    const int push = from + fwd;
    uint32_t word;
    if (to == push) {
        if (b.color[to] != NO_COLOR) return 0;
        word = make_move_word(from, to);
    } else if (to == push + fwd) {
        if (relative_rank(side, push) != 2 || b.color[push] != NO_COLOR || b.color[to] != NO_COLOR) return 0;
        return code == 0 ? make_move_word(from, to) : 0;
    } else {
        const int first_edge = side == WHITE ? 0 : 7;
        const bool diagonal = (to == from + (side == WHITE ? 7 : -7) && file_of(from) != first_edge) ||
                              (to == from + (side == WHITE ? 9 : -9) && file_of(from) != 7 - first_edge);
        if (!diagonal) return 0;
        if (b.color[to] == opp) {
            word = make_move_word(from, to, MOVE_CAPTURE);
        } else if (to == ep_target_for(side) && b.color[to] == NO_COLOR) {
            return code == 0 ? make_move_word(from, to, MOVE_EP | MOVE_CAPTURE) : 0;
        } else {
            return 0;
        }
    }
    if (relative_rank(side, push) == 7) return (code >= KNIGHT && code <= QUEEN) ? word | promotion_flags(code) : 0;
    return code == 0 ? word : 0;
}

}  // namespace

uint32_t generated_move_word(int side, uint32_t move15) {
    const board_state& b = board;
    const int from = move_from(move15), to = move_to(move15), code = move_promotion(move15);
    const uint32_t own = static_cast<uint32_t>(side);
    if (b.color[from] != own || b.color[to] == own) return 0;
    if (b.color[to] != NO_COLOR && b.piece[to] == KING) return 0;
    const uint32_t p = b.piece[from];
    if (p == PAWN) return pawn_word(side, from, to, code);
    if (code != 0) return 0;
    if (p == KING && (to == from + 2 || to == from - 2)) return castling_word(side, from, to);
    if (p < KNIGHT || p > KING || !(attack_mask[p][from] & square_bit[to])) return 0;
    if (p == BISHOP || p == ROOK || p == QUEEN) {
        const int d = direction[from][to];
        for (int s = from + d; s != to; s += d)
            if (b.color[s] != NO_COLOR) return 0;
    }
    return make_move_word(from, to, b.color[to] != NO_COLOR ? MOVE_CAPTURE : 0);
}

uint32_t check_stored_move(int side, uint32_t move15, int* reps) {
    return try_move(side, generated_move_word(side, move15), reps);
}
