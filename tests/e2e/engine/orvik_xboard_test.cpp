// Orvik under an xboard host: the feature list, ping, pondering, analysis, move forms,
// results and the game records, driven through standard input and output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "engine_session.h"

using namespace e2e;

namespace {
struct xboard_session : session {
    xboard_session() {
        send({"xboard", "protover 2"});
        features = until_prefix("feature done=1");
    }
    std::vector<std::string> features;
};

int count_of(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}
}  // namespace

TEST(OrvikXboard, FeaturesInOrder) {
    xboard_session s;
    const std::vector<std::string> expected = {"xboard_mode is On",
                                               "feature ping=1",
                                               "feature setboard=1",
                                               "feature playother=0",
                                               "feature san=0",
                                               "feature usermove=0",
                                               "feature time=1",
                                               "feature draw=0",
                                               "feature reuse=1",
                                               "feature analyze=1",
                                               "feature myname=\"Orvik Vellimast\"",
                                               "feature variants=\"normal\"",
                                               "feature colors=1",
                                               "feature ics=1",
                                               "feature name=1",
                                               "feature done=1"};
    EXPECT_EQ(s.features, expected);
    s.send({"protover 1", "ping 1"});
    EXPECT_EQ(s.until_prefix("pong"), std::vector<std::string>{"pong 1"});
    s.send({"xboard OFF"});
    EXPECT_EQ(s.until_prefix("xboard_mode"), std::vector<std::string>{"xboard_mode is Off"});
}

TEST(OrvikXboard, PingDuringTheEnginesOwnSearchComesAfterItsMove) {
    xboard_session s;
    s.send({"new", "st 60", "go", "ping 9"});
    // The ping stops the search (it may not run during one): the move comes first.
    auto lines = s.until_prefix("pong", 20s);
    ASSERT_TRUE(s.got(lines));
    EXPECT_EQ(lines.back(), "pong 9");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](auto& l) { return starts_with(l, "move "); }), 1);
}

TEST(OrvikXboard, PingWhilePonderingKeepsThePondering) {
    xboard_session s;
    s.send({"new", "hard", "post", "st 0.3", "go"});
    auto lines = s.until_prefix("move ");
    ASSERT_TRUE(s.got(lines));
    auto hint = s.until_prefix("Hint: ");
    ASSERT_TRUE(s.got(hint));
    const std::string expected = hint.back().substr(6);
    s.send({"ping 8"});
    lines = s.until_prefix("pong");
    ASSERT_TRUE(s.got(lines));
    EXPECT_EQ(lines.back(), "pong 8");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](auto& l) { return starts_with(l, "move "); }), 0);
    // The expected reply is a ponder hit: the search goes on and the engine moves.
    s.send({expected});
    lines = s.until_prefix("move ");
    EXPECT_TRUE(s.got(lines));
    s.send({"easy", "force", "ping 10"});
    EXPECT_TRUE(s.got(s.until_prefix("pong 10")));
}

TEST(OrvikXboard, PromotionsCarryACapitalLetter) {
    xboard_session s;
    // The boxed-in king leaves White nothing but the four promotions.
    s.send({"new", "force", "setboard 8/4P3/8/7k/8/8/2q5/K7 w - - 0 1", "sd 3", "go"});
    auto lines = s.until_prefix("move ");
    ASSERT_TRUE(s.got(lines));
    EXPECT_TRUE(std::regex_match(lines.back(), std::regex("move e7e8[QRBN]"))) << lines.back();
}

TEST(OrvikXboard, AnalysisStatusAndExit) {
    xboard_session s;
    s.send({"new", "force", "post", "analyze"});
    auto lines =
        s.until([](const std::string& l) { return !l.empty() && std::isdigit(static_cast<unsigned char>(l[0])); });
    ASSERT_TRUE(s.got(lines));
    s.send({"."});
    lines = s.until_prefix("stat01: ");
    ASSERT_TRUE(s.got(lines));
    // A move restarts the analysis in the new position.
    s.send({"e2e4"});
    lines = s.until([](const std::string& l) { return l.find("...") != std::string::npos; });
    EXPECT_TRUE(s.got(lines));
    s.send({"exit", "ping 4"});
    lines = s.until_prefix("pong");
    ASSERT_TRUE(s.got(lines));
    EXPECT_EQ(lines.back(), "pong 4");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](auto& l) { return starts_with(l, "move "); }), 0);
}

TEST(OrvikXboard, IcsGreetingsAndTells) {
    xboard_session s;
    s.send({"ics freechess"});
    EXPECT_EQ(s.until_prefix("tellics").back(), "tellics set 1 Orvik (Orvik) Vellimast");
    s.send({"name bob"});
    EXPECT_EQ(s.until_prefix("tellics").back(), "tellics say Hello bob from Orvik version Vellimast");
    s.send({"version beta", "say kibitz", "name ann"});
    EXPECT_EQ(s.until_prefix("tellics").back(), "tellics set 1 Orvik (Orvik) Vellimast beta");
    EXPECT_EQ(s.until_prefix("tellics").back(), "tellics kibitz Hello ann from Orvik version Vellimast beta");
    s.send({"ics -", "ping 2"});
    EXPECT_EQ(s.until_prefix("pong").size(), 1u);  // nothing before the pong
}

TEST(OrvikXboard, AShortGameEndsInOneRecord) {
    xboard_session s;
    s.send({"sgames games.pgn", "new", "name tester", "sd 2", "go"});
    for (int i = 0; i < 6; ++i) {
        auto lines = s.until_prefix("move ");
        ASSERT_TRUE(s.got(lines)) << "engine move " << i;
        s.send({"hint"});
        auto hint = s.until_prefix("Hint: ");
        ASSERT_TRUE(s.got(hint));
        if (hint.back() == "Hint: no hint available") break;
        s.send({hint.back().substr(6)});
    }
    s.until_prefix("move ");
    s.send({"result 1/2-1/2 {adjourned}", "result 1/2-1/2 {adjourned}", "new", "ping 3"});
    ASSERT_TRUE(s.got(s.until_prefix("pong 3")));
    const std::string games = s.dir.read("games.pgn");
    EXPECT_EQ(count_of(games, "[Event "), 1) << games;
    EXPECT_NE(games.find("[Black \"tester\"]"), std::string::npos);
    EXPECT_NE(games.find("[Result \"1/2-1/2\"]"), std::string::npos);
    EXPECT_NE(games.find("1/2-1/2 {adjourned}\n\n"), std::string::npos);
}

TEST(OrvikXboard, MateEndsTheGameAndPgnExtractReadsTheRecord) {
    xboard_session s;
    // Black (the engine) is mated: its search finds no move and announces the result.
    s.send({"sgames games.pgn", "new", "force", "setboard 7k/p5pp/8/8/8/8/8/1R4K1 b - - 0 1", "a7a6", "b1b8", "sd 3",
            "go"});
    auto lines = s.until_prefix("1-0 {White mates}");
    ASSERT_TRUE(s.got(lines));
    s.send({"result 1-0 {White mates}", "new", "ping 5"});
    ASSERT_TRUE(s.got(s.until_prefix("pong 5")));
    const std::string games = s.dir.read("games.pgn");
    EXPECT_EQ(count_of(games, "[Event "), 1) << games;
    EXPECT_NE(games.find("[SetUp \"1\"]\n[FEN \"7k/p5pp/8/8/8/8/8/1R4K1 b - - 0 1\"]"), std::string::npos) << games;
    EXPECT_NE(games.find("1...a6 {0.00s} 2. Rb8# {0.00s} 1-0 {White mates}"), std::string::npos) << games;
#ifdef PGN_EXTRACT_PROGRAM
    const std::string report = s.dir.file("report.txt");
    const std::string cmd = std::string(PGN_EXTRACT_PROGRAM) + " -s -o " + s.dir.file("out.pgn") + " " +
                            s.dir.file("games.pgn") + " >" + report + " 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(s.dir.read("report.txt"), "");
    EXPECT_NE(s.dir.read("out.pgn").find("Rb8#"), std::string::npos);
#endif
}

// time is the engine's own clock and otim the opponent's, whichever colour go then
// gives the engine: with 0.05 s of its own left it plans well under half a second.
TEST(OrvikXboard, TimeIsTheEnginesClockWhateverColourGoGivesIt) {
    xboard_session s;
    s.send({"new", "log clocks.log", "time 5", "otim 6000", "go"});
    ASSERT_TRUE(s.got(s.until_prefix("move ")));
    const std::string log = s.dir.read("clocks.log");
    std::smatch plan;
    ASSERT_TRUE(
        std::regex_search(log, plan, std::regex(R"(usetime = ([0-9.]+), mintime = [0-9.]+ maxtime = ([0-9.]+))")))
        << log;
    EXPECT_LT(std::stod(plan[2]), 0.5) << plan[0];
}

namespace {
bool thinking_line(const std::string& l) { return !l.empty() && std::isdigit(static_cast<unsigned char>(l[0])); }

// The variation of a thinking line: what follows depth, score, time, nodes and type.
std::string variation_of(const std::string& l) {
    std::smatch m;
    return std::regex_match(l, m, std::regex(R"(\d+ -?\d+ \d+ \d+ \S+ +(.*))")) ? m[1].str() : "";
}
}  // namespace

// Each thinking line belongs to the position analysed: the old position's analysis sends
// nothing after the command that ends it. Two bare kings reach the last depth at once
// and wait there, so the first line after each command is the new position's.
TEST(OrvikXboard, AnalysisLinesBelongToThePositionAnalysed) {
    xboard_session s;
    auto at_last_depth = [](const std::string& l) {
        return starts_with(l, "63 ") && l.find(" .  ") != std::string::npos;
    };
    s.send({"new", "force", "setboard 4k3/8/8/8/8/8/8/4K3 w - - 0 1", "post", "analyze"});
    ASSERT_TRUE(s.got(s.until(at_last_depth)));
    const struct {
        const char* command;
        const char* first;  // how the first line's variation begins
    } steps[] = {
        {"e1e2", "1...K"},
        {"undo", "1.K"},
        {"setboard 8/8/3k4/8/8/8/8/K7 b - - 0 1", "1...K"},
    };
    for (const auto& step : steps) {
        s.send({step.command});
        auto lines = s.until(at_last_depth);
        ASSERT_TRUE(s.got(lines)) << step.command;
        auto first = std::find_if(lines.begin(), lines.end(), thinking_line);
        EXPECT_TRUE(starts_with(variation_of(*first), step.first)) << step.command << ": " << *first;
    }
    // new: the start position, whose first move is no king's.
    s.send({"new"});
    auto lines = s.until(thinking_line);
    ASSERT_TRUE(s.got(lines));
    const std::string pv = variation_of(lines.back());
    EXPECT_TRUE(starts_with(pv, "1.") && !starts_with(pv, "1.K") && !starts_with(pv, "1...")) << lines.back();
    s.send({"exit", "ping 1"});
    EXPECT_TRUE(s.got(s.until_prefix("pong 1")));
}

// A null move stored along the line is no move for the host: no variation holds "null"
// (this position's analysis met one at depth 4).
TEST(OrvikXboard, AnalysisVariationsHoldNoNullMove) {
    xboard_session s;
    s.send({"new", "force", "setboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4", "post",
            "analyze"});
    auto lines = s.until([](const std::string& l) { return starts_with(l, "6 "); });
    ASSERT_TRUE(s.got(lines));
    for (const auto& l : lines) {
        if (thinking_line(l)) {
            EXPECT_EQ(l.find("null"), std::string::npos) << l;
        }
    }
    s.send({"exit", "ping 1"});
    EXPECT_TRUE(s.got(s.until_prefix("pong 1")));
}
