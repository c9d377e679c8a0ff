#include <gtest/gtest.h>

#include <climits>

#include "core/board.h"
#include "core/hash.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/settings.h"
#include "test_env.h"

namespace {
struct hash_fixture : ::testing::Test {
    void SetUp() override {
        setup_start();
        pos_learn = 0;
        hash_alloc(1000000);
    }
    void TearDown() override { hash_alloc(0); }
};
}  // namespace

TEST_F(hash_fixture, SizeOfAMillionBytes) {
    EXPECT_EQ(hash_entries, 83331u);
    EXPECT_EQ(bucket_mult, 27776u);
    hash_alloc(100);
    EXPECT_EQ(hash_table, nullptr);
    EXPECT_EQ(hash_entries, 0u);
}

TEST(HashSize, RequestsBeyondTwoGigabytesKeepTheirSize) {
    EXPECT_EQ(hash_entries_for(0), 0u);
    EXPECT_EQ(hash_entries_for(1000000), 83331u);
    // The sizes that once read as "no table": above 2^31 bytes.
    EXPECT_EQ(hash_entries_for(2148000000L), 178999998u);
    EXPECT_EQ(hash_entries_for(3000000000L), 249999999u);
    EXPECT_EQ(hash_entries_for(5000000000L), 416666664u);
    // The largest table the 32-bit bucket number reaches, and nothing beyond it.
    EXPECT_EQ(hash_entries_for(HASH_MAX_BYTES), HASH_MAX_ENTRIES);
    EXPECT_EQ(hash_entries_for(HASH_MAX_BYTES + 36), HASH_MAX_ENTRIES);
    EXPECT_EQ(hash_entries_for(LONG_MAX), HASH_MAX_ENTRIES);
    EXPECT_EQ(HASH_MAX_ENTRIES % 3, 0u);
    EXPECT_EQ(HASH_MAX_ENTRIES / 3 - 1, 0x55555554u) << "bucket_mult of the largest table fits its 32 bits";
    EXPECT_GE(hash_max_megabytes(), 1);
    EXPECT_LE(hash_max_megabytes(), HASH_MAX_BYTES / 1048576);
}

// The memory the table may take is limited to `limit` bytes while it lives.
struct memory_limit {
    static size_t limit;
    bool (*saved)(size_t) = hash_memory_allows;
    explicit memory_limit(size_t bytes) {
        limit = bytes;
        hash_memory_allows = [](size_t b) { return b <= limit; };
    }
    ~memory_limit() { hash_memory_allows = saved; }
};
size_t memory_limit::limit = 0;

TEST_F(hash_fixture, AFailedAllocationFallsBackToTheLargestThatSucceeds) {
    {
        const memory_limit limit(7 << 20);
        hash_alloc(16 << 20);
        ASSERT_NE(hash_table, nullptr);
        // Halving alone would stop at 4 MB; the table takes the 6 MB block that fits.
        EXPECT_GT(hash_entries * sizeof(hash_entry), size_t(5) << 20);
        EXPECT_LE((hash_entries + 3) * sizeof(hash_entry), size_t(6) << 20);
        EXPECT_EQ(hash_entries % 3, 0u);
        EXPECT_EQ(bucket_mult, hash_entries / 3 - 1);
        // The table works: a store is found again.
        hash_store(WHITE, 12, 64, 0, 3, 0x123);
        int score = 0;
        EXPECT_EQ(hash_probe(WHITE, 0, &score, nullptr, nullptr), 3);
        EXPECT_EQ(score, 12);

        // Beyond the largest table: taken down to it, then to what the memory allows.
        hash_alloc(LONG_MAX);
        ASSERT_NE(hash_table, nullptr);
        EXPECT_GT(hash_entries * sizeof(hash_entry), size_t(5) << 20);
        hash_new_search();

        // No memory at all: no table, and the engine plays on.
        memory_limit::limit = 1000;
        hash_alloc(16 << 20);
        EXPECT_EQ(hash_table, nullptr);
        EXPECT_EQ(hash_entries, 0u);
        EXPECT_EQ(hash_probe(WHITE, 0, &score, nullptr, nullptr), 0);
    }
    hash_alloc(1000000);
    EXPECT_EQ(hash_entries, 83331u);
}

TEST_F(hash_fixture, MateScoresAreStoredRelativeToTheNode) {
    hash_store(WHITE, 29800, 320, 5, 3, 0x123);
    EXPECT_EQ(hash_bucket(WHITE)->score, 29805);
    int score = 0, depth = 0;
    uint32_t move = 0;
    EXPECT_EQ(hash_probe(WHITE, 3, &score, &move, &depth), 3);
    EXPECT_EQ(score, 29802);
    EXPECT_EQ(move, 0x123u);
    EXPECT_EQ(depth, 320);
    EXPECT_EQ(hash_probe(BLACK, 3, &score, &move, &depth), 0);  // the other side's bucket
}

TEST_F(hash_fixture, LearnedEntriesSurviveShallowerStores) {
    const uint64_t real = board.hash_key;
    hash_store_learned(real, WHITE, 50, 10, 0x2C4);
    // Other positions of the same bucket: same low word, other high words.
    for (uint32_t hi = 1; hi < 20; ++hi) {
        board.hash_key = (static_cast<uint64_t>(hi) << 32) | (real & 0xFFFFFFFFu);
        hash_store(WHITE, 0, 64 * static_cast<int>(hi), 0, 1, 0x111);
    }
    board.hash_key = real;
    int score = 0, depth = 0;
    uint32_t move = 0;
    EXPECT_EQ(hash_probe(WHITE, 0, &score, &move, &depth), 3);
    EXPECT_EQ(score, 50);
    EXPECT_EQ(depth, 640);
    // A deeper search of the same position replaces it but stays learned.
    hash_store(WHITE, 70, 64 * 12, 0, 2, 0x2C5);
    hash_entry* e = hash_bucket(WHITE);
    while (e->lock != board.key_hi()) ++e;
    EXPECT_EQ(e->age, HASH_LEARNED_AGE);
    EXPECT_EQ(e->score, 70);
    const uint64_t rejects = hash_rejects;
    hash_store(WHITE, 90, 64, 0, 2, 0x2C6);  // shallower: refused, and counted so
    EXPECT_EQ(e->score, 70);
    EXPECT_EQ(hash_rejects, rejects + 1);
}

TEST_F(hash_fixture, AgeWrapsAfter126Searches) {
    hash_store_learned(board.hash_key, WHITE, 10, 3, 0x2C4);
    for (int i = 0; i < 126; ++i) hash_new_search();
    EXPECT_EQ(hash_age, 36);
    EXPECT_EQ(hash_wraps, 1u);
    int score = 0;
    EXPECT_EQ(hash_probe(WHITE, 0, &score, nullptr, nullptr), 3);
    hash_entry* e = hash_bucket(WHITE);
    while (e->lock != board.key_hi()) ++e;
    EXPECT_EQ(e->age, HASH_LEARNED_AGE);
}

TEST_F(hash_fixture, SpecialMovesKeepTheirCode) {
    hash_store(WHITE, 100, 128, 0, 2, 0xF000);
    uint32_t move = 0;
    hash_probe(WHITE, 0, nullptr, &move, nullptr);
    EXPECT_EQ(move, 0xF000u);
}

TEST_F(hash_fixture, FullnessIsReadFromASample) {
    EXPECT_EQ(hash_fullness_permill(), 0);
    for (uint32_t i = 0; i < hash_entries; i += 2) hash_table[i].lock = 1;  // every other slot
    EXPECT_NEAR(hash_fullness_permill(), 500, 20);
    for (uint32_t i = 0; i < hash_entries; ++i) hash_table[i].lock = 1;
    EXPECT_EQ(hash_fullness_permill(), 1000);
    hash_clear();
    EXPECT_EQ(hash_fullness_permill(), 0);
}

// The bucket loaded ahead of a move is the one the position after it probes, for every
// move whose key the foresight covers: plain moves, captures, promotions, and moves
// that clear an en-passant square.
TEST(HashKeyAfter, ForeseesTheKeyOfTheNextPosition) {
    const char* fens[] = {
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
        "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    };
    int compared = 0;
    for (const char* fen : fens) {
        const int side = setup(fen);
        move_list_entry list[256];
        const int n = generate_moves(side, 0, list);
        for (int i = 0; i < n; ++i) {
            const uint32_t m = list[i].move;
            const uint64_t foreseen = hash_key_after(side, m);
            const uint32_t rights = board.castling_rights;
            make_move(side, m);
            const bool covered =
                !(m & (MOVE_CASTLE | MOVE_EP)) && board.castling_rights == rights && board.ep_square == -1;
            if (covered) {
                EXPECT_EQ(foreseen, board.hash_key) << fen << " move " << m;
                ++compared;
            }
            unmake_move(side, m);
        }
    }
    EXPECT_GT(compared, 150);
}
