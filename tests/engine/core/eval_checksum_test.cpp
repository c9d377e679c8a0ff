// The evaluation pinned over many positions: the tactical suite and every legal reply
// to each of its positions. A change meant only to make the evaluation faster must
// give every position the same score; a change of a term updates the figures and says
// why in its commit.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "core/eval.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "eval_env.h"

namespace {
constexpr int EVALUATED_POSITIONS = 12242;
constexpr int64_t SCORE_SUM = -126497;
constexpr uint64_t SCORE_MIX = 7390291309189312281ULL;
}  // namespace

TEST(EvalChecksum, SuitePositionsAndRepliesScoreAsPinned) {
    eval_env();
    std::ifstream in(std::string(TEST_DATA_DIR) + "/wac.epd");
    ASSERT_TRUE(in.good());
    int positions = 0;
    int64_t sum = 0;
    uint64_t mix = 0;  // order-sensitive, so that changes cannot cancel out
    auto add = [&](int side) {
        const int v = evaluate(side, -30000, 30000);
        sum += v;
        mix = mix * 0x100000001B3ULL ^ static_cast<uint64_t>(static_cast<int64_t>(v));
        ++positions;
    };
    std::string line;
    while (std::getline(in, line)) {
        int side = -1;
        if (line.empty() || parse_fen(line, &side, false) != 0) continue;
        add(side);
        move_list_entry* list = move_list_start[0];
        const int n = in_check_fn(side) ? generate_evasions(side, 0, list) : generate_legal_moves(side, 0, list);
        for (int i = 0; i < n; ++i) {
            make_move(side, list[i].move);
            add(side ^ 1);
            unmake_move(side, list[i].move);
        }
    }
    EXPECT_EQ(positions, EVALUATED_POSITIONS);
    EXPECT_EQ(sum, SCORE_SUM);
    EXPECT_EQ(mix, SCORE_MIX);
}
