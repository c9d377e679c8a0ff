#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/board.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/storedmove.h"
#include "test_env.h"

namespace {

// Positions rich in the special cases: castling both ways (free, blocked, through
// attacked squares), en passant (also one that would expose the king), promotions
// with and without capture, pins, checks and double checks.
const char* const kPositions[] = {
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "8/8/8/K2pP2r/8/8/8/7k w - d6 0 1",
    "4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1",
    "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1",
    "4k3/1P6/8/8/8/8/6p1/4K2R w K - 0 1",
    "3k4/8/8/8/1b6/8/3N4/4K2R w K - 0 1",
    "4k3/8/8/2b5/8/8/8/R3K2R w KQ - 0 1",
    "2r1k3/8/8/8/8/8/8/R3K2R w KQ - 0 1",
};

// The reference answer: the generated move matching the word, as the full list gives it.
uint32_t listed_word(uint32_t w, const std::vector<uint32_t>& moves) {
    for (uint32_t m : moves)
        if ((m & 0x7FFF) == (w & 0x7FFF) && board.piece[move_to(m)] != KING) return m;
    return 0;
}

void compare_every_word(int side, const std::string& where) {
    move_list_entry scratch[256];
    const int n = generate_moves(side, 0, scratch);
    std::vector<uint32_t> moves;
    for (int i = 0; i < n; ++i) moves.push_back(scratch[i].move);
    for (uint32_t w = 0; w < 0x8000; ++w) {
        const uint32_t expected = listed_word(w, moves);
        ASSERT_EQ(generated_move_word(side, w), expected) << where << " word " << std::hex << w;
        // The high bit of a stored word is ignored, as by the full search.
        ASSERT_EQ(generated_move_word(side, w | 0x8000), expected) << where << " word " << std::hex << w;
        if (!expected) continue;
        int reps_a = -1, reps_b = -1;
        const uint32_t a = find_and_make_move(side, w, &reps_a);
        const uint32_t b = check_stored_move(side, w, &reps_b);
        ASSERT_EQ(b, a) << where << " word " << std::hex << w;
        if (a) {
            ASSERT_EQ(reps_b, reps_a) << where << " word " << std::hex << w;
        }
    }
}

// Picks a random legal move of `side`; 0 when there is none.
uint32_t random_legal_move(int side, std::mt19937& rng) {
    move_list_entry scratch[256];
    const int n = generate_legal_moves(side, 0, scratch);
    if (n == 0) return 0;
    return scratch[std::uniform_int_distribution<int>(0, n - 1)(rng)].move;
}

}  // namespace

TEST(StoredMove, AgreesWithTheFullListInSpecialPositions) {
    for (const char* fen : kPositions) {
        const int side = setup(fen);
        compare_every_word(side, fen);
    }
}

TEST(StoredMove, AgreesWithTheFullListAlongRandomGames) {
    std::mt19937 rng(12345);
    for (const char* fen : kPositions) {
        int side = setup(fen);
        for (int ply = 0; ply < 12; ++ply) {
            const uint32_t m = random_legal_move(side, rng);
            if (!m) break;
            make_move(side, m);
            side ^= 1;
            compare_every_word(side, std::string(fen) + " after " + std::to_string(ply + 1) + " random moves");
        }
    }
}

TEST(StoredMove, ReportsRepetitionsAndTheFiftyMoveCount) {
    int side = setup("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
    // Rook out and back twice: the position after the next rook move repeats.
    const uint32_t out = make_move_word(0, 8), back = make_move_word(8, 0);
    const uint32_t kout = make_move_word(60, 52), kback = make_move_word(52, 60);
    for (uint32_t m : {out, kout, back, kback}) {
        make_move(side, m);
        side ^= 1;
    }
    int reps_a = -1, reps_b = -1;
    ASSERT_EQ(check_stored_move(side, out, &reps_b), find_and_make_move(side, out, &reps_a));
    EXPECT_EQ(reps_b, reps_a);
    EXPECT_GT(reps_b, 0);

    side = setup("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
    board.last_irreversible = board.ply - 99;
    ASSERT_NE(check_stored_move(side, out, &reps_b), 0u);
    EXPECT_EQ(reps_b, 100);
    // A pawn move restarts the count: no repetition, no fifty moves.
    side = setup("4k3/8/8/8/8/8/P7/4K3 w - - 0 1");
    board.last_irreversible = board.ply - 99;
    ASSERT_NE(check_stored_move(side, make_move_word(8, 16), &reps_b), 0u);
    EXPECT_EQ(reps_b, 0);
}
