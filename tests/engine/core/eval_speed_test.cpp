// Evaluation speed on a fixed position set: the tactical suite's positions and every
// legal reply to them. Not a test: run it with bench/eval_speed.sh (or the test binary
// with --gtest_also_run_disabled_tests --gtest_filter=DISABLED_EvalSpeed.*).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/eval.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "eval_env.h"

TEST(DISABLED_EvalSpeed, EvaluationsPerSecond) {
    eval_env();
    std::ifstream in(std::string(TEST_DATA_DIR) + "/wac.epd");
    ASSERT_TRUE(in.good());
    // Boards and sides of the set, kept as copies so that the timing sees only evaluate.
    std::vector<board_state> boards;
    std::vector<int> sides;
    std::string line;
    while (std::getline(in, line)) {
        int side = -1;
        if (line.empty() || parse_fen(line, &side, false) != 0) continue;
        boards.push_back(board);
        sides.push_back(side);
        move_list_entry* list = move_list_start[0];
        const int n = in_check_fn(side) ? generate_evasions(side, 0, list) : generate_legal_moves(side, 0, list);
        for (int i = 0; i < n; ++i) {
            make_move(side, list[i].move);
            boards.push_back(board);
            sides.push_back(side ^ 1);
            unmake_move(side, list[i].move);
        }
    }
    const int rounds = 40;
    long long sum = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r)
        for (size_t i = 0; i < boards.size(); ++i) {
            board = boards[i];
            sum += evaluate(sides[i], -30000, 30000);
        }
    const double full = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Copying the boards alone, to take out of the figures.
    const auto start3 = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r)
        for (size_t i = 0; i < boards.size(); ++i) {
            board = boards[i];
            sum += board.material[0];
        }
    const double copy = std::chrono::duration<double>(std::chrono::steady_clock::now() - start3).count();
    const double n = static_cast<double>(boards.size()) * rounds;
    std::printf("positions %zu, rounds %d (checksum %lld)\n", boards.size(), rounds, sum);
    std::printf("full window: %.0f evaluations/s, %.3f us each\n", n / (full - copy), (full - copy) * 1e6 / n);
}
