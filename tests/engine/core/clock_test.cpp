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

// An increment alone is a clock, as hosts give it ("level 0 0 2"): no time of its own,
// the increment with every move. Neither time nor increment is still refused.
TEST_F(ClockFixture, AnIncrementAloneIsAClock) {
    ASSERT_EQ(parse_level(WHITE, "0 0 0.5"), 1);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 0.0);
    EXPECT_DOUBLE_EQ(clocks[WHITE].inc, 0.5);
    EXPECT_EQ(parse_level(WHITE, "0 0:00 0"), 0);
    EXPECT_DOUBLE_EQ(clocks[WHITE].inc, 0.5);
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
    // One second left with 40 moves to go: a small share of it, never the whole.
    allocate_time(WHITE, &use, &min, &max);
    EXPECT_GT(use, 0.0);
    EXPECT_LE(use, max);
    EXPECT_LT(max, 0.2);
    // Few seconds left with few moves to go: never more than what is left.
    clocks[WHITE].time_used = 290.0;
    clocks[WHITE].moves_left = 2;
    allocate_time(WHITE, &use, &min, &max);
    EXPECT_LE(max, 9.0);
    EXPECT_LE(use, max);
    // The last move of a short control keeps most of the clock: a third of what lies
    // above the reserve at most, though the control fills the clock again after it.
    parse_level(WHITE, "40 0:10 0");
    clocks[WHITE].moves_left = 1;
    clocks[WHITE].time_used = 8.0;
    allocate_time(WHITE, &use, &min, &max);
    EXPECT_GT(use, 0.3);
    EXPECT_LT(max, 0.7);
    // A fixed time per move: 5 s lose a tenth, 20 s a second; a short one keeps 20 ms and
    // a twentieth for the move's own overhead.
    for (auto [t, want] : {std::pair{0.05, 0.0275}, {1.0, 0.93}, {3.0, 2.9}, {5.0, 4.9}, {20.0, 19.0}}) {
        clocks[WHITE].fixed = 1;
        clocks[WHITE].pt = t;
        allocate_time(WHITE, &use, &min, &max);
        EXPECT_NEAR(use, want, 1e-9) << t;
        EXPECT_NEAR(max, want, 1e-9) << t;
    }
}

// From 50 ms to three hours, with and without increments and moves to go, pondering on
// and off, just out of the book or not: the maximal time of a move leaves on the clock
// min(1 s, 5 % of it) and 20 ms for each move to come (at most half the clock for these).
TEST_F(ClockFixture, AllocationNeverPlansMoreThanTheClockPays) {
    const double clocks_s[] = {0.05, 0.1, 0.2, 0.5, 1.0, 1.5, 2.0, 3.0, 5.0, 10.0, 30.0, 60.0, 300.0, 3600.0, 10800.0};
    const double incs[] = {0.0, 0.01, 0.02, 0.05, 0.1, 1.0, 5.0, 30.0};
    const int to_go[] = {0, 1, 2, 3, 5, 10, 20, 40, 60};
    for (double t : clocks_s)
        for (double inc : incs)
            for (int moves : to_go)
                for (int ponder : {0, 1})
                    for (int out_of_book : {0, 5}) {
                        init_clocks();
                        clock_record& c = clocks[WHITE];
                        c.pt = t;
                        c.inc = inc;
                        c.pm = c.moves_left = moves;
                        c.sm = 0;
                        c.has_sec = 0;
                        hard = ponder;
                        engine_move_count = out_of_book;
                        double use = -1, min = -1, max = -1;
                        allocate_time(WHITE, &use, &min, &max);
                        const int n = moves > 0 ? moves : inc > 0 ? 35 : 40;
                        const double per_move = 0.02 * n < 0.5 * t ? 0.02 * n : 0.5 * t;
                        const double need = (0.05 * t < 1.0 ? 0.05 * t : 1.0) + per_move;
                        SCOPED_TRACE(testing::Message() << "clock " << t << " inc " << inc << " to go " << moves
                                                        << " ponder " << ponder << " out of book " << out_of_book);
                        EXPECT_GT(use, 0.0);
                        EXPECT_LE(min, use);
                        EXPECT_LE(use, max);
                        EXPECT_LE(max + need, t + 1e-9);
                    }
}

// Whole games on a simulated clock: every move costs its planned time and 5 ms of
// overhead, every seventh its maximal time (a fail low). No control lets the clock run
// out, and the short ones still spend their time (the engine does not just play fast).
TEST_F(ClockFixture, SimulatedGamesStayInsideEveryControl) {
    struct control {
        const char* level;  // as the level command takes it
        double least_average;
    };
    const control controls[] = {{"0 0:01 0.01", 0.005}, {"0 0:02 0.02", 0.01}, {"0 0:05 0.05", 0.02},
                                {"0 0:10 0.1", 0.05},   {"40 0:10 0", 0.05},   {"0 1 0", 0.05}};
    for (const control& ctl : controls) {
        init_clocks();
        ASSERT_EQ(parse_level(WHITE, ctl.level), 1) << ctl.level;
        clock_record& c = clocks[WHITE];
        double spent = 0.0;
        const int moves = 150;
        for (int m = 1; m <= moves; ++m) {
            engine_move_count = m;
            double use = 0, min = 0, max = 0;
            allocate_time(WHITE, &use, &min, &max);
            const double cost = (m % 7 == 0 ? max : use) + 0.005;
            spent += cost;
            c.time_used += cost;  // charged as clock_elapsed does, increment and control included
            c.run = 1;
            c.start_tick = millis();
            clock_elapsed(WHITE);
            ASSERT_GT(clock_remaining(WHITE), 0.0) << ctl.level << " move " << m;
        }
        EXPECT_GT(spent / moves, ctl.least_average) << ctl.level;
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
