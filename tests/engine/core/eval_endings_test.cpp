// Special endings, the scaling of drawish material, the lazy answers and the king
// shield, on positions whose expected values follow from the rules.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "core/eval.h"
#include "core/fen.h"
#include "eval_env.h"
#include "test_env.h"

namespace {

// Score of the side to move, and the same position with the other side to move.
int score_as(const std::string& placement, char side) { return eval_fen(placement + " " + side + " - - 0 1"); }

}  // namespace

TEST(EvalEndings, KnightAndBishopDriveTheKingToTheBishopsCorner) {
    // Same distances, only the corner differs: a1 is dark, a8 light.
    const int dark_a1 = score_as("8/8/8/8/5B2/2KN4/8/k7", 'w');
    const int dark_a8 = score_as("k7/8/2KN4/8/5B2/8/8/8", 'w');
    EXPECT_EQ(dark_a1 - dark_a8, 8 * 7);
    EXPECT_GT(dark_a1, 900);
    const int light_a1 = score_as("8/8/8/8/4B3/2KN4/8/k7", 'w');
    const int light_a8 = score_as("k7/8/2KN4/8/4B3/8/8/8", 'w');
    EXPECT_EQ(light_a8 - light_a1, 8 * 7);
    // From the defender's view the sign turns.
    EXPECT_EQ(score_as("8/8/8/8/5B2/2KN4/8/k7", 'b'), -dark_a1);
}

TEST(EvalEndings, BareKingAgainstPiecesWithoutPawns) {
    EXPECT_EQ(score_as("4k3/8/8/8/8/8/3NN3/4K3", 'w'), 0);    // two knights
    EXPECT_EQ(score_as("4k3/8/8/8/8/8/3N4/4K3", 'w'), 0);     // a lone knight
    EXPECT_EQ(score_as("4k3/8/8/8/8/8/2B1B3/4K3", 'w'), 0);   // bishops of one colour
    EXPECT_GT(score_as("4k3/8/8/8/8/8/3BB3/4K3", 'w'), 800);  // the bishop pair
    // Rook: the score rises as the king is pushed from the centre to the edge.
    const int centre = score_as("8/8/4k3/8/4K3/8/8/R7", 'w');
    const int edge = score_as("4k3/8/4K3/8/8/8/8/R7", 'w');
    EXPECT_EQ(centre, (50 - 2) * 10 - 64 + 500);
    EXPECT_EQ(edge, (50 - 2) * 10 - 24 + 500);
    EXPECT_EQ(score_as("4k3/8/4K3/8/8/8/8/R7", 'b'), -edge);
}

TEST(EvalEndings, KingPawnKingFollowsTheWinTable) {
    // King in front of its pawn on the sixth rank: won whoever moves.
    EXPECT_EQ(score_as("4k3/8/4K3/4P3/8/8/8/8", 'w'), 32 * 4 + 650);
    EXPECT_EQ(score_as("4k3/8/4K3/4P3/8/8/8/8", 'b'), -(32 * 4 + 650));
    // Opposition: drawn with White to move, won with Black to move.
    EXPECT_EQ(score_as("8/4k3/8/4K3/4P3/8/8/8", 'w'), 5 * 3);
    EXPECT_EQ(score_as("8/4k3/8/4K3/4P3/8/8/8", 'b'), -(32 * 3 + 650));
    // A key square two ranks ahead of the pawn wins either way.
    EXPECT_GT(score_as("8/8/4k3/8/4K3/8/4P3/8", 'w'), 650);
    EXPECT_LT(score_as("8/8/4k3/8/4K3/8/4P3/8", 'b'), -650);
    // Rook pawn with the king in the corner: 0.
    EXPECT_EQ(score_as("7k/8/7K/7P/8/8/8/8", 'w'), 0);
    // The race: the pawn runs from a far king, not from a near one.
    EXPECT_EQ(score_as("8/8/4P3/8/8/8/8/K6k", 'w'), 32 * 5 + 650);
    EXPECT_EQ(score_as("3k4/8/4P3/8/8/8/8/K7", 'w'), 5 * 2);
    // Stalemate of the defender.
    EXPECT_EQ(score_as("2k5/2P5/2K5/8/8/8/8/8", 'b'), -5);
    // Black's pawns: the mirrored positions.
    EXPECT_EQ(score_as("8/8/8/4p3/4k3/8/4K3/8", 'b'), 5 * 3);
    EXPECT_EQ(score_as("8/8/8/4p3/4k3/8/4K3/8", 'w'), -(32 * 3 + 650));
    EXPECT_EQ(score_as("k6K/8/8/8/8/4p3/8/8", 'b'), 32 * 5 + 650);
    // Files e..h are read through the file mirror.
    EXPECT_EQ(score_as("3k4/8/3K4/3P4/8/8/8/8", 'w'), score_as("4k3/8/4K3/4P3/8/8/8/8", 'w'));
    EXPECT_TRUE(kpk_win(E6, E8, E5, WHITE, BLACK));
    EXPECT_FALSE(kpk_win(E5, E7, E4, WHITE, WHITE));
}

TEST(EvalEndings, KingAgainstSeveralPawns) {
    // Two pawns the far king cannot catch: (rank x 5 + 50) x 10 each, plus the
    // kings' taxicab distances to the squares in front (16 for the h-pawn).
    EXPECT_EQ(score_as("k7/8/6PP/8/8/8/8/7K", 'w'), 2 * (5 * 5 + 50) * 10 + 16);
    // The king in front catches both: 150 + 40 - 48 for the g-pawn; the h-pawn's
    // 5 + 40 - 32 is below 100 and counts nothing.
    EXPECT_EQ(score_as("6k1/8/6PP/8/8/8/8/7K", 'w'), 142);
    EXPECT_EQ(score_as("7k/8/8/8/8/6pp/8/K7", 'b'), 2 * (5 * 5 + 50) * 10 + 16);
}

TEST(EvalEndings, WrongBishopAndRookPawnDraws) {
    // Light bishop, h-pawn, king in the h8 corner: drawn; the dark bishop wins.
    EXPECT_EQ(score_as("7k/8/8/7P/2K5/3B4/8/8", 'w'), 0);
    EXPECT_GT(score_as("7k/8/8/7P/2K5/4B3/8/8", 'w'), 400);
    // a-pawn with a dark bishop and the king on a8 (or next to it): drawn.
    EXPECT_EQ(score_as("1k6/8/8/P7/2K5/4B3/8/8", 'b'), 0);
    // A king that cannot reach the corner in time does not hold it.
    EXPECT_GT(score_as("3k4/8/6KP/8/8/3B4/8/8", 'w'), 400);
    // Black's mirror image.
    EXPECT_EQ(score_as("8/8/3b4/2k5/7p/8/8/7K", 'b'), 0);
    // Pawn endings with rook pawns only, the defender in the corner.
    EXPECT_EQ(score_as("7k/p7/8/7P/7P/8/8/4K3", 'w'), 0);
}

TEST(EvalEndings, DrawishMaterialIsScaledDown) {
    eval_env();
    // A knight against a pawn: (nominal - 500) / 16.
    int side = setup("8/8/4k3/6p1/2N5/4K3/8/8 w - - 0 1");
    const int nominal = 340 - 80 + eval_pieces();
    ASSERT_GT(nominal, 0);
    EXPECT_EQ(evaluate(side, -30000, 30000), (nominal - 500) / 16);
    // Rook against bishop: a quarter.
    side = setup("8/8/4k3/3b4/8/4K3/8/R7 w - - 0 1");
    const int rook_bishop = 500 - 350 + eval_pieces();
    EXPECT_EQ(evaluate(side, -30000, 30000), rook_bishop / 4);
    // Queen against rook stays unscaled.
    side = setup("8/8/4k3/3r4/8/4K3/8/Q7 w - - 0 1");
    const int queen_rook = 1001 - 500 + eval_pieces();
    EXPECT_EQ(evaluate(side, -30000, 30000), queen_rook);
}

TEST(EvalDriver, LazyAnswersOutsideTheWindowAndMarginsGrow) {
    eval_env();
    const int side = setup("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4");
    lazy_margin[WHITE] = 50;
    lazy_margin[BLACK] = 40;
    EXPECT_EQ(evaluate(side, 1000, 1001), 50);
    EXPECT_EQ(eval_complete, 0);
    EXPECT_EQ(evaluate(side, -2000, -1000), -40);
    EXPECT_EQ(eval_complete, 0);
    lazy_margin[WHITE] = lazy_margin[BLACK] = -1000;
    const int full = evaluate(side, -30000, 30000);
    EXPECT_EQ(eval_complete, 1);
    const int p = eval_pieces();
    EXPECT_EQ(full, p);  // material is level
    EXPECT_TRUE(lazy_margin[WHITE] == p || lazy_margin[BLACK] == -p);

    const int e = eval_root_margins();
    EXPECT_EQ(e, p);
    EXPECT_EQ(lazy_margin[WHITE], e + 60);
    EXPECT_EQ(lazy_margin[BLACK], 60 - e);
}

TEST(EvalKingSafety, PawnShieldAndTrappedRookOfTheCastledKing) {
    eval_env();
    auto king_term = [](const std::string& fen) {
        setup(fen);
        eval_pieces();
        return eval_king(WHITE, G1);
    };
    // Shield pawn on f2 (weight 1) against f3 (weight 3); stage 1 (no f1-bishop, no g1-knight).
    const int f2 = king_term("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1RK1 w kq - 0 1");
    const int f3 = king_term("rnbqkbnr/pppppppp/8/8/8/5P2/PPPPP1PP/RNBQ1RK1 w kq - 0 1");
    EXPECT_EQ(eval_stage, 1);
    EXPECT_EQ(f2 - f3, 18 - (-8));
    // No g-pawn at all: -22 instead of weight 2.
    const int no_g = king_term("rnbqkbnr/pppppppp/8/8/8/8/PPPPPP1P/RNBQ1RK1 w kq - 0 1");
    // (and the g-file without an own pawn costs the near-file weight)
    EXPECT_EQ(f2 - no_g, 10 - (-22) + 16);
    // A rook shut in on h1 behind the h-pawn.
    const int trapped = king_term("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ2KR w kq - 0 1");
    EXPECT_EQ(f2 - trapped, 30);
}

TEST(EvalRobustness, PawnsOnTheirLastRankFromAnUncheckedSetUp) {
    // Positions the UCI dialogue takes without a validity check: pawns on the first
    // or last rank must not make the evaluation read outside the board.
    eval_env();
    const char* fens[] = {
        "4k2P/8/8/8/8/8/8/4K3 w - - 0 1",                   // king against pawns
        "4k2P/p7/8/8/8/8/P7/4K2p b - - 0 1",                // pawn ending
        "r3k2P/pppppppp/8/8/8/8/PPPPPPPP/R3K2p w - - 0 1",  // with pieces
    };
    for (const char* fen : fens) {
        setup("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
        int side = WHITE;
        std::string text(fen);
        // Place the men by hand, as an unchecked set-up would.
        for (int sq = 0; sq < 64; ++sq) {
            board.piece[sq] = EMPTY;
            board.color[sq] = NO_COLOR;
        }
        int sq = 56;
        size_t i = 0;
        for (; i < text.size() && text[i] != ' '; ++i) {
            const char c = text[i];
            if (c == '/') {
                sq -= 16;
                continue;
            }
            if (c >= '1' && c <= '8') {
                sq += c - '0';
                continue;
            }
            const std::string letters = "PNBRQK";
            const size_t p = letters.find(static_cast<char>(std::toupper(c)));
            board.piece[sq] = static_cast<uint32_t>(p + 1);
            board.color[sq] = std::isupper(c) ? WHITE : BLACK;
            ++sq;
        }
        side = text[i + 1] == 'w' ? WHITE : BLACK;
        recompute_board();
        lazy_margin[WHITE] = lazy_margin[BLACK] = 0;
        const int v = evaluate(side, -30000, 30000);
        EXPECT_LT(std::abs(v), 30000) << fen;
    }
}

TEST(EvalStatistics, LazyAnswersAreCountedApart) {
    eval_env();
    eval_fen("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4");
    lazy_margin[WHITE] = lazy_margin[BLACK] = 60;
    const uint64_t evals = eval_count, lazy = eval_lazy_count;
    evaluate(WHITE, -30000, 30000);  // full
    evaluate(WHITE, 500, 501);       // far above what the margin allows: lazy
    evaluate(WHITE, -501, -500);     // far below: lazy
    EXPECT_EQ(eval_count, evals + 3);
    EXPECT_EQ(eval_lazy_count, lazy + 2);
}
