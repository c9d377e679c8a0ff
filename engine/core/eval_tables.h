// Tables of the evaluation: piece-square values, stage weights, pawn-structure values,
// square masks and the king-zone rules. Built once by eval_init; the passed-pawn,
// candidate and king-safety rows are smoothed over the stages by eval_prepare.
#pragma once

#include <cstdint>

#include "core/board.h"
#include "core/types.h"   // EVAL_STAGES

// Square seen from a side: the same square for White, mirrored by rank for Black.
inline constexpr int relative_square(int side, int sq) { return side == WHITE ? sq : sq ^ 56; }
inline constexpr int square_color(int sq) { return ((sq >> 3) + sq + 1) & 1; }   // 1 dark (a1), 0 light
inline constexpr int floor_div4(int v) { return v >= 0 ? v / 4 : -((-v + 3) / 4); }

// ---- piece-square and per-square values -----------------------------------------
extern int16_t psq[2][8][64];               // [side][piece code][square]
extern int16_t ending_pawn_value[2][64];    // pawn values of the endings, by square
extern int16_t king_middle_table[2][64];    // middle-game king placement
extern int8_t knight_outpost[2][64];
extern const int8_t centre_table[64];       // bare-king mating table (0 corners .. 72 centre)

// ---- stage weights (index: stage 0..10) ---------------------------------------------
extern const int castled_weight[EVAL_STAGES];        // weight 1
extern const int uncastled_weight[EVAL_STAGES];      // weight 2
extern const int stage_pawn_bonus[EVAL_STAGES];
extern const int mobility_king_weight[EVAL_STAGES];  // weight 4
extern const int xray_king_weight[EVAL_STAGES];      // weight 5
extern const int rook_behind_weight[EVAL_STAGES];    // weight 6
extern const int enemy_rook_behind[EVAL_STAGES];
extern const int rook_stage_bonus[EVAL_STAGES];
extern const int bishop_stage_bonus[EVAL_STAGES];
extern const int king_forward_penalty[EVAL_STAGES];

// ---- pawn structure -----------------------------------------------------------------
extern const int doubled_value[9];                  // by own pawns on the file
extern const int isolated_by_enemy[9];              // by enemy pawns on the file
extern const int isolated_by_file[8];
extern const int passed_file_bonus[8];
extern const int supported_passer_ending[8];        // pure pawn endings, by relative rank
extern const int supported_passer_middle[8];
extern const int outside_square_pawn_ending[8];
extern const int outside_square_queen_ending[8];
extern const int8_t king_support_value[8][3];       // [rank][king distance to the stop square]

// Live rows (smoothed by eval_prepare): [stage][file][relative rank].
extern int16_t passed_value[EVAL_STAGES][8][8];
extern int16_t blocked_passed_value[EVAL_STAGES][8][8];
extern int16_t candidate_value[EVAL_STAGES][8];
extern int16_t queen_passed_value[8];
extern int16_t queen_blocked_value[8];

// Bishop colour terms, [stage][difference + 8].
extern int16_t bishop_own_pawns[EVAL_STAGES][17];
extern int16_t bishop_enemy_pawns[EVAL_STAGES][17];

// ---- mobility -----------------------------------------------------------------------
extern const int bishop_mobility[14];
extern const int rook_mobility[14];

// ---- king safety (live rows smoothed by eval_prepare) -------------------------------
enum { FILE_NEAR = 0, FILE_SIDE = 1, FILE_FAR = 2 };
extern int16_t open_file_own[3][EVAL_STAGES];     // by class near/side/far
extern int16_t open_file_enemy[3][EVAL_STAGES];
extern int16_t shield_weight[4][EVAL_STAGES];     // shield weights 1, 2, 3 and "no pawn"
// Files examined beside a king on each file, with their class (-1 ends the row).
extern const int8_t king_file_class[8][3][2];

// The king-zone rules: for every king square of a castling zone (White's view; Black
// uses the rank mirror), the pawn shield per file (squares looked at in order, the
// first one holding an own pawn gives its weight), the file of the rook trapped
// behind its own pawn, and the fianchetto hole with its two neighbours.
struct shield_square {
    int8_t square;   // -1 unused
    int8_t weight;   // 0..2: shield weights 1..3
};
struct king_zone_rule {
    int8_t king;                       // king square
    shield_square files[3][3];         // per shield file, up to three squares
    int8_t trap_file;                  // -1 none
    int8_t hole;                       // knight-file pawn's home square
    int8_t hole_neighbours[2];
};
// Indexed by the king's square from its side's view; king -1 outside the zones.
extern king_zone_rule king_zone_table[64];

// ---- masks (bit per square) ---------------------------------------------------------
extern uint64_t file_mask[8];
extern uint64_t adjacent_files_mask[8];
extern uint64_t front_span[2][64];        // own file, in front
extern uint64_t rear_span[2][64];         // own file, behind
extern uint64_t passed_span[2][64];       // own and neighbouring files, in front
extern uint64_t outpost_span[2][64];      // neighbouring files in front: enemy pawns that may attack
extern uint64_t pawn_guard_mask[2][64];   // squares of own pawns guarding the square
extern uint64_t pawn_beside_mask[64];     // neighbouring files, same rank
extern uint64_t support_behind_mask[2][64];  // neighbouring files, same rank or behind
extern uint64_t pawn_square_mask[2][64];  // defending king squares that catch the pawn
extern uint64_t light_squares;

void eval_tables_init();
void eval_tables_prepare();
