// The search's node-count signature: fixed-depth searches over a fixed position set
// must count the same nodes, so that a change meant only for speed cannot change the
// search unnoticed. A change that alters the search on purpose updates the number and
// says why in its commit.
#include <gtest/gtest.h>

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
