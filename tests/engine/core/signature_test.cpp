// The search's node-count signature: fixed-depth searches over a fixed position set
// must count the same nodes, so that a change meant only for speed cannot change the
// search unnoticed. A change that alters the search on purpose updates the number and
// says why in its commit.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "core/board.h"
#include "core/eval.h"
#include "core/fen.h"
#include "core/settings.h"
#include "tree_bench.h"

namespace {
constexpr int SIGNATURE_DEPTH = 5;
constexpr long SIGNATURE_HASH = 4L << 20;
constexpr uint64_t SIGNATURE_NODES = 639084;
}  // namespace

TEST(SearchSignature, FixedSearchesCountTheSameNodes) {
    tree_bench_init(SIGNATURE_HASH);
    const tree_totals t = run_tree_bench(SIGNATURE_DEPTH);
    ASSERT_EQ(t.per_position.size(), tree_positions.size());
    EXPECT_EQ(t.nodes, SIGNATURE_NODES) << tree_report(t, SIGNATURE_DEPTH);
    // The same searches again, from the state the first run left, count the same.
    const tree_totals again = run_tree_bench(SIGNATURE_DEPTH);
    EXPECT_EQ(again.per_position, t.per_position);
    EXPECT_EQ(again.moves, t.moves);
}

namespace {

// Search settings changed for one run of the signature positions and put back after.
class setting_changes {
public:
    setting_changes(std::initializer_list<std::pair<int*, int>> changes) {
        for (const auto& [value, changed] : changes) {
            saved_.push_back({value, *value});
            *value = changed;
        }
    }
    ~setting_changes() {
        for (const auto& [value, old] : saved_) *value = old;
    }
    setting_changes(const setting_changes&) = delete;
    setting_changes& operator=(const setting_changes&) = delete;

private:
    std::vector<std::pair<int*, int>> saved_;
};

constexpr int SETTINGS_DEPTH = 4;
constexpr uint64_t SETTINGS_PLAIN_NODES = 166088;

}  // namespace

// Settings off the defaults take the search down paths the signature does not: a check
// extension of half a ply leaves a checking root move below one ply for the quiescence
// search, the other extensions, the null move's ending reduction, no futility nor
// internal deepening, the quiescence modes, an open window. Their counts are pinned too,
// so that a change meant to leave the search alone leaves them alone.
TEST(SearchSignature, SettingsOffTheDefaultsCountTheirOwnNodes) {
    tree_bench_init(SIGNATURE_HASH);
    ASSERT_EQ(run_tree_bench(SETTINGS_DEPTH).nodes, SETTINGS_PLAIN_NODES);
    const struct {
        const char* what;
        std::initializer_list<std::pair<int*, int>> changes;
        uint64_t nodes;
    } cases[] = {
        {"a check extension of half a ply", {{&icheck, 32}}, 152583},
        {"other extensions",
         {{&irepcheck, 64}, {&ipawn7, 20}, {&irecapture, 64}, {&ionerep, 32}, {&ipawne, 64}},
         166525},
        {"the null move by its ending reduction", {{&null_low, 0}, {&null_high, 0}, {&null_split, 100}}, 166132},
        {"no ending null move, futility, deepening nor threat extension",
         {{&null_endgame, 0}, {&prune, 0}, {&deepen, 0}, {&inullthreat, 0}},
         238134},
        {"quiescence answering every check", {{&qsearch_mask, 15}}, 185443},
        {"quiescence of captures only", {{&qsearch_mask, 0}}, 176071},
        {"an open window and no early fail low", {{&window, FULL_WINDOW}, {&fail_low_early, 0}}, 173520},
    };
    for (const auto& c : cases) {
        const setting_changes changed(c.changes);
        EXPECT_EQ(run_tree_bench(SETTINGS_DEPTH).nodes, c.nodes) << c.what;
    }
    EXPECT_EQ(run_tree_bench(SETTINGS_DEPTH).nodes, SETTINGS_PLAIN_NODES) << "the settings are back";
}

// Each switch of the ablation benchmark reads back from its name and changes the tree
// (a switch that no longer reaches its part would measure nothing; the special endings,
// which the signature's positions do not reach, change the score of a rook against a
// bare king); an unknown name is refused and switches nothing.
TEST(SearchSignature, EverySwitchOfTheBenchmarkChangesTheTree) {
    tree_bench_init(SIGNATURE_HASH);
    const char* const names[] = {"verify", "killers", "history", "tablecuts", "threatbit",   "lazy",
                                 "pawns",  "passers", "king",    "mobility",  "rooksqueens", "imbalance"};
    uint32_t all = 0;
    for (const char* name : names) {
        uint32_t bits = 0;
        ASSERT_TRUE(parse_features_off(name, &bits)) << name;
        EXPECT_EQ(bits & (bits - 1), 0u) << name << " names one part";
        EXPECT_EQ(bits & all, 0u) << name << " names a part of its own";
        all |= bits;
        features_off = bits;
        EXPECT_NE(run_tree_bench(SETTINGS_DEPTH).nodes, SETTINGS_PLAIN_NODES) << name;
        features_off = 0;
    }
    uint32_t bits = 0;
    ASSERT_TRUE(parse_features_off("endings", &bits));
    EXPECT_EQ(bits & all, 0u);
    int side = WHITE;
    ASSERT_EQ(parse_fen("8/8/3k4/8/8/8/8/R3K3 w - - 0 1", &side, false), 0);
    const int with_endings = evaluate(WHITE, -MATE, MATE);
    features_off = bits;
    EXPECT_NE(evaluate(WHITE, -MATE, MATE), with_endings);
    features_off = 0;
    ASSERT_TRUE(parse_features_off("killers,,lazy", &bits));
    EXPECT_EQ(bits, OFF_KILLERS | OFF_LAZY);
    bits = 7;
    EXPECT_FALSE(parse_features_off("killers,speed", &bits));
    EXPECT_EQ(bits, 7u);
    EXPECT_EQ(run_tree_bench(SETTINGS_DEPTH).nodes, SETTINGS_PLAIN_NODES);
}
