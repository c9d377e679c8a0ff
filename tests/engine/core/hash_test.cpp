#include <gtest/gtest.h>

#include "core/board.h"
#include "core/hash.h"
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
