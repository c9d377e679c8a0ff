// The search on small positions: mates, draws, result codes, determinism.
#include <gtest/gtest.h>

#include <cstring>

#include "core/board.h"
#include "core/clock.h"
#include "core/eval.h"
#include "core/hash.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "test_env.h"

namespace {
struct SearchFixture : ::testing::Test {
    void SetUp() override {
        core_tables();
        static bool eval_ready = false;
        if (!eval_ready) {
            eval_init();
            eval_ready = true;
        }
        for (int& l : output_levels) l = 0;
        if (!hash_table) hash_alloc(4 << 20);
        hash_clear();
        clear_move_ordering();
        init_clocks();
        node_limit = 0xFFFFFFFFu;
        max_depth = 0;
        search_state = 0;
    }
    void TearDown() override { max_depth = 0; }

    // Searches to `depth` plies; returns the move's coordinate text.
    std::string think_to(const std::string& fen, int depth, int* code = nullptr, int* score = nullptr) {
        const int side = setup(fen);
        side_to_move = side;
        max_depth = depth;
        for (clock_record& c : clocks) {
            c.pt = c.st = 1e10;
            c.fixed = 1;
        }
        int c = 0, s = 0;
        const uint32_t m = think(side, &c, &s, nullptr, nullptr);
        if (code) *code = c;
        if (score) *score = s;
        return m ? move_to_coordinates(m) : "none";
    }
};
}  // namespace

TEST_F(SearchFixture, MateInOneIsFoundAndCoded) {
    int code = 0, score = 0;
    EXPECT_EQ(think_to("7k/8/6K1/8/8/8/8/1Q6 w - - 0 1", 3, &code, &score), "b1b8");
    EXPECT_EQ(score, 29999);
    EXPECT_EQ(code & 0x502, 0x502) << std::hex << code;
}
