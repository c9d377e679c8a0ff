// The evaluation of a position and of its colour mirror (ranks mirrored, colours
// swapped) must be exact opposites, over random games from many start positions and
// over the tactical test suite.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/eval.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/settings.h"
#include "eval_env.h"
#include "test_env.h"

namespace {

struct flip_result {
    int checked = 0;
    int failures = 0;
};

// Compares the position with its mirror; reports the first few mismatches.
void check_flip(int side, flip_result& out, const std::string& where) {
    const board_state saved = board;
    lazy_margin[WHITE] = lazy_margin[BLACK] = 0;
    const int pieces = eval_pieces();
    const int stage = eval_stage;
    const int score = evaluate(side, -30000, 30000);
    mirror_board();
    lazy_margin[WHITE] = lazy_margin[BLACK] = 0;
    const int mirrored_pieces = eval_pieces();
    const int mirrored_stage = eval_stage;
    const int mirrored_score = evaluate(side ^ 1, -30000, 30000);
    board = saved;
    ++out.checked;
    if (pieces != -mirrored_pieces || score != mirrored_score || stage != mirrored_stage) {
        if (++out.failures <= 5)
            ADD_FAILURE() << where << ": " << board_to_fen(side, false) << " eval_pieces " << pieces << " vs "
                          << mirrored_pieces << ", evaluate " << score << " vs " << mirrored_score;
    }
}

// Random legal games from `fen`, checking every position on the way.
void random_games(const std::string& fen, int games, int plies, uint32_t seed, flip_result& out) {
    std::mt19937 rng(seed);
    for (int g = 0; g < games; ++g) {
        int side = setup(fen);
        for (int ply = 0; ply < plies; ++ply) {
            check_flip(side, out, fen + " ply " + std::to_string(ply));
            move_list_entry* list = move_list_start[0];
            const int n = in_check_fn(side) ? generate_evasions(side, 0, list) : generate_legal_moves(side, 0, list);
            if (n == 0) break;
            make_move(side, list[rng() % n].move);
            side ^= 1;
        }
    }
}

}  // namespace

TEST(EvalSymmetry, RandomGamesFromOpeningsMiddleGamesAndEndings) {
    eval_env();
    const std::vector<std::string> starts = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r1bq1rk1/pp2ppbp/2np1np1/8/3NP3/2N1BP2/PPPQ2PP/R3KB1R w KQ - 0 9",
        "rnbqk2r/ppp1bppp/4pn2/3p2B1/2PP4/2N5/PP2PPPP/R2QKBNR w KQkq - 0 5",
        "2r2rk1/1b2qppp/p3pn2/1p6/3P4/P1NB1Q2/1P3PPP/2R2RK1 w - - 0 18",
        "8/5pk1/6p1/3R4/7P/5PK1/r5P1/8 w - - 0 40",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "8/4k3/8/2p1p3/2P1P3/3K4/8/8 w - - 0 1",
        "6k1/5ppp/8/8/8/8/5PPP/3Q2K1 w - - 0 1",
        "3q2k1/5pp1/7p/8/8/P6P/5PP1/3Q2K1 w - - 0 1",
        "8/8/4kb2/8/8/3K4/1PB5/8 w - - 0 1",
        "8/8/8/3k4/8/8/2BNK3/8 w - - 0 1",
        "8/5k2/8/8/8/8/1P3K2/8 w - - 0 1",
        "8/p7/1p3k2/8/8/5K2/PP6/8 b - - 0 1",
        "r3k3/8/8/8/8/8/8/4K2R w Kq - 0 1",
        "4k3/8/8/8/8/8/3NN3/4K3 w - - 0 1",
    };
    flip_result result;
    uint32_t seed = 12345;
    for (const std::string& fen : starts) random_games(fen, 12, 90, seed++, result);
    EXPECT_EQ(result.failures, 0);
    EXPECT_GT(result.checked, 10000);
}

// Every group of terms mirrors on its own: the evaluation stays symmetric with each
// group left out, so a group's share (the full score less the score without it) is
// symmetric too and no second group can hide a mirroring fault of the first.
TEST(EvalSymmetry, EachTermGroupOnItsOwn) {
    eval_env();
    const struct {
        const char* name;
        uint32_t off;
    } groups[] = {
        {"pawns", OFF_PAWNS},         {"passers", OFF_PASSERS},          {"king", OFF_KING},
        {"mobility", OFF_MOBILITY},   {"rooksqueens", OFF_ROOKS_QUEENS}, {"endings", OFF_ENDINGS},
        {"imbalance", OFF_IMBALANCE},
    };
    const std::vector<std::string> starts = {
        "r1bq1rk1/pp2ppbp/2np1np1/8/3NP3/2N1BP2/PPPQ2PP/R3KB1R w KQ - 0 9",
        "2r2rk1/1b2qppp/p3pn2/1p6/3P4/P1NB1Q2/1P3PPP/2R2RK1 w - - 0 18",
        "8/5pk1/6p1/3R4/7P/5PK1/r5P1/8 w - - 0 40",
        "3q2k1/5pp1/7p/8/8/P6P/5PP1/3Q2K1 w - - 0 1",
        "8/8/4kb2/8/8/3K4/1PB5/8 w - - 0 1",
    };
    for (const auto& g : groups) {
        features_off = g.off;
        flip_result result;
        uint32_t seed = 777;
        for (const std::string& fen : starts) random_games(fen, 4, 80, seed++, result);
        EXPECT_EQ(result.failures, 0) << "without " << g.name;
        EXPECT_GT(result.checked, 1000) << g.name;
    }
    features_off = 0;
}

TEST(EvalSymmetry, TacticalSuitePositions) {
    eval_env();
    std::ifstream in(std::string(TEST_DATA_DIR) + "/wac.epd");
    ASSERT_TRUE(in.good());
    flip_result result;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        int side = -1;
        ASSERT_EQ(parse_fen(line, &side, false), 0) << line;
        check_flip(side, result, line);
        // One ply further, every legal reply.
        move_list_entry* list = move_list_start[0];
        const int n = in_check_fn(side) ? generate_evasions(side, 0, list) : generate_legal_moves(side, 0, list);
        for (int i = 0; i < n; ++i) {
            const uint32_t m = list[i].move;
            make_move(side, m);
            check_flip(side ^ 1, result, line);
            unmake_move(side, m);
        }
    }
    EXPECT_EQ(result.failures, 0);
    EXPECT_GT(result.checked, 5000);
}
