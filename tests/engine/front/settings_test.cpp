// The settings table: what each command stores, what it echoes and what it refuses.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/board.h"
#include "core/clock.h"
#include "core/hash.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/parameters.h"
#include "front/settings_args.h"
#include "front_env.h"

namespace {
struct setting_case {
    std::vector<std::string> lines;  // command lines, run in order
    std::vector<std::string> echo;   // every message they print
    std::function<bool()> stored;    // the value afterwards
};

void reset_settings() {
    null_low = null_high = 192;
    null_endgame = 128;
    null_split = 352;
    icheck = 64;
    irepcheck = irecapture = 38;
    inullthreat = 64;
    pval = 192;
    rscore = -800;
    rmoves = 4;
    node_limit = NO_NODE_LIMIT;
    max_depth = 0;
    qexact = 2;
    qsearch_mask = 7;
    time_factor = 1.0;
    noise = 0;
    posentries = 10000;
    init_clocks();
}
}  // namespace

TEST(Settings, ValuesEchoesAndRefusals) {
    front_tables();
    const std::vector<setting_case> cases = {
        {{"null_low 2.5"}, {"null_low = 2.50"}, [] { return null_low == 160; }},
        {{"null_high -1"}, {"null_high = -1.00"}, [] { return null_high == -64; }},
        {{"null_split 5.51"}, {"null_split = 5.51"}, [] { return null_split == 352; }},
        {{"inullthreat 1"}, {"inulltreat = 1.00"}, [] { return inullthreat == 64; }},
        {{"irepcheck 0.59375"}, {"irepcheck = 0.59"}, [] { return irepcheck == 38; }},
        {{"icheck"}, {"icheck = 0.00"}, [] { return icheck == 0; }},
        {{"pval 0.5"}, {"pval = 128/256"}, [] { return pval == 96; }},
        {{"pval 2.0"}, {"pval = 512/256"}, [] { return pval == 384; }},
        {{"pval 0.25"}, {"Value between 0.5 an 2.0 required"}, [] { return pval == 192; }},
        {{"rscore -3"}, {"rscore = -300/100"}, [] { return rscore == -300; }},
        {{"rscore -20"}, {"rscore = -2000/100"}, [] { return rscore == -2000; }},
        {{"rscore -2.99"}, {"Value between -3 and -20 required"}, [] { return rscore == -800; }},
        {{"rmoves 21"}, {"Value between 3 and 20 required"}, [] { return rmoves == 4; }},
        {{"rmoves 3"}, {"rmove = 3"}, [] { return rmoves == 3; }},
        {{"nodes 2k"}, {"search_nodes=2000"}, [] { return node_limit == 2000u && max_depth == 0; }},
        {{"nodes 1.5M"}, {"search_nodes=1500000"}, [] { return node_limit == 1500000u; }},
        {{"nodes 0"}, {"search_nodes=4294967295"}, [] { return node_limit == 0xFFFFFFFFu; }},
        {{"nodes 5000000000"}, {"search_nodes=4294967295"}, [] { return node_limit == 0xFFFFFFFFu; }},
        {{"sd 10", "nodes 100000"},
         {"search depth=10", "search_nodes=100000"},
         [] { return max_depth == 0 && node_limit == 100000u; }},
        {{"nodes 100000", "sd 10"},
         {"search_nodes=100000", "search depth=10"},
         [] { return max_depth == 10 && node_limit == 0xFFFFFFFFu && clocks[0].fixed == 1; }},
        {{"st 0", "st -5"}, {}, [] { return clocks[0].fixed == 0 && clocks[0].pt == 600.0; }},
        {{"st 2.5"}, {}, [] { return clocks[1].fixed == 1 && clocks[1].pt == 2.5 && game_time_60 == 150.0; }},
        {{"qexact 6"}, {"exact_qsearch = 6", "qsearch_mask = NOTHING"}, [] { return qsearch_mask == 0; }},
        {{"qexact 42"},
         {"exact_qsearch = 42", "qsearch_mask = SKIP_LOOSERS,CHECK_CHECK_WINNERS"},
         [] { return qsearch_mask == 5; }},
        {{"qexact 2"},
         {"exact_qsearch = 2", "qsearch_mask = SKIP_LOOSERS,CHECK_CHECK_WINNERS,ALL_MOVES_IN_CHECK"},
         [] { return qsearch_mask == 7; }},
        {{"factor 0.5"}, {"Value >= 1.0 needed"}, [] { return time_factor == 1.0; }},
        {{"factor 2"}, {"factor = 2.00"}, [] { return time_factor == 0.5; }},
        {{"noise 5k"}, {"noise=5000"}, [] { return noise == 5000u; }},
        {{"noise -3"}, {"noise=0"}, [] { return noise == 0u; }},
        {{"posentries 5000"},
         {"adjusted to 10000, will not accept smaller numbers", "posentries = 10000"},
         [] { return posentries == 10000; }},
        {{"posentries 200000"},
         {"adjusted to 100000, will not accept larger numbers", "posentries = 100000"},
         [] { return posentries == 100000; }},
        {{"window 30"}, {"window = 30"}, [] { return window == 30; }},
        {{"min_learn_tc 600"}, {"min_learn_tc = 600"}, [] { return min_learn_tc == 600.0; }},
        {{"mintime_factor 0.4"}, {"mintime_factor = 0.40"}, [] { return mintime_factor == 0.4; }},
        {{"margin_book_learn -40"},
         {"margin_book_learn = -40"},
         [] { return margin_book_learn_white == -40 && margin_book_learn_black == -40; }},
        {{"margin_pos_learn 25"}, {"margin_pos_learn = 25"}, [] { return margin_pos_learn == 25; }},
        {{"ut2 30"}, {"ut2 = 30"}, [] { return ut2 == 30; }},
        {{"book_random 0"}, {"book_random = 0"}, [] { return book_random == 0; }},
        {{"show_eco 2"}, {"show_eco = 2"}, [] { return show_eco == 2; }},
        {{"max_PV_WB 120"}, {"max_PV_WB = 120"}, [] { return max_PV_WB == 120; }},
        {{"bell 1"}, {}, [] { return bell == 1; }},
        {{"nval 0"}, {"Using old piece values"}, [] { return piece_value[PAWN] == 100 && nval == 0; }},
        {{"nval 1"}, {"Using new piece values"}, [] { return piece_value[PAWN] == 80 && nval == 1; }},
    };
    for (const setting_case& c : cases) {
        reset_settings();
        output_capture out;
        for (const std::string& line : c.lines) EXPECT_EQ(run_line(line), 0) << line;
        std::vector<std::string> echo = out.lines();
        EXPECT_EQ(echo, c.echo) << c.lines.front();
        EXPECT_TRUE(c.stored()) << c.lines.front();
    }
    reset_settings();
}

TEST(Settings, CountsAndPliesReadLeniently) {
    EXPECT_EQ(read_count_arg("  3m", 0), 3000000);
    EXPECT_EQ(read_count_arg("2K", 0), 2000);
    EXPECT_EQ(read_count_arg("-7.9", 0), -7);
    EXPECT_EQ(read_count_arg("abc", 0), 0);
    EXPECT_EQ(read_count_arg("3000M", -1), -1);
    EXPECT_EQ(read_plies_arg("1.390625"), 89);
    EXPECT_EQ(read_plies_arg("-0.5"), -32);
    EXPECT_EQ(read_plies_arg("1e30"), 2147483647);
    EXPECT_EQ(read_integer_arg(" 12abc"), 12);
    EXPECT_EQ(read_integer_arg("99999999999"), 2147483647);
}

// The hash command with gigabytes, under a memory limit of 3 MB so that no test takes them.
TEST(Settings, HashSizesBeyondTwoGigabytesAreTakenAsFarAsTheMemoryGoes) {
    static size_t limit = size_t(3) << 20;
    bool (*saved)(size_t) = hash_memory_allows;
    hash_memory_allows = [](size_t bytes) { return bytes <= limit; };
    output_capture out;
    run_line("hash 3000M");
    auto lines = out.lines();
    EXPECT_TRUE(has_line(lines, "hash size wanted 3000000000")) << out.text();
    ASSERT_NE(hash_table, nullptr);
    EXPECT_GT(hash_entries, 170000u) << "the 2 MB block within the limit";
    EXPECT_TRUE(has_line(lines, text_printf("could not allocate 2999999988 bytes for the hash table: %lu taken, the "
                                            "largest that could be",
                                            static_cast<unsigned long>(hash_entries) * 12UL)))
        << out.text();

    out.clear();
    run_line("hash 60000M");
    EXPECT_TRUE(has_line(out.lines(), "hash size 60000000000 is more than the table can address: 51539607540 taken"))
        << out.text();
    EXPECT_NE(hash_table, nullptr);

    // The UCI option offers more than a gigabyte, and its largest value gives a table.
    out.clear();
    uci_mode = 1;
    run_line("setoption name Hash value " + std::to_string(hash_max_megabytes()));
    uci_mode = 0;
    EXPECT_GT(hash_max_megabytes(), 1024) << "this machine has more than a gigabyte";
    EXPECT_NE(hash_table, nullptr);
    EXPECT_NE(out.text().find("info string could not allocate"), std::string::npos) << out.text();

    hash_memory_allows = saved;
    run_line("hash 1M");
    EXPECT_EQ(hash_entries, 83331u);
    hash_alloc(0x100000);
}

TEST(Settings, LevelTakesSecondsAndARealIncrement) {
    front_tables();
    reset_settings();
    output_capture out;
    node_limit = 1234;
    EXPECT_EQ(run_line("level 0 0:10 0.1"), 0);
    EXPECT_DOUBLE_EQ(clocks[0].pt, 10.0);
    EXPECT_DOUBLE_EQ(clocks[1].inc, 0.1);
    EXPECT_EQ(clocks[0].pm, 0);
    EXPECT_EQ(node_limit, 0xFFFFFFFFu);
    EXPECT_EQ(run_line("level 0 2:30 12"), 0);
    EXPECT_DOUBLE_EQ(clocks[0].pt, 150.0);
    EXPECT_DOUBLE_EQ(clocks[0].inc, 12.0);
    EXPECT_EQ(run_line("level 40 5 0"), 0);
    EXPECT_DOUBLE_EQ(clocks[1].pt, 300.0);
    EXPECT_EQ(clocks[1].pm, 40);
    out.clear();
    EXPECT_EQ(run_line("level 40 0 0"), 0);
    EXPECT_EQ(out.lines(), std::vector<std::string>{"Error parsing level"});
    EXPECT_DOUBLE_EQ(clocks[1].pt, 300.0);
    reset_settings();
}

TEST(Parameters, DumpWrapsItemsIntoLines) {
    reset_settings();
    prune = deepen = fail_low_early = 1;
    ut1 = 2;
    ut2 = 26;
    window = 40;
    ipawn7 = 64;
    const std::string dump = print_parameters();
    const size_t first_break = dump.find('\n');
    ASSERT_NE(first_break, std::string::npos);
    EXPECT_EQ(dump.substr(0, first_break),
              "null_low=3.00, null_high=3.00, null_endgame=2.00, null_split=5.50, do_prune=1, ");
    EXPECT_EQ(dump.compare(first_break + 1, 8, "deep=1, "), 0);
    EXPECT_TRUE(dump.ends_with("qexact=2 (mask=SKIP_LOOSERS,CHECK_CHECK_WINNERS,ALL_MOVES_IN_CHECK)")) << dump;
    size_t start = 0;
    while (start < dump.size()) {
        size_t nl = dump.find('\n', start);
        if (nl == std::string::npos) nl = dump.size();
        EXPECT_LT(nl - start, 80u);
        start = nl + 1;
    }
    EXPECT_EQ(print_parameters(10, 80), "");
    // Only the first items fit a small size.
    EXPECT_EQ(print_parameters(40, 80), "null_low=3.00, null_high=3.00, ");
}

TEST(Parameters, AnItemReachingTheWidthStartsANewLine) {
    std::string text;
    int line = 0;
    size_t total = 0;
    EXPECT_TRUE(append_wrapped(text, std::string(70, 'a'), 80, 400, line, total));
    EXPECT_TRUE(append_wrapped(text, std::string(10, 'b'), 80, 400, line, total));
    EXPECT_EQ(text, std::string(70, 'a') + "\n" + std::string(10, 'b'));
    EXPECT_FALSE(append_wrapped(text, std::string(400, 'c'), 80, 400, line, total));
}
