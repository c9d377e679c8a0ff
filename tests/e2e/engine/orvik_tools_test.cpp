// Orvik's sizes and file tools through its pipe: the hash table beyond a gigabyte, the
// table cache below a block, set-up games through the PGN tools, annotation that cannot
// write or find its game, and the messages of the book commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "engine_session.h"

using namespace e2e;

namespace {
bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool has_prefix(const std::vector<std::string>& lines, const std::string& prefix) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return starts_with(l, prefix); });
}

// A game from a set-up position (Black to move at move 12), and one from the start.
const char* const SET_UP_GAMES =
    "[Event \"Set up\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 0 12\"]\n[Result \"*\"]\n\n"
    "12... Kd7 13. e4 Ke6 14. Ke2 Ke5 15. Ke3 *\n\n"
    "[Event \"Start\"]\n[Result \"1-0\"]\n\n1. e4 e5 2. Nf3 1-0\n";
}  // namespace

TEST(OrvikSizes, TheUciHashRangeStatesTheLargestTableAndItsSizesWork) {
    session s;
    s.send({"uci"});
    const auto reply = s.until_prefix("uciok");
    ASSERT_TRUE(s.got(reply));
    const auto line = std::find_if(reply.begin(), reply.end(),
                                   [](const std::string& l) { return starts_with(l, "option name Hash type spin"); });
    ASSERT_NE(line, reply.end());
    std::smatch m;
    ASSERT_TRUE(std::regex_match(*line, m, std::regex(R"(option name Hash type spin default 1 min 1 max (\d+))")))
        << *line;
    const long max = std::atol(m[1].str().c_str());
    // More than a gigabyte (this machine has it), at most the 48 GB the table can address.
    EXPECT_GT(max, 1024);
    EXPECT_LE(max, 49151);
    // A moderate size beyond the old limit of 1024 is not cut to it: the table is searched.
    s.send({"setoption name Hash value 40", "isready"});
    ASSERT_TRUE(s.got(s.until_prefix("readyok")));
    s.send({"position startpos", "go depth 3"});
    EXPECT_TRUE(s.got(s.until_prefix("bestmove ")));
}

TEST(OrvikSizes, ATableCacheBelowOneBlockIsRaisedAndTheTablesAnswer) {
    session s;
    // A sparse table of the right size: every entry a draw.
    s.dir.write("kqk.nbw", std::string(25629, '\0'));
    s.send({"egtb_cache 100", "tbldir .", "setboard 8/8/7k/8/8/8/8/Q3K3 w - - 0 1", "sd 2", "go", "ping 1"});
    const auto lines = s.until_prefix("pong 1");
    ASSERT_TRUE(s.got(lines));
    EXPECT_TRUE(has(lines, "egtb_cache = 8260 (raised from 100: the smallest cache that holds a block)"));
    EXPECT_TRUE(has(lines, "3-men endgame table bases found"));
    // The root probe of the search reads the table through the one block.
    EXPECT_TRUE(has(lines, "tbscore = 0"));
}

TEST(OrvikPgnTools, SetUpGamesKeepTheirStartWhereverTheyAreWritten) {
    session s;
    s.dir.write("g.pgn", SET_UP_GAMES);
    s.send({"pelvat_pgn g.pgn p.pgn p", "pelvat_pgn g.pgn x.pgn x", "mq_pgn g.pgn m.pgn",
            "annotate g.pgn a.pgn 1 0.02 w", "ping 1"});
    ASSERT_TRUE(s.got(s.until_prefix("pong 1", 60s)));
    const std::string tags = "[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 0 12\"]\n";
    for (const char* f : {"p.pgn", "x.pgn", "m.pgn", "a.pgn"}) {
        const std::string text = s.dir.read(f);
        SCOPED_TRACE(f);
        ASSERT_NE(text.find(tags), std::string::npos) << text;
        EXPECT_EQ(text.find("FEN", text.find(tags) + tags.size()), std::string::npos) << "only the set-up game has one";
    }
    EXPECT_NE(s.dir.read("p.pgn").find("12...Kd7 13. e4 Ke6 14. Ke2 Ke5 15. Ke3 *"), std::string::npos);
    EXPECT_NE(s.dir.read("m.pgn").find("Kd7 e4 Ke6 Ke2 Ke5 Ke3 "), std::string::npos);
    // Read back, every game replays from its own start.
    s.send({"book_parse p.pgn", "book_parse x.pgn", "book_parse m.pgn", "book_parse a.pgn", "ping 2"});
    const auto parsed = s.until_prefix("pong 2");
    ASSERT_TRUE(s.got(parsed));
    EXPECT_FALSE(has_prefix(parsed, "bad move")) << "a game replayed from the wrong position";
    EXPECT_EQ(
        std::count_if(parsed.begin(), parsed.end(),
                      [](const std::string& l) { return l.find("lines: ngames = 2 nmoves =") != std::string::npos; }),
        3);
}

TEST(OrvikAnnotate, AnOutputThatCannotBeOpenedOrAMissingGameIsRefusedAtOnce) {
    session s;
    s.dir.write("g.pgn", SET_UP_GAMES);
    s.send({"annotate g.pgn /nonexistent/x.pgn 2 0.02", "ping 1"});
    auto lines = s.until_prefix("pong 1");
    ASSERT_TRUE(s.got(lines));
    const auto refused = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return starts_with(l, "Could not open \"/nonexistent/x.pgn\" in mode a");
    });
    ASSERT_NE(refused, lines.end());
    // Nothing was searched before the refusal.
    EXPECT_FALSE(std::any_of(lines.begin(), refused, [](const std::string& l) {
        return starts_with(l, "suggesting") || l.find("Nodes/sec") != std::string::npos;
    }));

    s.send({"annotate g.pgn out.pgn 3 0.02", "ping 2"});
    lines = s.until_prefix("pong 2");
    ASSERT_TRUE(s.got(lines));
    EXPECT_TRUE(has(lines, "Game 3 not found: \"g.pgn\" holds 2 games"));
    EXPECT_FALSE(std::filesystem::exists(s.dir.file("out.pgn"))) << "no file is left behind";
}

TEST(OrvikBookCommands, UsageOfBookAddAndTheReasonOfABadMove) {
    session s;
    s.dir.write("bad.pgn", "[Event \"x\"]\n\n1. e4 Zx9 2. Nf3 *\n");
    s.send({"book_add", "book_parse bad.pgn", "ping 1"});
    const auto lines = s.until_prefix("pong 1");
    ASSERT_TRUE(s.got(lines));
    EXPECT_TRUE(has(lines, "Usage: book_add <pgn file> [plies, below 10 for 100] [selector] [annotated only]"));
    EXPECT_TRUE(has(lines, "bad move in book for side 1 \"Zx9\": no destination square nmoves 2 line 3"));
}
