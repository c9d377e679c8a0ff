// The fuzzer's input grammar over the engine's own command table: what a run never
// sends, because the engine would rightly run for minutes on it.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "grammar.h"

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
