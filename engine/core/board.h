// The engine's one position in memory: board arrays, piece lists, material,
// position keys, the game history and the repetition counters.
#pragma once

#include <cstdint>

// Colours and piece codes.
enum : int { WHITE = 0, BLACK = 1, NO_COLOR = 2 };
enum : int { EMPTY = 0, PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6 };

// Squares: a1 = 0, b1 = 1, ..., h8 = 63.
// clang-format off
enum : int {
    A1, B1, C1, D1, E1, F1, G1, H1,
    A2, B2, C2, D2, E2, F2, G2, H2,
    A3, B3, C3, D3, E3, F3, G3, H3,
    A4, B4, C4, D4, E4, F4, G4, H4,
    A5, B5, C5, D5, E5, F5, G5, H5,
    A6, B6, C6, D6, E6, F6, G6, H6,
    A7, B7, C7, D7, E7, F7, G7, H7,
    A8, B8, C8, D8, E8, F8, G8, H8
};
// clang-format on
// The man a letter names, either case (P N B R Q K), or EMPTY.
inline constexpr int piece_from_letter(char c) {
    switch (c | 0x20) {
        case 'p': return PAWN;
        case 'n': return KNIGHT;
        case 'b': return BISHOP;
        case 'r': return ROOK;
        case 'q': return QUEEN;
        case 'k': return KING;
        default: return EMPTY;
    }
}

inline constexpr int file_of(int sq) { return sq & 7; }
inline constexpr int rank_index(int sq) { return sq >> 3; }

// Game plies the history holds (entries 0..959): no game move is made past it.
constexpr int MAX_GAME_PLY = 960;
// Plies of one search (the search stops at ply 63).
constexpr int MAX_SEARCH_PLY = 64;
// History entries: game plies, the search's plies, and the variation walks that run
// from the root (principal-variation text, table-move walks of up to 300 plies).
constexpr int HISTORY_SIZE = MAX_GAME_PLY + 2 * MAX_SEARCH_PLY + 320 + 32;

// Castling-rights bits.
enum : uint32_t { CASTLE_WHITE_LONG = 1, CASTLE_WHITE_SHORT = 2, CASTLE_BLACK_LONG = 4, CASTLE_BLACK_SHORT = 8 };
inline constexpr uint32_t castle_any_mask[2] = {3, 12};
inline constexpr uint32_t castle_long_mask[2] = {1, 4};
inline constexpr uint32_t castle_short_mask[2] = {2, 8};

// Men besides the king that a side's piece list holds (a legal position has 15 at most).
constexpr int MAX_LISTED_MEN = 30;

struct board_state {
    uint32_t piece[64];                         // piece code per square, EMPTY when none
    uint32_t color[64];                         // WHITE, BLACK or NO_COLOR
    int32_t piece_list[2][MAX_LISTED_MEN + 2];  // [0] the king, 1..piece_count the others, then -1
    int32_t piece_count[2];                     // men of the side without the king
    uint32_t list_index[64];                    // index of the square's man in its side's list
    int32_t material[2];                        // sum of piece_value
    int32_t pawn_material[2];
    int32_t piece_material[2];
    uint64_t men[2];       // squares of each side's listed men, king included
    uint64_t kinds[2][8];  // those squares per piece code (kinds[side][PAWN]: the pawns)
    uint8_t pawns_on_file[2][8];
    uint32_t castled[2];  // 1 once the side has castled
    uint32_t moved[64];   // touch counter per square
    uint32_t castling_rights;
    int32_t ep_square;          // square behind a double-stepped pawn, or -1
    uint64_t hash_key;          // low word selects the bucket, high word is the lock
    int32_t last_irreversible;  // ply of the last capture, pawn move or castling
    int32_t ply;                // moves made since the game's start position

    uint32_t key_lo() const { return static_cast<uint32_t>(hash_key); }
    uint32_t key_hi() const { return static_cast<uint32_t>(hash_key >> 32); }
};
extern board_state board;

struct history_entry {
    uint64_t key;               // position key before the move (low word key_lo)
    int32_t last_irreversible;  // before the move
    uint32_t move;              // the move made
    int32_t score;              // score recorded by the game loop (30001 = none)
    uint32_t flags;             // search or game-loop flag word of the move
    uint8_t castling_rights;    // before the move
    int8_t captured;            // piece code on the destination before the move
    int8_t ep_square;           // before the move (-1 as 0xFF)
    uint8_t has_text;           // san holds the move's text
    char san[12];

    uint32_t key_lo() const { return static_cast<uint32_t>(key); }
    uint32_t key_hi() const { return static_cast<uint32_t>(key >> 32); }
};
extern history_entry game_history[HISTORY_SIZE];

// Score of a history entry that carries none.
constexpr int32_t NO_SCORE = 30001;

// Per side that made the move, a counter indexed by key_lo & 0xFFF.
extern uint8_t repetition_count[2][4096];

// Material values by piece code (the "new" set at start).
extern int32_t piece_value[8];
inline constexpr int32_t piece_values_new[8] = {0, 80, 340, 350, 500, 1001, 0, 0};
inline constexpr int32_t piece_values_old[8] = {0, 100, 320, 330, 500, 1001, 0, 0};

// 1 at a1, e1, h1, a8, e8, h8.
extern const uint8_t castling_squares[64];

// Position keys [colour][code][square]; low word = key_lo part. Code 7 rows hold the
// en-passant keys (White) and the castling keys (Black).
extern uint64_t zobrist_keys[2][8][64];
inline uint64_t ep_key(int ep_sq) { return zobrist_keys[WHITE][7][ep_sq + 1]; }
inline uint64_t castle_key(uint32_t rights) { return zobrist_keys[BLACK][7][rights]; }

// Marsaglia multiply-with-carry generator that draws the keys.
uint32_t random32();
void init_zobrist_keys();
// The two extra draws after the key table.
extern uint32_t zobrist_spare[2];

// Geometry tables: distances between two squares and ranks seen from each side.
extern uint8_t file_distance[64][64];
extern uint8_t rank_distance[64][64];
extern uint8_t square_distance_sum[64][64];
extern uint8_t king_distance[64][64];
extern uint8_t rank_of[64];
extern uint8_t rank_from_black[64];
inline int relative_rank(int side, int sq) { return side == WHITE ? rank_of[sq] : rank_from_black[sq]; }
void init_geometry_tables();

// Castling rights as the touch counters and castled flags allow them.
uint32_t castling_rights_from_counters();
// Rebuilds lists, counts, material, pawn files, rights and the key from piece/color.
void recompute_board();
// Full key of the current position, computed from scratch (for checks).
uint64_t compute_position_key();

// Sets up the initial position (moved counters, castled flags cleared).
void set_start_position();
// New game history at the current position: entry 0 holds the key, ply and
// last_irreversible 0, the repetition counters count the position once for the
// side that is not to move.
void start_history(int side_to_move);

// The en-passant square when `side` may take on it: on the sixth rank seen from that
// side (the side to move set by hand can leave a square of the other side), else -1.
inline int ep_target_for(int side) {
    const int t = board.ep_square;
    return t > 0 && rank_index(t) == (side == WHITE ? 5 : 2) ? t : -1;
}

// Counts a man of `side` on `sq` into the material sums and the pawn files (`sign` 1)
// or out of them (`sign` -1).
inline void count_material(board_state& b, int side, uint32_t piece, int sq, int sign) {
    const int32_t v = sign * piece_value[piece];
    b.material[side] += v;
    if (piece == PAWN) {
        b.pawn_material[side] += v;
        b.pawns_on_file[side][file_of(sq)] = static_cast<uint8_t>(b.pawns_on_file[side][file_of(sq)] + sign);
    } else {
        b.piece_material[side] += v;
    }
}

// Whether a pawn of `side` stands beside `sq` on its rank: one that could take en
// passant a pawn just arrived on `sq` with a double step.
inline bool pawn_beside(int sq, int side) {
    const board_state& b = board;
    return (file_of(sq) > 0 && b.piece[sq - 1] == PAWN && b.color[sq - 1] == static_cast<uint32_t>(side)) ||
           (file_of(sq) < 7 && b.piece[sq + 1] == PAWN && b.color[sq + 1] == static_cast<uint32_t>(side));
}

// Whether the game can take one more move (the history is not full).
inline bool game_has_room() { return board.ply + 1 < MAX_GAME_PLY; }
