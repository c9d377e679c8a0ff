// Geometry tables built once at start-up: attack masks of each piece kind, rays and
// the lines between squares, the walk tables of the generators, and the capture
// ordering table.
#pragma once

#include <cstdint>

#include "core/board.h"

// Piece kinds of the attack masks: 1 white pawn, 2..6 pieces, 7 black pawn.
constexpr int BLACK_PAWN_KIND = 7;
// Squares a man of a kind reaches from a square on an empty board (pawns: captures).
extern uint64_t attack_mask[8][64];
extern uint64_t square_bit[64];
extern int8_t direction[64][64];       // square step from one square to another on a line
extern int8_t direction_0x88[64][64];  // the same step in 0x88 coordinates
// Rays: the squares from a square towards each of 8 directions (0-3 straight, 4-7 diagonal).
extern uint8_t ray_squares[64][8][7];
extern uint8_t ray_length[64][8];
extern uint64_t ray_mask[64][8];  // the squares of ray_squares[sq][d] as a set
// Whether the squares of ray d run upwards (a1 towards h8): rays 0, 1, 4 and 5.
inline constexpr bool ray_ascends(int d) { return d == 0 || d == 1 || d == 4 || d == 5; }
extern int8_t line_index[64][64];  // direction index 0..7 from one square to another, -1 none
extern uint32_t mvv_lva[7][7];

// Knight and king target squares of each square (king squares in ray order), each
// list ended by 64.
extern uint8_t knight_targets[64][9];
extern uint8_t king_targets[64][9];

// Rays a slider walks, in the order of its steps: bishops 4-7, rooks 0-3, queens 0-7.
inline constexpr int first_ray[8] = {0, 0, 0, 4, 0, 0, 0, 0};
inline constexpr int last_ray[8] = {0, 0, 0, 8, 4, 8, 0, 0};

void init_ray_tables();

inline bool on_line(int a, int b) { return (attack_mask[QUEEN][a] & square_bit[b]) != 0; }

// The first occupied square from `from` towards direction index d (line_index), -1 when
// the ray runs off the board empty.
inline int first_man_on_ray(int from, int d) {
    const uint8_t* ray = ray_squares[from][d];
    for (int i = 0, n = ray_length[from][d]; i < n; ++i)
        if (board.color[ray[i]] != NO_COLOR) return ray[i];
    return -1;
}
// Whether a man of code p moves along direction index d (0-3 straight, 4-7 diagonal).
inline bool slides_along(int d, uint32_t p) { return d < 4 ? (p == ROOK || p == QUEEN) : (p == BISHOP || p == QUEEN); }
