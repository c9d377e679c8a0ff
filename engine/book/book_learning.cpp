#include "book/book_learning.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <vector>

#include "book/book_file.h"
#include "core/output.h"
#include "core/state.h"

namespace {
// Writes a new, empty learn book. 1 after a failure (reported), else 0.
int create_learn_book(const std::string& name) {
    FILE* f = open_file(name.c_str(), "wb");
    if (!f) return 1;
    unsigned char header[BOOK_HEADER_BYTES];
    encode_book_header(new_book_header(LEARN_BOOK_SLOTS, LEARN_BOOK_SLOTS), header);
    if (std::fwrite(header, 1, sizeof header, f) != sizeof header) {
        level_printf(LVL_BOOK, "Error dumping book header: %s\n", std::strerror(errno));
        std::fclose(f);
        return 1;
    }
    const std::vector<unsigned char> entries(static_cast<size_t>(LEARN_BOOK_SLOTS) * BOOK_ENTRY_BYTES, 0);
    if (std::fwrite(entries.data(), 1, entries.size(), f) != entries.size()) {
        level_printf(LVL_BOOK, "Error dumping book positions: %s\n", std::strerror(errno));
        std::fclose(f);
        return 1;
    }
    if (std::fclose(f) != 0) {
        level_printf(LVL_BOOK, "Error dumping book positions: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
}  // namespace

int learn_book_moves(uint32_t move, uint32_t key_lo, uint32_t key_hi) {
    book_descriptor& d = learn_book;
    if (!d.file) {
        // Only a file that is not there is made; one that is there must be a sound book.
        struct stat st;
        if (stat(d.name.c_str(), &st) == 0) {
            if (!book_open(d, "rb")) return 0;
        } else {
            if (create_learn_book(d.name)) return 1;
        }
    }
    book_close(d);
    if (!book_open(d, "r+b")) return 0;

    book_entry e;
    uint32_t index = 0;
    if (book_find_or_add(d, key_lo, key_hi, side_to_move, move, &e, &index)) {
        e.count += 1;
        e.move = static_cast<uint16_t>(move & 0x7FFF);
        if (e.mark != 0 && e.mark != -3) level_printf(LVL_NORMAL, "flags = %d, bkflags = %d\n", -3, e.mark);
        e.mark = -3;
        if (!write_book_entry(d, index, e))
            level_printf(LVL_BOOK, "error writing entry at offset %lu\n",
                         static_cast<unsigned long>(BOOK_HEADER_BYTES + static_cast<uint64_t>(index) * BOOK_ENTRY_BYTES));
    }
    if (!write_book_header(d)) return 0;
    book_close(d);
    book_open(d, "rb");
    return 0;
}
