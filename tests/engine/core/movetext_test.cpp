#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/board.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/state.h"
#include "test_env.h"

namespace {
std::vector<uint32_t> legal(int side) {
    std::vector<move_list_entry> list(256);
    int n = in_check_fn(side) ? generate_evasions(side, 0, list.data()) : generate_legal_moves(side, 0, list.data());
    std::vector<uint32_t> out;
    for (int i = 0; i < n; ++i) out.push_back(list[i].move);
    return out;
}

std::string san_of(int side, uint32_t move) {
    make_move(side, move);
    std::string s = move_to_text(move);
    unmake_move(side, move);
    return s;
}

uint32_t parse(const std::string& text, int side, std::string* reason = nullptr) {
    std::string r;
    uint32_t m = parse_move(text, side, &r, nullptr);
    if (reason) *reason = r;
    return m;
}
}  // namespace

TEST(MoveText, SanRoundTripOverRandomGames) {
    std::mt19937 rng(777);
    const char* starts[] = {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                            "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                            "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1"};
    int positions = 0;
    for (const char* fen : starts) {
        for (int game = 0; game < 6; ++game) {
            int side = setup(fen);
            for (int ply = 0; ply < 60; ++ply) {
                auto moves = legal(side);
                if (moves.empty()) break;
                ++positions;
                for (uint32_t m : moves) {
                    std::string text = san_of(side, m);
                    std::string reason;
                    ASSERT_EQ(parse(text, side, &reason), m) << text << " " << reason;
                    notation_mode = NOTATION_COORDINATES;
                    std::string coord = san_of(side, m);
                    notation_mode = NOTATION_SAN;
                    ASSERT_EQ(parse(coord, side), m) << coord;
                }
                uint32_t m = moves[rng() % moves.size()];
                make_move(side, m);
                side ^= 1;
            }
        }
    }
    EXPECT_GT(positions, 500);
}

TEST(MoveText, ParsesPromotionsCapturesAndCastling) {
    int side = setup("3r2k1/4P3/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(parse("exd8=Q+", side), make_move_word(E7, D8, MOVE_CAPTURE) | promotion_flags(QUEEN));
    std::string reason;
    EXPECT_EQ(parse("e8", side, &reason), 0u);
    EXPECT_EQ(reason, "illegal move");
    EXPECT_EQ(parse("e7e8q", side), make_move_word(E7, E8) | promotion_flags(QUEEN));

    side = setup("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    for (const char* t : {"0-0", "o-o", "O-O"}) EXPECT_EQ(parse(t, side), make_move_word(E1, G1, MOVE_CASTLE)) << t;
    EXPECT_EQ(parse("O-O-O", side), make_move_word(E1, C1, MOVE_CASTLE));
    EXPECT_EQ(parse("e1g1", side), make_move_word(E1, G1, MOVE_CASTLE));
    EXPECT_EQ(parse("O-O-O-O", side, &reason), 0u);
    EXPECT_EQ(reason, "bad castling move");
    EXPECT_EQ(parse("x", side, &reason), 0u);
    EXPECT_EQ(reason, "dont accept moves with only one char");
    EXPECT_EQ(parse("zRa2", side, &reason), 0u);
    EXPECT_EQ(reason, "garbage at beginning of move");
    reason = "unknown";
    EXPECT_EQ(parse_move("hashX 3", side, &reason, nullptr), 0u);
    EXPECT_EQ(reason, "unknown");
}

TEST(MoveText, AmbiguityAndTheLetterB) {
    int side = setup("4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1");
    std::string reason;
    EXPECT_EQ(parse("Nd2", side, &reason), 0u);
    EXPECT_EQ(reason, "move is ambiguous");
    EXPECT_EQ(parse("Nbd2", side), make_move_word(B1, D2));
    EXPECT_EQ(san_of(side, make_move_word(B1, D2)), "Nbd2");

    side = setup("4k3/8/8/8/8/8/8/1N2K3 w - - 0 1");
    board.piece[B3] = KNIGHT;
    board.color[B3] = WHITE;
    recompute_board();
    EXPECT_EQ(san_of(side, make_move_word(B1, D2)), "N1d2");

    side = setup("4k3/8/8/8/8/2n5/1P6/4K3 w - - 0 1");
    EXPECT_EQ(parse("bxc3", side), make_move_word(B2, C3, MOVE_CAPTURE));
    side = setup("4k3/8/8/8/8/2n5/8/B3K3 w - - 0 1");
    EXPECT_EQ(parse("bxc3", side), make_move_word(A1, C3, MOVE_CAPTURE));
}

TEST(MoveText, CheckAndMateSuffixes) {
    int side = setup("6k1/5ppp/8/8/8/8/8/R3K3 w - - 0 1");
    EXPECT_EQ(san_of(side, make_move_word(A1, A8)), "Ra8#");
    side = setup("6k1/5pp1/8/8/8/8/8/R3K3 w - - 0 1");
    EXPECT_EQ(san_of(side, make_move_word(A1, A8)), "Ra8+");
    EXPECT_EQ(parse("Ra8+", side), make_move_word(A1, A8));
    EXPECT_EQ(parse("Ra7+", side), 0u);  // a check is required and not given
    EXPECT_EQ(move_to_text(0), "null");
    EXPECT_EQ(move_to_text(0xFFFFFFFFu), "ERROR");
    EXPECT_EQ(move_to_coordinates(make_move_word(E7, E8) | promotion_flags(QUEEN)), "e7e8Q");
}

TEST(MoveText, AnnotationMarks) {
    int side = setup_start();
    int ann = 0;
    EXPECT_EQ(parse_move("e4!?", side, nullptr, &ann), make_move_word(E2, E4));
    EXPECT_EQ(ann, 1);
    EXPECT_EQ(parse_move("e4??", side, nullptr, &ann), make_move_word(E2, E4));
    EXPECT_EQ(ann, -3);
    EXPECT_EQ(parse_move("Nf3!", side, nullptr, &ann), make_move_word(G1, F3));
    EXPECT_EQ(ann, 2);
}

TEST(MoveText, TryingMovesKeepsTheRecordedContinuation) {
    int side = setup_start();
    make_move(side, make_move_word(E2, E4));
    game_history[1].has_text = 1;
    unmake_move(side, make_move_word(E2, E4));
    const history_entry before = game_history[1];
    parse_move("d4", side, nullptr, nullptr);
    parse_move("Nf3", side, nullptr, nullptr);
    int reps = 0;
    find_and_make_move(side, make_move_word(G1, H3), &reps);
    EXPECT_EQ(game_history[1].move, before.move);
    EXPECT_EQ(game_history[1].key, before.key);
}
