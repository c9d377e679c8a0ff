#include <gtest/gtest.h>

#include "core/perft.h"
#include "core/output.h"
#include "test_env.h"

namespace {
double count(const std::string& fen, int depth) {
    int side = setup(fen);
    return perftest(depth, side);
}

const char* kStart = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
const char* kKiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
const char* kRookEnding = "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -";
const char* kPromotions = "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1";
const char* kTalkchess = "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8";
const char* kSymmetric = "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10";
}  // namespace

TEST(Perft, ShallowCountsOfTheStandardPositions) {
    EXPECT_EQ(count(kStart, 1), 20);
    EXPECT_EQ(count(kStart, 2), 400);
    EXPECT_EQ(count(kStart, 4), 197281);
    EXPECT_EQ(count(kKiwipete, 1), 48);
    EXPECT_EQ(count(kKiwipete, 3), 97862);
    EXPECT_EQ(count(kRookEnding, 4), 43238);
    EXPECT_EQ(count(kPromotions, 3), 9467);
    EXPECT_EQ(count(kTalkchess, 3), 62379);
    EXPECT_EQ(count(kSymmetric, 3), 89890);
}

TEST(Perft, CountsEveryPlyAndClampsTheDepth) {
    setup_start();
    perftest(3, WHITE);
    EXPECT_EQ(perft_counts[1], 20);
    EXPECT_EQ(perft_counts[2], 400);
    EXPECT_EQ(perft_counts[3], 8902);
    EXPECT_EQ(perftest(0, WHITE), 20);  // depth 0 counts to depth 1
}

TEST(Perft, EvasionsInCheckAreCountedExactly) {
    // Positions whose first ply is in check or full of pins.
    EXPECT_EQ(count("8/8/8/8/k2Pp2Q/8/8/3K4 b - d3 0 1", 1), 6);  // ep capture would expose the king
    EXPECT_EQ(count("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 3), 13744);
    EXPECT_EQ(count("3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1", 6), 1134888);
    EXPECT_EQ(count("8/8/4k3/8/2p5/8/B2P2K1/8 w - - 0 1", 6), 1015133);
    EXPECT_EQ(count("8/5bk1/8/2Pp4/8/1K6/8/8 w - d6 0 1", 6), 824064);
    EXPECT_EQ(count("5k2/8/8/8/8/8/8/4K2R w K - 0 1", 6), 661072);
    EXPECT_EQ(count("r3k3/1K6/8/8/8/8/8/8 w q - 0 1", 6), 367724);
    EXPECT_EQ(count("2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1", 6), 3821001);
    EXPECT_EQ(count("4k3/1P6/8/8/8/8/K7/8 w - - 0 1", 6), 217342);
    EXPECT_EQ(count("K1k5/8/P7/8/8/8/8/8 w - - 0 1", 6), 2217);
}

// The published deep counts; run on the release tree only (label slow).
TEST(DISABLED_PerftLong, PublishedDeepCounts) {
    EXPECT_EQ(count(kStart, 6), 119060324);
    EXPECT_EQ(count(kKiwipete, 5), 193690690);
    EXPECT_EQ(count(kRookEnding, 6), 11030083);
    EXPECT_EQ(count(kPromotions, 5), 15833292);
    EXPECT_EQ(count(kTalkchess, 5), 89941194);
    EXPECT_EQ(count(kSymmetric, 5), 164075551);
}
