// The clocks an xboard host tells: time is the engine's, otim the opponent's, whatever
// colour the engine is given afterwards.
#include <gtest/gtest.h>

#include "core/board.h"
#include "core/clock.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/new_game.h"
#include "front_env.h"

namespace {
struct xboard_clocks {
    output_capture out;
    xboard_clocks() {
        front_tables();
        xboard_mode = 2;
        new_game(NEW_GAME_FULL);
        init_clocks();
    }
    ~xboard_clocks() {
        xboard_mode = 0;
        force_mode = 0;
        max_depth = 0;
        new_game(NEW_GAME_FULL);
        init_clocks();
    }
    void run(std::initializer_list<const char*> lines) {
        for (const char* l : lines) run_line(l);
    }
};

// The longest the engine would think for `colour` now.
double longest_think(int colour) {
    double use = 0, least = 0, most = 0;
    allocate_time(colour, &use, &least, &most);
    return most;
}
}  // namespace

TEST(HostClocks, TimeAndOtimFollowTheColourTheEngineIsGiven) {
    xboard_clocks x;
    // The engine is Black until go makes it White: 0.05 s are its own, 60 s White's
    // opponent's.
    x.run({"new", "time 5", "otim 6000", "go"});
    EXPECT_EQ(computer_side, WHITE);
    EXPECT_NEAR(clock_remaining(WHITE), 0.05, 1e-9);
    EXPECT_NEAR(clock_remaining(BLACK), 60.0, 1e-9);
    EXPECT_LT(longest_think(WHITE), 0.5);

    // Protocol 1: black (Black to move, the engine White), then white again.
    x.run({"new", "force", "time 5", "otim 6000", "black"});
    EXPECT_EQ(computer_side, WHITE);
    EXPECT_NEAR(clock_remaining(WHITE), 0.05, 1e-9);
    EXPECT_NEAR(clock_remaining(BLACK), 60.0, 1e-9);
    x.run({"white"});
    EXPECT_EQ(computer_side, BLACK);
    EXPECT_NEAR(clock_remaining(BLACK), 0.05, 1e-9);
    EXPECT_NEAR(clock_remaining(WHITE), 60.0, 1e-9);
}

// What the host told stands for the position it was told in and the control in force.
TEST(HostClocks, ToldTimesLapseWithAMoveANewControlOrANewGame) {
    xboard_clocks x;
    x.run({"new", "force", "time 5", "otim 6000"});
    make_move(WHITE, make_move_word(E2, E4));
    side_to_move = BLACK;
    x.run({"black"});  // the engine White after a move: the clocks stay as they stand
    EXPECT_NEAR(clock_remaining(WHITE), 60.0, 1e-9);
    EXPECT_NEAR(clock_remaining(BLACK), 0.05, 1e-9);

    x.run({"new", "time 5", "otim 6000", "level 40 5 0", "go"});
    EXPECT_NEAR(clock_remaining(WHITE), 300.0, 1e-9);
    x.run({"new", "time 5", "otim 6000", "new", "go"});
    EXPECT_NEAR(clock_remaining(WHITE), 300.0, 1e-9);
}

// A clock told at 0 or below is a clock of 0, not the clock of before: the move takes the
// increment at most. The same for the opponent's clock.
TEST(HostClocks, ClocksToldAtZeroOrBelowAreClocksOfZero) {
    xboard_clocks x;
    for (const std::string told : {"0", "-50", ""}) {
        SCOPED_TRACE(told);
        x.run({"new", "level 0 0:30 2"});
        run_line("time " + told);
        x.run({"otim 3000", "go"});
        EXPECT_NEAR(clock_remaining(WHITE), 0.0, 1e-9);
        EXPECT_NEAR(clock_remaining(BLACK), 30.0, 1e-9);
        EXPECT_LE(longest_think(WHITE), 2.0);
        run_line("otim " + told);
        EXPECT_NEAR(clock_remaining(BLACK), 0.0, 1e-9);
    }
}

// A host that gives a clock and then a depth (level, then sd, as xboard sends them) has
// both limits: the clock stays. A depth alone still searches without a clock.
TEST(HostClocks, ADepthBesideTheClockKeepsTheClock) {
    xboard_clocks x;
    x.run({"new", "level 0 0:05 0.05", "sd 14", "time 500", "otim 500", "go"});
    EXPECT_EQ(max_depth, 14);
    EXPECT_EQ(clocks[WHITE].fixed, 0);
    EXPECT_LT(longest_think(WHITE), 5.0);
    init_clocks();
    run_line("sd 14");
    EXPECT_EQ(clocks[WHITE].fixed, 1);
    EXPECT_GT(longest_think(WHITE), 1e9);
    max_depth = 0;
}

// The protocol's new takes back a depth limit of sd: the next game plays by its clock.
// Where sd stood without a clock, its time without end goes too; a time per move that
// st gave stays.
TEST(HostClocks, NewTakesBackTheDepthLimitOfSd) {
    xboard_clocks x;
    const struct {
        std::initializer_list<const char*> lines;
        double least, most;  // the longest think of the next go
    } cases[] = {
        {{"sd 3", "go", "new", "level 0 0:10 0", "time 1000", "go"}, 0.1, 10.0},
        {{"sd 3", "new", "go"}, 0.1, 600.0},
        {{"st 2", "sd 3", "new", "go"}, 1.0, 2.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(*c.lines.begin());
        init_clocks();
        x.run({"new"});
        x.run(c.lines);
        EXPECT_EQ(max_depth, 0);
        EXPECT_GE(longest_think(WHITE), c.least);
        EXPECT_LE(longest_think(WHITE), c.most);
    }
}
