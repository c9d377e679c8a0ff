// Commands that search or count many times as one run (perftest, epdtest, test,
// annotate): the lines that wait meanwhile run after it, in their order; "?" and "quit"
// still stop it, lines answered during a search are answered at once, and the end of
// the input lets the run finish before the engine exits.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine_session.h"

namespace {

using namespace e2e;

// A rook ending with a small tree: 14, 191, 2812, 43238, 674624, 11030083 positions.
const char* kRookEnding = "setboard 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1";
const std::vector<std::string> kRookCounts = {" 1:              14", " 2:             191", " 3:            2812",
                                              " 4:           43238", " 5:          674624", " 6:        11030083"};

std::vector<std::string> wac_lines(size_t first, size_t n) {
    std::ifstream in(std::string(ORVIK_TEST_DATA) + "/wac.epd");
    std::vector<std::string> out;
    std::string l;
    for (size_t i = 0; out.size() < n && std::getline(in, l); ++i)
        if (i >= first) out.push_back(l);
    return out;
}

size_t index_of(const std::vector<std::string>& lines, const std::string& line) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == line) return i;
    return lines.size();
}

// The node total of a suite's summary line.
unsigned long suite_nodes(const std::vector<std::string>& lines) {
    static const std::regex total(R"(^(\d+) nodes, \d+ leavenodes in )");
    std::smatch m;
    for (const auto& l : lines)
        if (std::regex_search(l, m, total)) return std::stoul(m[1]);
    return 0;
}

}  // namespace

// The next command of a script waits for the count; isready is answered during it.
TEST(OrvikBatch, PerftestLetsTheNextLinesWait) {
    session s;
    s.send({kRookEnding, "perftest 6", "isready", "fen"});
    auto lines = s.until_prefix("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1");
    ASSERT_TRUE(s.got(lines));
    for (const auto& count : kRookCounts) EXPECT_LT(index_of(lines, count), lines.size()) << count;
    // The first four plies are done before the input is looked at, the last two after.
    EXPECT_LT(index_of(lines, kRookCounts[3]), index_of(lines, "readyok"));
    EXPECT_LT(index_of(lines, "readyok"), index_of(lines, kRookCounts[5]));
    for (const auto& l : lines) EXPECT_EQ(l.find("perftest stopped"), std::string::npos) << l;
}

// A stopped count keeps the plies it finished; "?" stops it, "quit" stops it and ends.
TEST(OrvikBatch, PerftestStoppedKeepsItsFinishedPlies) {
    for (const char* stop : {"?", "quit"}) {
        session s;
        s.send({kRookEnding, "perftest 8", stop, "fen"});
        auto lines = s.until_prefix("perftest stopped after ");
        ASSERT_TRUE(s.got(lines)) << stop;
        ASSERT_GE(lines.size(), 6u) << stop;
        for (size_t i = 0; i < 5; ++i) EXPECT_EQ(lines[lines.size() - 6 + i], kRookCounts[i]) << stop;
        if (std::string(stop) == "quit") {
            EXPECT_EQ(s.child.waitExit(5s), 0);
        } else {
            EXPECT_TRUE(s.got(s.until_prefix("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1")));
        }
    }
}

// A line waiting on the pipe once cut every search of the suite at its first poll.
TEST(OrvikBatch, EpdtestSearchesInFullWithALineWaiting) {
    session s;
    s.dir.write("w3.epd", wac_lines(1, 3)[0] + "\n" + wac_lines(1, 3)[1] + "\n" + wac_lines(1, 3)[2] + "\n");
    // WAC.004 is a mate found at once; the other two search their 30,000 nodes.
    s.send({"nodes 30000", "epdtest w3.epd", "isready", "fen"});
    auto lines = s.until_prefix("r1bq2rk/pp3pbp/2p1p1pQ/7P/3P4/2PB1N2/PP3PPR/2KR4 w - - 0 1", std::chrono::minutes(2));
    ASSERT_TRUE(s.got(lines));
    EXPECT_GT(suite_nodes(lines), 60000ul);
    size_t first_verdict = lines.size();
    for (size_t i = 0; i < lines.size() && first_verdict == lines.size(); ++i)
        if (starts_with(lines[i], "  1 tested, ")) first_verdict = i;
    EXPECT_LT(index_of(lines, "readyok"), first_verdict);
    // The waiting line runs after the suite, on its last position.
    bool summary_before = false;
    for (const auto& l : lines) summary_before = summary_before || starts_with(l, "Dalvry formula Sum(");
    EXPECT_TRUE(summary_before);
    EXPECT_NE(s.dir.read("test.sum").find("  3 tested, "), std::string::npos);
}

// From a script whose input has ended, the suite runs to its end before the engine exits.
TEST(OrvikBatch, TheEndOfTheInputLetsTheSuiteFinish) {
    session s;
    std::string script;
    for (const auto& l : wac_lines(1, 2)) {
        std::istringstream in(l);
        std::string placement, side, castling, ep;
        in >> placement >> side >> castling >> ep;
        const size_t bm = l.find("bm ");
        script += "title x\nsetboard " + placement + " " + side + " " + castling + " " + ep + "\nsolution " +
                  l.substr(bm + 3, l.find(';', bm) - bm - 3) + "\n";
    }
    s.dir.write("w2.ci", script);
    s.send({"nodes 20000", "test w2.ci"});
    s.child.closeInput();
    auto lines = s.until_prefix("log(win_nodes)", std::chrono::minutes(2));
    ASSERT_TRUE(s.got(lines));
    bool both = false;
    for (const auto& l : lines) both = both || starts_with(l, "  2 tested, ");
    EXPECT_TRUE(both);
    EXPECT_GT(suite_nodes(lines), 40000ul);
    EXPECT_EQ(s.child.waitExit(10s), 0);
}

// Lines queued behind an annotation run after it, every one of them (each once took the
// place of the one before as the line that broke off a search).
TEST(OrvikBatch, AnnotateRunsTheQueuedLinesAfterIt) {
    session s;
    s.dir.write("game.pgn", "[Event \"Test\"]\n[White \"A\"]\n[Black \"B\"]\n[Result \"*\"]\n\n1. e4 e5 2. Nf3 *\n");
    s.send({"annotate game.pgn out.pgn 1 0.1", "fen", "fen"});
    const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    int fens = 0;
    auto lines = s.until([&](const std::string& l) { return l == start && ++fens == 2; }, std::chrono::minutes(1));
    EXPECT_TRUE(s.got(lines));
    const std::string out = s.dir.read("out.pgn");
    EXPECT_NE(out.find("[Event \"Test\"]"), std::string::npos) << "the lines came before the annotation was written";
}
