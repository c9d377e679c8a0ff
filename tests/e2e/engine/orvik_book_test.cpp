// Orvik's opening book and PGN tools as a whole program: the book from the opening
// lines, book play under xboard and UCI, opening names, damaged files at start-up,
// annotation and the tools' output read back by pgn-extract.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "book_keys.h"
#include "engine_session.h"

using namespace e2e;
using testsupport::ChildProcess;
using testsupport::TempDir;

namespace {
std::string eco_pgn() {
    std::ifstream in(ORVIK_TEST_DATA "/eco.pgn", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> after(const std::vector<std::string>& lines, const std::string& first) {
    auto it = std::find(lines.begin(), lines.end(), first);
    return it == lines.end() ? std::vector<std::string>{} : std::vector<std::string>(it, lines.end());
}

// A session whose folder holds the book made from the opening lines.
struct book_session : session {
    book_session() {
        dir.write("eco.pgn", eco_pgn());
        send({"book_create eco.pgn 30011 40", "ping 1"});
        made = until_prefix("pong 1", 60s);
    }
    std::vector<std::string> made;
};

// Lines of a program started in `folder` up to the one starting with `last`.
std::vector<std::string> start_up(ChildProcess& child, const TempDir& folder) {
    child.start(ORVIK_PROGRAM, {}, folder.path());
    std::vector<std::string> seen;
    child.readUntilContains("Playing without ini file", 10s, &seen);
    return seen;
}

std::string put32(std::string bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
    return bytes;
}

// What pgn-extract says about a file (empty when it reads it without a word).
std::string pgn_extract_complaints(const std::string& file) {
#ifdef PGN_EXTRACT_PROGRAM
    const std::string command = std::string(PGN_EXTRACT_PROGRAM) + " -s -o /dev/null '" + file + "' 2>&1";
    FILE* p = popen(command.c_str(), "r");
    std::string out;
    char buf[256];
    while (p && fgets(buf, sizeof buf, p)) out += buf;
    if (p) pclose(p);
    return out;
#else
    (void)file;
    return "";
#endif
}

}  // namespace

TEST(OrvikBook, BookFromTheOpeningLinesAndItsCandidates) {
    book_session s;
    ASSERT_TRUE(s.got(s.made));
    const auto summary = after(s.made, "12143 lines: ngames = 2015 nmoves = 20697 found 20697 rej 0");
    ASSERT_GE(summary.size(), 2u);
    EXPECT_EQ(summary[1], "nres 0");

    s.send({"bk", "ping 2"});
    auto lines = s.until_prefix("pong 2");
    ASSERT_GE(lines.size(), 22u);
    const std::vector<std::string> listing(lines.end() - 22, lines.end() - 1);
    EXPECT_EQ(listing.front(), " b4         flags   0 original count      3 count      0    0.0%");
    EXPECT_EQ(listing[17], " c4         flags   0 original count    100 count    100    5.2%");
    EXPECT_EQ(listing[18], " d4         flags   0 original count    681 count    681   35.2%");
    EXPECT_EQ(listing[19], " e4         flags   0 original count   1155 count   1155   59.7%");
    EXPECT_EQ(listing[20], "");

    s.send({"book_parse eco.pgn", "ping 3"});
    lines = s.until_prefix("pong 3", 60s);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "12143 lines: ngames = 2015 nmoves = 20697"), lines.end());
}

TEST(OrvikBook, BookMovesUnderXboardAndUci) {
    TempDir folder;
    {
        book_session s;
        ASSERT_TRUE(s.got(s.made));
        folder.write("kvbook.bin", s.dir.read("kvbook.bin"));
    }
    {
        ChildProcess child;
        start_up(child, folder);
        child.writeLine("xboard");
        child.writeLine("protover 2");
        child.writeLine("new");
        child.writeLine("go");
        auto move = child.readUntil([](const std::string& l) { return starts_with(l, "move "); }, 10s);
        ASSERT_TRUE(move);
        EXPECT_TRUE(*move == "move e2e4" || *move == "move d2d4" || *move == "move c2c4") << *move;
        child.writeLine("quit");
        child.waitExit(5s);
    }
    for (const bool random : {true, false}) {
        ChildProcess child;
        start_up(child, folder);
        child.writeLine("uci");
        if (!random) child.writeLine("setoption name Book Random value false");
        for (int game = 0; game < (random ? 1 : 3); ++game) {
            child.writeLine("position startpos");
            child.writeLine("go wtime 60000 btime 60000");
            auto best = child.readUntil([](const std::string& l) { return starts_with(l, "bestmove "); }, 10s);
            ASSERT_TRUE(best);
            if (random)
                EXPECT_TRUE(*best == "bestmove e2e4" || *best == "bestmove d2d4" || *best == "bestmove c2c4") << *best;
            else
                EXPECT_EQ(*best, "bestmove e2e4");
        }
        child.writeLine("quit");
        child.waitExit(5s);
    }
}

TEST(OrvikBook, OpeningNamesAfterEveryMove) {
    session s;
    const struct {
        const char* moves;
        const char* name;
    } cases[] = {
        {"b4 Nh6", "A00 Polish (Tuebingen variation)"},
        {"Nf3 d5 d4", "D02 Queen's pawn game"},
        {"e4 e5 Bc4 Nf6 d4 exd4 Nf3", "C43 Petrov (Urusov gambit)"},
        {"e4 c5 Nc3 d6 Nf3 Nf6 d4 cxd4 Nxd4 a6", "B90 Sicilian (Najdorf)"},
    };
    s.send({"force", "eco"});
    EXPECT_EQ(s.until_prefix("Sorry").back(), "Sorry, don't know the opening");
    for (const auto& k : cases) {
        s.send({"new", "force"});
        std::istringstream moves(k.moves);
        for (std::string m; moves >> m;) s.send({m});
        s.send({"eco"});
        auto lines = s.until([&](const std::string& l) { return l == k.name; });
        EXPECT_TRUE(s.got(lines)) << k.name;
    }
    s.send({"xboard", "new", "force", "b4", "eco"});
    EXPECT_TRUE(s.got(s.until([](const std::string& l) { return l == "telluser A00 Polish (Sokolsky) opening"; })));
}

// Each damaged file gives one line at start-up; the engine plays on and the file keeps
// its bytes.
TEST(OrvikBook, DamagedFilesAtStartUp) {
    std::string sound(128 + 2 * 20, '\0');
    sound.replace(0, 10, std::string("KVBOOK101\0", 10));
    sound = put32(put32(put32(put32(sound, 12, 1), 16, 128), 20, 20), 24, 2);
    // A loop: the start position's second entry links to itself.
    const uint64_t start = book_keys::game().key();
    std::string loop = sound;
    loop = put32(
        put32(put32(put32(loop, 128, static_cast<uint32_t>(start)), 132, static_cast<uint32_t>(start >> 32)), 136, 1),
        140, 5);
    loop[144] = static_cast<char>(12 | (28 << 6));  // e2e4
    loop[145] = static_cast<char>((12 | (28 << 6)) >> 8);
    loop = put32(
        put32(put32(put32(loop, 148, static_cast<uint32_t>(start)), 152, static_cast<uint32_t>(start >> 32)), 156, 1),
        160, 5);
    loop[164] = static_cast<char>(11 | (27 << 6));  // d2d4
    loop[165] = static_cast<char>((11 | (27 << 6)) >> 8);

    std::string learnpos(128, '\0');
    learnpos = put32(put32(learnpos, 4, 1), 8, 128);  // capacity 0
    const struct {
        const char* file;
        std::string bytes;
        const char* fault;
    } cases[] = {
        {"kvbook.bin", sound.substr(0, 100), "\"kvbook.bin\" is damaged (100 bytes, shorter than its header)"},
        {"kvbook.bin", "KVBOOK100" + sound.substr(9), "\"kvbook.bin\" is damaged (it does not begin with KVBOOK101)"},
        {"kvbook.bin", put32(sound, 20, 24), "\"kvbook.bin\" is damaged (entry size 24, not 20)"},
        {"kvbook.bin", put32(sound, 12, 0), "\"kvbook.bin\" is damaged (no slots)"},
        {"kvbook.bin", put32(sound, 24, 9), "\"kvbook.bin\" is damaged (168 bytes, 308 needed for 9 entries)"},
        {"kvbook.bin", loop, "\"kvbook.bin\" is damaged: entry 1 links to entry 1"},
        {"kvlearn.bin", sound.substr(0, 150), "\"kvlearn.bin\" is damaged (150 bytes, 168 needed for 2 entries)"},
        {"learnpos.bin", learnpos, "\"learnpos.bin\" is damaged (capacity 0)"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.fault);
        TempDir folder;
        folder.write(k.file, k.bytes);
        ChildProcess child;
        auto lines = start_up(child, folder);
        child.writeLine("xboard");
        child.writeLine("new");
        child.writeLine("sd 2");
        child.writeLine("go");
        std::vector<std::string> more;
        ASSERT_TRUE(child.readUntil([](const std::string& l) { return starts_with(l, "move "); }, 30s, &more));
        lines.insert(lines.end(), more.begin(), more.end());
        child.writeLine("quit");
        EXPECT_TRUE(child.waitExit(10s).has_value());
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.find(k.fault) != std::string::npos; }),
                  1);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& l) { return l.find("damaged") != std::string::npos; }),
                  1);
        EXPECT_EQ(folder.read(k.file), k.bytes);
    }
}

TEST(OrvikBook, AnnotationOfOneSideTwiceAppended) {
    session s;
    s.dir.write("game.pgn",
                "[Event \"Test\"]\n[Site \"Here\"]\n[White \"Alpha\"]\n[WhiteElo \"2000\"]\n[Black \"Beta\"]\n"
                "[Result \"0-1\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bc4 Nd4 4. Nxe5 Qg5 5. Nxf7 Qxg2 6. Rf1 Qxe4+ "
                "7. Be2 Nf3# 0-1\n");
    // Lines that come during an annotation wait for its end: the pong follows the file.
    s.send({"annotate game.pgn out.pgn 1 0.05 b", "ping 1"});
    ASSERT_TRUE(s.got(s.until_prefix("pong 1", 120s)));
    ASSERT_NE(s.dir.read("out.pgn").find("0-1\n\n"), std::string::npos);
    s.send({"annotate game.pgn out.pgn 1 0.05 b", "ping 2"});
    ASSERT_TRUE(s.got(s.until_prefix("pong 2", 120s)));
    const std::string out = s.dir.read("out.pgn");
    ASSERT_NE(out.find("0-1\n\n[Event \"Test\"]"), std::string::npos) << out;
    const size_t second = out.find("[Event", 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(out.find("[Event", second + 1), std::string::npos) << "two games";
    const std::string first = out.substr(0, second);
    EXPECT_EQ(
        first.find(
            "[Event \"Test\"]\n[Site \"Here\"]\n[Date \"?\"]\n[Round \"?\"]\n[White \"Alpha\"]\n[Black \"Beta\"]\n"
            "[Result \"0-1\"]\n[ECO \"C50\"]\n"),
        0u)
        << first;
    // Only Black's moves carry comments: what follows a White move is Black's move.
    std::string moves = first.substr(first.find("\n\n") + 2);
    std::string flat;
    int depth = 0;
    for (char c : moves) {
        if (c == '(') ++depth;
        if (depth == 0) flat += c == '\n' ? ' ' : c;
        if (c == ')') --depth;
    }
    std::istringstream words(flat);
    std::vector<std::string> w;
    for (std::string x; words >> x;) w.push_back(x);
    int comments = 0;
    for (size_t i = 0; i + 1 < w.size(); ++i) {
        if (w[i].find('{') != std::string::npos) ++comments;
        const bool white_move =
            i > 0 && w[i - 1].size() > 1 && w[i - 1].back() == '.' && w[i - 1].find("...") == std::string::npos;
        if (!white_move) continue;
        EXPECT_EQ(w[i + 1].find('{'), std::string::npos) << "comment after White's " << w[i];
    }
    EXPECT_GE(comments, 1);
    for (const char* mark : {"{HT}", "H ", "R "}) EXPECT_EQ(first.find(mark), std::string::npos) << mark;
    EXPECT_EQ(pgn_extract_complaints(s.dir.file("out.pgn")), "");
}

TEST(OrvikBook, ToolOutputIsReadablePgn) {
    session s;
    s.dir.write("games.pgn",
                "[Event \"One\"]\n[White \"orvik\"]\n[Black \"x\"]\n[Result \"1-0\"]\n[ECO \"C20\"]\n\n"
                "1. e4 e5 2. Nf3 {a comment} Nc6 (2...d6 3. d4) 3. Bb5 a6?! 4. Ba4 Nf6 5. O-O Be7 1-0\n\n"
                "[Event \"Two\"]\n[White \"y\"]\n[Black \"z\"]\n[Result \"1/2-1/2\"]\n\n"
                "1. d4 d5 2. c4 e6 3. Nc3 Nf6 4. cxd5 exd5 5. Bg5 c6 6. e3 Bf5 1/2-1/2\n");
    s.send({"pelvat_pgn games.pgn p.pgn p", "pelvat_pgn games.pgn pk.pgn p k", "pelvat_pgn games.pgn j.pgn j",
            "pelvat_pgn games.pgn jk.pgn j k", "pelvat_pgn games.pgn x.pgn x", "ferrun_pgn games.pgn f.pgn", "ping 5"});
    ASSERT_TRUE(s.got(s.until_prefix("pong 5", 30s)));
    for (const char* f : {"p.pgn", "pk.pgn", "j.pgn", "jk.pgn", "x.pgn", "f.pgn"}) {
        SCOPED_TRACE(f);
        EXPECT_NE(s.dir.read(f).find("Nf6"), std::string::npos);
        EXPECT_EQ(pgn_extract_complaints(s.dir.file(f)), "");
    }
    EXPECT_NE(s.dir.read("f.pgn").find("1. e4!! e5 2. Nf3!! Nc6 3. Bb5!! a6 4. Ba4!! Nf6 5. O-O!! Be7 1-0"),
              std::string::npos);
    EXPECT_NE(s.dir.read("pk.pgn").find("a6?!"), std::string::npos);
    EXPECT_EQ(s.dir.read("p.pgn").find("a6?!"), std::string::npos);
}
