// The bitbase rows that need no file, asked before any bitbase folder was given: the
// engine answers them from the start, so they must not depend on the loading.
#include <gtest/gtest.h>

#include <string>

#include "core/fen.h"
#include "core/movegen.h"
#include "core/output.h"
#include "egtb/bitbase.h"

namespace {

int setup(const std::string& fen) {
    static bool ready = false;
    if (!ready) {
        init_output_levels();
        init_geometry_tables();
        init_ray_tables();
        init_zobrist_keys();
        ready = true;
    }
    int side = -1;
    EXPECT_EQ(parse_fen(fen, &side, false), 0) << fen;
    return side;
}

}  // namespace

// A minor against a minor is a draw, except where a minor cornered beside its king lets
// that king be mated: in every corner, whichever side owns the cornered minor.
TEST(BitbaseRulesUnloaded, CorneredMinorMatesStayOpenInEveryCorner) {
    const struct {
        const char* fen;
        int cls;
    } cases[] = {
        {"8/8/8/8/8/8/N1k5/K5n1 w - - 0 1", BB_NONE},  // knkn in a1
        {"7K/5k1N/8/6n1/8/8/8/8 w - - 0 1", BB_NONE},  // h8, h1, a8
        {"8/8/8/8/8/8/5k1N/1n5K w - - 0 1", BB_NONE},
        {"K7/N1k5/8/8/8/8/8/6n1 w - - 0 1", BB_NONE},
        {"8/8/8/8/8/8/b7/k1K3N1 b - - 0 1", BB_NONE},  // Black's bishop cornered: kbkn, kbkb
        {"7k/5K1b/8/8/8/8/8/B7 b - - 0 1", BB_NONE},
        {"7K/5k2/8/6n1/3N4/8/8/8 w - - 0 1", BB_EXACT},  // the knight away from the corner
        {"7k/8/5K1b/8/8/8/8/B7 b - - 0 1", BB_EXACT},
    };
    for (const auto& c : cases) {
        int score = 12345;
        EXPECT_EQ(bitbase_probe(setup(c.fen), &score), c.cls) << c.fen;
    }
}
