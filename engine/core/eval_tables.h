// Tables of the evaluation: piece-square values, stage weights, pawn-structure values,
// square masks and the king-zone rules. Built once by eval_init; the passed-pawn,
// candidate and king-safety rows are smoothed over the stages by eval_prepare.
#pragma once

#include <cstdint>

#include "core/board.h"
#include "core/types.h"  // EVAL_STAGES

// Square seen from a side: the same square for White, mirrored by rank for Black.
inline constexpr int relative_square(int side, int sq) { return side == WHITE ? sq : sq ^ 56; }
inline constexpr int square_color(int sq) { return ((sq >> 3) + sq + 1) & 1; }  // 1 dark (a1), 0 light
inline constexpr int floor_div4(int v) { return v >= 0 ? v / 4 : -((-v + 3) / 4); }

// ---- piece-square and per-square values -----------------------------------------
extern int16_t psq[2][8][64];             // [side][piece code][square]
extern int16_t ending_pawn_value[2][64];  // pawn values of the endings, by square
extern int16_t king_middle_table[2][64];  // middle-game king placement
extern int8_t knight_outpost[2][64];
extern const int8_t centre_table[64];  // bare-king mating table (0 corners .. 72 centre)

// ---- stage weights (index: stage 0..10) ---------------------------------------------
extern const int castled_weight[EVAL_STAGES];    // weight 1
extern const int uncastled_weight[EVAL_STAGES];  // weight 2
extern const int stage_pawn_bonus[EVAL_STAGES];
extern const int mobility_king_weight[EVAL_STAGES];  // weight 4
extern const int xray_king_weight[EVAL_STAGES];      // weight 5
extern const int rook_behind_weight[EVAL_STAGES];    // weight 6
extern const int enemy_rook_behind[EVAL_STAGES];
extern const int rook_stage_bonus[EVAL_STAGES];
extern const int bishop_stage_bonus[EVAL_STAGES];
extern const int king_forward_penalty[EVAL_STAGES];

// ---- pawn structure -----------------------------------------------------------------
extern const int doubled_value[9];      // by own pawns on the file
extern const int isolated_by_enemy[9];  // by enemy pawns on the file
extern const int isolated_by_file[8];
extern const int passed_file_bonus[8];
extern const int supported_passer_ending[8];  // pure pawn endings, by relative rank
extern const int supported_passer_middle[8];
extern const int outside_square_pawn_ending[8];
extern const int outside_square_queen_ending[8];
extern const int8_t king_support_value[8][3];  // [rank][king distance to the stop square]

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

// ---- single weights of the positional terms (centipawns) -----------------------------
// Bishop and rook rays: the first man met, then the man behind it.
constexpr int BATTERY_ROOK = 8;         // a rook behind an own rook on its file or the enemy king's ranks
constexpr int BATTERY_QUEEN = 10;       // ... behind an own queen
constexpr int PIN_ON_KING = 20;         // an enemy man pinned to its king
constexpr int PIN_ON_PIECE = 16;        // ... to a piece worth more than the slider, of another kind
constexpr int DISCOVERY_ON_KING = 16;   // an own man in front of the enemy king
constexpr int DISCOVERY_ON_PIECE = 8;   // ... of an enemy piece worth more than the slider
constexpr int XRAY_LESSER_PIECE = 3;    // an enemy piece worth no more than the slider behind a man
constexpr int ROOK_XRAY_OWN_ROOK = 4;   // a rook seeing an own rook behind a man on its file
constexpr int ROOK_XRAY_OWN_QUEEN = 5;  // ... an own queen
constexpr int MOBILITY_MOST = 13;       // squares counted at most (last row of the mobility tables)

// Pawns.
constexpr int PAWN_BLOCKED = 5;             // an enemy man right in front of a pawn
constexpr int CENTRE_PAWN_HELD = 15;        // a d- or e-pawn on its home square with a man in front
constexpr int BACKWARD_HALF_OPEN = 2;       // an unsupported pawn on its second or third rank of a half-open file
constexpr int PASSER_KING_FILES_BASE = -4;  // a passer in a pawn ending: this plus the step for each
constexpr int PASSER_KING_FILES_STEP = 2;   // file between it and the enemy king
constexpr int PAWN_ENDING_SCALE_NUM = 3;    // pure pawn endings: the pawn terms times 3/2 ...
constexpr int PAWN_ENDING_SCALE_DEN = 2;
constexpr int PAWN_ENDING_KING_WEIGHT = 2;  // ... and the kings' placement twice

// Knights and bishops.
constexpr int MINOR_UNDEVELOPED = 10;  // a knight or bishop still on its home square
constexpr int KNIGHT_NEAR_KING = 5;    // a knight less than KNIGHT_NEAR_DISTANCE from the enemy king
constexpr int KNIGHT_NEAR_DISTANCE = 4;
constexpr int KNIGHT_OUTPOST_GUARD_FACTOR = 3;  // a guarded outpost counts this many times
constexpr int BISHOP_OUTPOST_GUARD_FACTOR = 2;
constexpr int OUTPOST_GUARDED_ATTACKABLE = 2;  // a guarded outpost square that enemy pawns may attack
constexpr int BISHOP_PAIR = 20;                // the second bishop, and this much more per stage
constexpr int BISHOP_PAIR_PER_STAGE = 2;
constexpr int BISHOP_TRAPPED = 100;  // a bishop on a7/h7 shut in by the enemy b6/g6 pawn
constexpr int BISHOP_HEMMED = 50;    // ... by the enemy pawn on b7/g7

// Rooks and queens near the enemy king.
constexpr int ROOK_ON_SEVENTH = 30;  // with the enemy king on its last rank
constexpr int ROOK_ON_EIGHTH = 5;
constexpr int ROOK_NEAR_KING_RANK = 5;  // a rook on the enemy king's rank or one beside it
constexpr int QUEEN_ON_SEVENTH = 5;     // with the enemy king on its last rank (not in the opening)
constexpr int QUEEN_ON_EIGHTH = 3;

// The king.
constexpr int KING_MIDDLE_DIVISOR = 10;  // the blend of the king's two tables is divided by this
constexpr int KING_ENDING_DIVISOR = 8;   // ... and from ENDING_STAGE on by this
constexpr int HOLE_WITHOUT_BISHOP = 10;  // an enemy man on the fianchetto hole with no bishop of its colour
constexpr int SHIELD_NO_PAWN = 3;        // the shield_weight row of a file without a shield pawn
constexpr int ROOK_SHUT_IN = 30;         // a rook shut in behind its own pawn beside the king

// The whole.
constexpr int CLOSED_CENTRE_KNIGHT = 8;           // a knight more than bishops, for each rammed d- or e-file
constexpr int POSITIONAL_UNIT = 256;              // pval is the positional sum's scale in these units
constexpr int BARE_OPPOSITE_BISHOPS_DIVISOR = 2;  // opposite bishops alone: the sum divided by this
constexpr int DRAWISH_SCALE_NUM = 3;              // opposite bishops with even pieces, or rooks alone: the sum
constexpr int DRAWISH_SCALE_DEN = 4;              // times 3/4

// ---- king safety (live rows smoothed by eval_prepare) -------------------------------
enum { FILE_NEAR = 0, FILE_SIDE = 1, FILE_FAR = 2 };
extern int16_t open_file_own[3][EVAL_STAGES];  // by class near/side/far
extern int16_t open_file_enemy[3][EVAL_STAGES];
extern int16_t shield_weight[4][EVAL_STAGES];  // shield weights 1, 2, 3 and "no pawn"
// Files examined beside a king on each file, with their class (-1 ends the row).
extern const int8_t king_file_class[8][3][2];

// The king-zone rules: for every king square of a castling zone (White's view; Black
// uses the rank mirror), the pawn shield per file (squares looked at in order, the
// first one holding an own pawn gives its weight), the file of the rook trapped
// behind its own pawn, and the fianchetto hole with its two neighbours.
struct shield_square {
    int8_t square;  // -1 unused
    int8_t weight;  // 0..2: shield weights 1..3
};
struct king_zone_rule {
    int8_t king;                // king square
    shield_square files[3][3];  // per shield file, up to three squares
    int8_t trap_file;           // -1 none
    int8_t hole;                // knight-file pawn's home square
    int8_t hole_neighbours[2];
};
// Indexed by the king's square from its side's view; king -1 outside the zones.
extern king_zone_rule king_zone_table[64];

// ---- masks (bit per square) ---------------------------------------------------------
extern uint64_t file_mask[8];
extern uint64_t adjacent_files_mask[8];
extern uint64_t front_span[2][64];           // own file, in front
extern uint64_t rear_span[2][64];            // own file, behind
extern uint64_t passed_span[2][64];          // own and neighbouring files, in front
extern uint64_t outpost_span[2][64];         // neighbouring files in front: enemy pawns that may attack
extern uint64_t pawn_guard_mask[2][64];      // squares of own pawns guarding the square
extern uint64_t pawn_beside_mask[64];        // neighbouring files, same rank
extern uint64_t support_behind_mask[2][64];  // neighbouring files, same rank or behind
extern uint64_t pawn_square_mask[2][64];     // defending king squares that catch the pawn
extern uint64_t light_squares;

void eval_tables_init();
void eval_tables_prepare();
