#include <gtest/gtest.h>

#include <set>

#include "core/board.h"
#include "core/fen.h"
#include "core/movegen.h"
#include "test_env.h"

namespace {
// The key generator written out again, independently of the engine's code.
struct mwc {
    uint32_t a = 0x12345678u, b = 0x87654321u;
    uint32_t next() {
        a = 36969u * (a & 0xFFFFu) + (a >> 16);
        b = 18000u * (b & 0xFFFFu) + (b >> 16);
        return (a << 16) + (b & 0xFFFFu);
    }
};
}  // namespace

TEST(Keys, DrawnInStorageOrderFromTheFixedGenerator) {
    core_tables();
    mwc g;
    for (int c = 0; c < 2; ++c)
        for (int code = 0; code < 8; ++code)
            for (int sq = 0; sq < 64; ++sq) {
                uint64_t lo = g.next();
                uint64_t hi = g.next();
                ASSERT_EQ(zobrist_keys[c][code][sq], lo | (hi << 32)) << c << " " << code << " " << sq;
            }
    EXPECT_EQ(zobrist_spare[0], g.next());
    EXPECT_EQ(zobrist_spare[1], g.next());
}

TEST(Keys, EnPassantAndCastlingRowsEnterTheKey) {
    setup("4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1");
    ASSERT_EQ(board.ep_square, E3);
    EXPECT_EQ(board.hash_key, compute_position_key());
    uint64_t with_ep = board.hash_key;
    uint64_t pieces = zobrist_keys[WHITE][KING][E1] ^ zobrist_keys[BLACK][KING][E8] ^ zobrist_keys[WHITE][PAWN][E4] ^
                      zobrist_keys[BLACK][PAWN][D4];
    EXPECT_EQ(with_ep, pieces ^ zobrist_keys[WHITE][7][1 + E3] ^ zobrist_keys[BLACK][7][0]);
    setup("4k3/8/8/8/3pP3/8/8/4K3 b - - 0 1");
    EXPECT_EQ(board.hash_key, pieces ^ zobrist_keys[WHITE][7][0] ^ zobrist_keys[BLACK][7][0]);
}

TEST(Board, RecomputeOnTheStartPosition) {
    setup_start();
    for (int s = 0; s < 2; ++s) {
        EXPECT_EQ(board.piece_count[s], 15);
        EXPECT_EQ(board.piece[board.piece_list[s][0]], static_cast<uint32_t>(KING));
        EXPECT_EQ(board.piece_list[s][16], -1);
        for (int f = 0; f < 8; ++f) EXPECT_EQ(board.pawns_on_file[s][f], 1);
        EXPECT_EQ(board.material[s], 8 * 80 + 2 * 340 + 2 * 350 + 2 * 500 + 1001);
        EXPECT_EQ(board.pawn_material[s], 8 * 80);
        std::set<int> squares(board.piece_list[s], board.piece_list[s] + 16);
        EXPECT_EQ(squares.size(), 16u);
        for (int i = 0; i <= board.piece_count[s]; ++i)
            EXPECT_EQ(board.list_index[board.piece_list[s][i]], static_cast<uint32_t>(i));
    }
    EXPECT_EQ(board.castling_rights, 15u);
}

TEST(Board, RightsFollowTheTouchCounters) {
    setup_start();
    board.moved[H1] = 2;  // the rook went away and came back
    recompute_board();
    EXPECT_EQ(board.castling_rights, static_cast<uint32_t>(CASTLE_WHITE_LONG | CASTLE_BLACK_LONG | CASTLE_BLACK_SHORT));
    board.moved[E8] = 1;
    recompute_board();
    EXPECT_EQ(board.castling_rights, static_cast<uint32_t>(CASTLE_WHITE_LONG));
    board.castled[WHITE] = 1;
    recompute_board();
    EXPECT_EQ(board.castling_rights, 0u);
}

TEST(Geometry, DistancesAndRanks) {
    core_tables();
    EXPECT_EQ(king_distance[A1][H8], 7);
    EXPECT_EQ(square_distance_sum[A1][H8], 14);
    EXPECT_EQ(file_distance[B3][G1], 5);
    EXPECT_EQ(rank_distance[B3][G1], 2);
    EXPECT_EQ(relative_rank(WHITE, E2), 1);
    EXPECT_EQ(relative_rank(BLACK, E2), 6);
    EXPECT_EQ(mvv_lva[PAWN][PAWN], 10u << 17);
    EXPECT_EQ(mvv_lva[PAWN][QUEEN], 254u << 17);
    EXPECT_EQ(mvv_lva[QUEEN][PAWN], 5u << 17);
}
