// Attack, check, pin and legality tests on the board.
#pragma once

#include <cstdint>

#include "core/board.h"
#include "core/geometry.h"
#include "core/types.h"

// Whether `move` of `side` leaves its king unattacked (tried on the board arrays only).
bool is_legal_move(int side, uint32_t move);

// Men of `side` pinned to its king: their squares and the direction index of the pin.
// A pinned man may only move along that direction; this is what move_exposes_king tells
// move by move, worked out once per position.
struct pin_set {
    int count = 0;
    uint8_t square[8];
    int8_t dir[8];
    // True when the move (origin on a line with the king) keeps the king covered.
    bool allows(int king_square, int from, int to) const {
        for (int i = 0; i < count; ++i)
            if (square[i] == from) return line_index[king_square][to] == dir[i];
        return true;
    }
};
void find_pins(int side, int king_square, pin_set& pins);
bool square_attacked(int side, int square);
bool in_check(int side);
bool in_check_by_rays(int side);
extern bool (*in_check_fn)(int side);

// A side to move set by hand (white, black) can leave the other king in check, and no
// search, count or benchmark may take a king: for such a position this says so (as an
// info string under UCI) and returns true.
bool refuse_king_capture_position(int side);

// Whether the move just made by `side` (now on the board) checks the enemy king: the
// moved man from its new square, or a line the vacated square opens. Castling and en
// passant, and the rare king move next to the other king, take the full test.
[[gnu::always_inline]] inline bool move_gives_check(int side, uint32_t move) {
    const board_state& b = board;
    const int ek = b.piece_list[side ^ 1][0];
    if (move & (MOVE_CASTLE | MOVE_EP)) return in_check_fn(side ^ 1);
    const int from = static_cast<int>(move & 63), to = static_cast<int>((move >> 6) & 63);
    const uint32_t p = b.piece[to];
    const int kind = p == PAWN ? (side == WHITE ? PAWN : BLACK_PAWN_KIND) : static_cast<int>(p);
    if (attack_mask[kind][to] & square_bit[ek]) {
        if (p == PAWN || p == KNIGHT) return true;
        if (p == KING) return in_check_fn(side ^ 1);
        if (first_man_on_ray(ek, line_index[ek][to]) == to) return true;
    }
    const int d = line_index[ek][from];
    if (d < 0) return false;
    const int t = first_man_on_ray(ek, d);
    return t >= 0 && b.color[t] == static_cast<uint32_t>(side) && slides_along(d, b.piece[t]);
}

// Whether the move of a man on a line with its king opens that line to an enemy slider
// (the man leaves the line; the board is read as if its origin were empty).
inline bool move_exposes_king(int side, int king_square, uint32_t move) {
    const int from = move_from(move), to = move_to(move);
    const int d = line_index[king_square][from];
    if (d < 0 || line_index[king_square][to] == d) return false;
    const board_state& b = board;
    const uint8_t* ray = ray_squares[king_square][d];
    for (int i = 0, n = ray_length[king_square][d]; i < n; ++i) {
        const int t = ray[i];
        if (t == from || b.color[t] == NO_COLOR) continue;
        return b.color[t] == static_cast<uint32_t>(side ^ 1) && slides_along(d, b.piece[t]);
    }
    return false;
}

// Whether a man of colour `opp` attacks square s; pawn attacks only when `pawns` is set.
bool attacked_by(int s, int opp, bool pawns);
