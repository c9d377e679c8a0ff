// The speed benchmark on a clock of the test's own (each reading a hundred seconds
// later, so that every routine runs a thousand times), on the real clock with short
// runs, and the attack tables it times.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <regex>
#include <thread>
#include <string>
#include <vector>

#include "core/board.h"
#include "core/eval.h"
#include "core/fen.h"
#include "core/output.h"
#include "front/benchmark.h"
#include "front_env.h"

namespace {

uint32_t fake_now = 0;
uint32_t hundred_seconds_a_reading() { return fake_now += 100000; }

struct Benchmark : ::testing::Test {
    void SetUp() override {
        front_search_tables();
        saved_clock = benchmark_clock;
        benchmark_clock = hundred_seconds_a_reading;
    }
    void TearDown() override { benchmark_clock = saved_clock; }
    int position(const std::string& fen) {
        int side = WHITE;
        EXPECT_EQ(parse_fen(fen, &side, false), 0);
        return side;
    }
    uint32_t (*saved_clock)() = nullptr;
};

TEST_F(Benchmark, ThirteenLinesInOrder) {
    const struct {
        const char* fen;
        bool captures;
    } cases[] = {{"r1bqkbnr/pppp1ppp/2n5/4p3/3PP3/5N2/PPP2PPP/RNBQKB1R b KQkq - 0 3", true},
                 {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", false}};
    const std::vector<std::string> labels = {"eval",     "ataks",    "incheck",  "inck_lm0", "inck_lm1",
                                             "inck_hm0", "inck_hm1", "inck_hm0", "inck_hm1", "movelist",
                                             "Mum(nc)",  "caplist",  "Mum(c)"};
    const std::regex plain(R"( *(\S+): +\d+\.\d calls/s, +\d+\.\d{3} us/call)");
    const std::regex per_move(
        R"( *(\S+): +\d+\.\d calls/s, +\d+\.\d{3} us/call, +\d+\.\d mv/s, +\d+\.\d{3} us/mv +(\d+))");
    for (const auto& c : cases) {
        const int side = position(c.fen);
        output_capture out;
        output_levels[LVL_BOOK] = 1;
        speed_test(side);
        const auto lines = out.lines();
        ASSERT_EQ(lines.size(), labels.size()) << out.text();
        for (size_t i = 0; i < labels.size(); ++i) {
            std::smatch m;
            const bool moves_line = i >= 9 && (i < 11 || c.captures);
            if (i == 12 && !c.captures) {
                // Nothing to make and take back: nothing is timed.
                EXPECT_EQ(lines[i], "  Mum(c): nothing to time, no captures");
                continue;
            }
            if (moves_line) {
                ASSERT_TRUE(std::regex_match(lines[i], m, per_move)) << lines[i];
                EXPECT_GT(std::stoi(m[2]), 0);
            } else {
                ASSERT_TRUE(std::regex_match(lines[i], m, plain)) << lines[i];
            }
            EXPECT_EQ(m[1], labels[i]);
            EXPECT_EQ(lines[i].find(labels[i]), 8 - labels[i].size()) << "labels are right-aligned in 8";
        }
        // The rates of a thousand calls in a hundred seconds.
        EXPECT_NE(lines[0].find("10.0 calls/s, 100000.000 us/call"), std::string::npos) << lines[0];
    }
}

// On the real clock a routine that costs nothing (the start position has no capture to
// make) once kept the calibration doubling for ever; every line comes now.
TEST_F(Benchmark, EndsOnTheRealClockWithoutCaptures) {
    benchmark_clock = millis;
    const uint32_t saved_calibration = benchmark_calibration_ms;
    const double saved_run = benchmark_run_seconds;
    benchmark_calibration_ms = 5;
    benchmark_run_seconds = 0.02;
    for (const char* fen :
         {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"}) {
        const int side = position(fen);
        output_capture out;
        output_levels[LVL_BOOK] = 1;
        auto done = std::async(std::launch::async, [side] { speed_test(side); });
        if (done.wait_for(std::chrono::minutes(2)) != std::future_status::ready) {
            std::fprintf(stderr, "speed did not end on %s\n", fen);
            std::_Exit(1);  // the thread cannot be stopped
        }
        const auto lines = out.lines();
        ASSERT_EQ(lines.size(), 13u) << fen << "\n" << out.text();
        EXPECT_EQ(lines[12], "  Mum(c): nothing to time, no captures") << fen;
    }
    benchmark_calibration_ms = saved_calibration;
    benchmark_run_seconds = saved_run;
}

TEST_F(Benchmark, AttackTablesCountAndFlagTheAttackers) {
    position("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    build_attack_tables();
    const struct {
        int side, square;
        uint32_t word;
    } cases[] = {
        {WHITE, F3, 0x6803},  // pawns e2 and g2, knight g1
        {WHITE, D3, 0x4002},  // pawns c2 and e2 (the bishop's ray ends on e2)
        {WHITE, E2, 0x3B04},  // king, queen, bishop f1, knight g1
        {WHITE, E4, 0},      {BLACK, F6, 0x6803},
        {BLACK, D8, 0x101},  // the king alone: no other man reaches the queen's square
    };
    for (const auto& c : cases) EXPECT_EQ(attack_table[c.side][c.square], c.word) << c.side << " " << c.square;
}

}  // namespace
