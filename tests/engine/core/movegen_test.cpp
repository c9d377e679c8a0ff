#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/board.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "test_env.h"

namespace {
std::vector<move_list_entry> generate(int side) {
    std::vector<move_list_entry> list(256);
    list.resize(static_cast<size_t>(generate_moves(side, 0, list.data())));
    return list;
}
bool contains(const std::vector<move_list_entry>& list, uint32_t move) {
    for (auto& e : list)
        if (e.move == move) return true;
    return false;
}
}  // namespace

TEST(MoveGen, PromotionsQueenFirstPushThenCaptures) {
    int side = setup("1n1r4/2P5/8/8/8/8/8/k3K3 w - - 0 1");
    auto list = generate(side);
    std::vector<move_list_entry> promos;
    for (auto& e : list)
        if (e.move & MOVE_PROMOTION) promos.push_back(e);
    ASSERT_EQ(promos.size(), 12u);
    const int order[4] = {QUEEN, KNIGHT, ROOK, BISHOP};
    for (int g = 0; g < 3; ++g)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(move_promotion(promos[g * 4 + k].move), order[k]);
    EXPECT_EQ(move_to(promos[0].move), C8);  // the push comes first
    EXPECT_FALSE(promos[0].move & MOVE_CAPTURE);
    EXPECT_TRUE(promos[4].move & MOVE_CAPTURE);
    EXPECT_EQ(promos[0].score - promos[1].score, 0x1480000);
}

TEST(MoveGen, CastlingNeverThroughOrOutOfCheck) {
    int side = setup("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    auto list = generate(side);
    EXPECT_TRUE(contains(list, make_move_word(E1, G1, MOVE_CASTLE)));
    EXPECT_TRUE(contains(list, make_move_word(E1, C1, MOVE_CASTLE)));
    side = setup("r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1");  // f2 rook: e1 no, f1 attacked
    list = generate(side);
    EXPECT_FALSE(contains(list, make_move_word(E1, G1, MOVE_CASTLE)));
    EXPECT_TRUE(contains(list, make_move_word(E1, C1, MOVE_CASTLE)));
    side = setup("r3k2r/8/8/8/8/8/4r3/R3K2R w KQkq - 0 1");  // in check
    list = generate(side);
    EXPECT_FALSE(contains(list, make_move_word(E1, G1, MOVE_CASTLE)));
    EXPECT_FALSE(contains(list, make_move_word(E1, C1, MOVE_CASTLE)));
    side = setup("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");  // b-file attacked does not matter
    board.piece[B1] = EMPTY;
    list = generate(side);
    EXPECT_TRUE(contains(list, make_move_word(E8, C8, MOVE_CASTLE)));
}

TEST(MoveGen, EnPassantOnlyWithAPawnBeside) {
    int side = setup("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    auto list = generate(side);
    EXPECT_TRUE(contains(list, make_move_word(E5, D6, MOVE_EP | MOVE_CAPTURE)));
    side = setup("4k3/8/8/3p4/8/8/8/4K3 w - d6 0 1");  // dropped: nothing can take
    EXPECT_EQ(board.ep_square, -1);
}

TEST(MoveGen, CapturesForTheQuiescenceSearch) {
    int side = setup("3r4/2P5/8/8/8/8/8/k3K3 w - - 0 1");
    move_list_start[0] = move_stack;
    int n = generate_captures(side, 0);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(move_stack[0].move, make_move_word(C7, D8, MOVE_CAPTURE) | promotion_flags(QUEEN));
    EXPECT_EQ(move_stack[0].score, 2 * 500 + 999 + 400);
    EXPECT_EQ(move_stack[1].move, make_move_word(C7, C8) | promotion_flags(QUEEN));
    EXPECT_EQ(move_stack[1].score, 999);
    EXPECT_EQ(move_list_start[1], move_stack + 2);
}

TEST(MoveGen, LegalFiltersKeepOrderAndDropPinnedMoves) {
    int side = setup("4k3/4r3/8/8/8/8/4B3/4K3 w - - 0 1");
    std::vector<move_list_entry> list(256);
    int n = generate_legal_moves(side, 0, list.data());
    for (int i = 0; i < n; ++i) EXPECT_NE(move_from(list[i].move), E2) << "the pinned bishop may not move";
    // In check by a knight: capturing it is allowed even off the king's lines.
    side = setup("4k3/8/8/8/8/3n4/8/2B1K3 w - - 0 1");
    n = generate_evasions(side, 0, list.data());
    bool capture = false;
    for (int i = 0; i < n; ++i)
        if (list[i].move == make_move_word(C1, D2)) ADD_FAILURE() << "a block cannot stop a knight check";
    for (int i = 0; i < n; ++i)
        if (move_to(list[i].move) == D3 && move_from(list[i].move) != E1) capture = true;
    EXPECT_FALSE(capture);  // the bishop on c1 does not reach d3
    side = setup("4k3/8/8/8/8/3n4/4B3/4K3 w - - 0 1");
    n = generate_evasions(side, 0, list.data());
    capture = false;
    for (int i = 0; i < n; ++i)
        if (list[i].move == make_move_word(E2, D3, MOVE_CAPTURE)) capture = true;
    EXPECT_TRUE(capture);
}

TEST(MoveGen, AttackTests) {
    int side = setup("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
    EXPECT_TRUE(square_attacked(BLACK, A8));
    EXPECT_FALSE(square_attacked(BLACK, B7));
    EXPECT_FALSE(in_check(side));
    setup("4k3/8/8/8/8/8/3p4/4K3 w - - 0 1");
    EXPECT_TRUE(in_check(WHITE));
    EXPECT_TRUE(in_check_by_rays(WHITE));
    setup("4k3/8/8/8/1b6/8/8/4K3 w - - 0 1");
    EXPECT_TRUE(in_check(WHITE));
    EXPECT_TRUE(in_check_by_rays(WHITE));
    setup("4k3/8/8/8/1b6/2P5/8/4K3 w - - 0 1");
    EXPECT_FALSE(in_check(WHITE));
    EXPECT_FALSE(in_check_by_rays(WHITE));
}

namespace {

// Moves of the full list that do not leave the king attacked, in list order.
std::vector<move_list_entry> legal_by_making(int side) {
    std::vector<move_list_entry> all = generate(side), legal;
    for (const move_list_entry& e : all) {
        make_move(side, e.move);
        if (!in_check(side)) legal.push_back(e);
        unmake_move(side, e.move);
    }
    return legal;
}

// Some killers and history values, so that the ordering values differ.
void seed_ordering(std::mt19937& rng) {
    clear_move_ordering();
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i < 4096; ++i) history_table[s][i] = rng() % 5000;
    killer1[0] = make_move_word(E1, F1);
    killer2[0] = make_move_word(E8, D8);
}

std::string differences(const std::vector<move_list_entry>& want, const move_list_entry* got, int n) {
    std::string text;
    if (static_cast<int>(want.size()) != n)
        text += "count " + std::to_string(want.size()) + " vs " + std::to_string(n) + "; ";
    for (int i = 0; i < n && i < static_cast<int>(want.size()); ++i)
        if (want[i].move != got[i].move || want[i].score != got[i].score) {
            text += "entry " + std::to_string(i) + " differs";
            break;
        }
    return text;
}

}  // namespace

// In check, the answers must be exactly the legal moves of the full list: same order,
// same ordering values (the search takes the first of equal values).
TEST(MoveGen, EvasionsMatchTheLegalMovesOfTheFullList) {
    core_tables();
    std::mt19937 rng(11);
    seed_ordering(rng);
    const char* fixed[] = {
        "4k3/8/8/8/8/3n4/4B3/4K3 w - - 0 1",     // knight check, capture it
        "4k3/4r3/8/8/8/8/3N4/R3K2R w KQ - 0 1",  // rook check: block, no castling
        "4k3/8/8/8/1b6/8/2P1N3/4K3 w - - 0 1",   // bishop check: block with pawn or knight
        "4k3/8/8/8/8/5n2/4r3/4K3 w - - 0 1",     // double check: king moves only
        "4k3/8/8/8/4r3/8/4B3/4K2r w - - 0 1",    // check with a pinned man
        "8/8/8/2k5/3Pp3/8/8/4K3 b - d3 0 1",     // a pawn check answered en passant
        "3r4/2P5/8/8/8/8/8/3K3k w - - 0 1",      // promotions capturing the checker
        "1r6/2P5/8/8/8/8/8/1K5k w - - 0 1",
        "r3k3/1P6/8/8/8/8/8/1K4r1 w - - 0 1",  // check by a rook on the last rank
    };
    for (const char* fen : fixed) {
        const int side = setup(fen);
        if (!in_check(side)) {
            ADD_FAILURE() << fen << " is not a check";
            continue;
        }
        const std::vector<move_list_entry> want = legal_by_making(side);
        std::vector<move_list_entry> got(256);
        const int n = generate_evasions(side, 0, got.data());
        EXPECT_EQ(differences(want, got.data(), n), "") << fen;
    }
    // Checks met in random games from busy positions.
    int checks = 0;
    const char* starts[] = {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                            "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"};
    for (const char* fen : starts)
        for (int game = 0; game < 40; ++game) {
            int side = setup(fen);
            for (int ply = 0; ply < 80; ++ply) {
                std::vector<move_list_entry> legal;
                if (in_check(side)) {
                    ++checks;
                    legal = legal_by_making(side);
                    std::vector<move_list_entry> got(256);
                    const int n = generate_evasions(side, 0, got.data());
                    const std::string diff = differences(legal, got.data(), n);
                    if (!diff.empty()) ADD_FAILURE() << board_to_fen(side, false) << ": " << diff;
                } else {
                    legal = legal_by_making(side);
                }
                if (legal.empty()) break;
                make_move(side, legal[rng() % legal.size()].move);
                side ^= 1;
            }
        }
    EXPECT_GT(checks, 20);
    clear_move_ordering();
}

// The pin test of a single move agrees with making it, for every move of a man on a
// line with its own king, over random games.
TEST(MoveGen, PinTestAgreesWithMakingTheMove) {
    core_tables();
    std::mt19937 rng(5);
    int tested = 0;
    for (int game = 0; game < 30; ++game) {
        int side = setup("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
        for (int ply = 0; ply < 60; ++ply) {
            if (in_check(side)) break;
            const int king = board.piece_list[side][0];
            std::vector<move_list_entry> all = generate(side), legal;
            for (const move_list_entry& e : all) {
                make_move(side, e.move);
                const bool exposed = in_check(side);
                unmake_move(side, e.move);
                if (!exposed) legal.push_back(e);
                if (move_from(e.move) == king || move_is_ep(e.move) || !on_line(king, move_from(e.move))) continue;
                ++tested;
                EXPECT_EQ(move_exposes_king(side, king, e.move), exposed) << board_to_fen(side, false);
            }
            if (legal.empty()) break;
            make_move(side, legal[rng() % legal.size()].move);
            side ^= 1;
        }
    }
    EXPECT_GT(tested, 200);
}

// The quiescence list holds exactly the captures of the full list (en passant aside)
// and each promotion as a queen, pushes included: the same moves whatever shortcut
// passes over men that reach no enemy man.
TEST(MoveGen, CaptureListMatchesTheCapturesOfTheFullList) {
    core_tables();
    std::mt19937 rng(23);
    const char* starts[] = {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                            "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                            "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1"};
    int captures = 0;
    for (const char* fen : starts)
        for (int game = 0; game < 30; ++game) {
            int side = setup(fen);
            for (int ply = 0; ply < 80; ++ply) {
                std::vector<uint32_t> want;
                for (const move_list_entry& e : generate(side)) {
                    const uint32_t m = e.move;
                    if (move_is_ep(m)) continue;
                    const bool promotion = (m & MOVE_PROMOTION) != 0;
                    if (promotion ? move_promotion(m) == QUEEN : (m & MOVE_CAPTURE) != 0) want.push_back(m);
                }
                move_list_start[0] = move_stack;
                const int n = generate_captures(side, 0);
                std::vector<uint32_t> got;
                for (int i = 0; i < n; ++i) got.push_back(move_stack[i].move);
                std::sort(want.begin(), want.end());
                std::sort(got.begin(), got.end());
                EXPECT_EQ(got, want) << board_to_fen(side, false);
                captures += n;
                const std::vector<move_list_entry> legal = legal_by_making(side);
                if (legal.empty()) break;
                make_move(side, legal[rng() % legal.size()].move);
                side ^= 1;
            }
        }
    EXPECT_GT(captures, 1000);
}
