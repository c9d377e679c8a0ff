#include "core/board.h"

#include <cstdlib>
#include <cstring>

board_state board;
history_entry game_history[HISTORY_SIZE];
uint8_t repetition_count[2][4096];
int32_t piece_value[8] = {0, 80, 340, 350, 500, 1001, 0, 0};
uint64_t zobrist_keys[2][8][64];
uint32_t zobrist_spare[2];

// clang-format off
const uint8_t castling_squares[64] = {
    1, 0, 0, 0, 1, 0, 0, 1,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    1, 0, 0, 0, 1, 0, 0, 1,
};
// clang-format on

uint8_t file_distance[64][64];
uint8_t rank_distance[64][64];
uint8_t square_distance_sum[64][64];
uint8_t king_distance[64][64];
uint8_t rank_of[64];
uint8_t rank_from_black[64];

namespace {
uint32_t mwc_a = 0x12345678u;
uint32_t mwc_b = 0x87654321u;
}  // namespace

uint32_t random32() {
    mwc_a = 36969u * (mwc_a & 0xFFFFu) + (mwc_a >> 16);
    mwc_b = 18000u * (mwc_b & 0xFFFFu) + (mwc_b >> 16);
    return (mwc_a << 16) + (mwc_b & 0xFFFFu);
}

void init_zobrist_keys() {
    for (int c = 0; c < 2; ++c)
        for (int code = 0; code < 8; ++code)
            for (int sq = 0; sq < 64; ++sq) {
                uint64_t lo = random32();
                uint64_t hi = random32();
                zobrist_keys[c][code][sq] = lo | (hi << 32);
            }
    zobrist_spare[0] = random32();
    zobrist_spare[1] = random32();
}

void init_geometry_tables() {
    for (int a = 0; a < 64; ++a)
        for (int b = 0; b < 64; ++b) {
            int fd = std::abs(file_of(a) - file_of(b));
            int rd = std::abs(rank_index(a) - rank_index(b));
            file_distance[a][b] = static_cast<uint8_t>(fd);
            rank_distance[a][b] = static_cast<uint8_t>(rd);
            square_distance_sum[a][b] = static_cast<uint8_t>(fd + rd);
            king_distance[a][b] = static_cast<uint8_t>(fd > rd ? fd : rd);
        }
    for (int sq = 0; sq < 64; ++sq) {
        rank_of[sq] = static_cast<uint8_t>(rank_index(sq));
        rank_from_black[sq] = static_cast<uint8_t>(7 - rank_index(sq));
    }
}

uint32_t castling_rights_from_counters() {
    uint32_t rights = 0;
    if (board.castled[WHITE] == 0 && board.moved[E1] == 0) {
        if (board.moved[H1] == 0) rights |= CASTLE_WHITE_SHORT;
        if (board.moved[A1] == 0) rights |= CASTLE_WHITE_LONG;
    }
    if (board.castled[BLACK] == 0 && board.moved[E8] == 0) {
        if (board.moved[H8] == 0) rights |= CASTLE_BLACK_SHORT;
        if (board.moved[A8] == 0) rights |= CASTLE_BLACK_LONG;
    }
    return rights;
}

void recompute_board() {
    board_state& b = board;
    b.piece_count[0] = b.piece_count[1] = 0;
    for (int s = 0; s < 2; ++s) {
        b.material[s] = b.pawn_material[s] = b.piece_material[s] = 0;
        for (int f = 0; f < 8; ++f) b.pawns_on_file[s][f] = 0;
        b.piece_list[s][0] = -1;
    }
    uint64_t key = 0;
    for (int sq = 0; sq < 64; ++sq) {
        uint32_t p = b.piece[sq];
        if (p == EMPTY) continue;
        int c = static_cast<int>(b.color[sq]);
        count_material(b, c, p, sq, 1);
        if (p == KING) {
            b.piece_list[c][0] = sq;
            b.list_index[sq] = 0;
        } else if (b.piece_count[c] < MAX_LISTED_MEN) {
            // A set-up with more men than a list holds is refused afterwards
            // (check_position counts the squares); the list keeps the first ones.
            int idx = ++b.piece_count[c];
            b.piece_list[c][idx] = sq;
            b.list_index[sq] = static_cast<uint32_t>(idx);
        }
        key ^= zobrist_keys[c][p][sq];
    }
    key ^= ep_key(b.ep_square);
    b.castling_rights = castling_rights_from_counters();
    key ^= castle_key(b.castling_rights);
    b.hash_key = key;
    b.piece_list[WHITE][b.piece_count[WHITE] + 1] = -1;
    b.piece_list[BLACK][b.piece_count[BLACK] + 1] = -1;
    // The sets hold exactly the listed men (a set-up with too many keeps only those).
    for (int c = 0; c < 2; ++c) {
        b.men[c] = 0;
        for (uint64_t& set : b.kinds[c]) set = 0;
        for (int i = b.piece_count[c]; i >= 0; --i) {
            const int sq = b.piece_list[c][i];
            if (sq < 0) continue;
            b.men[c] |= 1ULL << sq;
            b.kinds[c][b.piece[sq] & 7] |= 1ULL << sq;
        }
    }
}

uint64_t compute_position_key() {
    uint64_t key = 0;
    for (int sq = 0; sq < 64; ++sq)
        if (board.piece[sq] != EMPTY) key ^= zobrist_keys[board.color[sq]][board.piece[sq]][sq];
    key ^= ep_key(board.ep_square);
    key ^= castle_key(board.castling_rights);
    return key;
}

void set_start_position() {
    static const uint32_t back_rank[8] = {ROOK, KNIGHT, BISHOP, QUEEN, KING, BISHOP, KNIGHT, ROOK};
    for (int sq = 0; sq < 64; ++sq) {
        board.piece[sq] = EMPTY;
        board.color[sq] = NO_COLOR;
        board.moved[sq] = 0;
    }
    for (int f = 0; f < 8; ++f) {
        board.piece[f] = back_rank[f];
        board.color[f] = WHITE;
        board.piece[8 + f] = PAWN;
        board.color[8 + f] = WHITE;
        board.piece[48 + f] = PAWN;
        board.color[48 + f] = BLACK;
        board.piece[56 + f] = back_rank[f];
        board.color[56 + f] = BLACK;
    }
    board.ep_square = -1;
    board.castled[0] = board.castled[1] = 0;
    recompute_board();
}

void start_history(int side_to_move) {
    std::memset(repetition_count, 0, sizeof repetition_count);
    repetition_count[side_to_move ^ 1][board.key_lo() & 0xFFF] = 1;
    history_entry& h = game_history[0];
    h = history_entry{};
    h.key = board.hash_key;
    h.ep_square = -1;
    h.score = NO_SCORE;
    board.ply = 0;
    board.last_irreversible = 0;
}
