// Orvik fed hostile input: the few lines that once broke it, each sent through its
// standard input in an empty folder. The program must answer sensibly, report no
// sanitizer finding and end cleanly on "quit".
#include <gtest/gtest.h>

#include <cctype>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>
#include <sstream>
#include <string>
#include <vector>

#include "engine_session.h"

using namespace e2e;

namespace {
struct hostile : session {
    // Ends the program with "quit": its exit status (-1 when it does not end).
    int finish(std::chrono::milliseconds timeout = 30s) {
        child.writeLine("quit");
        const auto status = child.waitExit(timeout);
        if (!status) child.kill();
        for (const auto& l : child.errorLines()) {
            EXPECT_EQ(l.find("runtime error"), std::string::npos) << l;
            EXPECT_EQ(l.find("Sanitizer"), std::string::npos) << l;
        }
        return status ? *status : -1;
    }
    std::string fen() {
        static const std::regex fen_line(R"(^[1-8pnbrqkPNBRQK/]+ [wb] .*$)");
        send({"fen"});
        auto lines = until([](const std::string& l) { return std::regex_match(l, fen_line); });
        return got(lines) ? lines.back() : "";
    }
};

bool any_contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

// From-square rank of a UCI bestmove ("bestmove e7e5 ..." -> '7').
char from_rank(const std::string& bestmove_line) { return bestmove_line.size() > 10 ? bestmove_line[10] : '?'; }

std::string repeated_knight_moves(int plies) {
    static const char* const cycle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    std::string moves;
    for (int i = 0; i < plies; ++i) moves += std::string(i ? " " : "") + cycle[i % 4];
    return moves;
}
}  // namespace

// The engine's own move on a full game record is answered but not recorded.
TEST(OrvikHostile, UciMoveOnAFullGameRecord) {
    hostile s;
    s.send({"uci", "position startpos moves " + repeated_knight_moves(959), "go nodes 2000"});
    auto lines = s.until_prefix("bestmove");
    ASSERT_TRUE(s.got(lines));
    const char rank = from_rank(lines.back());
    EXPECT_TRUE(rank == '7' || rank == '8') << lines.back();  // a Black move
    s.send({"isready"});
    EXPECT_TRUE(s.got(s.until_prefix("readyok")));
    EXPECT_EQ(s.finish(), 0);
}

// The colour of a taken-back move is the mover's, whatever side to move was set since.
TEST(OrvikHostile, UndoAfterTheSideToMoveWasSetByHand) {
    hostile s;
    s.send({"position startpos moves e2e4", "white", "undo", "sd 3", "go"});
    const std::string fen = s.fen();
    // One White move from the initial position, Black untouched.
    EXPECT_EQ(fen.rfind("rnbqkbnr/pppppppp/", 0), 0u) << fen;
    EXPECT_NE(fen.find(" b KQkq"), std::string::npos) << fen;
    EXPECT_EQ(s.finish(), 0);
}

// Under UCI the ponder command only names a hint: the search is the host's "go".
TEST(OrvikHostile, PonderCommandUnderUci) {
    hostile s;
    s.send({"uci"});
    ASSERT_TRUE(s.got(s.until_prefix("uciok")));
    s.send({"position startpos moves e2e4", "ponder e7e5", "go depth 3"});
    auto lines = s.until_prefix("bestmove");
    ASSERT_TRUE(s.got(lines));
    const char rank = from_rank(lines.back());
    EXPECT_TRUE(rank == '7' || rank == '8') << lines.back();  // a Black move
    for (const auto& l : lines) EXPECT_TRUE(starts_with(l, "info ") || starts_with(l, "bestmove")) << l;
    s.send({"isready"});
    lines = s.until_prefix("readyok");
    ASSERT_TRUE(s.got(lines));
    EXPECT_EQ(lines.size(), 1u) << "no second answer";
    EXPECT_EQ(s.finish(), 0);
}

// A ponder search that refuses its position has no best move: "stop" answers the null
// move, not the move of the search before it played again on the board.
TEST(OrvikHostile, UciPonderStopOnARefusedPosition) {
    hostile s;
    s.send({"uci"});
    ASSERT_TRUE(s.got(s.until_prefix("uciok")));
    // The engine mates with d1d8 and keeps it on its board; "white" leaves Black in check.
    s.send({"position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "go depth 1"});
    auto lines = s.until_prefix("bestmove");
    ASSERT_TRUE(s.got(lines));
    EXPECT_EQ(lines.back(), "bestmove d1d8");
    s.send({"white", "go ponder", "stop"});
    lines = s.until_prefix("bestmove");
    ASSERT_TRUE(s.got(lines));
    EXPECT_TRUE(any_contains(lines, "the side not to move is in check"));
    EXPECT_EQ(lines.back(), "bestmove 0000");
    // The board is as it was: the next search refuses it again.
    s.send({"go depth 1"});
    lines = s.until_prefix("bestmove");
    ASSERT_TRUE(s.got(lines));
    EXPECT_EQ(lines.back(), "bestmove 0000");
    EXPECT_EQ(s.finish(), 0);
}

// A move line that ends a UCI ponder search is read against the position searched, not
// the node the search stands on (where the h-pawn has always moved already): h2h4 is
// played, and h3h4, legal only down the tree, is no move and not played on the board.
TEST(OrvikHostile, UciPonderReadsAMoveAgainstThePositionSearched) {
    hostile s;
    s.send({"uci"});
    ASSERT_TRUE(s.got(s.until_prefix("uciok")));
    for (const auto& [typed, answer] : {std::pair{"h2h4", "bestmove h2h4"}, std::pair{"h3h4", "bestmove h2h3"}}) {
        s.send({"position startpos", "go ponder searchmoves h2h3", typed});
        auto lines = s.until_prefix("bestmove");
        ASSERT_TRUE(s.got(lines)) << typed;
        EXPECT_TRUE(starts_with(lines.back(), answer)) << typed << ": " << lines.back();
        // The engine keeps its answer on its board: Black's reply follows from there.
        s.send({"go depth 1"});
        lines = s.until_prefix("bestmove");
        ASSERT_TRUE(s.got(lines)) << typed;
        const char rank = from_rank(lines.back());
        EXPECT_TRUE(rank == '7' || rank == '8') << typed << ": " << lines.back();
    }
    EXPECT_EQ(s.finish(), 0);
}

// Positions refused before they reach the lists or the search.
TEST(OrvikHostile, RefusedPositions) {
    {
        hostile s;
        s.send({"setboard PPPPPPPP/PPPPPPPP/PPPPPPPP/PPPKPPPP/pppppppp/ppppkppp/pppppppp/pppppppp w - - 0 1"});
        EXPECT_TRUE(s.got(
            s.until([](const std::string& l) { return l.find("setboard error while verify") != std::string::npos; })));
        EXPECT_EQ(s.fen().rfind("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq", 0), 0u);
        EXPECT_EQ(s.finish(), 0);
    }
    {
        // An analysis with the side set by hand against the en-passant square, then a
        // refused position: the analysis goes on with the position it had.
        hostile s;
        s.send({"setboard rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3", "analyze", "black",
                "setboard pppppppp/4k3/8/8/8/8/4K3/PPPPPPPP w - - 0 1"});
        EXPECT_TRUE(
            s.got(s.until([](const std::string& l) { return l.find("white pawn on row 1") != std::string::npos; })));
        s.send({"exit"});
        EXPECT_EQ(s.fen().rfind("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR b KQkq", 0), 0u);
        EXPECT_EQ(s.finish(), 0);
    }
}

// A side to move set by hand may leave the other king in check: nothing takes it, not
// even the book listing's legality test or the speed benchmark's make and take-back (a
// king taken and put back came last in its list, and the search then took it).
TEST(OrvikHostile, SideToMoveThatCouldTakeTheKing) {
    hostile s;
    s.send(
        {"setboard 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "d1d8", "white", "bk", "speed", "perftest 3", "sd 3", "go"});
    for (const char* refused : {"speed", "perftest", "go"}) {
        auto lines = s.until(
            [](const std::string& l) { return l.find("the side not to move is in check") != std::string::npos; });
        ASSERT_TRUE(s.got(lines)) << refused;
    }
    EXPECT_EQ(s.fen().rfind("3R2k1/5ppp/8/8/8/8/5PPP/6K1 w", 0), 0u);
    EXPECT_EQ(s.finish(), 0);
}

// Settings at the edges of their types are limited, the echo says so, and searches and
// the UCI option list stay exact.
TEST(OrvikHostile, ExtremeSettingValues) {
    // Console searches are followed by "fen": the engine, White, has moved.
    const struct {
        std::vector<std::string> lines;
        std::string echo;
        std::string answer;  // waited for after the lines
    } cases[] = {
        {{"window -2147483648", "sd 3", "go", "fen"}, "window = 1 (limited to 1..30001)", " b KQkq"},
        {{"irepcheck 9223372036854775808", "go 2", "fen"}, "irepcheck = 64.00 (limited to -64..64 plies)", " b KQkq"},
        {{"ut1 2147483647", "ut2 -2147483648", "sd 3", "go", "fen"}, "ut1 = 1000 (limited to -1000..1000)", " b KQkq"},
        {{"null_low -2147483648", "null_high 99999999999", "sd 4", "go", "fen"},
         "null_high = 64.00 (limited",
         " b KQkq"},
        {{"icheck 1e300", "ipawn7 -1e300", "sd 4", "go", "fen"}, "ipawn7 = -64.00 (limited", " b KQkq"},
        {{"irepcheck 99999999999M", "uci"},
         "irepcheck = 64.00",
         "option name Perpetual check extension type spin min 0 max 100 default 6400"},
        {{"uci", "setoption name Check extension value 2147483647", "position startpos", "go depth 3"}, "", "bestmove"},
        {{"uci", "setoption name Autoplayer delay (ms) value 2000", "position startpos",
          "go wtime -9223372036854775808 btime 5 winc -9223372036854775808 movestogo 99999999999999"},
         "",
         "bestmove"},
        {{"perftest 99999999999999999999", "?"}, "", "perftest stopped"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.front());
        hostile s;
        s.send(c.lines);
        auto lines = s.until([&](const std::string& l) { return l.find(c.answer) != std::string::npos; });
        ASSERT_TRUE(s.got(lines));
        if (!c.echo.empty()) {
            EXPECT_TRUE(any_contains(lines, c.echo));
        }
        EXPECT_EQ(s.finish(), 0);
    }
}

// The console's move-exclusion dialogue never takes a UCI host's lines.
TEST(OrvikHostile, ExclusionDialogueStaysOutOfUci) {
    hostile s;
    s.send({"uci", "eml_mode 1", "position startpos", "go depth 2", "isready"});
    auto lines = s.until_prefix("readyok");
    ASSERT_TRUE(s.got(lines));
    EXPECT_TRUE(any_contains(lines, "bestmove "));
    EXPECT_EQ(s.finish(), 0);
}

// Command files: a file of NUL bytes, a device and the open log are no command input.
TEST(OrvikHostile, CommandFilesThatNeverEnd) {
    {
        hostile s;
        s.dir.write("nul", std::string(4096, '\0') + "quit\n");
        s.send({"input nul", "input /dev/full"});
        EXPECT_TRUE(
            s.got(s.until([](const std::string& l) { return l.find("holds a NUL byte") != std::string::npos; })));
        EXPECT_TRUE(s.got(
            s.until([](const std::string& l) { return l.find("Could not open \"/dev/full\"") != std::string::npos; })));
        EXPECT_FALSE(s.fen().empty());
        EXPECT_EQ(s.finish(), 0);
    }
    {
        hostile s;
        s.send({"log x", "input x"});
        EXPECT_TRUE(s.got(
            s.until([](const std::string& l) { return l.find("it is the open log file") != std::string::npos; })));
        EXPECT_FALSE(s.fen().empty());
        EXPECT_EQ(s.finish(), 0);
    }
    {
        // A script that names itself is read once.
        hostile s;
        s.dir.write("self", "input self\nfen\n");
        s.send({"input self"});
        EXPECT_TRUE(s.got(s.until(
            [](const std::string& l) { return l.find("are read from \"self\" already") != std::string::npos; })));
        EXPECT_EQ(s.finish(), 0);
    }
    {
        // The other way round: a script does not log into itself.
        hostile s;
        s.dir.write("script", "loga script\nfen\n");
        s.send({"input script"});
        EXPECT_TRUE(s.got(
            s.until([](const std::string& l) { return l.find("commands are read from it") != std::string::npos; })));
        EXPECT_EQ(s.finish(), 0);
    }
}

// Every reader of text files stops at a NUL byte (a device that never ends is not read:
// it is no regular file), and the engine answers the next line.
TEST(OrvikHostile, TextFilesThatNeverEnd) {
    hostile s;
    s.dir.write("nul", std::string(65536, '\0') + "1. e4 e5 *\n");
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"read_pgn nul 9", "\"nul\" holds a NUL byte: no more games"},
        {"book_parse nul", "\"nul\" holds a NUL byte: no more games"},
        {"book_create nul 7 20", "\"nul\" holds a NUL byte: no more games"},
        {"import_pos nul", "\"nul\" holds a NUL byte: no more positions"},
        {"epdtest nul", "\"nul\" holds a NUL byte: no more positions"},
        {"cooktest nul", "\"nul\" holds a NUL byte: no more positions"},
        {"test nul", "\"nul\" holds a NUL byte: no more positions"},
        {"mq_pgn nul out.pgn", "\"nul\" holds a NUL byte: no more games"},
        {"read_pgn /dev/zero 9", "Could not open \"/dev/zero\""},
    };
    for (const auto& c : cases) {
        s.send({c.line});
        EXPECT_TRUE(s.got(s.until([&](const std::string& l) { return l.find(c.message) != std::string::npos; })))
            << c.line;
        EXPECT_FALSE(s.fen().empty()) << c.line;
    }
    EXPECT_EQ(s.finish(), 0);
}

// What a command reads is logged: no reader takes the open log, which would grow as
// it is read.
TEST(OrvikHostile, NoReaderTakesTheOpenLog) {
    hostile s;
    s.send({"log x"});
    for (const char* line : {"epdtest x", "cooktest x", "test x", "import_pos x", "book_parse x", "read_pgn x 1",
                             "book_create x 7 20", "pelvat_pgn x y p", "annotate x y 1 0.01"}) {
        s.send({line});
        EXPECT_TRUE(s.got(s.until([](const std::string& l) {
            return l.find("\"x\" is not read: it is the open log file") != std::string::npos;
        }))) << line;
        EXPECT_FALSE(s.fen().empty()) << line;
    }
    EXPECT_EQ(s.finish(), 0);
}

// Files the engine writes over are never what it reads or a special file: a suite of
// lost positions is not emptied before it is tested, nor the games a PGN tool reads,
// and a book named after a device is not put in its place.
TEST(OrvikHostile, OutputNeverReplacesItsInput) {
    hostile s;
    const std::string lost = "8/8/8/8/8/8/6k1/4K2R w K - 0 1 bm O-O; id \"lost 1\";\n";
    s.dir.write("lost.epd", lost);
    s.dir.write("game.pgn", "[Event \"x\"]\n\n1. e4 e5 2. Nf3 *\n");
    ASSERT_EQ(symlink("/dev/null", s.dir.file("null").c_str()), 0);
    s.send({"epdtest lost.epd"});
    EXPECT_TRUE(s.got(s.until([](const std::string& l) {
        return l.find("\"lost.epd\" is not tested: the test writes its results into it") != std::string::npos;
    })));
    s.send({"pelvat_pgn game.pgn game.pgn p"});
    EXPECT_TRUE(s.got(s.until([](const std::string& l) {
        return l.find("\"game.pgn\" is the input: it is not also the output") != std::string::npos;
    })));
    s.send({"book_file null", "book_create game.pgn 7 20"});
    EXPECT_TRUE(s.got(s.until([](const std::string& l) {
        return l.find("\"null\" is no plain file: no book is written there") != std::string::npos;
    })));
    EXPECT_FALSE(s.fen().empty());
    EXPECT_EQ(s.finish(), 0);
    EXPECT_EQ(s.dir.read("lost.epd"), lost);
    EXPECT_EQ(s.dir.read("game.pgn"), "[Event \"x\"]\n\n1. e4 e5 2. Nf3 *\n");
    struct stat st;
    ASSERT_EQ(lstat(s.dir.file("null").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// A book of more slots than the machine has memory for is refused at once, not filled
// until the system gives out (the sanitizer build stops at so large a request).
TEST(OrvikHostile, BookLargerThanTheMemoryIsRefused) {
    hostile s;
    s.dir.write("game.pgn", "[Event \"x\"]\n\n1. e4 e5 *\n");
    s.send({"book_create game.pgn 4294967295 20"});
    EXPECT_TRUE(s.got(s.until_prefix("Not enough memory for book creation")));
    s.send({"book_create game.pgn 1009 20"});
    EXPECT_TRUE(
        s.got(s.until([](const std::string& l) { return l.find("ngames = 1 nmoves = 2") != std::string::npos; })));
    EXPECT_EQ(s.finish(), 0);
}

// A deep perftest looks at the input as a search does: "quit" ends it.
TEST(OrvikHostile, PerftestStopsOnInput) {
    hostile s;
    // "." answers with the statistics once the count reads its input.
    auto counting = [&s] {
        s.send({"perftest 99", "."});
        return s.got(s.until([](const std::string& l) { return l.find(" nps, depth ") != std::string::npos; }, 30s));
    };
    ASSERT_TRUE(counting());
    s.send({"?"});
    EXPECT_TRUE(s.got(s.until_prefix("perftest stopped after", 30s)));
    ASSERT_TRUE(counting());
    EXPECT_EQ(s.finish(30s), 0);
}

// Under xboard every line that begins with a digit or a sign is a thinking line (or a
// result), in a whole game the engine plays against itself.
TEST(OrvikHostile, XboardLinesThatLookLikeThinkingAreThinking) {
    session s;
    s.send({"xboard", "protover 2"});
    ASSERT_TRUE(s.got(s.until_prefix("feature done=1")));
    s.send({"new", "post", "sd 3"});
    static const std::regex thinking(R"(^\d+ [-+]?\d+ \d+ \d+( .*)?$)");
    static const std::regex result(R"(^(1-0|0-1|1/2-1/2) \{.*\}$)");
    int moves = 0, thinking_lines = 0;
    bool over = false;
    for (int ply = 0; ply < 160 && !over; ++ply) {
        s.send({"go"});
        auto lines =
            s.until([](const std::string& l) { return starts_with(l, "move ") || std::regex_match(l, result); });
        ASSERT_TRUE(s.got(lines));
        for (const auto& l : lines) {
            if (l.empty() || !(std::isdigit(static_cast<unsigned char>(l[0])) || l[0] == '-' || l[0] == '+')) continue;
            if (std::regex_match(l, result)) {
                over = true;
                continue;
            }
            EXPECT_TRUE(std::regex_match(l, thinking)) << l;
            ++thinking_lines;
        }
        if (starts_with(lines.back(), "move ")) {
            ++moves;
        } else {
            over = true;
        }
    }
    EXPECT_GT(moves, 10);
    EXPECT_GT(thinking_lines, moves);
}

// Under UCI every word of a variation is a move in coordinates, over a short game.
TEST(OrvikHostile, UciVariationsHoldOnlyMoves) {
    session s;
    s.send({"uci"});
    ASSERT_TRUE(s.got(s.until_prefix("uciok")));
    static const std::regex move(R"(^[a-h][1-8][a-h][1-8][nbrq]?$)");
    std::string moves;
    int pv_lines = 0;
    for (int ply = 0; ply < 40; ++ply) {
        s.send({"position startpos" + (moves.empty() ? "" : " moves" + moves), "go depth 5"});
        auto lines = s.until_prefix("bestmove");
        ASSERT_TRUE(s.got(lines));
        for (const auto& l : lines) {
            const size_t at = l.find(" pv ");
            if (!starts_with(l, "info depth") || at == std::string::npos) continue;
            ++pv_lines;
            std::istringstream words(l.substr(at + 4));
            for (std::string w; words >> w;) EXPECT_TRUE(std::regex_match(w, move)) << l;
        }
        std::istringstream best(lines.back());
        std::string word, m;
        best >> word >> m;
        if (m == "0000") break;
        moves += " " + m;
    }
    EXPECT_GT(pv_lines, 40);
}
