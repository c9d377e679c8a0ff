#include "book/book_build.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "book/pgn_reader.h"
#include "core/board.h"
#include "core/makemove.h"
#include "core/output.h"

namespace {
constexpr uint32_t NO_INDEX = 0xFFFFFFFFu;

// One more sighting of the entry's move: its count and its annotation mark.
void apply_sighting(book_entry& e, uint32_t move, int annotation, int weight) {
    e.count += static_cast<uint32_t>(weight);
    e.move = static_cast<uint16_t>(move & MOVE_STORED);
    if (annotation == 0) return;
    if (e.mark != 0 && e.mark != annotation) level_printf(LVL_NORMAL, "flags = %d, bkflags = %d\n", annotation, e.mark);
    e.mark = static_cast<int8_t>(annotation == 4 ? 0 : annotation);
}

struct pass_counts {
    long found = 0, rej = 0, nres = 0;
};

// Replays every game of the pass and hands each selected move to `store(key_lo, key_hi,
// side, move, annotation, weight)`, which tells whether the move was stored.
template <typename Store>
void replay_games(pgn_pass& p, const book_selection& sel, pass_counts& n, Store store) {
    pgn_tags tags;
    while (p.next_game(&tags)) {
        if (tags.result != PGN_UNKNOWN) ++n.nres;
        int side = WHITE;
        if (!pgn_set_up_board(tags, &side)) continue;
        uint32_t move = 0;
        int annotation = 0;
        for (int plies = 0; plies < sel.ply_limit && pgn_next_move(p, side, PGN_BOARD_PLY_LIMIT, "book", &move,
                                                                   &annotation) == pgn_step::move;) {
            const int weight = book_move_weight(sel, tags.result, side, annotation);
            if (weight > 0 && store(board.key_lo(), board.key_hi(), side, move, annotation, weight))
                ++n.found;
            else
                ++n.rej;
            ++plies;
            make_move(side, move);
            side ^= 1;
        }
    }
}

// Writes the table beside the book and puts it in the book's place.
bool dump_book(const book_table& table, const std::string& name) {
    file_beside out(name);
    FILE* f = out.create();
    if (!f) return false;
    unsigned char header[BOOK_HEADER_BYTES];
    encode_book_header(new_book_header(table.slots(), table.firstfree()), header);
    errno = 0;
    if (std::fwrite(header, 1, sizeof header, f) != sizeof header) {
        level_printf(LVL_BOOK, "Error dumping book header: %s\n", std::strerror(errno));
        return false;
    }
    std::vector<unsigned char> chunk;
    const uint32_t per_chunk = 4096;
    for (uint32_t i = 0; i < table.firstfree(); i += per_chunk) {
        const uint32_t n = table.firstfree() - i < per_chunk ? table.firstfree() - i : per_chunk;
        chunk.resize(static_cast<size_t>(n) * BOOK_ENTRY_BYTES);
        for (uint32_t k = 0; k < n; ++k) encode_book_entry(table.entries()[i + k], &chunk[k * BOOK_ENTRY_BYTES]);
        if (std::fwrite(chunk.data(), 1, chunk.size(), f) != chunk.size()) {
            level_printf(LVL_BOOK, "Error dumping book positions: %s\n", std::strerror(errno));
            return false;
        }
    }
    return out.put_in_place(true, "Error dumping book positions: %s\n") == file_beside::placed::done;
}
}  // namespace

int book_move_weight(const book_selection& s, int result, int mover, int annotation) {
    if (s.annotated_only && annotation == 0) return 0;
    const int winner = result == PGN_WHITE_WON ? WHITE : result == PGN_BLACK_WON ? BLACK : -1;
    const int selector = s.selector < 0 ? 1 : s.selector;
    const int twice = (selector == 2 || selector == 5) && mover == winner ? 2 : 1;
    if (annotation != 0 || result == PGN_UNKNOWN || selector == 0) return twice;
    if (result == PGN_DRAW) {
        if (selector <= 2) return 1;
        if (selector == 4 || selector == 5) return mover == BLACK ? 1 : 0;
        return 0;
    }
    return mover == winner ? twice : 0;
}

namespace {
// Whether a table of `entries` entries fits into the machine's memory: a larger one is
// refused at once rather than filled page by page until the system gives out.
bool fits_in_memory(uint64_t entries) {
    const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page <= 0) return true;
    return entries <= static_cast<uint64_t>(pages) / sizeof(book_entry) * static_cast<uint64_t>(page);
}
}  // namespace

bool book_table::init(uint32_t slots) {
    slots_ = slots;
    firstfree_ = slots;
    out_of_memory_ = false;
    uint64_t size = 2ull * slots;
    if (size > NO_INDEX) size = NO_INDEX;
    try {
        if (!fits_in_memory(size)) throw std::bad_alloc();
        entries_.assign(static_cast<size_t>(size), book_entry{});
    } catch (const std::bad_alloc&) {
        entries_.clear();
        return false;
    }
    return true;
}

bool book_table::grow() {
    if (out_of_memory_) return false;
    uint64_t size = entries_.size() + entries_.size() / 2;
    if (size > NO_INDEX) size = NO_INDEX;
    try {
        if (size <= entries_.size() || !fits_in_memory(size)) throw std::bad_alloc();
        entries_.resize(static_cast<size_t>(size), book_entry{});
    } catch (const std::bad_alloc&) {
        level_printf(LVL_BOOK, "Not enough memory for book creation, trying my best with available memory\n");
        out_of_memory_ = true;
        return false;
    }
    return true;
}

bool book_table::add(uint32_t key_lo, uint32_t key_hi, int side, uint32_t move, int annotation, int weight) {
    const uint32_t move15 = move & MOVE_STORED;
    uint32_t i = key_lo % slots_;
    if (!entries_[i].empty()) {
        for (;;) {
            book_entry& e = entries_[i];
            if (e.key_lo == key_lo && e.key_hi == key_hi && e.side == side && e.move == move15) {
                apply_sighting(e, move, annotation, weight);
                return true;
            }
            if (e.next == 0) break;
            i = e.next;
        }
        if (firstfree_ == entries_.size() && !grow()) return false;
        entries_[i].next = firstfree_;
        i = firstfree_++;
    }
    book_entry& e = entries_[i];
    e.key_lo = key_lo;
    e.key_hi = key_hi;
    e.side = static_cast<uint8_t>(side);
    apply_sighting(e, move, annotation, weight);
    return true;
}

bool book_table::link(uint32_t at, uint32_t compact) {
    const book_entry& moved = entries_[at];
    uint32_t cur = moved.key_lo % slots_;
    for (;;) {
        const uint32_t next = entries_[cur].next;
        const uint32_t target = next == 0 ? at : next;
        if (target <= cur || entries_[target].empty()) {
            level_printf(LVL_BOOK, "of %lu bkp %lu bkpf %lu bkpu %lu hk %lu hb %lu\n",
                         static_cast<unsigned long>(target), static_cast<unsigned long>(cur),
                         static_cast<unsigned long>(compact), static_cast<unsigned long>(at),
                         static_cast<unsigned long>(moved.key_lo), static_cast<unsigned long>(moved.key_hi));
            return false;
        }
        if (next == 0) {
            entries_[cur].next = at;
            return true;
        }
        cur = next;
    }
}

bool book_table::prune(uint32_t threshold) {
    unsigned long deleted = 0;
    for (uint32_t i = 0; i < firstfree_; ++i) {
        book_entry& e = entries_[i];
        if (!e.empty() && e.mark == 0 && e.count < threshold) {
            e = book_entry{};
            ++deleted;
        }
        e.next = 0;
    }
    level_printf(LVL_NORMAL, "Deleting %lu book moves and relinking entries\n", deleted);
    uint32_t compact = NO_INDEX;  // first empty overflow entry below the one in hand
    for (uint32_t i = slots_; i < firstfree_; ++i) {
        if ((i - slots_) % 10000 == 0) level_printf(LVL_NORMAL, ".");
        if (entries_[i].empty()) {
            if (compact == NO_INDEX) compact = i;
            continue;
        }
        const uint32_t home = entries_[i].key_lo % slots_;
        if (entries_[home].empty()) {
            entries_[home] = entries_[i];
            entries_[i] = book_entry{};
            if (compact == NO_INDEX) compact = i;
            continue;
        }
        uint32_t at = i;
        if (compact != NO_INDEX) {
            at = compact;
            entries_[at] = entries_[i];
            entries_[i] = book_entry{};
            do ++compact;
            while (!entries_[compact].empty());
        }
        if (!link(at, compact)) return false;
    }
    firstfree_ = (compact != NO_INDEX ? compact : firstfree_ - 1) + 1;
    level_printf(LVL_NORMAL, "\n");
    return true;
}

void book_table::print_statistics() const {
    level_printf(LVL_NORMAL, "firstfree %u nalloc %u\n", firstfree_, static_cast<unsigned>(entries_.size()));
    int tally[100] = {};
    int used = 0;
    for (uint32_t i = 0; i < slots_; ++i) {
        const book_entry& head = entries_[i];
        if (head.empty()) {
            ++tally[0];
            continue;
        }
        if (head.key_lo % slots_ == i) ++used;
        int moves = 0;
        for (uint32_t at = i;;) {
            const book_entry& e = entries_[at];
            if (e.key_lo == head.key_lo && e.key_hi == head.key_hi && e.side == head.side && moves < 99) ++moves;
            if (e.next <= at || e.next >= firstfree_) break;
            at = e.next;
        }
        ++tally[moves];
    }
    level_printf(LVL_NORMAL, "nused %d\n", used);
    for (int k = 0; k < 100; ++k)
        if (tally[k]) level_printf(LVL_NORMAL, "%d: %d\n", k, tally[k]);
}

bool build_book(const std::string& pgn, uint32_t slots, int ply_limit, uint32_t prune_threshold, int selector,
                int annotated_only, book_descriptor& d) {
    // The new book takes the old one's place by a rename, which would replace a device,
    // a pipe or a folder of that name with a plain file.
    struct stat st;
    if (stat(d.name.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        book_notice(text_printf("\"%s\" is no plain file: no book is written there", d.name.c_str()));
        return false;
    }
    book_table table;
    if (!table.init(slots)) {
        level_printf(LVL_BOOK, "Not enough memory for book creation\n");
        return false;
    }
    pgn_pass p;
    if (!p.open(pgn, "rb")) return false;
    book_selection sel;
    sel.ply_limit = ply_limit > PGN_BOARD_PLY_LIMIT ? PGN_BOARD_PLY_LIMIT : ply_limit;
    sel.selector = selector;
    sel.annotated_only = annotated_only;
    pass_counts n;
    replay_games(p, sel, n, [&](uint32_t lo, uint32_t hi, int side, uint32_t move, int annotation, int weight) {
        return table.add(lo, hi, side, move, annotation, weight);
    });
    p.close();
    level_printf(LVL_NORMAL, "\n%ld lines: ngames = %ld nmoves = %ld found %ld rej %ld\n", pgn_line, p.ngames, p.nmoves,
                 n.found, n.rej);
    level_printf(LVL_NORMAL, "nres %ld\n", n.nres);
    table.print_statistics();
    if (prune_threshold >= 2) {
        if (!table.prune(prune_threshold)) {
            level_printf(LVL_BOOK, "The book was not written: \"%s\" stays as it was\n", d.name.c_str());
            return true;
        }
        table.print_statistics();
    }
    level_printf(LVL_NORMAL, "Ready to dump the book\n");
    book_close(d);
    level_printf(LVL_NORMAL, "Start dumping the book\n");
    dump_book(table, d.name);
    table = book_table{};
    book_open(d, "rb");
    return true;
}

bool add_to_book(const std::string& pgn, int ply_limit, int selector, int annotated_only, book_descriptor& d) {
    pgn_pass p;
    if (!p.open(pgn, "rb")) return false;
    const bool was_open = d.file != nullptr;
    if (!book_open(d, "r+b")) {
        p.close();
        if (was_open) book_open(d, "rb");
        return false;
    }
    book_selection sel;
    sel.ply_limit = ply_limit < 10 ? 100 : ply_limit;
    sel.selector = selector;
    sel.annotated_only = annotated_only;
    pass_counts n;
    replay_games(p, sel, n, [&](uint32_t lo, uint32_t hi, int side, uint32_t move, int annotation, int weight) {
        book_entry e;
        uint32_t index = 0;
        if (!book_find_or_add(d, lo, hi, side, move, &e, &index)) return false;
        apply_sighting(e, move, annotation, weight);
        if (write_book_entry(d, index, e)) return true;
        level_printf(LVL_BOOK, "error writing entry at offset %lu\n",
                     static_cast<unsigned long>(BOOK_HEADER_BYTES + static_cast<uint64_t>(index) * BOOK_ENTRY_BYTES));
        return false;
    });
    p.close();
    level_printf(LVL_NORMAL, "\n%ld lines: ngames = %ld nmoves = %ld found %ld rej %ld\n", pgn_line, p.ngames, p.nmoves,
                 n.found, n.rej);
    write_book_header(d);
    book_close(d);
    book_open(d, "rb");
    return true;
}
