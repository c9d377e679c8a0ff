#include <gtest/gtest.h>

#include <cstring>

#include "core/board.h"
#include "core/hash.h"
#include "core/hooks.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/settings.h"
#include "core/state.h"
#include "test_env.h"

namespace {
uint16_t w(int from, int to) { return static_cast<uint16_t>(make_move_word(from, to)); }
}  // namespace

TEST(PvText, NumbersMarksAndTheTableContinuation) {
    int side = setup_start();
    pos_learn = 0;
    hash_alloc(100000);
    const uint64_t key = board.hash_key;
    uint16_t pv[64] = {w(E2, E4), w(E7, E5), 0xFFFF};
    int length = 0;
    EXPECT_EQ(pv_from_hash(pv, side, false, &length), "1.e4 e5 {0}");
    EXPECT_EQ(length, 2);
    EXPECT_EQ(board.hash_key, key);  // every move taken back
    EXPECT_EQ(board.ply, 0);

    space_in_PV = 1;
    EXPECT_EQ(pv_from_hash(pv, side, false, nullptr), "1. e4 e5 {0}");
    space_in_PV = 0;

    // The line goes on from the table: Nf3 stored for the position after 1.e4 e5.
    make_move(WHITE, make_move_word(E2, E4));
    make_move(BLACK, make_move_word(E7, E5));
    hash_store(WHITE, 10, 64, 0, 3, make_move_word(G1, F3));
    unmake_move(BLACK, make_move_word(E7, E5));
    unmake_move(WHITE, make_move_word(E2, E4));
    uint16_t line[64] = {w(E2, E4), w(E7, E5), 0xEFFF};
    EXPECT_EQ(pv_from_hash(line, side, false, &length), "1.e4 e5 2.Nf3H {HT} {0}");
    EXPECT_EQ(length, 3);

    // Coordinates (UCI): no numbers, no marks.
    notation_mode = NOTATION_COORDINATES;
    EXPECT_EQ(pv_from_hash(pv, side, false, nullptr), "e2e4 e7e5");
    notation_mode = NOTATION_SAN;

    // A line starting with Black's move.
    make_move(WHITE, make_move_word(E2, E4));
    uint16_t black_line[64] = {w(E7, E5), w(G1, F3), 0xFFFF};
    EXPECT_EQ(pv_from_hash(black_line, BLACK, false, nullptr), "1...e5 2.Nf3 {0}");
    unmake_move(WHITE, make_move_word(E2, E4));

    // An illegal move ends the walk with its coordinates.
    uint16_t bad[64] = {w(E2, E4), w(E2, E4), 0xFFFF};
    EXPECT_EQ(pv_from_hash(bad, side, false, nullptr), "1.e4 IM:e2e4 {0}");
    hash_alloc(0);
}

// A null move, in the line or stored in the table, ends the text before it: no host
// takes the word "null" for a move.
TEST(PvText, ANullMoveEndsTheTextBeforeIt) {
    int side = setup_start();
    pos_learn = 0;
    hash_alloc(100000);
    const uint64_t key = board.hash_key;
    uint16_t after_e4[64] = {w(E2, E4), 0, w(D2, D4), 0xFFFF};
    EXPECT_EQ(pv_from_hash(after_e4, side, false, nullptr), "1.e4 {0}");
    uint16_t at_once[64] = {0, w(E7, E5), 0xFFFF};
    EXPECT_EQ(pv_from_hash(at_once, side, false, nullptr), "{0}");
    notation_mode = NOTATION_COORDINATES;
    EXPECT_EQ(pv_from_hash(after_e4, side, false, nullptr), "e2e4");
    notation_mode = NOTATION_SAN;

    // The table's null-move cut for the position after 1.e4 e5.
    make_move(WHITE, make_move_word(E2, E4));
    make_move(BLACK, make_move_word(E7, E5));
    hash_store(WHITE, 10, 64, 0, 3, HASH_NULL_MOVE);
    unmake_move(BLACK, make_move_word(E7, E5));
    unmake_move(WHITE, make_move_word(E2, E4));
    uint16_t line[64] = {w(E2, E4), w(E7, E5), 0xEFFF};
    const std::string text = pv_from_hash(line, side, false, nullptr);
    EXPECT_EQ(text.rfind("1.e4 e5", 0), 0u) << text;
    EXPECT_EQ(text.find("null"), std::string::npos) << text;
    EXPECT_EQ(board.hash_key, key);
    EXPECT_EQ(board.ply, 0);
    hash_alloc(0);
}

namespace {
// A stand-in for the endgame tables: the side with the rook wins in 20 moves, the
// other loses, whatever the position.
bool fake_probe(int side, int* value) {
    const bool strong = board.piece_count[side] > 0;
    *value = strong ? 32767 - 20 : -(32767 - 20);
    return true;
}
}  // namespace

TEST(PvText, TableWalkStopsAndRestoresTheBoard) {
    int side = setup("8/8/8/4k3/8/8/8/R3K3 w - - 0 1");
    const uint64_t key = board.hash_key;
    std::string text;
    int balance = 0, found = 0;
    pv_text(side, text, &balance, 0, &found);  // no tables: nothing
    EXPECT_EQ(found, 0);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(balance, 500);

    hooks.egtb_probe = fake_probe;
    egtb_max_men = 5;
    pv_text(side, text, &balance, 0, &found);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(text.rfind(" 1.", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with(" {No mating material}")) << text;  // the weak king takes the rook at last
    EXPECT_EQ(board.hash_key, key);
    EXPECT_EQ(board.ply, 0);
    hooks.egtb_probe = nullptr;
    egtb_max_men = 0;
}

// Taking back a capture puts the taken man last in its side's list. The text walk must
// not leave the lists reordered: the next search would generate its moves in another
// order, and how far the walk runs (into the table after a second of search) would make
// the search's node count depend on the time.
TEST(PvText, WalkWithCapturesLeavesTheListsInTheirOrder) {
    int side = setup("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4");
    pos_learn = 0;
    hash_alloc(100000);
    const board_state before = board;
    // 4.Bxf7+ Kxf7 5.Nxe5+ Nxe5: two captures of each side.
    uint16_t pv[64] = {w(C4, F7), w(E8, F7), w(F3, E5), w(C6, E5), 0xEFFF};
    const std::string text = pv_from_hash(pv, side, false, nullptr);
    EXPECT_EQ(text.rfind("4.Bxf7+ Kxf7 5.Nxe5+ Nxe5", 0), 0u) << text;
    for (int s = 0; s < 2; ++s) {
        EXPECT_EQ(board.piece_count[s], before.piece_count[s]);
        for (int i = 0; i <= before.piece_count[s]; ++i)
            EXPECT_EQ(board.piece_list[s][i], before.piece_list[s][i]) << s << " " << i;
    }
    EXPECT_EQ(std::memcmp(board.list_index, before.list_index, sizeof board.list_index), 0);
    EXPECT_EQ(board.hash_key, before.hash_key);
    hash_alloc(0);
}
