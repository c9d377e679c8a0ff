#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "core/board.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "test_env.h"

namespace {
// Everything make/unmake must restore; piece lists compared as sets since a capture
// taken back appends the victim at the end of the list.
struct snapshot {
    uint32_t piece[64], color[64], moved[64];
    std::set<int> lists[2];
    int32_t count[2], material[2], pawn_material[2], piece_material[2];
    uint8_t files[2][8];
    uint32_t castled[2], rights;
    int32_t ep, last_irr, ply;
    uint64_t key, men[2], kinds[2][8];

    static snapshot take() {
        snapshot s;
        std::memcpy(s.piece, board.piece, sizeof s.piece);
        std::memcpy(s.color, board.color, sizeof s.color);
        std::memcpy(s.moved, board.moved, sizeof s.moved);
        for (int c = 0; c < 2; ++c) {
            s.lists[c] = std::set<int>(board.piece_list[c], board.piece_list[c] + board.piece_count[c] + 1);
            s.count[c] = board.piece_count[c];
            s.material[c] = board.material[c];
            s.pawn_material[c] = board.pawn_material[c];
            s.piece_material[c] = board.piece_material[c];
            std::memcpy(s.files[c], board.pawns_on_file[c], 8);
            s.castled[c] = board.castled[c];
            s.men[c] = board.men[c];
            std::memcpy(s.kinds[c], board.kinds[c], sizeof s.kinds[c]);
        }
        s.rights = board.castling_rights;
        s.ep = board.ep_square;
        s.last_irr = board.last_irreversible;
        s.ply = board.ply;
        s.key = board.hash_key;
        return s;
    }
    bool operator==(const snapshot& o) const {
        return !std::memcmp(piece, o.piece, sizeof piece) && !std::memcmp(color, o.color, sizeof color) &&
               !std::memcmp(moved, o.moved, sizeof moved) && lists[0] == o.lists[0] && lists[1] == o.lists[1] &&
               !std::memcmp(count, o.count, sizeof count) && !std::memcmp(material, o.material, sizeof material) &&
               !std::memcmp(pawn_material, o.pawn_material, sizeof pawn_material) &&
               !std::memcmp(piece_material, o.piece_material, sizeof piece_material) &&
               !std::memcmp(files, o.files, sizeof files) && !std::memcmp(castled, o.castled, sizeof castled) &&
               rights == o.rights && ep == o.ep && last_irr == o.last_irr && ply == o.ply && key == o.key &&
               !std::memcmp(men, o.men, sizeof men) && !std::memcmp(kinds, o.kinds, sizeof kinds);
    }
};

// Lists, indexes, material and pawn files agree with the board arrays.
void expect_consistent() {
    int men[2] = {0, 0};
    int32_t material[2] = {0, 0};
    uint8_t files[2][8] = {};
    uint64_t sets[2] = {0, 0}, kinds[2][8] = {};
    for (int sq = 0; sq < 64; ++sq) {
        uint32_t p = board.piece[sq];
        if (!p) {
            ASSERT_EQ(board.color[sq], static_cast<uint32_t>(NO_COLOR));
            continue;
        }
        int c = static_cast<int>(board.color[sq]);
        ASSERT_LT(c, 2);
        material[c] += piece_value[p];
        if (p == PAWN) files[c][file_of(sq)]++;
        sets[c] |= 1ULL << sq;
        kinds[c][p] |= 1ULL << sq;
        if (p != KING) men[c]++;
        ASSERT_EQ(board.piece_list[c][board.list_index[sq]], sq);
    }
    for (int c = 0; c < 2; ++c) {
        ASSERT_EQ(board.piece_count[c], men[c]);
        ASSERT_EQ(board.material[c], material[c]);
        ASSERT_EQ(board.material[c], board.pawn_material[c] + board.piece_material[c]);
        ASSERT_EQ(0, std::memcmp(files[c], board.pawns_on_file[c], 8));
        ASSERT_EQ(board.piece[board.piece_list[c][0]], static_cast<uint32_t>(KING));
        ASSERT_EQ(board.piece_list[c][board.piece_count[c] + 1], -1);
        ASSERT_EQ(board.men[c], sets[c]) << "side " << c;
        for (int p = 0; p < 8; ++p) ASSERT_EQ(board.kinds[c][p], kinds[c][p]) << "side " << c << " code " << p;
    }
    ASSERT_EQ(board.hash_key, compute_position_key());
    ASSERT_EQ(board.castling_rights, castling_rights_from_counters());
}

std::vector<uint32_t> legal_moves(int side) {
    std::vector<move_list_entry> list(256);
    int n = in_check_fn(side) ? generate_evasions(side, 0, list.data()) : generate_legal_moves(side, 0, list.data());
    std::vector<uint32_t> out;
    for (int i = 0; i < n; ++i) out.push_back(list[i].move);
    return out;
}

const char* kPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
};
}  // namespace

TEST(MakeMove, RandomPlayoutsComeBackExactly) {
    std::mt19937 rng(12345);
    for (const char* fen : kPositions) {
        int side = setup(fen);
        for (int game = 0; game < 30; ++game) {
            std::vector<std::pair<int, uint32_t>> played;
            std::vector<snapshot> before;
            int s = side;
            for (int ply = 0; ply < 120; ++ply) {
                auto moves = legal_moves(s);
                if (moves.empty()) break;
                uint32_t m = moves[rng() % moves.size()];
                before.push_back(snapshot::take());
                make_move(s, m);
                ASSERT_FALSE(in_check_fn(s)) << fen;
                expect_consistent();
                if (HasFatalFailure()) return;
                played.emplace_back(s, m);
                s ^= 1;
            }
            while (!played.empty()) {
                unmake_move(played.back().first, played.back().second);
                played.pop_back();
                ASSERT_TRUE(snapshot::take() == before.back()) << fen;
                before.pop_back();
            }
        }
    }
}

TEST(MakeMove, DoubleStepSetsEnPassantOnlyBesideAnEnemyPawn) {
    setup_start();
    make_move(WHITE, make_move_word(E2, E4));
    EXPECT_EQ(board.ep_square, -1);
    EXPECT_EQ(board.hash_key, compute_position_key());

    int side = setup("4k3/8/8/8/3p4/8/4P3/4K3 w - - 0 1");
    make_move(side, make_move_word(E2, E4));
    EXPECT_EQ(board.ep_square, E3);
    EXPECT_EQ(board.hash_key, compute_position_key());
    uint64_t expected = compute_position_key();
    recompute_board();
    EXPECT_EQ(board.hash_key, expected);
}

TEST(MakeMove, CapturedRookOnH8ClearsTheRightForGood) {
    int side = setup("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    make_move(side, make_move_word(H1, H8, MOVE_CAPTURE));
    EXPECT_EQ(board.castling_rights & CASTLE_BLACK_SHORT, 0u);
    make_move(BLACK, make_move_word(A8, B8));
    make_move(WHITE, make_move_word(H8, G8));
    make_move(BLACK, make_move_word(B8, A8));
    make_move(WHITE, make_move_word(G8, G1));
    // Black brings a rook back to h8: still no short right.
    setup("4k3/7r/8/8/8/8/8/4K3 b - - 0 1");
    board.moved[H8] = 1;  // as after the capture above
    recompute_board();
    make_move(BLACK, make_move_word(H7, H8));
    EXPECT_EQ(board.castling_rights & CASTLE_BLACK_SHORT, 0u);
}

TEST(MakeMove, RepetitionCountsAfterKnightShuffle) {
    setup_start();
    EXPECT_EQ(make_move(WHITE, make_move_word(G1, F3)), 0);
    EXPECT_EQ(make_move(BLACK, make_move_word(G8, F6)), 0);
    EXPECT_EQ(make_move(WHITE, make_move_word(F3, G1)), 0);
    EXPECT_EQ(make_move(BLACK, make_move_word(F6, G8)), 1);
    EXPECT_EQ(make_move(WHITE, make_move_word(G1, F3)), 1);
    unmake_move(WHITE, make_move_word(G1, F3));
    unmake_move(BLACK, make_move_word(F6, G8));
    EXPECT_EQ(repetition_count[BLACK][board.key_lo() & 0xFFF], 0);
}

TEST(MakeMove, FindAndMakeMoveChecksA15BitMove) {
    int side = setup("4k3/8/8/8/8/8/8/r3K3 w - - 0 1");
    int reps = -1;
    // The king may not stay on the rook's rank.
    EXPECT_EQ(find_and_make_move(side, make_move_word(E1, E2), &reps), make_move_word(E1, E2));
    EXPECT_EQ(find_and_make_move(side, make_move_word(E1, F1), &reps), 0u);
    EXPECT_EQ(reps, 0);
    EXPECT_EQ(find_and_make_move(side, make_move_word(A1, A2), &reps), 0u);
    // Promotion bits survive the 15-bit form.
    side = setup("8/4P3/8/8/8/8/k7/4K3 w - - 0 1");
    uint32_t m = make_move_word(E7, E8) | promotion_flags(KNIGHT);
    EXPECT_EQ(find_and_make_move(side, m & 0x7FFF, &reps), m);
    // After 100 reversible plies any legal move reports 100.
    side = setup("4k3/8/8/8/8/8/8/R3K3 w - - 99 80");
    board.last_irreversible = board.ply - 100;
    EXPECT_EQ(find_and_make_move(side, make_move_word(A1, A2), &reps), make_move_word(A1, A2));
    EXPECT_EQ(reps, 100);
}

TEST(MakeMove, NullMoveKeepsOnlyTheEnPassantPart) {
    int side = setup("4k3/8/8/8/3p4/8/4P3/4K3 w - - 0 1");
    make_move(side, make_move_word(E2, E4));
    const uint64_t key = board.hash_key;
    make_null_move(BLACK);
    EXPECT_EQ(board.ep_square, -1);
    EXPECT_EQ(board.hash_key, key ^ ep_key(E3) ^ ep_key(-1));
    EXPECT_EQ(board.last_irreversible, board.ply);
    unmake_null_move(BLACK);
    EXPECT_EQ(board.hash_key, key);
    EXPECT_EQ(board.ep_square, E3);
}
