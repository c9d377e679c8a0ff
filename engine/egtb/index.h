// Index tables of the Nalimov members: king pairs, square ranks with their exclusions,
// pair bases, and the board symmetries the members and the bitbases fold by.
#pragma once

#include <cstdint>

namespace egtb_index {

// Piece kinds of the square ranks: a pawn without exclusion, a pawn of the side to
// move, knight, bishop, rook, queen (each skips the squares attacking the king at once).
enum : int { KIND_p, KIND_P, KIND_N, KIND_B, KIND_R, KIND_Q, KINDS };

constexpr int PAWN_PAIRS = 1806;
constexpr int PAWNLESS_PAIRS = 462;
constexpr uint16_t NO_PAIR = 4000;
// King-pair tables: 0 for tables with pawns, 1 without.
enum : int { PAIRS_PAWNS, PAIRS_PAWNLESS };

// [table][first king][second king]; the first king is the side to move's.
extern uint16_t pair_number[2][64][64];
// Squares of each pair number.
extern uint8_t pair_first[2][PAWN_PAIRS], pair_second[2][PAWN_PAIRS];
extern const int pair_count[2];
// [kind][king][square]: the square's number in the king's row, 255 when skipped.
extern uint8_t square_rank[KINDS][64][64];
extern uint8_t rank_count[KINDS][64];
// Pair bases: running sums over the pairs of one piece's and two pieces' counts.
extern uint32_t base1[KINDS][2][PAWN_PAIRS];
extern uint32_t base2[KINDS][KINDS][2][PAWN_PAIRS];
extern uint32_t base1_total[KINDS][2];
extern uint32_t base2_total[KINDS][KINDS][2];

// Folding masks: file mirror (7 on files e-h), quadrant fold into a1-d4.
extern uint8_t file_mirror[64];
extern uint8_t quadrant[64];

inline constexpr int reflect(int sq) { return ((sq & 7) << 3) | (sq >> 3); }
inline constexpr bool above_diagonal(int sq) { return (sq >> 3) > (sq & 7); }
inline constexpr bool on_diagonal(int sq) { return (sq >> 3) == (sq & 7); }
inline constexpr int triangular(int n) { return n * (n - 1) / 2; }

// Rank of a piece of `kind` on `sq` in the row of king k2, skipping the square of king k1.
inline int piece_rank(int kind, int k2, int k1, int sq) {
    const uint8_t* row = square_rank[kind][k2];
    return row[sq] - (k1 < sq && row[k1] != 255 ? 1 : 0);
}
// Squares a piece of `kind` may take in the row of king k2 once king k1 stands.
inline int piece_room(int kind, int k2, int k1) {
    return rank_count[kind][k2] - (square_rank[kind][k2][k1] != 255 ? 1 : 0);
}

}  // namespace egtb_index
