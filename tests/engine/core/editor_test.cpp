#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "core/board.h"
#include "core/editor.h"
#include "core/fen.h"
#include "core/input.h"
#include "core/output.h"
#include "core/state.h"
#include "test_env.h"

namespace {
int edit(const std::string& lines) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_EQ(write(fds[1], lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    close(fds[1]);
    stdin_use_descriptor(fds[0]);
    int prompt = output_levels[LVL_PROMPT];
    output_levels[LVL_PROMPT] = 0;
    int r = edit_mode();
    output_levels[LVL_PROMPT] = prompt;
    close(fds[0]);
    stdin_use_descriptor(0);
    return r;
}
}  // namespace

TEST(Editor, PlacesPiecesByColourNotByCase) {
    side_to_move = setup_start();
    EXPECT_EQ(edit("#\nKe1\nRa1\nRh1\nc\nk e8\nKe8\nPe7\n.\n"), 1);
    EXPECT_EQ(board_to_fen(WHITE, false), "4k3/4p3/8/8/8/8/8/R3K2R w KQ -");
    EXPECT_EQ(board.ply, 0);
}

TEST(Editor, CastleLineSwitchesOffOneSide) {
    side_to_move = setup_start();
    EXPECT_EQ(edit("castle -w O-O-O\n.\n"), 1);
    EXPECT_EQ(board.castling_rights,
              static_cast<uint32_t>(CASTLE_WHITE_SHORT | CASTLE_BLACK_SHORT | CASTLE_BLACK_LONG));
    EXPECT_EQ(board.moved[A1], 10u);
}

TEST(Editor, EnPassantOnlyOnTheBoardAndWhereItCanBeTaken) {
    side_to_move = setup("4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(edit("ep z9\n.\n"), 1);
    EXPECT_EQ(board.ep_square, -1);
    EXPECT_EQ(edit("ep d6\n.\n"), 1);
    EXPECT_EQ(board.ep_square, D6);
}

TEST(Editor, ImpossiblePositionIsRefused) {
    side_to_move = setup_start();
    const uint64_t key = board.hash_key;
    EXPECT_EQ(edit("Pa8\n.\n"), 0);  // a pawn on the last rank
    EXPECT_EQ(board.hash_key, key);
    EXPECT_EQ(edit("#\nKe1\n.\n"), 0);  // no black king
    EXPECT_EQ(board.hash_key, key);
    EXPECT_EQ(edit("xe1\n"), 0);  // end of input ends editing: no white king
    EXPECT_EQ(board.hash_key, key);
}
