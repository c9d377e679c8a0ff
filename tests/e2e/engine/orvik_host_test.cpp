// Orvik under the words of a real xboard host, and how it ends when its host goes away.
//
// The host side here replays what the Debian xboard program sends an engine in an
// engine-against-engine match (seen in its debug file): the feature answers, "new",
// "ics -", "level 0 0:10 0.1", "post", "hard" (and "easy" unless pondering), "ping",
// "force", then at the game start "computer", "name", the "black"/"white" colour
// commands around "time"/"otim", "go", and for every later move a SIGINT followed by
// "time", "otim" and the move; at the end SIGINT, "result", "force" and "ping". Two
// Orvik processes play each other through it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <regex>
#include <string>
#include <vector>

#include "engine_session.h"

using namespace e2e;

namespace {

const std::vector<std::string> feature_names = {"ping",     "setboard", "playother", "san",     "usermove",
                                                "time",     "draw",     "reuse",     "analyze", "myname",
                                                "variants", "colors",   "ics",       "name",    "done"};

struct host_engine {
    session s;
    std::string name;
    long clock_cs = 0;              // what the host's clock shows, centiseconds
    std::vector<std::string> seen;  // every line since the start, prompts removed

    explicit host_engine(std::string n) : name(std::move(n)) {}

    void hello() {
        s.send({"xboard", "protover 2"});
        keep(s.until_prefix("feature done=1"));
        for (const auto& f : feature_names) s.send({"accepted " + f});
    }
    void keep(const std::vector<std::string>& lines) { seen.insert(seen.end(), lines.begin(), lines.end()); }
    void interrupt() { ::kill(s.child.pid(), SIGINT); }
    // The engine's next move; empty when none came.
    std::string move(std::chrono::milliseconds timeout) {
        auto lines = s.until_prefix("move ", timeout);
        keep(lines);
        if (!s.got(lines)) return {};
        return lines.back().substr(5);
    }
    std::vector<std::string> complaints() const {
        std::vector<std::string> out;
        for (const auto& l : seen)
            if (starts_with(l, "Error") || starts_with(l, "Illegal move")) out.push_back(l);
        return out;
    }
};

// The host's "new" ... "force" block before a game.
void prepare(host_engine& e, bool ponder, int ping) {
    e.s.send({"new", "ics -", "level 0 0:03 0.1", "post", "hard"});
    if (!ponder) e.s.send({"easy"});
    e.s.send({"ping " + std::to_string(ping), "force"});
    auto lines = e.s.until_prefix("pong ");
    e.keep(lines);
    ASSERT_TRUE(e.s.got(lines));
    EXPECT_EQ(lines.back(), "pong " + std::to_string(ping));
}

// One game of `plies` half-moves from the start position, `white` against `black`, in
// the host's words; the host keeps both clocks. Returns the moves played.
std::vector<std::string> play(host_engine& white, host_engine& black, int plies, int ping) {
    using clock = std::chrono::steady_clock;
    std::vector<std::string> moves;
    white.clock_cs = black.clock_cs = 300;
    for (host_engine* e : {&white, &black}) e->s.send({"computer", "name " + (e == &white ? black : white).name});
    // White starts: "black" makes "time" the engine's own clock, "white" gives back the move.
    white.s.send({"black", "time 300", "otim 300", "white", "go"});
    auto t0 = clock::now();
    host_engine* mover = &white;
    host_engine* other = &black;
    for (int ply = 0; ply < plies; ++ply) {
        const std::string m = mover->move(std::chrono::seconds(20));
        EXPECT_FALSE(m.empty()) << mover->name << " gave no move at ply " << ply;
        if (m.empty()) return moves;
        const long used = std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - t0).count() / 10;
        mover->clock_cs += 10 - used;
        moves.push_back(m);
        if (ply + 1 == plies) break;
        if (ply == 0) {
            // Black's first turn: its clocks, White's move, then "black" and "go".
            other->s.send({"time " + std::to_string(other->clock_cs), "otim " + std::to_string(mover->clock_cs), m,
                           "black", "go"});
        } else {
            other->interrupt();
            other->s.send({"time " + std::to_string(other->clock_cs), "otim " + std::to_string(mover->clock_cs), m});
        }
        t0 = clock::now();
        std::swap(mover, other);
    }
    // The game is stopped by the host: neither engine may move afterwards.
    for (host_engine* e : {&white, &black}) {
        e->interrupt();
        e->s.send({"result 1/2-1/2 {stopped by the host}", "force", "ping " + std::to_string(ping)});
        auto lines = e->s.until_prefix("pong ");
        e->keep(lines);
        EXPECT_TRUE(e->s.got(lines)) << e->name;
        // Neither was told a move it could answer: any move line is out of turn.
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](auto& l) { return starts_with(l, "move "); }), 0)
            << e->name;
    }
    return moves;
}

void match(bool ponder) {
    host_engine a("Orvik A"), b("Orvik B");
    a.hello();
    b.hello();
    for (int game = 0; game < 2; ++game) {
        prepare(a, ponder, 2 * game + 1);
        prepare(b, ponder, 2 * game + 1);
        host_engine& white = game == 0 ? a : b;
        host_engine& black = game == 0 ? b : a;
        const auto moves = play(white, black, 8, 2 * game + 2);
        EXPECT_EQ(moves.size(), 8u) << "game " << game;
        for (const auto& m : moves) EXPECT_TRUE(std::regex_match(m, std::regex("[a-h][1-8][a-h][1-8][QRBN]?"))) << m;
    }
    for (host_engine* e : {&a, &b}) {
        EXPECT_TRUE(e->s.child.running()) << e->name << " did not survive the host's SIGINT";
        EXPECT_EQ(e->complaints(), std::vector<std::string>{}) << e->name;
        // The clock the host sent is the one the engine plans with.
        EXPECT_NE(std::find(e->seen.begin(), e->seen.end(), "tc 3.00, tu 0.00, sec 3.00, i 0.10"), e->seen.end())
            << e->name;
    }
}

}  // namespace

TEST(OrvikXboardHost, TwoGamesInTheHostsWords) { match(false); }

TEST(OrvikXboardHost, TwoGamesInTheHostsWordsWithPondering) { match(true); }

// ---- The host goes away: the engine ends at once, whatever it was doing. -----------

namespace {

// A thinking line of the xboard or console form (the console one is right-aligned).
bool is_thinking_line(const std::string& l) {
    const size_t first = l.find_first_not_of(' ');
    return first != std::string::npos && std::isdigit(static_cast<unsigned char>(l[first]));
}

struct eof_case {
    const char* name;
    std::vector<std::string> commands;
    const char* busy_mark;  // a line that shows the engine is busy (prefix); "#" a thinking line
};

void expect_ends_on_eof(const eof_case& c) {
    session s;
    s.send(c.commands);
    const std::string mark = c.busy_mark;
    auto lines = mark == "#" ? s.until(is_thinking_line) : s.until_prefix(mark);
    ASSERT_TRUE(s.got(lines)) << c.name;
    s.child.closeInput();
    EXPECT_TRUE(s.child.waitExit(std::chrono::seconds(3)).has_value())
        << c.name << ": still running after its input closed";
}

}  // namespace

TEST(OrvikEndOfInput, EndsDuringEverySearch) {
    const std::vector<eof_case> cases = {
        {"xboard search", {"xboard", "new", "post", "st 60", "go"}, "#"},
        {"xboard pondering", {"xboard", "new", "hard", "post", "st 0.2", "go"}, "Hint: "},
        {"xboard analysis", {"xboard", "new", "post", "analyze"}, "#"},
        // Mate in one is found at once: the analysis waits at its last depth.
        {"xboard analysis at its last depth",
         {"xboard", "post", "setboard 7k/8/6K1/8/8/8/8/1Q6 w - - 0 1", "analyze"},
         "#"},
        {"console search", {"post", "st 60", "go"}, "#"},
        {"console analysis", {"post", "analyze"}, "#"},
        {"UCI infinite", {"uci", "position startpos", "go infinite"}, "info depth"},
        {"UCI infinite at its last depth",
         {"uci", "position fen 7k/8/6K1/8/8/8/8/1Q6 w - - 0 1", "go infinite"},
         "info depth"},
        {"UCI pondering",
         {"uci", "setoption name Ponder value true", "position startpos moves e2e4",
          "go ponder wtime 60000 btime 60000"},
         "info depth"},
        {"UCI long search", {"uci", "position startpos", "go depth 60"}, "info depth"},
    };
    for (const auto& c : cases) expect_ends_on_eof(c);
}
