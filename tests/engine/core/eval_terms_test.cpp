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
        {WHITE, E4, A8, true},    // on the square's far corner: four steps, four moves
        {WHITE, E4, H4, true},
        {WHITE, E4, H3, false},   // one file outside: the pawn queens first
        {WHITE, E4, A3, false},
        {WHITE, E2, H3, true},    // the double step: counted from e3
        {WHITE, E2, H2, false},
        {WHITE, A6, C7, true},
        {WHITE, A6, D6, false},
        {BLACK, E5, A1, true},
        {BLACK, E5, H6, false},
        {BLACK, E7, H6, true},
        {BLACK, H3, F2, true},
        {BLACK, H3, E3, false},
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
