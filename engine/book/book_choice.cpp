#include "book/book_choice.h"

#include <cstring>
#include <ctime>

#include "core/board.h"
#include "core/output.h"
#include "core/settings.h"

book_rng book_generator;

void seed_book_generator() {
    if (!book_generator.seeded) book_generator.seed(static_cast<uint32_t>(std::time(nullptr)));
}

namespace {
void append_text(char* text, const char* suffix) {
    const size_t n = std::strlen(text);
    std::snprintf(text + n, BOOK_TEXT_SIZE - n, "%s", suffix);
}
}  // namespace

int merge_learn_candidates(book_candidate* main, int n, const book_candidate* learn, int learn_count, int mode,
                           int overwrite) {
    bool learn_best = false;
    for (int j = 0; j < learn_count; ++j)
        if (learn[j].mark == 3) learn_best = true;
    if (mode == 2 && learn_best && n > 0)
        for (int i = 0; i < n; ++i)
            if (main[i].mark == 3) {
                append_text(main[i].text, "s");
                main[i].mark = 2;
            }
    for (int j = 0; j < learn_count; ++j) {
        const book_candidate& l = learn[j];
        int i = 0;
        while (i < n && main[i].entry.move != l.entry.move) ++i;
        if (i < n) {
            book_candidate& m = main[i];
            if (m.mark == 3 && !overwrite) continue;
            if (l.mark != 0) m.mark = l.mark;
            if (mode == 2 && l.mark == 3)
                m.count = l.count;
            else
                m.count += l.count;
            std::memcpy(m.text, l.text, sizeof m.text);
            if (l.mark != 0) append_text(m.text, "l");
        } else if (n < BOOK_MAX_CANDIDATES) {
            main[n++] = l;
        }
    }
    return n;
}

void weigh_book_candidates(const book_candidate* c, int n, bool random_on, int mode, book_weighing* w) {
    *w = book_weighing{};
    int largest_mark = 0;
    uint32_t largest = c[0].count, smallest = c[0].count;
    for (int i = 0; i < n; ++i) {
        w->weight[i] = c[i].count;
        if (c[i].mark > largest_mark) largest_mark = c[i].mark;
        if (c[i].mark < -2) {
            w->weight[i] = 0;
            continue;
        }
        if (c[i].count > largest) largest = c[i].count;
        if (c[i].count < smallest) smallest = c[i].count;
    }
    int alternatives = 0;
    if (largest_mark < 3) {
        for (int i = 0; i < n; ++i) {
            uint32_t& x = w->weight[i];
            switch (c[i].mark) {
                case -1: x /= 2; break;
                case -2: x = smallest; break;
                case 1: x = x > largest / 2 ? x : largest / 2; break;
                case 2: x = 2 * x > largest ? 2 * x : largest; break;
                default: break;
            }
        }
        if (largest < 3) {
            w->threshold = (largest == 2 && n == 1) ? 1 : largest_mark == 2 ? 1 : 2;
        } else {
            w->threshold = largest / 16;
            if (w->threshold < 2) w->threshold = 2;
            if (w->threshold > 100) w->threshold = 100;
        }
        for (int i = 0; i < n; ++i) {
            const uint32_t x = w->weight[i];
            if ((x > w->threshold && c[i].mark >= -1 && (x > 2 || c[i].mark >= 2)) || c[i].mark >= 2) ++alternatives;
        }
    } else {
        for (int i = 0; i < n; ++i)
            if (c[i].mark >= 2 || (c[i].count > largest / 16 && c[i].mark >= -1)) ++alternatives;
        for (int i = 0; i < n; ++i) w->weight[i] = c[i].mark == 3 ? (mode == 0 ? 1 : c[i].count) : 0;
        w->threshold = 0;
    }
    w->flagged = alternatives > 1 ? 1 : 0;
    if (!random_on) {
        uint32_t heaviest = 0;
        for (int i = 0; i < n; ++i)
            if (w->weight[i] > heaviest) heaviest = w->weight[i];
        if (heaviest == 0) {
            w->none = true;
            for (int i = 0; i < n; ++i) w->weight[i] = 0;
            return;
        }
        w->threshold = heaviest - 1;
    }
    for (int i = 0; i < n; ++i) {
        if (w->weight[i] <= w->threshold) w->weight[i] = 0;
        w->total += w->weight[i];
    }
    if (w->total == 0) w->none = true;
}

double book_percentage(const book_weighing& w, int i) {
    const double total = w.total == 0 ? 1.0 : static_cast<double>(w.total);
    return static_cast<double>(w.weight[i]) * 100.0 / total;
}

int draw_book_candidate(const book_weighing& w, int n, book_rng& rng) {
    if (w.none || w.total == 0) return -1;
    uint32_t pick = 1;
    if (w.total > 1) {
        const uint32_t q = (0u - w.total) / w.total + 1u;
        const uint32_t limit = q * w.total - 1u;
        uint32_t r;
        do {
            r = rng.next();
        } while (r > limit);
        pick = r / q + 1u;
    }
    uint32_t sum = 0;
    for (int i = 0; i < n; ++i) {
        sum += w.weight[i];
        if (w.weight[i] > 0 && sum >= pick) return i;
    }
    return -1;
}

void print_book_candidates(const book_candidate* c, int n, const book_weighing& w, int level, int mode) {
    if (mode == 1) {
        level_printf(level, "0 0 0 0 {");
        for (int i = 0; i < n; ++i)
            level_printf(level, "%s %.1f%%%s", c[i].text, book_percentage(w, i), i + 1 < n ? ", " : "");
        level_printf(level, "}\n");
        return;
    }
    for (int i = 0; i < n; ++i)
        level_printf(level, " %-10s flags %3d original count %6lu count %6lu %6.1f%%\n", c[i].text, c[i].mark,
                     static_cast<unsigned long>(c[i].count), static_cast<unsigned long>(w.weight[i]),
                     book_percentage(w, i));
}

const move_list_entry* book_choose_move(int side, const move_list_entry* legal, int count, move_list_entry* out,
                                        int print_level, int print_mode, int* flagged) {
    const bool random_on = book_random != 0 && !(book_split >= 1 && board.ply >= book_split);
    seed_book_generator();
    if (flagged) *flagged = 0;
    book_candidate cand[BOOK_MAX_CANDIDATES];
    int n = book_lookup(main_book, side, board.key_lo(), board.key_hi(), legal, count, BOOK_MAX_CANDIDATES, cand);
    if ((book_learn & BOOK_LEARN_READ) && learn_book.file) {
        book_candidate learned[BOOK_MAX_CANDIDATES];
        const int m =
            book_lookup(learn_book, side, board.key_lo(), board.key_hi(), legal, count, BOOK_MAX_CANDIDATES, learned);
        n = merge_learn_candidates(cand, n, learned, m, book_mode, overwrite_vgm);
    }
    if (n == 0) return nullptr;
    book_weighing w;
    weigh_book_candidates(cand, n, random_on, book_mode, &w);
    if (flagged) *flagged = w.flagged;
    print_book_candidates(cand, n, w, print_level, print_mode);
    const int chosen = draw_book_candidate(w, n, book_generator);
    if (chosen < 0) return nullptr;
    *out = cand[chosen].entry;
    return out;
}

const move_list_entry* trosk_first_move(int side, const move_list_entry* legal, int count, move_list_entry* out) {
    (void)side;
    seed_book_generator();
    uint32_t move = 0;
    if (board.ply == 0) {
        book_generator.next();
        move = (book_generator.s1 & 1) ? make_move_word(C2, C4) : make_move_word(F2, F4);
    } else if (board.ply == 1) {
        const uint32_t first = game_history[1].move;
        const int from = move_from(first), to = move_to(first);
        move = make_move_word(file_of(from) + 8 * (7 - rank_index(from)), file_of(to) + 8 * (7 - rank_index(to)));
        if (move == 0) return nullptr;
    } else {
        return nullptr;
    }
    const move_list_entry* match = nullptr;
    int matches = 0;
    for (int i = 0; i < count; ++i)
        if (legal[i].score != -30000 && (legal[i].move & MOVE_STORED) == move) {
            match = &legal[i];
            ++matches;
        }
    if (matches != 1) return nullptr;
    *out = *match;
    return out;
}
