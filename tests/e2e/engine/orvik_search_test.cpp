// Orvik thinking and playing as a whole program: mates and their score texts, the
// result lines, determinism of depth-limited searches, input noticed during a search,
// pondering, resignation and whole games under a clock.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "child_process.h"

using testsupport::ChildProcess;
using testsupport::TempDir;
using namespace std::chrono_literals;
using steady = std::chrono::steady_clock;

namespace {
// Strips the prompts that lead a line; a move line ("white ( 3): Nf3") keeps its last one.
std::string clean(const std::string& line) {
    static const std::regex prompt(R"(^((white|black) \( *-?\d+\): |pondering: ))");
    std::string rest = line, last;
    std::smatch m;
    while (std::regex_search(rest, m, prompt)) {
        last = m[0];
        rest = m.suffix();
    }
    if (!last.empty() && last != "pondering: " && !rest.empty() && rest.find(' ') == std::string::npos)
        return last + rest;
    return rest;
}

// The man on a square ("e4") of a FEN placement: its letter, or a blank.
char piece_at(const std::string& fen, const std::string& square) {
    int file = 0, rank = 7;
    for (char c : fen) {
        if (c == ' ') break;
        if (c == '/') {
            --rank;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
        } else {
            if (file == square[0] - 'a' && rank == square[1] - '1') return c;
            ++file;
        }
    }
    return ' ';
}

bool contains(const std::vector<std::string>& lines, const std::string& text) {
    for (auto& l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

struct engine {
    TempDir dir;
    ChildProcess child;
    engine() { EXPECT_TRUE(child.start(ORVIK_PROGRAM, {}, dir.path())); }
    void send(const std::vector<std::string>& lines) {
        for (auto& l : lines) child.writeLine(l);
    }
    // Every cleaned line up to the one containing `until`.
    std::vector<std::string> until(const std::string& text, std::chrono::milliseconds timeout = 30s) {
        std::vector<std::string> seen;
        auto hit = child.readUntil([&](const std::string& l) { return clean(l).find(text) != std::string::npos; },
                                   timeout, &seen);
        EXPECT_TRUE(hit.has_value()) << "no line with " << text;
        for (auto& s : seen) s = clean(s);
        return seen;
    }
    // The engine's move line for `side` ("white" or "black"): the move text.
    std::string move_of(const std::vector<std::string>& lines, const std::string& side) {
        const std::regex move_line("^" + side + R"( \( *\d+\): (\S+)$)");
        std::smatch m;
        for (auto& l : lines)
            if (std::regex_match(l, m, move_line)) return m[1];
        return "";
    }
    std::vector<std::string> think(const std::string& fen, const std::string& limit, const std::string& side) {
        send({"post", limit, "setboard " + fen, "go"});
        const std::regex move_line("^" + side + R"( \( *\d+\): \S+$)");
        std::vector<std::string> seen;
        auto hit =
            child.readUntil([&](const std::string& l) { return std::regex_match(clean(l), move_line); }, 60s, &seen);
        EXPECT_TRUE(hit.has_value()) << "no move of " << side;
        for (auto& s : seen) s = clean(s);
        return seen;
    }
};

// The final thinking line ("f." or "u.") of a search: nodes, time, score, depth, line.
struct final_line {
    unsigned long nodes = 0;
    double seconds = -1;
    std::string score, text;
};
final_line last_final(const std::vector<std::string>& lines) {
    static const std::regex re(R"(^\s*(\d+)\s+(\S+)\s+(\S+)\s*\d+[fu]\. (.*)$)");
    final_line f;
    std::smatch m;
    for (auto& l : lines)
        if (std::regex_match(l, m, re)) {
            f.nodes = std::stoul(m[1]);
            f.seconds = std::atof(std::string(m[2]).c_str());
            f.score = m[3];
            f.text = m[4];
        }
    return f;
}
}  // namespace

TEST(OrvikSearch, MateInOneIsPlayedWithItsScoreAndResult) {
    engine e;
    auto lines = e.think("7k/8/6K1/8/8/8/8/1Q6 w - - 0 1", "sd 4", "white");
    EXPECT_EQ(e.move_of(lines, "white"), "Qb8#");
    EXPECT_EQ(last_final(lines).score, "Mat01");
    auto after = e.until("{White mates}", 10s);
    EXPECT_TRUE(contains(after, "1-0 {White mates}"));
}

TEST(OrvikSearch, MateInThreeIsFoundAndShown) {
    engine e;
    auto lines = e.think("r3q1kr/ppp5/3p2pQ/8/3PP1b1/5R2/PPP3P1/5RK1 w - - 0 1", "sd 7", "white");
    EXPECT_EQ(e.move_of(lines, "white"), "Rf8+");
    EXPECT_EQ(last_final(lines).score, "Mat03");
}

TEST(OrvikSearch, StalemateAndCheckmateAfterSetboardGiveTheResultLines) {
    {
        engine e;
        e.send({"setboard 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go"});
        auto lines = e.until("Stalemate");
        EXPECT_TRUE(contains(lines, "1/2-1/2 {Stalemate}"));
    }
    {
        engine e;
        e.send({"setboard 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "go"});
        auto lines = e.until("mates");
        EXPECT_TRUE(contains(lines, "1-0 {White mates}"));
    }
    {
        engine e;
        e.send({"setboard 8/8/8/8/8/6k1/8/5q1K w - - 0 1", "go"});
        auto lines = e.until("mates");
        EXPECT_TRUE(contains(lines, "0-1 {Black mates}"));
    }
    {
        engine e;
        e.send({"setboard 8/8/4k3/8/8/3KB3/8/8 w - - 0 1", "go"});
        auto lines = e.until("insufficient");
        EXPECT_TRUE(contains(lines, "1/2-1/2 {Draw (insufficient material)}"));
    }
}

TEST(OrvikSearch, DepthLimitedSearchesAreTheSameInTwoProcesses) {
    const std::string fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
    final_line first, second;
    std::string move1, move2;
    {
        engine e;
        auto lines = e.think(fen, "sd 6", "white");
        first = last_final(lines);
        move1 = e.move_of(lines, "white");
    }
    {
        engine e;
        auto lines = e.think(fen, "sd 6", "white");
        second = last_final(lines);
        move2 = e.move_of(lines, "white");
    }
    EXPECT_GT(first.nodes, 1000u);
    EXPECT_EQ(first.nodes, second.nodes);
    EXPECT_EQ(first.score, second.score);
    EXPECT_EQ(first.text, second.text);
    EXPECT_EQ(move1, move2);
}

TEST(OrvikSearch, FixedTimePerMoveIsKept) {
    engine e;
    auto lines = e.think("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4", "st 1", "white");
    const final_line f = last_final(lines);
    // The engine's own measure of the search.
    EXPECT_GE(f.seconds, 0.9);
    EXPECT_LE(f.seconds, 1.1);
}

TEST(OrvikSearch, InputOnThePipeIsNoticedDuringTheSearch) {
    engine e;
    e.send({"post", "st 100", "go"});
    // The search has begun once it tells its time.
    e.until("usetime");
    // "." shows the search state and the search goes on.
    e.send({"."});
    auto stats = e.until("nodes,", 5s);
    EXPECT_TRUE(contains(stats, " nps, depth "));
    // Any other line stops the search: the move follows within the polling interval.
    const auto sent = steady::now();
    e.send({"?"});
    auto lines = e.until("white ( 1): ", 5s);
    (void)lines;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(steady::now() - sent).count(), 2000);
}

TEST(OrvikSearch, PonderHitAndMiss) {
    engine e;
    auto hint_of = [](const std::vector<std::string>& lines) {
        const std::string& l = lines.back();
        return l.substr(l.find("Hint: ") + 6);
    };
    e.send({"hard", "st 1", "go"});
    auto first = e.until("Hint: ", 20s);
    ASSERT_FALSE(e.move_of(first, "white").empty());
    const std::string x = hint_of(first);
    // The expected reply: the search goes on as the engine's own and its move follows.
    e.send({x});
    auto second = e.until("Hint: ", 20s);
    EXPECT_FALSE(e.move_of(second, "white").empty());
    const std::string y = hint_of(second);
    // Another reply: the ponder search is dropped, the typed move is played and answered.
    std::string other;
    for (const char* c : {"a6", "h6", "a5", "h5"})
        if (x != c && y != c) {
            other = c;
            break;
        }
    e.send({other});
    auto third = e.until("Hint: ", 20s);
    EXPECT_FALSE(e.move_of(third, "white").empty());
    // The typed move stands on the board: the black rook pawn left its file's seventh rank
    // for the square typed, whatever the engine answered.
    e.send({"force", "fen"});
    static const std::regex fen_text(R"(([pnbrqkPNBRQK1-8]+/){7}[pnbrqkPNBRQK1-8]+ [wb] )");
    std::string fen;
    for (int i = 0; i < 20 && fen.empty(); ++i) {
        const auto lines = e.until("/", 10s);
        std::smatch m;
        if (!lines.empty() && std::regex_search(lines.back(), m, fen_text)) fen = m.str();
    }
    ASSERT_FALSE(fen.empty());
    EXPECT_EQ(piece_at(fen, other), 'p') << fen;
    EXPECT_EQ(piece_at(fen, std::string{other[0], '7'}), ' ') << fen;
}

TEST(OrvikSearch, LostGameIsResigned) {
    engine e;
    // Black has only its king and a pawn against a queen and rook; the engine plays both sides.
    e.send({"sd 3", "setboard 4k3/8/8/8/8/3p4/8/QR2K3 b - - 0 1", "auto"});
    auto lines = e.until("resigns", 60s);
    EXPECT_TRUE(contains(lines, "1-0 {Black resigns}"));
}

// A game of 60 moves a side with the engine on both sides under "level 40 0:15 0":
// each side's 40 moves fit into its 15 s, and the next control's moves into the next 15 s.
TEST(OrvikSearchSlow, DISABLED_WholeGameStaysInsideTheClock) {
    engine e;
    e.send({"level 40 0:15 0", "auto"});
    const std::regex move_line(R"(^(white|black) \( *(\d+)\): (\S+)$)");
    double used[2][2] = {{0, 0}, {0, 0}};
    auto last = steady::now();
    int plies = 0;
    bool ended = false;
    while (plies < 120 && !ended) {
        std::vector<std::string> seen;
        auto hit = e.child.readUntil(
            [&](const std::string& l) {
                const std::string c = clean(l);
                return std::regex_match(c, move_line) || c.find("{") == 0 || c.find("1/2-1/2") != std::string::npos ||
                       c.find("mates}") != std::string::npos || c.find("resigns}") != std::string::npos;
            },
            60s, &seen);
        ASSERT_TRUE(hit.has_value()) << "no move after ply " << plies;
        const std::string c = clean(*hit);
        std::smatch m;
        if (!std::regex_match(c, m, move_line)) {
            ended = true;
            break;
        }
        const auto now = steady::now();
        const double s = std::chrono::duration<double>(now - last).count();
        last = now;
        const int side = m[1] == "white" ? 0 : 1;
        const int number = std::stoi(m[2]);
        used[side][number > 40 ? 1 : 0] += s;
        ++plies;
    }
    for (int side = 0; side < 2; ++side) {
        EXPECT_LT(used[side][0], 15.0) << "side " << side;
        EXPECT_LT(used[side][1], 15.0) << "side " << side;
    }
}
