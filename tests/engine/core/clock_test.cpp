// Clock records, the time-control commands' parsers and the time allocation.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "test_env.h"

namespace {
struct ClockFixture : ::testing::Test {
    void SetUp() override {
        core_tables();
        for (int& l : output_levels) l = 0;
        init_clocks();
        hard = 0;
        engine_move_count = 5;
        time_factor = 1.0;
    }
};
}  // namespace

TEST_F(ClockFixture, LevelReadsMovesMinutesSecondsAndIncrement) {
    ASSERT_EQ(parse_level(WHITE, "40 5 0"), 1);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 300.0);
    EXPECT_EQ(clocks[WHITE].pm, 40);
    EXPECT_DOUBLE_EQ(clocks[WHITE].inc, 0.0);
    EXPECT_EQ(clocks[WHITE].moves_left, 40);
    EXPECT_DOUBLE_EQ(game_time_60, 450.0);
    ASSERT_EQ(parse_level(BLACK, "0 2:30 12"), 1);
    EXPECT_DOUBLE_EQ(clocks[BLACK].pt, 150.0);
    EXPECT_DOUBLE_EQ(clocks[BLACK].inc, 12.0);
    EXPECT_DOUBLE_EQ(game_time_60, 12 * 60 + 150.0);
    // Refused: no time, seconds above 60, something after the increment, missing fields.
    EXPECT_EQ(parse_level(WHITE, "40 0 0"), 0);
    EXPECT_EQ(parse_level(WHITE, "40 1:61 0"), 0);
    EXPECT_EQ(parse_level(WHITE, "40 5 0 x"), 0);
    EXPECT_EQ(parse_level(WHITE, "40 5"), 0);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 300.0);
}

TEST_F(ClockFixture, AllocationForFortyMovesInFiveMinutes) {
    parse_level(WHITE, "40 5 0");
    double use = 0, min = 0, max = 0;
    allocate_time(WHITE, &use, &min, &max);
    EXPECT_NEAR(use, 7.45, 1e-9);
    EXPECT_NEAR(max, 37.25, 1e-9);
    EXPECT_NEAR(min, 3.725, 1e-9);
    // Pondering gives 40 % more; the first moves out of the book get extra time.
    hard = 1;
    allocate_time(WHITE, &use, &min, &max);
    EXPECT_NEAR(use, 7.45 * 1.4, 1e-9);
    hard = 0;
    engine_move_count = 0;
    allocate_time(WHITE, &use, &min, &max);
    EXPECT_NEAR(use, 7.45 * 2.0, 1e-9);
}

TEST_F(ClockFixture, AllocationNearTheEndAndForFixedTimes) {
    parse_level(WHITE, "40 5 0");
    clocks[WHITE].time_used = 299.0;
    double use = 0, min = 0, max = 0;
    allocate_time(WHITE, &use, &min, &max);
    EXPECT_DOUBLE_EQ(use, 0.1);
    EXPECT_DOUBLE_EQ(min, 0.1);
    EXPECT_DOUBLE_EQ(max, 0.1);
    // Few seconds left with few moves to go: never more than what is left.
    clocks[WHITE].time_used = 290.0;
    clocks[WHITE].moves_left = 2;
    allocate_time(WHITE, &use, &min, &max);
    EXPECT_LE(max, 9.0);
    EXPECT_LE(use, max);
    // A fixed time per move: 1 s stays 1 s, 5 s lose a tenth, 20 s a second.
    for (auto [t, want] : {std::pair{1.0, 1.0}, {5.0, 4.9}, {20.0, 19.0}}) {
        clocks[WHITE].fixed = 1;
        clocks[WHITE].pt = t;
        allocate_time(WHITE, &use, &min, &max);
        EXPECT_NEAR(use, want, 1e-9);
        EXPECT_NEAR(max, want, 1e-9);
    }
}

TEST_F(ClockFixture, ControlsSwitchToTheSecondaryAndKeepTheTimeLeft) {
    ASSERT_EQ(clock_set_control(WHITE, "40/300 20/100 0"), 1);
    clock_record& c = clocks[WHITE];
    EXPECT_EQ(c.has_sec, 1);
    for (int i = 0; i < 40; ++i) {
        c.run = 0;
        c.time_used += 5.0;  // 5 s a move, charged as the game loop does
        clock_elapsed(WHITE);
    }
    EXPECT_EQ(c.is_on_sec, 1);
    EXPECT_EQ(c.moves_left, 20);
    // 200 s used of 300: the 100 s not spent stay on the clock.
    EXPECT_NEAR(clock_remaining(WHITE), 200.0, 1e-9);
    EXPECT_EQ(clock_set_control(WHITE, "sd/60"), 1);
    EXPECT_EQ(c.pm, 0);
    EXPECT_EQ(clock_set_control(WHITE, "40/0"), 0);
    EXPECT_EQ(clock_set_control(WHITE, "x"), 0);
}

TEST_F(ClockFixture, AtSetsTheRemainingTime) {
    parse_level(WHITE, "40 5 0");
    clock_set_used(WHITE, "2:30");
    EXPECT_DOUBLE_EQ(clocks[WHITE].time_used, 150.0);
    clock_set_used(WHITE, "0");
    EXPECT_DOUBLE_EQ(clocks[WHITE].time_used, 150.0);
    clock_set_used(WHITE, "1:-5");
    EXPECT_DOUBLE_EQ(clocks[WHITE].time_used, 240.0);
}
