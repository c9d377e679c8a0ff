// Choosing the engine's move from the opening books, and the fixed first moves of the
// trosk opening.
#pragma once

#include <cstdint>

#include "book/book_file.h"
#include "core/movegen.h"

// The choice's own generator (the keys' generator is never touched): two 16-bit
// multiply-with-carry halves, seeded from the wall clock at its first use.
struct book_rng {
    uint32_t s1 = 0, s2 = 0;
    bool seeded = false;
    void seed(uint32_t seconds) {
        s1 = seconds;
        s2 = seconds * 1103515245u + 12345u;
        seeded = true;
    }
    uint32_t next() {
        s1 = 30903u * (s1 & 0xFFFFu) + (s1 >> 16);
        s2 = 18000u * (s2 & 0xFFFFu) + (s2 >> 16);
        return (s2 << 16) + (s1 & 0xFFFFu);
    }
};
extern book_rng book_generator;
// Seeds the generator from the clock unless it runs already.
void seed_book_generator();

// Weights of the candidates after counts, marks and the threshold.
struct book_weighing {
    uint32_t weight[BOOK_MAX_CANDIDATES];
    uint32_t threshold = 0;  // t: weights not above it count as 0
    uint32_t total = 0;      // T: the sum of the weights that count
    int flagged = 0;         // more than one real alternative
    bool none = false;       // nothing may be played
};

// Merges the learn book's candidates into the main book's; returns the new count.
int merge_learn_candidates(book_candidate* main, int main_count, const book_candidate* learn, int learn_count, int mode,
                           int overwrite);
// Weighs n (>= 1) candidates: marks, the threshold, the choice flag and the total.
void weigh_book_candidates(const book_candidate* c, int n, bool random_on, int mode, book_weighing* w);
// Percentage of candidate i.
double book_percentage(const book_weighing& w, int i);
// Draws a candidate in proportion to the weights: its index, or -1 when the total is 0.
int draw_book_candidate(const book_weighing& w, int n, book_rng& rng);
// The candidate list at `level`: mode 1 as one xboard thinking line, else a line each.
void print_book_candidates(const book_candidate* c, int n, const book_weighing& w, int level, int mode);

// The book move of `side` among the legal moves (score -30000 marks an illegal one),
// copied to `out`; null when the books give none. `flagged` tells a choice among real
// alternatives.
const move_list_entry* book_choose_move(int side, const move_list_entry* legal, int count, move_list_entry* out,
                                        int print_level, int print_mode, int* flagged);
// The first move of the trosk opening (c2c4 or f2f4 at ply 0, the mirror of White's first
// move at ply 1), copied to `out`; null otherwise.
const move_list_entry* trosk_first_move(int side, const move_list_entry* legal, int count, move_list_entry* out);
