#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "core/board.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/output.h"
#include "test_env.h"

namespace {
// Captures what reaches standard output while `fn` runs.
template <class F>
std::string captured(F fn) {
    fflush(stdout);
    char name[] = "/tmp/orvik_fen_XXXXXX";
    int fd = mkstemp(name);
    int saved = dup(1);
    dup2(fd, 1);
    fn();
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::string out;
    char buf[4096];
    lseek(fd, 0, SEEK_SET);
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    close(fd);
    unlink(name);
    return out;
}

int parse_loud(const std::string& fen, int* side) {
    output_levels[LVL_NORMAL] = 1;
    int r = parse_fen(fen, side, false);
    output_levels[LVL_NORMAL] = 0;
    return r;
}
}  // namespace

TEST(Fen, RoundTripAndCounters) {
    for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
                            "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
                            "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 b - -", "4k3/8/8/3pP3/8/8/8/4K3 w - d6"}) {
        int side = setup(fen);
        EXPECT_EQ(board_to_fen(side, false), fen);
    }
    int side = setup("4k3/8/8/8/8/8/8/4K3 w - - 0 30");
    EXPECT_EQ(start_move_number, 29);
    EXPECT_EQ(board_to_fen(side, true), "4k3/8/8/8/8/8/8/4K3 w - - 0 30");
    setup("4k3/8/8/8/8/8/8/4K3 w - - 0 700");
    EXPECT_EQ(start_move_number, 0);
}

TEST(Fen, WarningsAndRightsFromTheCounters) {
    core_tables();
    int side = -1;
    std::string out =
        captured([&] { parse_loud("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", &side); });
    EXPECT_NE(out.find("Warning, ep move not possible\n"), std::string::npos) << out;
    EXPECT_EQ(side, BLACK);
    EXPECT_EQ(board.ep_square, -1);  // nothing can take: dropped
    out = captured([&] { parse_loud("r3k2r/8/8/8/8/8/8/R4K1R w KQkq - 0 1", &side); });
    EXPECT_NE(out.find("Warning, white king side castling is not possible\n"), std::string::npos);
    EXPECT_NE(out.find("Warning, white queen side castling is not possible\n"), std::string::npos);
    EXPECT_EQ(board.castling_rights, static_cast<uint32_t>(CASTLE_BLACK_LONG | CASTLE_BLACK_SHORT));
}

TEST(Fen, RefusedPositionsLeaveTheOldOneInForce) {
    setup("4k3/8/8/8/8/8/8/R3K3 w Q - 0 1");
    const uint64_t key = board.hash_key;
    const std::string before = board_to_fen(WHITE, false);
    struct bad {
        const char* fen;
        const char* message;
    } cases[] = {
        {"", "ERROR setboard kings are not correct\n"},
        {"4k3/8/8/8/8/8/8/4K2K w - -", "ERROR setboard kings are not correct\n"},
        {"4k3/8/8/8/8/8/8/4K3X w - -", "ERROR setboard c = X, unknown piece letter\n"},
        {"4k3/8/8/8/8/8/8/4K3p w - -", "ERROR setboard c = p, column outside of board\n"},
        {"4k2P/8/8/8/8/8/8/4K3 w - -", "setboard error while verify: white pawn on row 8\n"},
        {"4k3/8/8/8/8/8/8/p3K3 w - -", "setboard error while verify: black pawn on row 1\n"},
        {"4k3/8/8/8/8/8/8/4K2r b - -", "setboard error while verify: side not moving in check\n"},
        {"4k3/8/8/8/8/PPPPPPPP/PPPPPPPP/4K3 b - -", "setboard error while verify: too many white pawns\n"},
        {"4k3/8/8/8/8/NNNNNNNN/QQQQQQQQ/4K3 b - -", "setboard error while verify: too many white pieces\n"},
        {"4k3/8/8/8/8/8/8/4K3 x - -", ""},
    };
    for (const bad& b : cases) {
        int side = -1;
        std::string out = captured([&] { EXPECT_EQ(parse_loud(b.fen, &side), 1) << b.fen; });
        EXPECT_EQ(out, b.message) << b.fen;
        EXPECT_EQ(board.hash_key, key);
        EXPECT_EQ(board_to_fen(WHITE, false), before);
    }
}

TEST(Fen, NewHistoryAtTheSetUpPosition) {
    int side = setup_start();
    make_move(side, make_move_word(E2, E4));
    side = setup("4k3/8/8/8/8/8/8/R3K3 b Q - 5 40");
    EXPECT_EQ(board.ply, 0);
    EXPECT_EQ(board.last_irreversible, 0);
    EXPECT_EQ(game_history[0].key, board.hash_key);
    EXPECT_EQ(repetition_count[WHITE][board.key_lo() & 0xFFF], 1);
    EXPECT_EQ(repetition_count[BLACK][board.key_lo() & 0xFFF], 0);
    EXPECT_EQ(start_fen, "4k3/8/8/8/8/8/8/R3K3 b Q - 0 40");
    std::string message;
    EXPECT_EQ(check_position(side, &message), 1);
    EXPECT_EQ(message, "Nothing");
}
