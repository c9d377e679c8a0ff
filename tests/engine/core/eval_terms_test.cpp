// Single terms on positions where they clearly apply, with the value the rule gives.
#include <gtest/gtest.h>

#include <string>

#include "core/eval.h"
#include "core/eval_internal.h"
#include "core/eval_tables.h"
#include "eval_env.h"
#include "test_env.h"

TEST(EvalTerms, RuleOfTheSquareCatchesOnlyKingsInsideTheSquare) {
    eval_env();
    const struct {
        int side, pawn, king;
        bool catches;
    } cases[] = {
        {WHITE, E4, A8, true},                           // on the square's far corner: four steps, four moves
        {WHITE, E4, H4, true},  {WHITE, E4, H3, false},  // one file outside: the pawn queens first
        {WHITE, E4, A3, false}, {WHITE, E2, H3, true},   // the double step: counted from e3
        {WHITE, E2, H2, false}, {WHITE, A6, C7, true},  {WHITE, A6, D6, false}, {BLACK, E5, A1, true},
        {BLACK, E5, H6, false}, {BLACK, E7, H6, true},  {BLACK, H3, F2, true},  {BLACK, H3, E3, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(((pawn_square_mask[c.side][c.pawn] >> c.king) & 1) != 0, c.catches)
            << "side " << c.side << " pawn " << c.pawn << " king " << c.king;
}

TEST(EvalTerms, PawnOutsideTheKingsSquareTakesTheOutsideBonus) {
    // Pure pawn ending; the black king on h4 or h3 stands three squares and three files
    // from the e4-pawn either way, but h3 is outside its square: the bonus of the fourth
    // rank (80, times 3/2 in pawn endings) and the king table (h4 14, h3 12, twice).
    const int inside = eval_fen("8/p7/8/8/4P2k/8/P7/K7 w - - 0 1");
    const int outside = eval_fen("8/p7/8/8/4P3/7k/P7/K7 w - - 0 1");
    EXPECT_EQ(outside - inside, 80 * 3 / 2 + 2 * (14 - 12));
}

// The evaluator of one man, worked out by hand from the rules, on sparse positions
// (stage 10: no mobility weights near the king, rook bonus 28, bishop bonus 16).
TEST(EvalTerms, OneManByHand) {
    eval_env();
    const struct {
        const char* fen;
        int piece, side, square, value;
        const char* why;
    } cases[] = {
        {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", ROOK, WHITE, D1, 6 + 28 + 10 + 10, "open file, far from the king"},
        {"6k1/3R1ppp/8/8/8/8/5PPP/6K1 w - - 0 1", ROOK, WHITE, D7, 7 + 28 + 30 + 5 + 10 + 10, "seventh rank"},
        {"6k1/5ppp/8/8/8/8/P5PP/r5K1 w - - 0 1", ROOK, BLACK, A1, 1 + 28 + 5 + 5 + 10,
         "eighth rank, file without own pawns"},
        {"6k1/pp3ppp/8/3N4/2P5/8/PP3PPP/6K1 w - - 0 1", KNIGHT, WHITE, D5, 19 + 5 + 3 * 5, "protected outpost"},
        {"6k1/pp3ppp/8/4p3/3n4/8/PP3PPP/6K1 b - - 0 1", KNIGHT, BLACK, D4, 19 + 5 + 3 * 5, "protected outpost, Black"},
        {"6k1/pp2pppp/8/3N4/8/8/PP3PPP/6K1 w - - 0 1", KNIGHT, WHITE, D5, 19 + 5, "outpost the e-pawn can attack"},
        {"7k/5p1B/6p1/8/8/8/5PPP/6K1 w - - 0 1", BISHOP, WHITE, H7, -8 + 16 - 8 - 100,
         "shut in by g6 (one square free)"},
        {"7k/6pB/8/8/8/8/5PPP/6K1 w - - 0 1", BISHOP, WHITE, H7, -8 + 16 + 6 - 50,
         "shut in by g7 (seven squares free)"},
        {"6k1/5ppp/8/8/8/8/5PPP/3Q2K1 w - - 0 1", QUEEN, WHITE, D1, 0 - 8 - 10 + 4 + 2, "open file, far from the king"},
    };
    for (const auto& c : cases) {
        setup(c.fen);
        eval_pieces();
        int v = 0;
        switch (c.piece) {
            case KNIGHT: v = eval_knight(c.side, c.square); break;
            case BISHOP: v = eval_bishop(c.side, c.square); break;
            case ROOK: v = eval_rook(c.side, c.square); break;
            default: v = eval_queen(c.side, c.square); break;
        }
        EXPECT_EQ(eval_stage, 10) << c.fen;
        EXPECT_EQ(v, c.value) << c.why << ": " << c.fen;
    }
}

TEST(EvalTerms, PawnEndingCandidateIsTheFrontPawnOnly) {
    // White e3 and e4 against Black's d6, none passed, the e-file and the d-file free of
    // enemy pawns. By pawn, from each side's view:
    //   e4: king distance 4, rank value 12, stage bonus 23, isolated -8 -14, doubled
    //       -14, candidate 10                                       = 13
    //   e3: king distance 5, rank value 5, 23, isolated -22, doubled -14, no candidate
    //       behind its own pawn                                     = -3
    //   d6: king distance 5, rank value 5, 23, isolated -22, candidate 7 = 18
    // (13 - 3 - 18) x 3 / 2 = -12; both kings on their table's 6.
    eval_env();
    setup("6k1/8/3p4/8/4P3/4P3/8/1K6 w - - 0 1");
    EXPECT_EQ(eval_pieces(), -12);
}
