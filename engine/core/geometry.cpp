#include "core/geometry.h"

#include <cstring>
#include <initializer_list>

uint64_t attack_mask[8][64];
uint64_t square_bit[64];
int8_t direction[64][64];
int8_t direction_0x88[64][64];
uint8_t ray_squares[64][8][7];
uint8_t ray_length[64][8];
uint64_t ray_mask[64][8];
int8_t line_index[64][64];
uint32_t mvv_lva[7][7];
uint8_t knight_targets[64][9];
uint8_t king_targets[64][9];

namespace {

struct step {
    int df, dr;
};
// Directions as (file, rank) steps, in walk order.
const step knight_steps[8] = {{-2, 1}, {2, -1}, {2, 1}, {-2, -1}, {-1, 2}, {1, -2}, {1, 2}, {-1, -2}};
const step bishop_steps[4] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
const step rook_steps[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
const step queen_steps[8] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
// The eight rays of the attack tests: 0-3 straight, 4-7 diagonal.
const step ray_steps[8] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {-1, 1}, {1, 1}, {1, -1}, {-1, -1}};

bool on_board(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

void build_masks(int kind, const step* steps, int nsteps, bool slider) {
    for (int from = 0; from < 64; ++from) {
        uint64_t mask = 0;
        for (int d = 0; d < nsteps; ++d) {
            int f = file_of(from) + steps[d].df, r = rank_index(from) + steps[d].dr;
            while (on_board(f, r)) {
                mask |= 1ULL << (r * 8 + f);
                if (!slider) break;
                f += steps[d].df;
                r += steps[d].dr;
            }
        }
        attack_mask[kind][from] = mask;
    }
}

void build_pawn_masks(int kind, int side) {
    const int fwd = side == WHITE ? 1 : -1;
    for (int from = 0; from < 64; ++from) {
        const int f = file_of(from), r = rank_index(from);
        uint64_t mask = 0;
        for (int df : {-1, 1})
            if (on_board(f + df, r + fwd)) mask |= 1ULL << ((r + fwd) * 8 + f + df);
        attack_mask[kind][from] = mask;
    }
}

}  // namespace

void init_ray_tables() {
    for (int sq = 0; sq < 64; ++sq) square_bit[sq] = 1ULL << sq;
    build_masks(KNIGHT, knight_steps, 8, false);
    build_masks(BISHOP, bishop_steps, 4, true);
    build_masks(ROOK, rook_steps, 4, true);
    build_masks(QUEEN, queen_steps, 8, true);
    build_masks(KING, queen_steps, 8, false);
    build_pawn_masks(PAWN, WHITE);
    build_pawn_masks(BLACK_PAWN_KIND, BLACK);

    std::memset(direction, 0, sizeof direction);
    std::memset(direction_0x88, 0, sizeof direction_0x88);
    std::memset(line_index, -1, sizeof line_index);
    for (int from = 0; from < 64; ++from) {
        for (int d = 0; d < 8; ++d) {
            int f = file_of(from) + ray_steps[d].df, r = rank_index(from) + ray_steps[d].dr;
            int n = 0;
            while (on_board(f, r)) {
                int to = r * 8 + f;
                ray_squares[from][d][n++] = static_cast<uint8_t>(to);
                direction[from][to] = static_cast<int8_t>(ray_steps[d].dr * 8 + ray_steps[d].df);
                direction_0x88[from][to] = static_cast<int8_t>(ray_steps[d].dr * 16 + ray_steps[d].df);
                line_index[from][to] = static_cast<int8_t>(d);
                f += ray_steps[d].df;
                r += ray_steps[d].dr;
            }
            ray_length[from][d] = static_cast<uint8_t>(n);
            ray_mask[from][d] = 0;
            for (int i = 0; i < n; ++i) ray_mask[from][d] |= 1ULL << ray_squares[from][d][i];
        }
        int n = 0;
        for (const step& s : knight_steps) {
            int f = file_of(from) + s.df, r = rank_index(from) + s.dr;
            if (on_board(f, r)) knight_targets[from][n++] = static_cast<uint8_t>(r * 8 + f);
        }
        knight_targets[from][n] = 64;
        n = 0;
        for (int d = 0; d < 8; ++d)
            if (ray_length[from][d]) king_targets[from][n++] = ray_squares[from][d][0];
        king_targets[from][n] = 64;
    }

    static const int V[7] = {0, 100, 300, 350, 500, 1000, 2000};
    for (int a = 0; a < 7; ++a)
        for (int v = 0; v < 7; ++v) {
            if (a == 0 || v == 0) {
                mvv_lva[a][v] = 0;
                continue;
            }
            int d = V[v] - V[a];
            int x = (V[v] + (d > 0 ? d : 0)) / 10;
            if (d > 0) x += 64;
            if (d < 0) x -= a;
            mvv_lva[a][v] = static_cast<uint32_t>(x) << 17;
        }
}
