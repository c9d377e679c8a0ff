#include "book/book_learning.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <vector>

#include "book/book_file.h"
#include "core/output.h"
#include "core/state.h"

namespace {
// Writes a new, empty learn book and puts it in place. Unless `replace`, a learn book
// that another engine has made meanwhile is kept. False after a failure (reported).
bool create_learn_book(const std::string& name, bool replace) {
    file_beside out(name);
    FILE* f = out.create();
    if (!f) return false;
    unsigned char header[BOOK_HEADER_BYTES];
    encode_book_header(new_book_header(LEARN_BOOK_SLOTS, LEARN_BOOK_SLOTS), header);
    errno = 0;
    if (std::fwrite(header, 1, sizeof header, f) != sizeof header) {
        level_printf(LVL_BOOK, "Error dumping book header: %s\n", std::strerror(errno));
        return false;
    }
    const std::vector<unsigned char> entries(static_cast<size_t>(LEARN_BOOK_SLOTS) * BOOK_ENTRY_BYTES, 0);
    if (std::fwrite(entries.data(), 1, entries.size(), f) != entries.size()) {
        level_printf(LVL_BOOK, "Error dumping book positions: %s\n", std::strerror(errno));
        return false;
    }
    return out.put_in_place(replace, "Error dumping book positions: %s\n") != file_beside::placed::failed;
}

enum class learn_file { usable, unusable, not_made };

// The learn book before learning: made when it is not there, and made again when its
// writing never ended (shorter than its header or its entries). A file that is damaged
// in any other way, or is no plain file, is left as it is and not used. Engines that
// share the folder look at it one after the other, under its lock.
learn_file prepare_learn_book(const book_descriptor& d) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        struct stat st;
        if (lstat(d.name.c_str(), &st) != 0) {
            if (errno != ENOENT) return learn_file::usable;  // opening it tells what is wrong
            return create_learn_book(d.name, false) ? learn_file::usable : learn_file::not_made;
        }
        FILE* f = open_for_reading(d.name, "r+b");
        if (!f) return learn_file::unusable;
        learn_file state = learn_file::usable;
        bool replaced = false;
        {
            file_lock lock(f);
            book_header h;
            bool cut_short = false;
            const std::string fault = read_book_header(f, &h, &cut_short);
            if (fault.empty())
                state = learn_file::usable;
            else if (!names_file(d.name, f))
                replaced = true;  // made again by another engine meanwhile: that one is looked at
            else if (!cut_short || !S_ISREG(st.st_mode)) {
                report_damaged_book(d, fault);
                state = learn_file::unusable;
            } else {
                book_notice(text_printf("The %s \"%s\" is cut short (%s) and is made again", d.what, d.name.c_str(),
                                        fault.c_str()));
                state = create_learn_book(d.name, true) ? learn_file::usable : learn_file::not_made;
            }
        }
        std::fclose(f);
        if (!replaced) return state;
    }
    return learn_file::unusable;
}
}  // namespace

int learn_book_moves(uint32_t move, uint32_t key_lo, uint32_t key_hi) {
    book_descriptor& d = learn_book;
    if (!d.file) {
        const learn_file state = prepare_learn_book(d);
        if (state == learn_file::not_made) return 1;
        if (state == learn_file::unusable) return 0;
    }
    book_close(d);
    {
        FILE* f = open_for_reading(d.name, "r+b");
        if (!f) return 0;
        // Engines that share the folder learn one after the other: the header (its first
        // free entry) is read once the lock is held.
        file_lock lock(f);
        if (!book_take(d, f)) return 0;
        book_entry e;
        uint32_t index = 0;
        if (book_find_or_add(d, key_lo, key_hi, side_to_move, move, &e, &index)) {
            e.count += 1;
            e.move = static_cast<uint16_t>(move & MOVE_STORED);
            if (e.mark != 0 && e.mark != -3) level_printf(LVL_NORMAL, "flags = %d, bkflags = %d\n", -3, e.mark);
            e.mark = -3;
            if (!write_book_entry(d, index, e))
                level_printf(
                    LVL_BOOK, "error writing entry at offset %lu\n",
                    static_cast<unsigned long>(BOOK_HEADER_BYTES + static_cast<uint64_t>(index) * BOOK_ENTRY_BYTES));
        }
        const bool header_written = write_book_header(d);
        std::fflush(d.file);
        if (!header_written) return 0;
    }
    book_close(d);
    book_open(d, "rb");
    return 0;
}
