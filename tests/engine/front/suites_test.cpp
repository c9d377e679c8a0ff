// Test suites: the hook's record of found and lost solutions against a node count the
// test sets, the result files it leads to, EPD and script reading, and whole suites
// run in a scratch folder at depth 1.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "child_process.h"
#include "core/board.h"
#include "core/clock.h"
#include "core/eval.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/movetext.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/test_suites.h"
#include "front_env.h"

namespace {

const char* wac001 = "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - -";

struct Suites : ::testing::Test {
    void SetUp() override {
        front_search_tables();
        if (!hash_table) hash_alloc(1 << 20);
        init_clocks();
        int side;
        ASSERT_EQ(parse_fen(wac001, &side, true), 0);
        solution = parse_move("Qg6", WHITE);
        other = parse_move("Nxf7+", WHITE);
        ASSERT_NE(solution, 0u);
        ASSERT_NE(other, 0u);
    }
    void TearDown() override { suite_set_solutions(nullptr, 0, false); }
    // The hook at a node count.
    void best_move(uint32_t move, uint32_t nodes, int score = 50) {
        nodes_searched = nodes;
        epd_check_solution(move, 3, score);
    }
    uint32_t solution = 0, other = 0;
};

TEST_F(Suites, FoundLostAndFoundAgain) {
    const uint16_t moves[1] = {static_cast<uint16_t>(solution & 0x7FFF)};
    struct {
        uint32_t lost_at;
        unsigned files;
    } cases[] = {{15000, SUITE_HAIRY | SUITE_CLEAN | SUITE_ECLEAN}, {25000, SUITE_HAIRY}};
    for (const auto& c : cases) {
        suite_set_solutions(moves, 1, false);
        best_move(other, 1000);
        EXPECT_EQ(suite_recorded().hit_nodes, 0u);
        best_move(solution, 5000);
        EXPECT_EQ(suite_recorded().hit_nodes, 5000u);
        best_move(solution, 6000);  // still found: the first count stays
        EXPECT_EQ(suite_recorded().hit_nodes, 5000u);
        best_move(other, c.lost_at);
        EXPECT_EQ(suite_recorded().hit_nodes, 0u);
        EXPECT_EQ(suite_recorded().loss_nodes, c.lost_at);
        best_move(solution, 30000);
        const suite_hits h = suite_recorded();
        EXPECT_EQ(h.hit_nodes, 30000u);
        EXPECT_EQ(suite_result_files(suite_move_correct(solution), h.hit_nodes, h.loss_nodes), c.files) << c.lost_at;
    }
}

TEST_F(Suites, ResultFilesOfAVerdict) {
    EXPECT_EQ(suite_result_files(false, 0, 0), SUITE_LOST | SUITE_HAIRY | SUITE_RH);
    EXPECT_EQ(suite_result_files(true, 500, 0), SUITE_ECLEAN);
    EXPECT_EQ(suite_result_files(true, 10001, 20000), SUITE_HAIRY | SUITE_CLEAN | SUITE_ECLEAN);
    EXPECT_EQ(suite_result_files(true, 10001, 20001), SUITE_HAIRY);
    EXPECT_EQ(suite_result_files(true, 200001, 0), SUITE_HAIRY | SUITE_CLEAN | SUITE_ECLEAN | SUITE_RH);
}

TEST_F(Suites, MovesToAvoid) {
    const uint16_t moves[1] = {static_cast<uint16_t>(solution & 0x7FFF)};
    suite_set_solutions(moves, 1, true);
    EXPECT_FALSE(suite_move_correct(solution));
    EXPECT_TRUE(suite_move_correct(other));
    best_move(other, 700);
    EXPECT_EQ(suite_recorded().hit_nodes, 700u);
    // A mate score is remembered until the score falls back.
    best_move(other, 800, 29950);
    EXPECT_EQ(suite_recorded().mate_nodes, 800u);
    best_move(other, 900, 29960);
    EXPECT_EQ(suite_recorded().mate_nodes, 800u);
    best_move(other, 1000, 100);
    EXPECT_EQ(suite_recorded().mate_nodes, 0u);
    // No solution moves: the hook does nothing.
    suite_set_solutions(nullptr, 0, false);
    best_move(solution, 1200);
    EXPECT_EQ(suite_recorded().hit_nodes, 0u);
}

TEST(SuiteText, FenFieldsOfEpdLines) {
    std::string fen;
    auto at = epd_read_fen_fields("rnbqkbnr/8/8/8/8/8/8/RNBQKBNR  w KQkq -   bm e4; id \"x\";", fen);
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(fen, "rnbqkbnr/8/8/8/8/8/8/RNBQKBNR w KQkq -");
    const std::string with_counters = "8/8/8/8/8/8/8/K6k b - - 12 40 bm Kb2;";
    at = epd_read_fen_fields(with_counters, fen);
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(with_counters.substr(*at), " bm Kb2;");
    EXPECT_FALSE(epd_read_fen_fields("8/8/8/8/8/8/8/K6k b -", fen).has_value());
}

TEST(SuiteText, Operations) {
    const std::string ops = " bm Qg6 Qh5; id \"WAC 1\";c0 a; b;x_1 ;";
    std::string op, arg;
    std::vector<std::pair<std::string, std::string>> seen;
    size_t at = 0;
    while (auto next = epd_next_operation(ops, at, op, arg)) {
        if (op.empty()) break;
        seen.emplace_back(op, arg);
        at = *next;
    }
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"bm", "Qg6 Qh5"}, {"id", "\"WAC 1\""}, {"c0", "a"}, {"b", ""}, {"x_1", ""}};
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(epd_next_operation(" 9a b;", 0, op, arg).has_value());
}

TEST(SuiteText, LinesLoseOnlyTheirLineEnd) {
    EXPECT_EQ(suite_line_body("solution Qg6\n"), "solution Qg6");
    EXPECT_EQ(suite_line_body("solution Qg6\r\n"), "solution Qg6");
    EXPECT_EQ(suite_line_body("solution Qg6"), "solution Qg6");
    EXPECT_EQ(suite_line_body(""), "");
}

// ---- whole suites, at depth 1, in a scratch folder -------------------------------------

struct SuiteRun : Suites {
    void SetUp() override {
        Suites::SetUp();
        ASSERT_EQ(getcwd(saved, sizeof saved), saved);
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        output_capture quiet;
        run_line("sd 1");
    }
    void TearDown() override {
        output_capture quiet;
        max_depth = 0;
        init_clocks();  // sd left the clocks at a fixed time per move
        EXPECT_EQ(chdir(saved), 0);
        Suites::TearDown();
    }
    testsupport::TempDir dir;
    char saved[4096];
};

TEST_F(SuiteRun, AScriptWithAnAvoidListAndNoFinalLineEnd) {
    dir.write("t.ci", std::string("; a comment\ntitle first\r\nsetboard ") + wac001 +
                          "\nsolution Qg6 Nxf7+?\nnoop between\ntitle second\nsetboard " + wac001 + "\nsolution Qg6");
    output_capture out;
    run_line("test t.ci");
    const std::string epd = dir.read("tmp.epd");
    EXPECT_NE(epd.find("am Qg6 Nxf7+; id \"t.ci 1\";"), std::string::npos) << epd;
    EXPECT_NE(epd.find("bm Qg6; id \"t.ci 2\";"), std::string::npos) << epd;
    const std::string pgn = dir.read("tmp.pgn");
    EXPECT_NE(pgn.find("[Event \"t.ci 1\"]"), std::string::npos);
    EXPECT_NE(pgn.find("1. Qg6 $2 (1. Nxf7+ $2)  *"), std::string::npos) << pgn;
    EXPECT_NE(out.text().find("  2 tested"), std::string::npos);
    EXPECT_NE(dir.read("test.sum").find("TEST t.ci by Orvik Vellimast search time"), std::string::npos);
    EXPECT_NE(dir.read("test.sum").find("hash_errors"), std::string::npos);
}

TEST_F(SuiteRun, AnEpdLineWithBmThenAmAvoidsAllItsMoves) {
    dir.write("a.epd", std::string(wac001) + " bm Qg6; am Nxf7+; id \"both\";\n\n" + wac001 + " c0 \"no moves\";\n");
    output_capture out;
    run_line("epdtest a.epd");
    const std::string text = out.text();
    EXPECT_NE(text.find("Warning: seen am 1 times and bm 1 times"), std::string::npos);
    EXPECT_NE(text.find("no solutions"), std::string::npos);
    EXPECT_NE(text.find("  1 tested"), std::string::npos);
    EXPECT_EQ(text.find("  2 tested"), std::string::npos);
    EXPECT_NE(text.find("           both:"), std::string::npos);
    EXPECT_NE(text.find("       no moves:"), std::string::npos);
    EXPECT_NE(text.find("Dalvry formula Sum(10.0*exp(-ln(2)*solution_time/60.0)) = "), std::string::npos);
    EXPECT_NE(dir.read("tmp.pgn").find("1. Qg6 $2 (1. Nxf7+ $2)"), std::string::npos);
}

TEST_F(SuiteRun, NothingTestedDividesByNothing) {
    dir.write("empty.epd", "\n   \nnot a position\n");
    output_capture out;
    run_line("epdtest empty.epd");
    const std::string text = out.text();
    EXPECT_NE(text.find("No FEN found"), std::string::npos);
    EXPECT_NE(text.find("av depth 0.000 (nm 0.000)"), std::string::npos) << text;
    EXPECT_NE(text.find("log(win_nodes) = 0.00000 log(win_time) = 0.00000"), std::string::npos);
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(dir.read("test.sum"), "");
    run_line("test missing.ci");
    EXPECT_NE(out.text().find("Could not open \"missing.ci\" in mode r: Winboard does not like my error message"),
              std::string::npos);
}

TEST_F(SuiteRun, CooktestLeavesTheSolutionOut) {
    dir.write("c.epd", "6k1/5ppp/8/8/8/8/8/R5K1 w - - bm Ra8#; id \"mate\";\n");
    output_capture out;
    run_line("epdtest c.epd");
    EXPECT_NE(out.text().find("1.Ra8"), std::string::npos);
    EXPECT_NE(out.text().find("ok after"), std::string::npos);
    out.clear();
    run_line("cooktest c.epd");
    const std::string text = out.text();
    EXPECT_NE(text.find("solution moves disabled"), std::string::npos);
    EXPECT_EQ(text.find("ok after"), std::string::npos);
    EXPECT_EQ(text.find("1.Ra8"), std::string::npos) << text;
    EXPECT_EQ(text.find("Dalvry"), std::string::npos);
}

}  // namespace
