#include "core/eval_tables.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Source tables from White's view, rows from rank 8 down to rank 1, files a to h.
// clang-format off
const int8_t pawn_table_a[64] = {
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 3, 3, 3, 0, 0, 0,
    0, 0, 3, 6, 6, 0, 0, 0,
    0, 0, 2, 6, 6, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
};
const int8_t pawn_table_b[64] = {
     0,  0,  0,  0,  0,  0,  0,  0,
    12, 16, 24, 32, 32, 24, 16, 12,
    12, 16, 24, 32, 32, 24, 16, 12,
     8, 12, 16, 24, 24, 16, 12,  8,
     6,  8, 12, 16, 16, 12,  8,  6,
     6,  8,  8, 10, 10,  8,  8,  6,
     4,  4,  4,  0,  0,  4,  4,  4,
     0,  0,  0,  0,  0,  0,  0,  0,
};
const int8_t knight_table[64] = {
     0,  4, 10, 12, 12, 10,  4,  0,
     6, 10, 20, 22, 22, 20, 10,  6,
    12, 18, 28, 32, 32, 28, 18, 12,
    14, 22, 30, 34, 34, 30, 22, 14,
    12, 20, 28, 32, 32, 28, 20, 12,
    10, 16, 24, 28, 28, 24, 16, 10,
     2,  6, 16, 18, 18, 16,  6,  2,
     0,  2, 10, 12, 12, 10,  2,  0,
};
const int8_t bishop_table[64] = {
    10, 12, 18, 18, 18, 18, 12, 10,
    12, 25, 26, 26, 26, 26, 25, 12,
    18, 22, 28, 28, 28, 28, 22, 18,
    18, 22, 30, 30, 30, 30, 22, 18,
    18, 22, 28, 28, 28, 28, 22, 18,
    18, 22, 25, 25, 25, 25, 22, 18,
    12, 25, 22, 22, 22, 22, 25, 12,
    10, 12, 18, 18, 18, 18, 12, 10,
};
const int8_t rook_table[64] = {
     1,  2,  4,  6,  6,  4,  2,  1,
     2,  3,  5,  7,  7,  5,  3,  2,
     0,  2,  4,  6,  6,  4,  2,  0,
     0,  2,  4,  6,  6,  4,  2,  0,
    -4,  2,  4,  6,  6,  4,  2, -4,
    -4,  2,  4,  6,  6,  4,  2, -4,
    -4,  2,  4,  6,  6,  4,  2, -4,
     1,  2,  4,  6,  6,  4,  2,  1,
};
const int8_t queen_table[64] = {
      0,   0,  0,  0,  0,  0,   0,   0,
      0,   2,  4,  5,  5,  4,   2,   0,
      0,   2,  4,  6,  6,  4,   2,   0,
      0,   2,  4,  6,  6,  4,   2,   0,
    -10,   2,  4,  6,  6,  4,   2, -10,
    -10, -10,  4,  5,  5,  4, -10, -10,
    -10,   2,  2,  2,  2,  2,   2, -10,
    -10,  -8,  0,  0,  0,  0,  -8, -10,
};
const int8_t king_ending_table[64] = {
     6, 12, 18, 24, 24, 18, 12,  6,
    12, 16, 24, 30, 30, 24, 16, 12,
    14, 20, 30, 36, 36, 30, 20, 14,
    16, 22, 32, 38, 38, 32, 22, 16,
    14, 20, 30, 36, 36, 30, 20, 14,
    12, 16, 24, 30, 30, 24, 16, 12,
     6, 12, 18, 24, 24, 18, 12,  6,
     0,  6, 12, 18, 18, 12,  6,  0,
};
const int8_t king_middle_source[64] = {
      0,   8,   0, -10, -10,   8,   8,   0,
     -4,  -4,  -8, -12, -12,  -8,  -4,  -4,
    -12, -16, -20, -20, -20, -20, -16, -12,
    -16, -20, -24, -24, -24, -24, -20, -16,
    -16, -20, -24, -24, -24, -24, -20, -16,
    -12, -16, -20, -20, -20, -20, -16, -12,
     -4,  -4,  -8, -12, -12,  -8,  -4,  -4,
      0,   8,   0, -10, -10,   8,   8,   0,
};
const int8_t knight_outpost_source[64] = {
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 0, 0, 0,
    0, 1, 3, 6, 6, 3, 1, 0,
    0, 1, 4, 5, 5, 4, 1, 0,
    0, 0, 0, 2, 2, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
};
// clang-format on
// Pawn values of the endings by relative rank (same on every file).
const int ending_pawn_by_rank[8] = {0, 0, 5, 12, 18, 24, 25, 0};

// Passed and candidate pawns: stage factors and base values by relative rank.
const int passed_stage_factor[EVAL_STAGES] = {100, 110, 120, 130, 140, 150, 180, 200, 250, 280, 300};
const int passed_base[8] = {0, 1, 2, 4, 7, 14, 25, 0};
const int candidate_base[8] = {0, 1, 1, 2, 3, 5, 0, 0};

// Bishop colour rows (difference -8 .. 8) and their stage factors.
const int bishop_own_row[17] = {35, 32, 29, 26, 23, 20, 15, 10, 0, -10, -15, -20, -23, -26, -29, -32, -35};
const int bishop_own_factor[EVAL_STAGES] = {70, 73, 76, 79, 82, 85, 88, 91, 94, 97, 100};
const int bishop_enemy_row[17] = {26, 23, 20, 17, 14, 11, 8, 5, 0, -5, -8, -11, -14, -17, -20, -23, -26};
const int bishop_enemy_factor[EVAL_STAGES] = {0, 1, 4, 9, 16, 25, 36, 49, 64, 71, 100};

// King-safety source rows by stage.
const int16_t open_file_own_source[3][EVAL_STAGES] = {
    {-16, -16, -16, -16, -13, -10, -8, -7, -5, 0, 0},
    {-8, -8, -8, -8, -6, -5, -4, -3, -3, 0, 0},
    {-4, -4, -4, -4, -3, -2, -1, -1, -1, 0, 0},
};
const int16_t open_file_enemy_source[3][EVAL_STAGES] = {
    {-20, -20, -20, -20, -16, -13, -10, -8, -7, 0, 0},
    {-10, -10, -10, -10, -8, -6, -5, -4, -3, 0, 0},
    {-5, -5, -5, -5, -4, -3, -3, -2, -2, 0, 0},
};
const int16_t shield_weight_source[4][EVAL_STAGES] = {
    {18, 18, 18, 18, 16, 14, 11, 8, 6, 0, 0},
    {10, 10, 10, 10, 9, 8, 6, 5, 3, 0, 0},
    {-8, -8, -8, -8, -7, -6, -5, -3, -2, 0, 0},
    {-22, -22, -22, -22, -19, -17, -13, -10, -7, 0, 0},
};

// The king-side half of the king-zone rules, written out square by square; the queen
// side is the file mirror (a-h, b-g, c-f, d-e). Weights: 0, 1, 2 = shield weight 1, 2, 3.
// A king on the back rank counts the pawns on the second rank in front of it (weight
// 1 for the f-pawn, 2 for its own file and the far file) and advanced pawns on the
// third rank (weight 3); in the corner every shield pawn counts weight 3 only. A king
// on the second or third rank counts the pawns one rank ahead (weight 1), beside it
// (weight 2) and two ranks ahead (weight 3). A rook shut in on the h-file behind its
// own pawn is trapped for kings on f1 and g1. The fianchetto hole is g2, with f3 and
// h3 beside it.
struct zone_source {
    int king;
    int files[3][3][2];  // {square, weight}; square -1 unused
    int trap_file;
};
constexpr int N = -1;
const zone_source king_side_zone[9] = {
    {F1, {{{E2, 1}, {E3, 2}, {N, 0}}, {{F2, 0}, {F3, 2}, {N, 0}}, {{G2, 1}, {G3, 2}, {N, 0}}}, 7},
    {G1, {{{F2, 0}, {F3, 2}, {N, 0}}, {{G2, 1}, {G3, 2}, {N, 0}}, {{H2, 1}, {H3, 2}, {N, 0}}}, 7},
    {H1, {{{F2, 2}, {F3, 2}, {N, 0}}, {{G2, 2}, {G3, 2}, {N, 0}}, {{H2, 2}, {N, 0}, {N, 0}}}, N},
    {F2, {{{E3, 0}, {E2, 1}, {E4, 2}}, {{F3, 0}, {F4, 2}, {N, 0}}, {{G3, 0}, {G2, 1}, {G4, 2}}}, N},
    {G2, {{{F3, 0}, {F2, 1}, {F4, 2}}, {{G3, 0}, {G4, 2}, {N, 0}}, {{H3, 0}, {H2, 1}, {H4, 2}}}, N},
    {H2, {{{F3, 2}, {F2, 2}, {N, 0}}, {{G3, 0}, {G2, 1}, {G4, 2}}, {{H3, 0}, {H4, 2}, {N, 0}}}, N},
    {F3, {{{E4, 0}, {E3, 1}, {E5, 2}}, {{F4, 0}, {F5, 2}, {N, 0}}, {{G4, 0}, {G3, 1}, {G5, 2}}}, N},
    {G3, {{{F4, 0}, {F3, 1}, {F5, 2}}, {{G4, 0}, {G5, 2}, {N, 0}}, {{H4, 0}, {H3, 1}, {H5, 2}}}, N},
    {H3, {{{F4, 2}, {F3, 2}, {N, 0}}, {{G4, 0}, {G3, 1}, {G5, 2}}, {{H4, 0}, {H5, 2}, {N, 0}}}, N},
};

inline int mirror_file(int sq) { return sq ^ 7; }

}  // namespace

// ---- tables read by the evaluators -----------------------------------------------------
int16_t psq[2][8][64];
int16_t ending_pawn_value[2][64];
int16_t king_middle_table[2][64];
int8_t knight_outpost[2][64];

// clang-format off
const int8_t centre_table[64] = {
     0,  8, 16, 24, 24, 16,  8,  0,
     8, 32, 40, 48, 48, 40, 32,  8,
    16, 40, 56, 64, 64, 56, 40, 16,
    24, 48, 64, 72, 72, 64, 48, 24,
    24, 48, 64, 72, 72, 64, 48, 24,
    16, 40, 56, 64, 64, 56, 40, 16,
     8, 32, 40, 48, 48, 40, 32,  8,
     0,  8, 16, 24, 24, 16,  8,  0,
};
// clang-format on

const int castled_weight[EVAL_STAGES] = {15, 15, 15, 12, 9, 6, 3, 0, 0, 0, 0};
const int uncastled_weight[EVAL_STAGES] = {-30, -30, -25, -20, -10, -5, -2, 0, 0, 0, 0};
const int stage_pawn_bonus[EVAL_STAGES] = {0, 0, 0, 2, 4, 6, 9, 12, 15, 19, 23};
const int mobility_king_weight[EVAL_STAGES] = {12, 12, 12, 12, 10, 8, 6, 4, 2, 0, 0};
const int xray_king_weight[EVAL_STAGES] = {12, 12, 12, 12, 10, 8, 6, 4, 2, 0, 0};
const int rook_behind_weight[EVAL_STAGES] = {0, 0, 0, 0, 5, 5, 10, 15, 20, 25, 25};
const int enemy_rook_behind[EVAL_STAGES] = {0, 0, 0, 0, 5, 5, 10, 15, 20, 25, 25};
const int rook_stage_bonus[EVAL_STAGES] = {0, 0, 0, 2, 6, 10, 14, 18, 22, 26, 28};
const int bishop_stage_bonus[EVAL_STAGES] = {0, 0, 0, 2, 4, 6, 8, 10, 12, 14, 16};
const int king_forward_penalty[EVAL_STAGES] = {-15, -15, -12, -10, -8, -5, 0, 0, 0, 0, 0};

const int doubled_value[9] = {0, 0, -14, -14, -14, -14, -14, -14, -8};
const int isolated_by_enemy[9] = {-8, 0, 0, 0, 0, 0, 0, 0, 15};
const int isolated_by_file[8] = {-8, -10, -12, -14, -14, -12, -10, -8};
const int passed_file_bonus[8] = {12, 6, 0, 0, 0, 0, 6, 12};
const int supported_passer_ending[8] = {0, 4, 8, 16, 24, 50, 60, 60};
const int supported_passer_middle[8] = {0, 2, 4, 8, 12, 25, 30, 30};
const int outside_square_pawn_ending[8] = {0, 50, 60, 80, 120, 160, 200, 200};
const int outside_square_queen_ending[8] = {0, 5, 8, 15, 20, 30, 40, 40};
const int8_t king_support_value[8][3] = {
    {0, 0, 0}, {0, 0, 0}, {4, 4, 2}, {8, 8, 4}, {10, 10, 4}, {16, 16, 8}, {20, 10, 10}, {0, 0, 0},
};

int16_t passed_value[EVAL_STAGES][8][8];
int16_t blocked_passed_value[EVAL_STAGES][8][8];
int16_t candidate_value[EVAL_STAGES][8];
int16_t queen_passed_value[8];
int16_t queen_blocked_value[8];
int16_t bishop_own_pawns[EVAL_STAGES][17];
int16_t bishop_enemy_pawns[EVAL_STAGES][17];

const int bishop_mobility[14] = {-12, -8, -5, -2, 0, 2, 4, 6, 8, 9, 10, 10, 11, 11};
const int rook_mobility[14] = {-9, -5, -2, 0, 2, 4, 5, 6, 7, 8, 8, 8, 9, 9};

int16_t open_file_own[3][EVAL_STAGES];
int16_t open_file_enemy[3][EVAL_STAGES];
int16_t shield_weight[4][EVAL_STAGES];

// {file, class} pairs examined for a king on each file.
const int8_t king_file_class[8][3][2] = {
    {{0, FILE_NEAR}, {1, FILE_SIDE}, {2, FILE_SIDE}}, {{0, FILE_SIDE}, {1, FILE_NEAR}, {2, FILE_FAR}},
    {{0, FILE_SIDE}, {1, FILE_SIDE}, {2, FILE_NEAR}}, {{2, FILE_SIDE}, {3, FILE_SIDE}, {-1, 0}},
    {{4, FILE_SIDE}, {5, FILE_SIDE}, {-1, 0}},        {{5, FILE_NEAR}, {6, FILE_SIDE}, {7, FILE_SIDE}},
    {{5, FILE_SIDE}, {6, FILE_NEAR}, {7, FILE_SIDE}}, {{5, FILE_FAR}, {6, FILE_SIDE}, {7, FILE_NEAR}},
};

king_zone_rule king_zone_table[64];

uint64_t file_mask[8];
uint64_t adjacent_files_mask[8];
uint64_t front_span[2][64];
uint64_t rear_span[2][64];
uint64_t passed_span[2][64];
uint64_t outpost_span[2][64];
uint64_t pawn_guard_mask[2][64];
uint64_t pawn_beside_mask[64];
uint64_t support_behind_mask[2][64];
uint64_t pawn_square_mask[2][64];
uint64_t light_squares;

namespace {

// Passed, blocked-passer and candidate rows from the given passed and candidate rows.
void build_passer_rows(const int passed[EVAL_STAGES][8], const int candidate[EVAL_STAGES][8], bool file_bonus) {
    for (int st = 0; st < EVAL_STAGES; ++st) {
        for (int f = 0; f < 8; ++f) {
            for (int r = 0; r < 8; ++r) {
                int v = passed[st][r];
                if (file_bonus && v != 0) v += passed_file_bonus[f];
                passed_value[st][f][r] = static_cast<int16_t>(v);
            }
            blocked_passed_value[st][f][0] = 0;
            for (int r = 1; r < 8; ++r)
                blocked_passed_value[st][f][r] =
                    static_cast<int16_t>((3 * passed_value[st][f][r - 1] + passed_value[st][f][r]) / 4);
        }
        for (int r = 0; r < 8; ++r) candidate_value[st][r] = static_cast<int16_t>(candidate[st][r]);
    }
}

void raw_passer_rows(int passed[EVAL_STAGES][8], int candidate[EVAL_STAGES][8]) {
    for (int st = 0; st < EVAL_STAGES; ++st)
        for (int r = 0; r < 8; ++r) {
            passed[st][r] = passed_base[r] ? passed_base[r] * passed_stage_factor[st] / 100 + 25 : 0;
            candidate[st][r] = candidate_base[r] ? candidate_base[r] * passed_stage_factor[st] / 100 + 4 : 0;
        }
}

// Each stage entry becomes (3 x entry + next stage's entry) / 4, rounded down.
template <typename T>
T smooth(const T* row, int st) {
    int next = st + 1 < EVAL_STAGES ? row[st + 1] : row[st];
    return static_cast<T>(floor_div4(3 * row[st] + next));
}

void build_king_zones() {
    for (auto& z : king_zone_table) {
        z.king = -1;
        z.trap_file = -1;
        z.hole = z.hole_neighbours[0] = z.hole_neighbours[1] = -1;
        for (auto& f : z.files)
            for (auto& s : f) s = {-1, 0};
    }
    for (const zone_source& src : king_side_zone) {
        for (int mirrored = 0; mirrored < 2; ++mirrored) {
            auto map = [mirrored](int sq) { return sq < 0 ? -1 : (mirrored ? mirror_file(sq) : sq); };
            int k = map(src.king);
            king_zone_rule& z = king_zone_table[k];
            z.king = static_cast<int8_t>(k);
            for (int f = 0; f < 3; ++f)
                for (int i = 0; i < 3; ++i)
                    z.files[f][i] = {static_cast<int8_t>(map(src.files[f][i][0])),
                                     static_cast<int8_t>(src.files[f][i][1])};
            z.trap_file = static_cast<int8_t>(src.trap_file < 0 ? -1 : (mirrored ? 7 - src.trap_file : src.trap_file));
            z.hole = static_cast<int8_t>(map(G2));
            z.hole_neighbours[0] = static_cast<int8_t>(map(F3));
            z.hole_neighbours[1] = static_cast<int8_t>(map(H3));
        }
    }
}

void build_masks() {
    light_squares = 0;
    for (int f = 0; f < 8; ++f) {
        file_mask[f] = 0;
        for (int r = 0; r < 8; ++r) file_mask[f] |= 1ULL << (r * 8 + f);
    }
    for (int f = 0; f < 8; ++f)
        adjacent_files_mask[f] = (f > 0 ? file_mask[f - 1] : 0) | (f < 7 ? file_mask[f + 1] : 0);
    for (int sq = 0; sq < 64; ++sq) {
        if (square_color(sq) == 0) light_squares |= 1ULL << sq;
        int f = file_of(sq), r = rank_index(sq);
        uint64_t above = 0, below = 0;
        for (int rr = r + 1; rr < 8; ++rr) above |= 0xFFULL << (rr * 8);
        for (int rr = 0; rr < r; ++rr) below |= 0xFFULL << (rr * 8);
        uint64_t row = 0xFFULL << (r * 8);
        front_span[WHITE][sq] = file_mask[f] & above;
        front_span[BLACK][sq] = file_mask[f] & below;
        rear_span[WHITE][sq] = file_mask[f] & below;
        rear_span[BLACK][sq] = file_mask[f] & above;
        outpost_span[WHITE][sq] = adjacent_files_mask[f] & above;
        outpost_span[BLACK][sq] = adjacent_files_mask[f] & below;
        passed_span[WHITE][sq] = front_span[WHITE][sq] | outpost_span[WHITE][sq];
        passed_span[BLACK][sq] = front_span[BLACK][sq] | outpost_span[BLACK][sq];
        pawn_beside_mask[sq] = adjacent_files_mask[f] & row;
        pawn_guard_mask[WHITE][sq] = r > 0 ? adjacent_files_mask[f] & (0xFFULL << ((r - 1) * 8)) : 0;
        pawn_guard_mask[BLACK][sq] = r < 7 ? adjacent_files_mask[f] & (0xFFULL << ((r + 1) * 8)) : 0;
        support_behind_mask[WHITE][sq] = adjacent_files_mask[f] & (below | row);
        support_behind_mask[BLACK][sq] = adjacent_files_mask[f] & (above | row);
    }
    // The rule of the square: a defending king catches a pawn when, even moving
    // second, it stands next to the promotion square when the pawn arrives there, that
    // is, when its distance to that square is at most the pawn's steps (a pawn on its
    // second rank counts from the third: the double step).
    for (int side = 0; side < 2; ++side)
        for (int sq = 0; sq < 64; ++sq) {
            pawn_square_mask[side][sq] = 0;
            int rr = relative_square(side, sq) >> 3;
            if (rr == 0 || rr == 7) continue;
            int steps = 7 - rr;
            if (steps > 5) steps = 5;
            int promo = relative_square(side, 56 + file_of(sq));
            for (int k = 0; k < 64; ++k) {
                int d = std::max(std::abs(file_of(k) - file_of(promo)), std::abs(rank_index(k) - rank_index(promo)));
                if (d <= steps) pawn_square_mask[side][sq] |= 1ULL << k;
            }
        }
}

}  // namespace

void eval_tables_init() {
    for (int sq = 0; sq < 64; ++sq) {
        int src = sq ^ 56;  // row of the source table
        int rr = rank_index(sq);
        int16_t w[8] = {0,
                        static_cast<int16_t>(pawn_table_a[src] + pawn_table_b[src] - 4),
                        static_cast<int16_t>(knight_table[src] - 15),
                        static_cast<int16_t>(bishop_table[src] - 20),
                        static_cast<int16_t>(rook_table[src]),
                        static_cast<int16_t>(queen_table[src] / 2),
                        static_cast<int16_t>(king_ending_table[src]),
                        0};
        for (int p = 0; p < 8; ++p) {
            psq[WHITE][p][sq] = w[p];
            psq[BLACK][p][sq ^ 56] = w[p];
        }
        ending_pawn_value[WHITE][sq] = static_cast<int16_t>(ending_pawn_by_rank[rr]);
        ending_pawn_value[BLACK][sq ^ 56] = static_cast<int16_t>(ending_pawn_by_rank[rr]);
        king_middle_table[WHITE][sq] = king_middle_source[src];
        king_middle_table[BLACK][sq ^ 56] = king_middle_source[src];
        knight_outpost[WHITE][sq] = knight_outpost_source[src];
        knight_outpost[BLACK][sq ^ 56] = knight_outpost_source[src];
    }
    for (int st = 0; st < EVAL_STAGES; ++st)
        for (int d = 0; d < 17; ++d) {
            bishop_own_pawns[st][d] = static_cast<int16_t>(bishop_own_row[d] * bishop_own_factor[st] / 100);
            bishop_enemy_pawns[st][d] = static_cast<int16_t>(bishop_enemy_row[d] * bishop_enemy_factor[st] / 100);
        }
    for (int r = 0; r < 8; ++r)
        queen_passed_value[r] = static_cast<int16_t>(passed_base[r] ? passed_base[r] * 280 / 100 + 25 : 0);
    queen_blocked_value[0] = 0;
    for (int r = 1; r < 8; ++r)
        queen_blocked_value[r] = static_cast<int16_t>((3 * queen_passed_value[r - 1] + queen_passed_value[r]) / 4);

    // Unsmoothed rows until the first search prepares them.
    int passed[EVAL_STAGES][8], candidate[EVAL_STAGES][8];
    raw_passer_rows(passed, candidate);
    build_passer_rows(passed, candidate, false);
    std::memcpy(open_file_own, open_file_own_source, sizeof open_file_own);
    std::memcpy(open_file_enemy, open_file_enemy_source, sizeof open_file_enemy);
    std::memcpy(shield_weight, shield_weight_source, sizeof shield_weight);

    build_king_zones();
    build_masks();
}

void eval_tables_prepare() {
    int passed[EVAL_STAGES][8], candidate[EVAL_STAGES][8];
    raw_passer_rows(passed, candidate);
    int smooth_passed[EVAL_STAGES][8], smooth_candidate[EVAL_STAGES][8];
    for (int r = 0; r < 8; ++r) {
        int prow[EVAL_STAGES], crow[EVAL_STAGES];
        for (int st = 0; st < EVAL_STAGES; ++st) {
            prow[st] = passed[st][r];
            crow[st] = candidate[st][r];
        }
        for (int st = 0; st < EVAL_STAGES; ++st) {
            smooth_passed[st][r] = smooth(prow, st);
            smooth_candidate[st][r] = smooth(crow, st);
        }
    }
    build_passer_rows(smooth_passed, smooth_candidate, true);
    for (int c = 0; c < 3; ++c)
        for (int st = 0; st < EVAL_STAGES; ++st) {
            open_file_own[c][st] = smooth(open_file_own_source[c], st);
            open_file_enemy[c][st] = smooth(open_file_enemy_source[c], st);
        }
    for (int w = 0; w < 4; ++w)
        for (int st = 0; st < EVAL_STAGES; ++st) shield_weight[w][st] = smooth(shield_weight_source[w], st);
}
