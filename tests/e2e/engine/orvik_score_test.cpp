// The score command: the static evaluation of the position for the side to move.
#include <gtest/gtest.h>

#include <string>

#include "child_process.h"

using testsupport::ChildProcess;
using testsupport::TempDir;
using namespace std::chrono_literals;

namespace {
// The value of the next "score=" line, or a marker when none came.
int next_score(ChildProcess& child) {
    auto hit = child.readUntilContains("score=", 10s);
    if (!hit) return -99999;
    return std::stoi(hit->substr(hit->find("score=") + 6));
}
}  // namespace

TEST(OrvikScore, StaticScoreOfTheSideToMove) {
    TempDir dir;
    ChildProcess child;
    ASSERT_TRUE(child.start(ORVIK_PROGRAM, {}, dir.path()));
    child.writeLine("score");
    EXPECT_EQ(next_score(child), 0);  // the start position is symmetric
    // King and rook against king: (50 - king distance) x 10 - centre value + rook.
    child.writeLine("setboard 8/8/4k3/8/4K3/8/8/R7 w - - 0 1");
    child.writeLine("score");
    EXPECT_EQ(next_score(child), 48 * 10 - 64 + 500);
    child.writeLine("setboard 8/8/4k3/8/4K3/8/8/R7 b - - 0 1");
    child.writeLine("score");
    EXPECT_EQ(next_score(child), -(48 * 10 - 64 + 500));
    // Two knights cannot mate.
    child.writeLine("setboard 4k3/8/8/8/8/8/3NN3/4K3 w - - 0 1");
    child.writeLine("score");
    EXPECT_EQ(next_score(child), 0);
    child.writeLine("quit");
    child.waitExit(5s);
}
