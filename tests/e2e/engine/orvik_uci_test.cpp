// Orvik under a UCI host: identification and options, isready, setoption, position,
// every kind of go, stop and ponderhit, driven through standard input and output.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "engine_session.h"

using namespace e2e;

namespace {
struct uci_session : session {
    uci_session() {
        send({"uci"});
        reply = until([](const std::string& l) { return l == "uciok"; });
    }
    std::vector<std::string> reply;

    // Every line before `last` must be an info line.
    void only_info_before_last(const std::vector<std::string>& lines) {
        for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_TRUE(starts_with(lines[i], "info ")) << lines[i];
    }
    std::vector<std::string> bestmove(std::chrono::milliseconds timeout = 20s) {
        auto lines = until_prefix("bestmove", timeout);
        only_info_before_last(lines);
        return lines;
    }
    // The move of the bestmove line that ends `lines`.
    static std::string best_of(const std::vector<std::string>& lines) {
        const std::string& l = lines.back();
        return l.substr(9, l.find(' ', 9) - 9);
    }
    // Plays `moves` and tells whether the engine took every one of them.
    bool legal(const std::string& moves) {
        send({"position startpos moves " + moves, "isready"});
        auto lines = until_prefix("readyok");
        return got(lines) && lines.size() == 1;
    }
};
}  // namespace

TEST(OrvikUci, IdentificationAndOptionList) {
    uci_session s;
    // The Hash range ends at the largest table this machine holds (orvik_tools_test).
    std::string hash_line = "option name Hash type spin default 1 min 1 max ";
    for (const auto& l : s.reply)
        if (starts_with(l, hash_line)) hash_line = l;
    const std::vector<std::string> expected = {
        "",
        "id name Orvik Vellimast",
        "id author the Orvik developers",
        "option name Ponder type check default false",
        hash_line,
        "option name NalimovCache type spin min 1 max 64 default 2",
        "option name NalimovPath type string default <empty>",
        "option name Position Learning type check default true",
        "option name Log File type check default false",
        "option name Show hash performance type check default false",
        "option name Show add. EGTB info type combo default at end of search var never var at end of search var allways",
        "option name Endgame-Database Usage type combo default Normal var Never var Only at root var Very Low var Low var "
        "Normal var High",
        "option name Use only 3 and 4-men TBs type check default false",
        "option name OwnBook type check default true",
        "option name BookFile type string default kvbook.bin",
        "option name LearnBookFile type string default kvlearn.bin",
        "option name BookLearning type check default false",
        "option name Book Random type check default true",
        "option name BitbasePath type string default <empty>",
        "option name Selectivity type combo default Normal var None var Normal var Risky",
        "option name Extensions type combo default Normal var Normal var Aggressive",
        "option name Add. time for so many moves type spin min 0 max 15 default 5",
        "option name null_high type spin min 0 max 600 default 300",
        "option name null_low type spin min 0 max 600 default 300",
        "option name null_endgame type spin min 0 max 600 default 200",
        "option name null_split type spin min 0 max 2000 default 550",
        "option name Recapture extension type spin min 0 max 100 default 59",
        "option name Check extension type spin min 0 max 100 default 100",
        "option name Perpetual check extension type spin min 0 max 100 default 59",
        "option name Mate threat extension type spin min 0 max 100 default 100",
        "option name Passed pawn extension type spin min 0 max 100 default 100",
        "option name Autoplayer delay (ms) type spin min 0 max 2000 default 0",
        "option name Clear Hash type button",
        "uciok"};
    EXPECT_EQ(s.reply, expected);
    // Nothing but the answers from here on.
    s.send({"isready"});
    EXPECT_EQ(s.until_prefix("readyok"), std::vector<std::string>{"readyok"});
    s.send({"setoption name Hash value 64", "setoption name Hash value -5", "ucinewgame", "debug off", "isready"});
    EXPECT_EQ(s.until_prefix("readyok"), std::vector<std::string>{"readyok"});
}

// The reply as a host reads it, against a copy kept from before the options had their
// table; only the Hash range's end (the machine's memory) may differ.
TEST(OrvikUci, ReplyIsTheStoredCopy) {
    uci_session s;
    ASSERT_TRUE(s.got(s.reply));
    std::string reply;
    for (const auto& l : s.reply) reply += l + "\n";
    std::ifstream in(ORVIK_TEST_DATA "/orvik_uci_reply.txt", std::ios::binary);
    ASSERT_TRUE(in) << "tests/data/orvik_uci_reply.txt";
    const std::string stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::regex hash_end(R"((option name Hash type spin default 1 min 1 max )\d+)");
    EXPECT_EQ(std::regex_replace(reply, hash_end, "$1N"), std::regex_replace(stored, hash_end, "$1N"));
}

TEST(OrvikUci, GoMovetimeGivesOneLegalBestmove) {
    uci_session s;
    s.send({"position startpos moves e2e4 e7e5", "go movetime 300"});
    auto lines = s.bestmove();
    ASSERT_TRUE(s.got(lines));
    const std::string best = s.best_of(lines);
    EXPECT_TRUE(s.legal("e2e4 e7e5 " + best)) << best;
    // Exactly one bestmove: nothing follows it.
    EXPECT_TRUE(s.child.drain(300ms).empty());
}

TEST(OrvikUci, InfiniteUntilStop) {
    uci_session s;
    s.send({"position startpos", "go infinite"});
    auto early = s.until_prefix("bestmove", 700ms);
    EXPECT_FALSE(s.got(early)) << "bestmove before stop";
    s.send({"stop"});
    auto lines = s.bestmove(10s);
    ASSERT_TRUE(s.got(lines));
    s.send({"isready"});
    EXPECT_EQ(s.until_prefix("readyok"), std::vector<std::string>{"readyok"});
}

TEST(OrvikUci, PonderhitAndStopWhilePondering) {
    uci_session s;
    s.send({"position startpos moves e2e4 e7e5", "go ponder wtime 3000 btime 3000"});
    EXPECT_FALSE(s.got(s.until_prefix("bestmove", 500ms))) << "bestmove while pondering";
    s.send({"ponderhit"});
    auto lines = s.bestmove();
    ASSERT_TRUE(s.got(lines));
    s.send({"position startpos moves d2d4", "go ponder wtime 3000 btime 3000"});
    EXPECT_FALSE(s.got(s.until_prefix("bestmove", 500ms)));
    s.send({"stop"});
    lines = s.bestmove(10s);
    ASSERT_TRUE(s.got(lines));
    const std::string best = s.best_of(lines);
    EXPECT_TRUE(s.legal("d2d4 " + best)) << best;
}

// After a refused position the host's game is not the engine's: go answers the null
// move at once (any other would be a move of another game) until a position is taken.
TEST(OrvikUci, ARefusedPositionIsAnsweredWithTheNullMove) {
    uci_session s;
    s.send({"position startpos moves e2e4", "position fen 4k3/4Q3/8/8/8/8/8/4K3 w - - 0 1", "go depth 2"});
    auto lines = s.bestmove();
    const std::vector<std::string> refused = {
        "info string position refused: fen 4k3/4Q3/8/8/8/8/8/4K3 w - - 0 1",
        "info string no position to search: the last position command was refused", "bestmove 0000"};
    EXPECT_EQ(lines, refused);
    // Also under a clock, and for a move of the list.
    s.send({"position startpos moves e2e4 e7e4 d2d4", "go wtime 60000 btime 60000"});
    lines = s.bestmove();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "info string position refused: illegal move (illegal move): e7e4");
    EXPECT_EQ(lines[2], "bestmove 0000");
    // The next position taken is searched.
    s.send({"position startpos moves e2e4", "go depth 2"});
    lines = s.bestmove();
    ASSERT_TRUE(s.got(lines));
    const std::string best = s.best_of(lines);
    EXPECT_NE(best, "0000");
    EXPECT_TRUE(s.legal("e2e4 " + best)) << best;
}

// A fresh engine stands at the start position: ucinewgame and go search it.
TEST(OrvikUci, GoWithoutPositionSearchesTheStartPosition) {
    uci_session s;
    s.send({"ucinewgame", "go depth 2"});
    auto lines = s.bestmove();
    ASSERT_TRUE(s.got(lines));
    const std::string best = s.best_of(lines);
    EXPECT_TRUE(s.legal(best)) << best;
}

// The progress line comes every 4 s of a long search, not only at its start.
TEST(OrvikUci, ProgressLinesEveryFourSeconds) {
    uci_session s;
    s.send({"position startpos", "go infinite"});
    int progress = 0;
    auto lines = s.until([&](const std::string& l) { return starts_with(l, "info nodes ") && ++progress == 2; }, 20s);
    s.send({"stop"});
    EXPECT_TRUE(s.got(lines)) << "one progress line in 20 s";
    EXPECT_TRUE(s.got(s.bestmove(10s)));
}

TEST(OrvikUci, PromotionsAreLowerCase) {
    uci_session s;
    // The boxed-in king leaves White nothing but the four promotions.
    s.send({"position fen 8/4P3/8/7k/8/8/2q5/K7 w - - 0 1", "go depth 3"});
    auto lines = s.bestmove();
    ASSERT_TRUE(s.got(lines));
    EXPECT_TRUE(std::regex_search(lines.back(), std::regex("^bestmove e7e8[qrbn]( |$)"))) << lines.back();
    for (const auto& l : lines) {
        if (l.find(" pv ") != std::string::npos) {
            EXPECT_FALSE(std::regex_search(l, std::regex("e7e8[QRBN]"))) << l;
        }
    }
}

TEST(OrvikUci, AShortGameAgainstItsOwnPonderMoves) {
    uci_session s;
    std::string moves;
    s.send({"ucinewgame", "isready"});
    s.until_prefix("readyok");
    for (int i = 0; i < 8; ++i) {
        s.send({"position startpos" + (moves.empty() ? std::string() : " moves" + moves), "go wtime 4000 btime 4000"});
        auto lines = s.bestmove();
        ASSERT_TRUE(s.got(lines));
        const std::string& b = lines.back();
        std::vector<std::string> words;
        for (size_t at = 0; at < b.size();) {
            size_t end = b.find(' ', at);
            if (end == std::string::npos) end = b.size();
            words.push_back(b.substr(at, end - at));
            at = end + 1;
        }
        moves += " " + words[1];
        if (words.size() != 4 || words[2] != "ponder") break;
        moves += " " + words[3];
    }
    EXPECT_TRUE(s.legal(moves.substr(1))) << moves;
    s.send({"quit"});
    EXPECT_EQ(s.child.waitExit(5s), 0);
}

// Clocks at 0 with an increment: the engine moves at once, not on clock records of
// before (which gave some 18 s). The engine's own time for its search is asserted with
// a margin a loaded machine keeps.
TEST(OrvikUci, ClocksAtZeroWithAnIncrementMoveAtOnce) {
    uci_session s;
    s.send({"position startpos moves e2e4 e7e5", "go wtime 0 btime 0 winc 500 binc 500"});
    auto lines = s.bestmove();
    ASSERT_TRUE(s.got(lines));
    long ms = -1;
    for (const auto& l : lines) {
        std::smatch m;
        if (std::regex_search(l, m, std::regex(R"(^info depth \d+ .* time (\d+))"))) ms = std::stol(m[1]);
    }
    ASSERT_GE(ms, 0);
    EXPECT_LT(ms, 5000);
}

// Every limit given beside the host's clock is a limit, and the search ends at the first
// it reaches: here the clock of a second, long before a depth of 30, fifty million nodes
// or a mate in 3 (none is there). The move comes within the clock as the engine counts
// it, and within the clock and a margin a loaded machine keeps as this test counts it;
// the last count told lies below the node limit.
TEST(OrvikUci, ALimitBesideTheClockLeavesTheClockALimit) {
    uci_session s;
    for (const std::string limit : {"depth 30", "nodes 50000000", "mate 3"}) {
        SCOPED_TRACE(limit);
        s.send({"position startpos moves e2e4 e7e5", "go wtime 1000 btime 1000 " + limit});
        auto lines = s.bestmove(1s + 5s);
        ASSERT_TRUE(s.got(lines));
        long long nodes = -1, ms = -1;
        for (const auto& l : lines) {
            std::smatch m;
            if (std::regex_search(l, m, std::regex(R"(^info .* nodes (\d+))"))) nodes = std::stoll(m[1]);
            if (std::regex_search(l, m, std::regex(R"(^info depth .* time (\d+))"))) ms = std::stoll(m[1]);
        }
        EXPECT_LT(nodes, 50000000);
        EXPECT_LE(ms, 1000);
    }
}

// Limits that cannot be met end the search all the same: a mate search where there is
// none ends when the depth that could hold the mate is searched, and a depth of 0 or
// below is a depth of 1 (xboard's sd too).
TEST(OrvikUci, LimitsThatCannotBeMetEndTheSearch) {
    uci_session s;
    for (const std::string go : {"go mate 2", "go mate 0", "go depth 0", "go depth -3"}) {
        SCOPED_TRACE(go);
        s.send({"position startpos", go});
        ASSERT_TRUE(s.got(s.bestmove(30s)));
    }
    session x;
    x.send({"xboard", "protover 2", "new", "sd 0", "go"});
    EXPECT_TRUE(x.got(x.until_prefix("move ", 30s)));
}

// go mate N answers the mate within N moves where there is one, with its score, and a
// move where there is none (positions of the win-at-chess suite: a queen sacrifice that
// mates in 2, mates in 3 and 4; a middle game without one).
TEST(OrvikUci, GoMateAnswersTheMateThatIsThere) {
    auto fen_of = [](const std::string& id) {
        std::ifstream in(ORVIK_TEST_DATA "/wac.epd");
        for (std::string line; std::getline(in, line);)
            if (line.find("id \"" + id + "\"") != std::string::npos) {
                size_t at = 0;
                for (int field = 0; field < 4; ++field) at = line.find(' ', at + 1);
                return line.substr(0, at) + " 0 1";
            }
        return std::string();
    };
    const struct {
        std::string fen;
        int moves;
        const char* best;  // nullptr: there is no mate
    } cases[] = {
        {fen_of("WAC.001"), 2, "g3g6"},
        {fen_of("WAC.001"), 3, "g3g6"},
        {fen_of("WAC.050"), 3, "b7b6"},
        {fen_of("WAC.014"), 4, "h3h7"},
        {"r3k2r/pp1n1ppp/2p1pn2/q2p4/1bPP4/2N1PN2/PPQB1PPP/R3KB1R w KQkq - 0 1", 3, nullptr},
    };
    uci_session s;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fen + " mate " + std::to_string(c.moves));
        ASSERT_FALSE(c.fen.empty());
        s.send({"position fen " + c.fen, "go mate " + std::to_string(c.moves)});
        const auto lines = s.bestmove(30s);
        ASSERT_TRUE(s.got(lines));
        int mate = 0;
        for (const auto& l : lines) {
            std::smatch m;
            if (std::regex_search(l, m, std::regex(R"( score mate (-?\d+) )"))) mate = std::stoi(m[1]);
        }
        if (c.best) {
            EXPECT_EQ(s.best_of(lines), c.best);
            EXPECT_TRUE(mate >= 1 && mate <= c.moves) << mate;
        } else {
            EXPECT_EQ(mate, 0);
        }
    }
}

// A book move has no line behind it: its info line carries no pv word.
TEST(OrvikUci, ABookMoveIsToldWithoutAnEmptyPv) {
    const std::string pgn =
        "[Result \"1-0\"]\n\n1. e4 e5 2. Nf3 Nc6 1-0\n\n[Result \"1-0\"]\n\n1. e4 e5 2. Nf3 Nf6 1-0\n\n";
    session s(std::vector<std::pair<std::string, std::string>>{{"two.pgn", pgn}});
    s.send({"book_create two.pgn 101 10", "uci"});
    ASSERT_TRUE(s.got(s.until([](const std::string& l) { return l == "uciok"; })));
    s.send({"position startpos", "go wtime 60000 btime 60000"});
    auto lines = s.until_prefix("bestmove");
    ASSERT_TRUE(s.got(lines));
    EXPECT_EQ(lines.back(), "bestmove e2e4");
    EXPECT_NE(std::find_if(lines.begin(), lines.end(), [](auto& l) { return starts_with(l, "info depth 0 "); }),
              lines.end());
    for (const auto& l : lines) {
        if (l.find(" pv") != std::string::npos) {
            EXPECT_TRUE(std::regex_search(l, std::regex(" pv [a-h][1-8][a-h][1-8]"))) << l;
        }
    }
}

// ucinewgame ends the game's record and starts the next numbered log, as new does: one
// log per game, each with its own game.
TEST(OrvikUci, UcinewgameStartsANewGameRecordAndLog) {
    uci_session s;
    s.send({"setoption name Log File value true", "ucinewgame", "position startpos moves e2e4 e7e5", "go depth 1"});
    ASSERT_TRUE(s.got(s.bestmove()));
    s.send({"ucinewgame", "position startpos moves d2d4 d7d5", "go depth 1"});
    ASSERT_TRUE(s.got(s.bestmove()));
    s.send({"ucinewgame", "isready"});
    ASSERT_TRUE(s.got(s.until_prefix("readyok")));
    const std::string first = s.dir.read("orvik0001.log"), second = s.dir.read("orvik0002.log");
    for (const std::string* log : {&first, &second}) {
        EXPECT_EQ(log->find("Illegal move"), std::string::npos) << *log;
        size_t events = 0;
        for (size_t at = log->find("[Event "); at != std::string::npos; at = log->find("[Event ", at + 1)) ++events;
        EXPECT_EQ(events, 1u) << *log;
    }
    EXPECT_TRUE(std::regex_search(first, std::regex(R"(\n1\. (e2)?e4 (e7)?e5)"))) << first;
    EXPECT_TRUE(std::regex_search(second, std::regex(R"(\n1\. (d2)?d4 (d7)?d5)"))) << second;
}
