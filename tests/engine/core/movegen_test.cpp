#include <gtest/gtest.h>

#include <vector>

#include "core/board.h"
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
    EXPECT_EQ(move_to(promos[0].move), C8);       // the push comes first
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
