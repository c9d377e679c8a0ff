// The fuzzer's input grammar over the engine's own command table: what a run never
// sends, because the engine would rightly run for minutes on it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "grammar.h"
#include "runner.h"

namespace {
const std::vector<std::string>& engine_table() {
    static const std::vector<std::string> table = fuzz::command_table(
        ORVIK_PROGRAM,
        (std::filesystem::temp_directory_path() / ("orvik_fuzz_table." + std::to_string(getpid()))).string());
    return table;
}

// The lines of the seed file `name` (all of them with an empty name).
std::vector<std::string> file_lines(const std::vector<fuzz::seed_file>& files, const std::string& name) {
    std::vector<std::string> lines;
    for (const auto& f : files) {
        if (!name.empty() && f.name != name) continue;
        for (size_t a = 0, b; a < f.content.size(); a = b + 1) {
            b = f.content.find('\n', a);
            if (b == std::string::npos) b = f.content.size();
            lines.push_back(f.content.substr(a, b - a));
        }
    }
    return lines;
}
}  // namespace

TEST(FuzzGrammar, ArgumentAsTheEngineTakesIt) {
    EXPECT_EQ(fuzz::argument_of("inpu ../x"), "../x");
    EXPECT_EQ(fuzz::argument_of("  input=binary  "), "binary");
    EXPECT_EQ(fuzz::argument_of("LOGA = a b \t"), "a b");
    EXPECT_EQ(fuzz::argument_of("log"), "");
}

// A log holds the engine's own output; read back by "input" each of its lines is a
// command, and "cr in string line 1" (the PGN reader's) runs create_bitbases for a
// minute under the sanitizers. No run reads back, in its main input or its script, a
// file it logs to.
TEST(FuzzGrammar, NoRunReadsBackItsOwnLog) {
    ASSERT_GT(engine_table().size(), 100u);
    const fuzz::grammar g(engine_table());
    size_t logs = 0, reads = 0;
    auto check = [&](uint64_t seed, size_t run) {
        auto rng = fuzz::run_random(seed, run);
        std::vector<fuzz::seed_file> files;
        std::vector<std::string> all;
        for (const auto& l : g.make_run(rng, &files)) all.push_back(l.text);
        for (const auto& l : file_lines(files, "script")) all.push_back(l);
        std::set<std::string> logged;
        for (const auto& l : all) {
            const std::string row = g.row_for(l);
            if (row == "log" || row == "loga") logged.insert(fuzz::argument_of(l));
        }
        logs += logged.size();
        for (const auto& l : all) {
            if (g.row_for(l) != "input") continue;
            ++reads;
            EXPECT_EQ(logged.count(fuzz::argument_of(l)), 0u) << "seed " << seed << " run " << run << ": " << l;
        }
    };
    check(1796896522, 362);  // "loga ../x", later "inpu ../x"
    for (size_t run = 0; run < 100; ++run) check(21, run);
    EXPECT_GT(logs, 50u);
    EXPECT_GT(reads, 50u);
}

// "input" reads the files a run starts with as commands: each line of them must be one
// the run may send. An EPD line "Q bm kd; id ..." in pos.epd once quit the engine early.
TEST(FuzzGrammar, TheSeedFilesHoldOnlyLinesARunMaySend) {
    const fuzz::grammar g(engine_table());
    auto check = [&](uint64_t seed, size_t run) {
        auto rng = fuzz::run_random(seed, run);
        std::vector<fuzz::seed_file> files;
        g.make_run(rng, &files);
        for (const auto& l : file_lines(files, ""))
            EXPECT_TRUE(g.acceptable(l)) << "seed " << seed << " run " << run << ": " << l.substr(0, 80);
    };
    check(424242, 43);
    for (size_t run = 0; run < 100; ++run) check(21, run);
}

// The bound within which a go's bestmove is due: the clock or movetime, or the margin
// alone for a small limit, the least of them; none for a search that may run until stop
// or has no small limit, and none for words the engine may stop reading at. The words of
// searchmoves, moves or not, end at the next word of go.
TEST(FuzzOracle, AGoIsDueWithinItsClockOrItsSmallLimit) {
    using std::chrono::milliseconds;
    const milliseconds m = fuzz::answer_bounds{}.margin;
    const struct {
        const char* words;
        std::optional<milliseconds> bound;
    } cases[] = {
        {"wtime 1000 btime 3000 winc 20 binc 50", milliseconds(3050) + m},
        {"wtime 1000 btime 1000 depth 30", milliseconds(1000) + m},
        {"wtime 1000 btime 1000 nodes 50000000", milliseconds(1000) + m},
        {"wtime 1000 btime 1000 mate 3", milliseconds(1000) + m},
        {"wtime 0 btime -5", m},
        {"movetime 700 depth 40", milliseconds(700) + m},
        {"depth 0", m},
        {"depth -3", m},
        {"mate 2", m},
        {"nodes 2000", m},
        {"depth 30", std::nullopt},
        {"mate 3", std::nullopt},
        {"nodes 0", std::nullopt},
        {"", std::nullopt},
        {"infinite depth 1", std::nullopt},
        {"ponder wtime 1000 btime 1000", std::nullopt},
        {"searchmoves e2e4 depth 1", m},
        {"searchmoves e2e5 Qxf7# wtime 500 btime 900", milliseconds(900) + m},
        {"searchmoves e2e4 de=1 nodes 50", std::nullopt},
        {"depth 1e3", std::nullopt},
        {"wtime 9223372036854775807", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(fuzz::go_answer_bound(c.words), c.bound) << c.words;
    // Plies made long by an extension setting bound no time; a clock and nodes still do.
    EXPECT_EQ(fuzz::go_answer_bound("depth 1", false), std::nullopt);
    EXPECT_EQ(fuzz::go_answer_bound("wtime 100 btime 100 depth 1", false), std::chrono::milliseconds(100) + m);
    EXPECT_EQ(fuzz::go_answer_bound("nodes 2000 mate 1", false), m);
}

// An answer due within its bound that does not come is a finding; one that comes is
// none (cat answers every line with the line itself).
TEST(FuzzOracle, AnAnswerThatIsDueAndDoesNotComeIsAFinding) {
    using std::chrono::milliseconds;
    const fuzz::input_line said{"bestmove e2e4", "", {}, ""}, missed{"x", "never said", milliseconds(100), ""};
    const struct {
        std::vector<fuzz::input_line> before;
        const char* awaited;
        milliseconds wait;
        bool keep_window;
        bool finding;
    } cases[] = {
        {{}, "bestmove", std::chrono::seconds(60), false, false},
        {{}, "never said", milliseconds(200), false, true},
        // A bestmove before the stop answers the stop.
        {{said}, "bestmove", milliseconds(200), true, false},
        // After an answer that did not come the engine is busy: not late.
        {{missed}, "never said", milliseconds(200), false, false},
    };
    for (const auto& c : cases) {
        const auto folder = std::filesystem::temp_directory_path() / ("orvik_fuzz_oracle." + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        std::vector<fuzz::input_line> lines = c.before;
        lines.push_back({c.before.empty() ? "bestmove e2e4" : "stop", c.awaited, c.wait, "no answer", c.keep_window});
        lines.push_back({"end", "", {}, ""});
        const fuzz::run_outcome out = fuzz::run_engine("/bin/cat", folder.string(), {}, lines, {});
        std::filesystem::remove_all(folder);
        EXPECT_EQ(out.finding, c.finding) << c.awaited << ": " << out.kind << " " << out.key;
        if (c.finding) {
            EXPECT_EQ(out.kind + ": " + out.key, "late answer: no answer");
        }
    }
}
