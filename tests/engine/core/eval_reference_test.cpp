// Scores pinned by an independent reference of the evaluation, written in Python from
// the evaluation's written rules alone (tools/eval_reference/eval_reference.py; the
// comparison over many thousands of positions is bench/eval_compare.py). A change of any
// term shows up here as a difference from that second source.
#include <gtest/gtest.h>

#include <string>

#include "core/eval.h"
#include "eval_env.h"

namespace {
struct pinned {
    const char* fen;
    int score;  // for the side to move
};
}  // namespace

TEST(EvalReference, ScoresAgreeWithTheIndependentReference) {
    eval_env();
    const pinned rows[] = {
        // ending structure
        {"6k1/pp3p1p/2p3p1/3B4/7P/P5PK/2q2P2/r7 w - - 0 1", -1341},
        {"2k5/p1n1rpp1/8/4P2p/KP3B2/8/2P3PP/3R4 w - h6 0 1", 165},
        {"8/1K1P4/8/7B/8/6k1/8/8 w - - 0 1", 528},
        {"8/p2nk3/1p1b2p1/1PpB1pP1/P1P5/4B3/4KP2/8 w - - 0 1", 100},
        // ending structure closed
        {"8/6p1/6P1/P3p3/4P1Pk/5P2/r2BKb2/2R5 b - - 0 1", -375},
        {"7r/1Rpk1p2/P3p3/P3P3/3P3N/r3PKPP/8/8 b - - 0 1", -303},
        {"8/1Q6/7P/p3p3/3kP3/1P4P1/8/6K1 w - - 0 1", 1273},
        {"5bk1/1p1r1p2/p6p/P1p1pNpP/2P1P1P1/1R6/1P2KP2/8 w - - 0 1", 38},
        // ending structure ending-scaled
        {"8/5K2/8/8/5p2/8/2p5/5Nk1 w - - 0 1", -28},
        {"4k3/7p/8/7N/2K5/6p1/8/8 b - - 0 1", 27},
        {"4r3/8/8/8/2bk4/8/2RK4/8 b - - 0 1", 98},
        {"B7/6K1/1r6/8/8/1N2k3/8/8 w - - 0 1", 36},
        // ending structure scaled
        {"R7/8/8/5k2/5p2/4r2p/7K/8 b - - 0 1", 270},
        {"8/6k1/5RP1/6P1/8/6K1/2r5/8 b - - 0 1", -211},
        {"8/p2R2p1/1p2Pk1p/1P2p3/P4p2/5P2/4K1PP/2r5 b - - 0 1", -49},
        {"8/5k2/8/5p2/2r5/4RK2/8/8 w - - 0 1", -97},
        // ending structure scaled closed
        {"4k3/1R3pp1/3p4/3PpP2/P2pB1Pb/3Pr3/6KP/8 b - - 0 1", -127},
        {"8/7p/1k2p1bP/2B1P1P1/2K5/8/8/8 b - - 0 1", -120},
        {"8/1p5p/p1k1p2P/P1P1P1P1/1P1K4/8/2b5/B7 w - - 0 1", 214},
        {"2kb4/5pp1/3p4/3PpP2/P2p2P1/1R1P1B1K/r6P/8 w - - 0 1", 101},
        // ending structure scaled ending-scaled
        {"8/1r6/6R1/8/8/3k4/8/K7 b - - 0 1", 8},
        {"6k1/3R4/4K3/r7/8/8/8/8 w - - 0 1", 11},
        {"8/8/8/8/k2K4/6r1/8/1R6 w - - 0 1", 5},
        {"2k5/4K3/7r/3R4/8/8/8/8 b - - 0 1", -6},
        // ending structure, wrong bishop draw ending-scaled
        {"8/8/2B1k3/8/7P/2K5/8/8 b - - 0 1", 0},
        {"8/8/8/8/p7/8/8/K3kb2 b - - 0 1", 0},
        {"8/8/8/8/p7/8/8/K3kb2 b - - 0 1", 0},
        // ending structure, wrong bishop draw scaled ending-scaled
        {"7k/8/8/5K1B/8/3P2b1/7P/8 b - - 0 1", 0},
        {"1k6/8/p7/2p5/1B6/K5P1/6b1/8 w - - 0 1", 0},
        {"k7/8/P5b1/8/p6B/4P3/2K5/8 w - - 0 1", 0},
        {"7b/6kP/8/1K6/4B3/6p1/8/8 b - - 0 1", 0},
        // king against pawns
        {"8/2P5/8/5P2/4P3/4k3/K7/8 w - - 0 1", 2062},
        {"8/7P/8/8/8/5K2/1k6/8 b - - 0 1", -842},
        {"8/8/PPPK4/1k6/8/8/8/8 w - - 0 1", 2242},
        {"8/8/2k5/8/1K6/4P3/8/8 w - - 0 1", 714},
        // king against pieces
        {"8/8/K2R2k1/8/8/8/8/8 b - - 0 1", -900},
        {"5Q2/3k4/8/3K4/8/8/8/8 w - - 0 1", 1433},
        {"3B4/1B5K/8/8/8/8/8/1k6 w - - 0 1", 1132},
        {"5K2/1B6/8/8/8/1k4N1/8/8 w - - 0 1", 915},
        // middle-game structure
        {"6k1/1ppn1p1p/p2b2p1/3P3n/1P1N1P2/P1N3P1/7P/4B1K1 w - - 0 1", -36},
        {"r1b1r1k1/ppppbppp/2n2n2/q5B1/3P4/2NB1N2/PPP2PPP/R2QR1K1 b - - 0 1", -51},
        {"7k/p1pp2pp/8/8/3p2P1/1P6/3qr2P/1K5R b - g3 0 1", 1372},
        {"r1bqkbnr/1p1p1ppp/p1n1p3/2p5/3PP3/2N2N2/PPP1BPPP/R1BQK2R b KQkq d3 0 1", -69},
        {"6k1/B1b2p1p/p1p1r2n/1p4p1/2n1P2q/P1Q3NP/1P2NPP1/2R3K1 b - - 0 1", 18},
        {"5k2/R5p1/4B3/4p2p/7P/2B3P1/1K3n2/3r4 w - - 0 1", 320},
        {"2r3r1/1p1k1p2/p2nb3/3p2pp/5B2/2PBR1PP/PP4K1/4R3 w - g6 0 1", 75},
        {"2b5/5kpp/2p5/3pp3/P2q4/P3N1P1/2P1RPKP/1R6 b - - 0 1", -105},
        // middle-game structure closed
        {"rn3rk1/ppp2ppp/5n2/3q4/1b1Pp1P1/1P2P3/P2NBP1P/R1BQ1RK1 w - - 0 1", -41},
        {"r1bk2r1/pppn1p1p/3b1p2/3Np3/4P3/5N2/PPP2PPP/1K1R1B1R b - - 0 1", -86},
        {"r2rb1k1/1q2bpp1/4p3/p3p3/N1P1P1p1/3NQ3/1P1R1PPP/R5K1 w - - 0 1", 100},
        {"6k1/p2r1p1p/b7/6p1/PP2pNq1/B3P3/2r2nBK/R3Q3 w - g6 0 1", -499},
        {"8/2p1bpk1/2b1pNp1/2p1P1P1/2P1N3/pP3P2/P2R1K2/7r b - - 0 1", -50},
        {"2n2k2/8/p1p2r1p/Pp1p2pN/1P1P4/3n3P/2P1R1K1/8 w - - 0 1", -453},
        {"r4kr1/1bpnq2p/2pp1p2/p3p1p1/2Q1P3/1PP1BN2/P1PR1PPP/3R2K1 w - - 0 1", 111},
        {"1r3rk1/3b1pp1/q2p4/4p1b1/1R1pP3/P2P2Pp/1Q3P1P/R1N2BK1 b - - 0 1", 17},
        // middle-game structure ending-scaled
        {"8/8/8/2k5/8/2Q5/1r2r3/7K b - - 0 1", 39},
        {"8/8/8/1k6/8/3Q4/1r2r3/7K b - - 0 1", 39},
        {"8/8/8/8/8/8/3rr3/Q1k4K b - - 0 1", 41},
        {"8/8/8/2k2Q2/8/4r3/4r3/7K b - - 0 1", 34},
        {"8/8/8/1k6/8/8/3rr3/6QK w - - 0 1", -44},
        {"8/8/3k4/8/8/2Q5/1r2r3/7K w - - 0 1", -42},
        {"8/7Q/3k4/8/8/4r3/4r3/7K w - - 0 1", -37},
        {"8/8/8/8/2k5/8/2rr4/1Q4K1 w - - 0 1", -41},
        // middle-game structure scaled
        {"8/1K1p3r/1p3R2/2P1R3/1r5p/5p2/2PPP1k1/8 b - - 0 1", -1},
        {"k7/2r5/P1p2P2/3P2p1/1P2p3/1K6/4p2r/R1R5 w - - 0 1", 76},
        {"1r6/8/1R1pp3/1PR5/6k1/3rp1P1/1K4P1/8 b - - 0 1", 58},
        {"8/RR1r3k/r6P/1pPP4/6p1/p1K2P2/5p2/8 b - - 0 1", 0},
        {"3r3k/7p/1R6/1p6/5R2/6P1/1r6/6K1 b - - 0 1", 109},
        {"7r/1R5P/8/8/r4P2/8/k4K2/6R1 w - - 0 1", 253},
        {"7K/4kp2/5r2/1PP2P2/6r1/4pRp1/2p1R3/8 b - - 0 1", 172},
        {"2r5/8/1R6/P3k1pp/8/1p1r2PP/2p2K2/2R5 b - - 0 1", 170},
        // middle-game structure scaled closed
        {"8/1R1R4/6pk/3p1p1p/3P1P1P/r7/5r2/6K1 b - - 0 1", 117},
        {"8/1R1R4/6pk/3p1p1p/3P1P1P/r7/5r1K/8 w - - 0 1", -101},
        {"8/1R1R4/6pk/3p1p1p/3P1P1P/r7/6r1/5K2 b - - 0 1", 113},
        {"8/1R1R4/6pk/3p1p1p/3P1P1P/r4r2/5P1K/8 b - - 0 1", 43},
        {"7k/8/R4P2/4p3/1P2P3/3p2p1/1P1rr3/1RK5 b - - 0 1", 1},
        {"1rr5/5p2/2pkp3/p2p4/P2P1p1p/1P2RP1P/2PR1KP1/8 w - - 0 1", 15},
        {"8/1R1R4/6pk/3p1p1p/3P1P1P/r4rK1/5P2/8 w - - 0 1", -42},
        {"1rr5/5p2/3kp3/p1pp3R/P2P1p1p/1P3P1P/2PR1KP1/8 b - - 0 1", -1},
        // pawn ending
        {"8/p2k4/1P5p/5P2/3K4/8/8/8 w - - 0 1", 70},
        {"8/8/1p1p3k/p1pP1Pp1/8/8/8/3K4 b - - 0 1", 667},
        {"8/2P1P3/P2P1k2/6p1/6P1/7p/7P/5K2 w - - 0 1", 2103},
        {"8/8/2P2p2/k2P4/7p/8/K7/8 b - - 0 1", -188},
        // pawn ending ending-scaled
        {"3k3K/8/8/8/8/8/8/8 b - - 0 1", 0},
        {"8/8/8/8/8/5k2/7K/8 b - - 0 1", 0},
        {"7k/1K6/8/8/8/8/8/8 w - - 0 1", 0},
        // queen ending
        {"8/5k2/8/3P4/8/8/8/1q2QK2 w - - 0 1", 111},
        {"8/7P/1q6/8/8/1Q6/1K6/7k b - - 0 1", -185},
        {"8/7P/8/8/1K3q2/Q7/8/7k w - - 0 1", 194},
        {"6k1/8/4K1PP/4Q3/8/8/5q2/8 b - - 0 1", -449},
        // queen ending ending-scaled
        {"7q/2K5/7k/8/8/8/2Q5/8 w - - 0 1", 4},
        {"7q/2K3k1/8/8/3Q4/8/8/8 b - - 0 1", -7},
        {"7q/2K5/7k/8/4Q3/8/8/8 w - - 0 1", 7},
        {"7q/1K6/7k/8/8/8/7Q/8 b - - 0 1", -6},
    };
    for (const pinned& r : rows) EXPECT_EQ(eval_fen(r.fen), r.score) << r.fen;
}
