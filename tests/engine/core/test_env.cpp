#include "test_env.h"

#include <gtest/gtest.h>

#include "core/fen.h"
#include "core/movegen.h"
#include "core/output.h"

void core_tables() {
    static bool done = false;
    if (done) return;
    done = true;
    init_output_levels();
    output_levels[LVL_NORMAL] = 0;  // keep warnings out of the test log
    init_geometry_tables();
    init_ray_tables();
    init_zobrist_keys();
}

int setup(const std::string& fen) {
    core_tables();
    int side = -1;
    EXPECT_EQ(parse_fen(fen, &side, false), 0) << fen;
    return side;
}

int setup_start() { return setup("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"); }
