// The evaluation reads the board's sets of men: a position reached by moves (whose
// piece lists captures and take-backs have reordered) scores as the same position
// with its lists and sets rebuilt from the squares.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/board.h"
#include "core/eval.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "eval_env.h"
#include "test_env.h"

namespace {
int full_eval(int side) {
    lazy_margin[WHITE] = lazy_margin[BLACK] = 0;
    return evaluate(side, -30000, 30000);
}

std::vector<uint32_t> legal_moves(int side) {
    std::vector<move_list_entry> list(256);
    const int n =
        in_check_fn(side) ? generate_evasions(side, 0, list.data()) : generate_legal_moves(side, 0, list.data());
    std::vector<uint32_t> out;
    for (int i = 0; i < n; ++i) out.push_back(list[i].move);
    return out;
}
}  // namespace

TEST(EvalListOrder, PlayedPositionsScoreAsRebuiltOnes) {
    eval_env();
    std::mt19937 rng(31);
    const char* starts[] = {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                            "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1",
                            "r1b1k2r/ppppnppp/2n2q2/2b5/3NP3/2P1B3/PP3PPP/RN1QKB1R w KQkq - 0 1"};
    int compared = 0;
    for (const char* fen : starts)
        for (int game = 0; game < 12; ++game) {
            int side = setup(fen);
            std::vector<std::pair<int, uint32_t>> played;
            for (int ply = 0; ply < 90; ++ply) {
                const std::vector<uint32_t> moves = legal_moves(side);
                if (moves.empty()) break;
                // Captures half the time, so that the lists get reordered often.
                std::vector<uint32_t> captures;
                for (uint32_t m : moves)
                    if (m & MOVE_CAPTURE) captures.push_back(m);
                const std::vector<uint32_t>& pool = !captures.empty() && rng() % 2 ? captures : moves;
                const uint32_t m = pool[rng() % pool.size()];
                make_move(side, m);
                played.emplace_back(side, m);
                side ^= 1;
                // Take back and replay a move now and then: the victim returns at the
                // end of its side's list.
                if (ply % 7 == 3) {
                    unmake_move(played.back().first, played.back().second);
                    make_move(played.back().first, played.back().second);
                }
                const int v = full_eval(side);
                const board_state played_board = board;
                recompute_board();
                ASSERT_EQ(full_eval(side), v) << board_to_fen(side, false);
                board = played_board;
                ++compared;
            }
        }
    EXPECT_GT(compared, 1000);
}

// Pawns level with each other in the rook-pawn draw: which one counts as the rearmost
// or the most advanced must not follow the order of the piece list.
TEST(EvalListOrder, RookPawnDrawIgnoresTheListOrderOfLevelPawns) {
    eval_env();
    struct row {
        const char* fen;
        int expected;  // the side to move's score with the lists in square order
    };
    const row rows[] = {
        // a6 and g6 level: the a-pawn, blocked by a4, is the rearmost: no draw.
        {"8/8/p5p1/B7/P1b5/K7/4k3/8 w - - 0 1", -103},
        // d4 and h4 level: the d-pawn is the most advanced; the defender is near enough.
        {"7k/6b1/8/8/3p1K1p/3B4/8/8 w - - 0 1", 0},
    };
    for (const row& r : rows) {
        const int side = setup(r.fen);
        EXPECT_EQ(full_eval(side), r.expected) << r.fen;
        // Reverse the order of Black's men (kings stay at index 0).
        const int n = static_cast<int>(board.piece_count[BLACK]);
        for (int i = 1, j = n; i < j; ++i, --j) std::swap(board.piece_list[BLACK][i], board.piece_list[BLACK][j]);
        for (int i = 1; i <= n; ++i) board.list_index[board.piece_list[BLACK][i]] = static_cast<uint32_t>(i);
        EXPECT_EQ(full_eval(side), r.expected) << r.fen << " with the list reversed";
    }
}
