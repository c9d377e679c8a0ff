// Annotation texts: score texts and the margin rule (whole annotations run in the
// end-to-end tests, through the engine's own search).
#include <gtest/gtest.h>

#include "book/annotate.h"
#include "book/pgn_writer.h"

TEST(Annotate, ScoreTextsAndTheMarginRule) {
    const struct {
        int score;
        const char* text;
    } scores[] = {{29995, "+M03"}, {-29996, "-M02"}, {35, "0.35"},
                  {-120, "-1.20"}, {29201, "+M400"}, {29200, "292.00"}};
    for (const auto& s : scores) EXPECT_EQ(pgn_score_text(s.score), s.text) << s.score;

    EXPECT_FALSE(suggestion_written(true, 130, 100, 50)) << "30 better is not enough for a margin of 50";
    EXPECT_TRUE(suggestion_written(true, 150, 100, 50));
    EXPECT_TRUE(suggestion_written(true, 10, 100, -1)) << "no margin";
    EXPECT_TRUE(suggestion_written(false, -500, 0, 50)) << "the game move has no score";
    EXPECT_TRUE(suggestion_written(true, 100, 100, 0));
}
