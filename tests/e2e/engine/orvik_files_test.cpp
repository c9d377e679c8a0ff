// Orvik's files where match runners put it: several engines in one folder learning and
// logging at once, and file names that stand for the engine's own standard streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "engine_session.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {
const char* const START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

uint32_t u32(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

// Engines started together in one folder, each past its start-up.
struct engines_in_one_folder {
    testsupport::TempDir dir;
    std::vector<std::unique_ptr<testsupport::ChildProcess>> all;

    explicit engines_in_one_folder(int n) {
        for (int i = 0; i < n; ++i) {
            all.push_back(std::make_unique<testsupport::ChildProcess>());
            all.back()->start(ORVIK_PROGRAM, {}, dir.path());
        }
        for (auto& e : all) EXPECT_TRUE(e->readUntilContains("Playing without ini file", 20s));
    }
    // Every engine answers a ping: all it was sent before is done.
    void settle(int id) {
        for (auto& e : all) e->writeLine("ping " + std::to_string(id));
        for (auto& e : all)
            EXPECT_TRUE(e->readUntilContains("pong " + std::to_string(id), 60s)) << "an engine no longer answers";
    }
    ~engines_in_one_folder() {
        for (auto& e : all) e->writeLine("quit");
        for (auto& e : all)
            if (!e->waitExit(10s)) e->kill();
    }
};
}  // namespace

// Four engines learn positions into one folder at once: learnpos.bin keeps every record
// of all four, none written over another.
TEST(OrvikSharedFolder, FourEnginesLearnEveryPosition) {
    constexpr int ENGINES = 4, LINES = 40;
    std::multiset<int> expected;
    {
        engines_in_one_folder folder(ENGINES);
        for (int i = 0; i < ENGINES; ++i) {
            std::string lines;
            for (int j = 0; j < LINES; ++j) {
                const int score = -(100 * i + j + 1);
                lines += std::to_string(1 + j % 20) + " " + std::to_string(score) + " e2e4 " + START + "\n";
                expected.insert(score);
            }
            folder.dir.write("lines" + std::to_string(i) + ".txt", lines);
        }
        // Twice each, so that the engines' writes interleave.
        for (int round = 0; round < 2; ++round)
            for (int i = 0; i < ENGINES; ++i)
                folder.all[static_cast<size_t>(i)]->writeLine("import_pos lines" + std::to_string(i) + ".txt");
        folder.settle(1);
        const std::string bin = folder.dir.read("learnpos.bin");
        ASSERT_EQ(bin.size(), 128u + 2u * ENGINES * LINES * 16u);
        EXPECT_EQ(u32(bin, 0), 10000u);
        EXPECT_EQ(u32(bin, 12), 2u * ENGINES * LINES) << "next write index";
        std::multiset<int> scores;
        for (size_t at = 128; at + 16 <= bin.size(); at += 16)
            scores.insert(
                static_cast<int16_t>(static_cast<uint8_t>(bin[at + 8]) | static_cast<uint8_t>(bin[at + 9]) << 8));
        std::multiset<int> twice = expected;
        twice.insert(expected.begin(), expected.end());
        EXPECT_EQ(scores, twice);
        for (const auto& e : fs::directory_iterator(folder.dir.path()))
            EXPECT_NE(e.path().extension(), ".tmp") << "a temporary file is left";
    }
}

// Eight engines with numbered logs, switched on again and again at the same moment:
// each log is written by one engine only, and nothing an engine logged is lost.
TEST(OrvikSharedFolder, EightEnginesEachWriteTheirOwnLog) {
    constexpr int ENGINES = 8, ROUNDS = 12;
    engines_in_one_folder folder(ENGINES);
    for (int round = 0; round < ROUNDS; ++round) {
        for (auto& e : folder.all) e->writeLine("auto_log 1");
        for (int k = 0; k < ENGINES; ++k)
            folder.all[static_cast<size_t>(k)]->writeLine("echo token-" + std::to_string(k) + "-" +
                                                          std::to_string(round));
    }
    folder.settle(1);
    for (auto& e : folder.all) e->writeLine("log");  // closed, and flushed
    folder.settle(2);
    const std::regex token(R"(token-(\d+)-(\d+))");
    std::set<std::string> found;
    int logs = 0;
    for (const auto& entry : fs::directory_iterator(folder.dir.path())) {
        const std::string name = entry.path().filename().string();
        if (!std::regex_match(name, std::regex(R"(orvik\d{4}\.log)"))) continue;
        ++logs;
        const std::string text = folder.dir.read(name);
        std::set<std::string> writers;
        for (std::sregex_iterator m(text.begin(), text.end(), token), end; m != end; ++m) {
            writers.insert((*m)[1]);
            found.insert((*m)[0]);
        }
        EXPECT_LE(writers.size(), 1u) << name << " is written by several engines:\n" << text;
    }
    EXPECT_EQ(logs, ENGINES * ROUNDS);
    EXPECT_EQ(found.size(), static_cast<size_t>(ENGINES * ROUNDS)) << "lines lost";
}

// Names of the engine's own standard streams are refused at once, as a file that cannot
// be opened: a read of its own output pipe would never end. The engine answers on.
TEST(OrvikOwnStreams, ReadersRefuseThemAndAnswerOn) {
    session s;
    const struct {
        const char* line;
        const char* refusal;
    } cases[] = {
        {"read_pgn /dev/stdout", "Could not open \"/dev/stdout\" in mode rb"},
        {"read_pgn /dev/stdin 2", "Could not open \"/dev/stdin\" in mode rb"},
        {"pelvat_pgn /dev/stdout out.pgn p", "Could not open \"/dev/stdout\" in mode r"},
        {"pelvat_pgn /dev/stderr out.pgn s", "Could not open \"/dev/stderr\" in mode r"},
        {"mq_pgn /dev/stdout out.pgn", "Could not open \"/dev/stdout\" in mode r"},
        {"vadro_pgn /dev/stderr out.pgn n", "Could not open \"/dev/stderr\" in mode r"},
        {"ferrun_pgn /dev/stdout out.pgn", "Could not open \"/dev/stdout\" in mode r"},
        {"add_eco /dev/stderr out.pgn", "Could not open \"/dev/stderr\" in mode r"},
        {"book_parse /dev/stdout", "Could not open \"/dev/stdout\" in mode rb"},
        {"book_add /dev/stdout", "Could not open \"/dev/stdout\" in mode rb"},
        {"import_pos /dev/stdout", "Could not open \"/dev/stdout\" in mode r"},
        {"epdtest /dev/stderr", "Could not open \"/dev/stderr\" in mode r"},
        {"input /dev/stdout", "Could not open \"/dev/stdout\" in mode r"},
        {"book_file /dev/stdout", "Could not open \"/dev/stdout\" in mode rb"},
        {"lbook_file /proc/self/fd/1", "Could not open \"/proc/self/fd/1\" in mode rb"},
    };
    int id = 0;
    for (const auto& c : cases) {
        s.send({c.line, "ping " + std::to_string(++id)});
        const auto lines = s.until_prefix("pong " + std::to_string(id), 10s);
        ASSERT_TRUE(s.got(lines)) << c.line << ": no answer";
        bool refused = false;
        for (const auto& l : lines) refused = refused || l.find(c.refusal) != std::string::npos;
        EXPECT_TRUE(refused) << c.line;
    }
    // The same through the UCI book options: the engine is ready and plays without a book.
    s.send({"uci", "setoption name BookFile value /dev/stdout", "setoption name LearnBookFile value /dev/stderr",
            "isready"});
    ASSERT_TRUE(s.got(s.until_prefix("readyok", 10s)));
    s.send({"position startpos", "go depth 2"});
    EXPECT_TRUE(s.got(s.until_prefix("bestmove ", 20s)));
}

// A FIFO where a file should be is not opened: its open, or its first read, would wait
// for a writer that never comes. The engine takes it for a file that is not there and
// plays on, at start-up (the book, the learn book, the learning files, the ini file) and
// when a command names one.
TEST(OrvikOwnStreams, AFifoWhereAFileShouldBeIsNotOpened) {
    for (const char* name : {"kvbook.bin", "kvlearn.bin", "orvik.ini", "learnpos.bin", "learnpos.ovk"}) {
        SCOPED_TRACE(name);
        testsupport::TempDir dir;
        ASSERT_EQ(mkfifo(dir.file(name).c_str(), 0600), 0);
        ASSERT_EQ(mkfifo(dir.file("games.pgn").c_str(), 0600), 0);
        testsupport::ChildProcess engine;
        ASSERT_TRUE(engine.start(ORVIK_PROGRAM, {}, dir.path()));
        engine.writeLine("xboard\nprotover 2\nread_pgn games.pgn\nnew\nst 0.05\ngo");
        EXPECT_TRUE(engine.readUntilContains("feature done=1", 20s));
        EXPECT_TRUE(engine.readUntilContains("Could not open \"games.pgn\"", 20s));
        EXPECT_TRUE(engine.readUntilContains("move ", 20s));
        engine.writeLine("quit");
        const auto status = engine.waitExit(5s);
        if (!status) engine.kill();
        EXPECT_EQ(status, std::optional<int>(0));
    }
}
