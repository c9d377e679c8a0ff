// Book move choice: weights by count and mark, the threshold, the choice flag, the
// percentages, the unbiased draw, the merge with the learn book and the trosk moves.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "book/book_choice.h"
#include "book_env.h"
#include "core/board.h"
#include "core/makemove.h"
#include "core/movetext.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/book.h"
#include "front/new_game.h"

namespace {
std::vector<book_candidate> candidates(const std::vector<uint32_t>& counts, const std::vector<int>& marks = {}) {
    std::vector<book_candidate> c(counts.size());
    for (size_t i = 0; i < counts.size(); ++i) {
        c[i].entry = move_list_entry{static_cast<uint32_t>(i + 1), 0};
        c[i].count = counts[i];
        c[i].mark = i < marks.size() ? marks[i] : 0;
        std::snprintf(c[i].text, sizeof c[i].text, "m%d", static_cast<int>(i % 100));
    }
    return c;
}

std::vector<uint32_t> weights(const book_weighing& w, size_t n) {
    return std::vector<uint32_t>(w.weight, w.weight + n);
}
}  // namespace

TEST(BookChoice, WeightsThresholdAndFlag) {
    struct weigh_case {
        const char* what;
        std::vector<uint32_t> counts;
        std::vector<int> marks;
        bool random_on;
        int mode;
        std::vector<uint32_t> weights;
        uint32_t threshold;
        int flagged;
    };
    const std::vector<weigh_case> cases = {
        {"a single move seen twice is played", {2}, {}, true, 0, {2}, 1, 0},
        {"a single move seen once is not", {1}, {}, true, 0, {0}, 2, 0},
        {"without randomness it is", {1}, {}, false, 0, {1}, 0, 0},
        {"t is a sixteenth of the largest count", {100, 5}, {}, true, 0, {100, 0}, 6, 0},
        {"both above t are alternatives", {100, 7}, {}, true, 0, {100, 7}, 6, 1},
        {"t is at most 100", {3200, 150, 101}, {}, true, 0, {3200, 150, 101}, 100, 1},
        {"?? weighs nothing", {50, 40}, {0, -3}, true, 0, {50, 0}, 3, 0},
        {"?! halves, ? takes the smallest count", {64, 40, 30}, {0, -1, -2}, true, 0, {64, 20, 30}, 4, 1},
        {"!? lifts to half the largest, ! doubles", {64, 4, 20}, {0, 1, 2}, true, 0, {64, 32, 64}, 4, 1},
        {"a lone ! counts as an alternative", {64, 1}, {0, 2}, true, 0, {64, 64}, 4, 1},
        {"!! leaves only !! moves, equally likely", {50, 10, 20}, {0, 3, 3}, true, 0, {0, 1, 1}, 0, 1},
        {"!! moves by count in mode 1", {50, 10, 20}, {0, 3, 3}, true, 1, {0, 10, 20}, 0, 1},
        {"no randomness keeps the heaviest, ties included", {40, 40, 10}, {}, false, 0, {40, 40, 0}, 39, 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        const auto c = candidates(k.counts, k.marks);
        book_weighing w;
        weigh_book_candidates(c.data(), static_cast<int>(c.size()), k.random_on, k.mode, &w);
        EXPECT_EQ(weights(w, c.size()), k.weights);
        EXPECT_EQ(w.threshold, k.threshold);
        EXPECT_EQ(w.flagged, k.flagged);
        uint32_t total = 0;
        for (uint32_t x : k.weights) total += x;
        EXPECT_EQ(w.total, total);
    }
}

TEST(BookChoice, ListingShowsCountsWeightsAndPercentages) {
    front_tables();
    const auto c = candidates({1155, 681, 100, 28});
    book_weighing w;
    weigh_book_candidates(c.data(), 4, true, 0, &w);
    output_capture out;
    print_book_candidates(c.data(), 4, w, LVL_NORMAL, 0);
    print_book_candidates(c.data(), 2, w, LVL_NORMAL, 1);
    const std::vector<std::string> expected = {
        " m0         flags   0 original count   1155 count   1155   59.7%",
        " m1         flags   0 original count    681 count    681   35.2%",
        " m2         flags   0 original count    100 count    100    5.2%",
        " m3         flags   0 original count     28 count      0    0.0%",
        "0 0 0 0 {m0 59.7%, m1 35.2%}",
    };
    EXPECT_EQ(out.lines(), expected);
}

TEST(BookChoice, DrawIsUnbiasedFromKnownGeneratorStates) {
    const auto c = candidates({1, 2});
    book_weighing w;
    weigh_book_candidates(c.data(), 2, false, 0, &w);
    w.threshold = 0;
    w.weight[0] = 1;
    w.weight[1] = 2;
    w.total = 3;
    w.none = false;
    // This state gives 0xFFFFFFFF next: above the limit 4294967294 of T = 3, so a second
    // output is drawn.
    book_rng rng;
    rng.s1 = 0xFFFF0000u;
    rng.s2 = 0xFFFF0000u;
    book_rng probe = rng;
    EXPECT_EQ(probe.next(), 0xFFFFFFFFu);
    const uint32_t second = probe.next();
    const uint32_t q = 1431655765u;  // floor(2^32 / 3)
    const int expected = second / q + 1 <= 1 ? 0 : 1;
    EXPECT_EQ(draw_book_candidate(w, 2, rng), expected);
    EXPECT_EQ(rng.s1, probe.s1);
    EXPECT_EQ(rng.s2, probe.s2);

    // A power of two never rejects: one step, pick = output / 2^30 + 1.
    w.weight[0] = 3;
    w.weight[1] = 1;
    w.total = 4;
    rng.s1 = 0xFFFF0000u;
    rng.s2 = 0xFFFF0000u;
    EXPECT_EQ(draw_book_candidate(w, 2, rng), 1);  // output 0xFFFFFFFF: pick 4
    probe.s1 = probe.s2 = 0xFFFF0000u;
    probe.next();
    EXPECT_EQ(rng.s1, probe.s1);
    rng.s1 = 0;
    rng.s2 = 0;
    EXPECT_EQ(draw_book_candidate(w, 2, rng), 0);  // output 0: pick 1

    // Seeding from the clock's seconds.
    book_rng seeded;
    seeded.seed(1000);
    EXPECT_EQ(seeded.s1, 1000u);
    EXPECT_EQ(seeded.s2, 1000u * 1103515245u + 12345u);
}

TEST(BookChoice, LearnCandidatesMergeIntoTheMainOnes) {
    auto main = candidates({30, 20});
    std::strcpy(main[0].text, "e4");
    std::strcpy(main[1].text, "d4");
    std::vector<book_candidate> learn = candidates({1, 5});
    learn[0].entry = main[0].entry;  // e4 learnt "??"
    learn[0].mark = -3;
    std::strcpy(learn[0].text, "e4??");
    learn[1].entry.move = 99;  // a move only the learn book knows
    std::strcpy(learn[1].text, "c4");
    main.resize(BOOK_MAX_CANDIDATES);
    int n = merge_learn_candidates(main.data(), 2, learn.data(), 2, 0, 0);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(main[0].mark, -3);
    EXPECT_EQ(main[0].count, 31u);
    EXPECT_STREQ(main[0].text, "e4??l");
    EXPECT_STREQ(main[2].text, "c4");
    book_weighing w;
    weigh_book_candidates(main.data(), n, true, 0, &w);
    EXPECT_EQ(w.weight[0], 0u) << "a learnt ?? is never played";

    // A main !! is kept against the learn book unless overwrite_vgm is set.
    auto best = candidates({30});
    best[0].mark = 3;
    auto bad = candidates({1});
    bad[0].mark = -3;
    n = merge_learn_candidates(best.data(), 1, bad.data(), 1, 0, 0);
    EXPECT_EQ(best[0].mark, 3);
    merge_learn_candidates(best.data(), 1, bad.data(), 1, 0, 1);
    EXPECT_EQ(best[0].mark, -3);

    // Mode 2: a learnt !! replaces the count, and the main !! moves drop to ! with "s".
    auto two = candidates({30, 10});
    two.resize(BOOK_MAX_CANDIDATES);
    two[0].mark = 3;
    auto learnt = candidates({4});
    learnt[0].entry = two[1].entry;
    learnt[0].mark = 3;
    merge_learn_candidates(two.data(), 2, learnt.data(), 1, 2, 0);
    EXPECT_EQ(two[0].mark, 2);
    EXPECT_STREQ(two[0].text, "m0s");
    EXPECT_EQ(two[1].count, 4u);
    EXPECT_EQ(two[1].mark, 3);
}

TEST(BookChoice, TroskMovesAndBookSplit) {
    fresh_book_game();
    work_folder folder;
    auto legal_list = [](int side, move_list_entry* list) {
        const int n = generate_legal_moves(side, 0, list);
        return n;
    };
    move_list_entry list[256], out;
    book_generator.seed(1);
    book_rng probe = book_generator;
    probe.next();
    const char* expected_first = (probe.s1 & 1) ? "c2c4" : "f2f4";
    int n = legal_list(WHITE, list);
    ASSERT_NE(trosk_first_move(WHITE, list, n, &out), nullptr);
    EXPECT_EQ(move_to_coordinates(out.move), expected_first);

    const struct {
        const char* white;
        const char* reply;
    } mirrors[] = {{"e4", "e7e5"}, {"Nf3", "g8f6"}, {"c4", "c7c5"}};
    for (const auto& m : mirrors) {
        new_game(NEW_GAME_FULL);
        play({m.white});
        n = legal_list(BLACK, list);
        ASSERT_NE(trosk_first_move(BLACK, list, n, &out), nullptr) << m.white;
        EXPECT_EQ(move_to_coordinates(out.move), m.reply);
    }
    play({"e5"});
    n = legal_list(WHITE, list);
    EXPECT_EQ(trosk_first_move(WHITE, list, n, &out), nullptr) << "only the first two plies";

    // book_split: from that ply on the heaviest move is taken.
    new_game(NEW_GAME_FULL);
    const uint32_t key = board.key_lo(), hi = board.key_hi();
    std::vector<book_entry> e(2);
    e[0] = book_entry{key, hi, 1, 10, static_cast<uint16_t>(make_move_word(E2, E4)), WHITE, 0};
    e[1] = book_entry{key, hi, 0, 40, static_cast<uint16_t>(make_move_word(D2, D4)), WHITE, 0};
    write_file("kvbook.bin", book_bytes(new_book_header(1, 2), e));
    ASSERT_TRUE(book_open(main_book));
    play({"Nf3", "Nf6", "Ng1", "Ng8", "Nf3", "Nf6", "Ng1", "Ng8", "Nf3", "Nf6",
          "Ng1", "Ng8", "Nf3", "Nf6", "Ng1", "Ng8", "Nf3", "Nf6", "Ng1", "Ng8"});
    ASSERT_EQ(board.ply, 20);
    ASSERT_EQ(board.key_lo(), key);
    book_split = 20;
    for (int i = 0; i < 30; ++i) {
        n = legal_list(WHITE, list);
        ASSERT_NE(book_choose_move(WHITE, list, n, &out, LVL_BOOK_REJECT, 0, nullptr), nullptr);
        EXPECT_EQ(move_to_coordinates(out.move), "d2d4");
    }
}
