#include "book/book_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/board.h"
#include "core/makemove.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/state.h"

book_descriptor main_book("opening book", "kvbook.bin");
book_descriptor learn_book("learn book", "kvlearn.bin");

namespace {
const char MAGIC[10] = "KVBOOK101";

long long entry_offset(uint32_t index) {
    return static_cast<long long>(BOOK_HEADER_BYTES) + static_cast<long long>(index) * BOOK_ENTRY_BYTES;
}

// Coordinate text of a 15-bit book move ("null" without squares).
std::string book_move_text(uint32_t move) {
    if ((move & 0xFFF) == 0) return "null";
    std::string t;
    t += static_cast<char>('a' + (move & 7));
    t += static_cast<char>('1' + ((move >> 3) & 7));
    t += static_cast<char>('a' + ((move >> 6) & 7));
    t += static_cast<char>('1' + ((move >> 9) & 7));
    static const char promotion[8] = {0, 0, 'N', 'B', 'R', 'Q', 0, 0};
    if (const char p = promotion[(move >> 12) & 7]) t += p;
    return t;
}
}  // namespace

book_header new_book_header(uint32_t slots, uint32_t firstfree) {
    book_header h;
    std::memcpy(h.magic, MAGIC, sizeof h.magic);
    h.slots = slots;
    h.header_size = BOOK_HEADER_BYTES;
    h.entry_size = BOOK_ENTRY_BYTES;
    h.firstfree = firstfree;
    return h;
}

void encode_book_header(const book_header& h, unsigned char out[BOOK_HEADER_BYTES]) {
    std::memset(out, 0, BOOK_HEADER_BYTES);
    std::memcpy(out, h.magic, sizeof h.magic);
    put_le32(out + 12, h.slots);
    put_le32(out + 16, h.header_size);
    put_le32(out + 20, h.entry_size);
    put_le32(out + 24, h.firstfree);
}

book_header decode_book_header(const unsigned char in[BOOK_HEADER_BYTES]) {
    book_header h;
    std::memcpy(h.magic, in, sizeof h.magic);
    h.slots = get_le32(in + 12);
    h.header_size = get_le32(in + 16);
    h.entry_size = get_le32(in + 20);
    h.firstfree = get_le32(in + 24);
    return h;
}

void encode_book_entry(const book_entry& e, unsigned char out[BOOK_ENTRY_BYTES]) {
    put_le32(out, e.key_lo);
    put_le32(out + 4, e.key_hi);
    put_le32(out + 8, e.next);
    put_le32(out + 12, e.count);
    out[16] = static_cast<unsigned char>(e.move);
    out[17] = static_cast<unsigned char>(e.move >> 8);
    out[18] = e.side;
    out[19] = static_cast<unsigned char>(e.mark);
}

book_entry decode_book_entry(const unsigned char in[BOOK_ENTRY_BYTES]) {
    book_entry e;
    e.key_lo = get_le32(in);
    e.key_hi = get_le32(in + 4);
    e.next = get_le32(in + 8);
    e.count = get_le32(in + 12);
    e.move = static_cast<uint16_t>(in[16] | in[17] << 8);
    e.side = in[18];
    e.mark = static_cast<int8_t>(in[19]);
    return e;
}

std::string book_header_fault(const book_header& h, uint64_t length, bool* cut_short) {
    if (cut_short) *cut_short = false;
    if (std::memcmp(h.magic, MAGIC, sizeof h.magic) != 0) return "it does not begin with KVBOOK101";
    if (h.header_size != BOOK_HEADER_BYTES) return text_printf("header size %u, not 128", h.header_size);
    if (h.entry_size != BOOK_ENTRY_BYTES) return text_printf("entry size %u, not 20", h.entry_size);
    if (h.slots < 1) return "no slots";
    if (h.firstfree < h.slots) return text_printf("first free entry %u below the %u slots", h.firstfree, h.slots);
    const uint64_t needed = BOOK_HEADER_BYTES + static_cast<uint64_t>(BOOK_ENTRY_BYTES) * h.firstfree;
    if (length < needed) {
        if (cut_short) *cut_short = true;
        return text_printf("%llu bytes, %llu needed for %u entries", static_cast<unsigned long long>(length),
                           static_cast<unsigned long long>(needed), h.firstfree);
    }
    return "";
}

std::string read_book_header(FILE* f, book_header* h, bool* cut_short) {
    *cut_short = false;
    unsigned char raw[BOOK_HEADER_BYTES];
    uint64_t length = 0;
    file_length(f, &length);
    if (std::fread(raw, 1, sizeof raw, f) != sizeof raw) {
        *cut_short = !std::ferror(f);
        return text_printf("%llu bytes, shorter than its header", static_cast<unsigned long long>(length));
    }
    *h = decode_book_header(raw);
    return book_header_fault(*h, length, cut_short);
}

const char* book_mark_text(int mark) {
    static const char* const texts[7] = {"??", "?", "?!", "", "!?", "!", "!!"};
    return mark >= -3 && mark <= 3 ? texts[mark + 3] : "";
}

void book_notice(const std::string& text) {
    if (uci_mode)
        level_printf(LVL_UCI, "info string %s\n", text.c_str());
    else
        level_printf(LVL_ERROR, "%s\n", text.c_str());
}

void print_book_header(const book_header& h) {
    char magic[sizeof h.magic + 1] = {};
    std::memcpy(magic, h.magic, sizeof h.magic);
    level_printf(LVL_NORMAL, "%s %lu %lu %lu ff %lu\n", magic, static_cast<unsigned long>(h.slots),
                 static_cast<unsigned long>(h.header_size), static_cast<unsigned long>(h.entry_size),
                 static_cast<unsigned long>(h.firstfree));
}

void book_close(book_descriptor& d) {
    if (d.file) std::fclose(d.file);
    d.file = nullptr;
}

bool book_open(book_descriptor& d, const char* mode) {
    book_close(d);
    FILE* f = open_for_reading(d.name, mode);
    return f && book_take(d, f);
}

bool book_take(book_descriptor& d, FILE* f) {
    book_close(d);
    d.chain_reported = false;
    bool cut_short = false;
    const std::string fault = read_book_header(f, &d.header, &cut_short);
    if (!fault.empty()) {
        report_damaged_book(d, fault);
        std::fclose(f);
        return false;
    }
    d.file = f;
    print_book_header(d.header);
    return true;
}

void report_damaged_book(const book_descriptor& d, const std::string& fault) {
    book_notice(text_printf("The %s \"%s\" is damaged (%s) and is not used", d.what, d.name.c_str(), fault.c_str()));
}

file_lock::file_lock(FILE* f) : fd_(f ? fileno(f) : -1) {
    if (fd_ < 0) return;
    struct flock l {};
    l.l_type = F_WRLCK;
    l.l_whence = SEEK_SET;
    // A file system without locks leaves the file unlocked, as it was before.
    while (fcntl(fd_, F_SETLKW, &l) != 0 && errno == EINTR) {
    }
}

file_lock::~file_lock() {
    if (fd_ < 0) return;
    struct flock l {};
    l.l_type = F_UNLCK;
    l.l_whence = SEEK_SET;
    fcntl(fd_, F_SETLK, &l);
}

file_beside::~file_beside() {
    if (file_) std::fclose(file_);
    if (!temporary_.empty()) std::remove(temporary_.c_str());
}

FILE* file_beside::create() {
    // The process id keeps engines that make the same file at once apart; a name left
    // by an engine that was killed is passed over.
    for (int n = 0; n < 100; ++n) {
        const long pid = static_cast<long>(getpid());
        const std::string name = name_ + (n ? text_printf(".%ld.%d.tmp", pid, n) : text_printf(".%ld.tmp", pid));
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            break;
        }
        temporary_ = name;
        file_ = fdopen(fd, "wb");
        if (file_) return file_;
        ::close(fd);
        break;
    }
    // Told by the name the user knows: the folder is what refuses.
    report_open_failure(name_.c_str(), "wb");
    return nullptr;
}

file_beside::placed file_beside::put_in_place(bool replace, const char* error_format) {
    if (!file_) return placed::failed;
    errno = 0;
    const bool written = std::fflush(file_) == 0 && !std::ferror(file_);
    const int error = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        level_printf(LVL_BOOK, error_format, std::strerror(written ? errno : error));
        return placed::failed;
    }
    int r = 0;
    if (replace) {
        r = std::rename(temporary_.c_str(), name_.c_str());
    } else {
        // A link never replaces: the file of an engine that was quicker is kept.
        r = link(temporary_.c_str(), name_.c_str());
        if (r != 0 && errno == EEXIST) return placed::kept;
        // A file system without links: the name is taken unless it has come meanwhile.
        if (r != 0 && (errno == EPERM || errno == ENOTSUP || errno == EMLINK)) {
            struct stat st;
            if (stat(name_.c_str(), &st) == 0) return placed::kept;
            r = std::rename(temporary_.c_str(), name_.c_str());
            if (r == 0) temporary_.clear();
        }
    }
    if (r != 0) {
        level_printf(LVL_BOOK, "Could not put \"%s\" in the place of \"%s\": %s\n", temporary_.c_str(), name_.c_str(),
                     std::strerror(errno));
        return placed::failed;
    }
    if (replace) temporary_.clear();  // renamed: nothing is left to remove
    return placed::done;
}

bool read_book_entry(const book_descriptor& d, uint32_t index, book_entry* e) {
    unsigned char raw[BOOK_ENTRY_BYTES];
    if (!d.file || fseeko(d.file, entry_offset(index), SEEK_SET) != 0) return false;
    if (std::fread(raw, 1, sizeof raw, d.file) != sizeof raw) return false;
    *e = decode_book_entry(raw);
    return true;
}

bool write_book_entry(const book_descriptor& d, uint32_t index, const book_entry& e) {
    unsigned char raw[BOOK_ENTRY_BYTES];
    encode_book_entry(e, raw);
    if (!d.file || fseeko(d.file, entry_offset(index), SEEK_SET) != 0) return false;
    return std::fwrite(raw, 1, sizeof raw, d.file) == sizeof raw;
}

bool write_book_header(const book_descriptor& d) {
    unsigned char raw[BOOK_HEADER_BYTES];
    encode_book_header(d.header, raw);
    if (!d.file || fseeko(d.file, 0, SEEK_SET) != 0) return false;
    return std::fwrite(raw, 1, sizeof raw, d.file) == sizeof raw;
}

bool book_link_ok(book_descriptor& d, uint32_t from, uint32_t next) {
    if (next > from && next < d.header.firstfree) return true;
    if (!d.chain_reported)
        book_notice(
            text_printf("The %s \"%s\" is damaged: entry %u links to entry %u; the rest of its chain is skipped",
                        d.what, d.name.c_str(), from, next));
    d.chain_reported = true;
    return false;
}

int book_lookup(book_descriptor& d, int side, uint32_t key_lo, uint32_t key_hi, const move_list_entry* legal,
                int legal_count, int max, book_candidate* out) {
    if (max < 1 || legal_count < 1 || !d.file) return 0;
    uint32_t index = key_lo % d.header.slots;
    book_entry e;
    if (!read_book_entry(d, index, &e) || e.empty()) return 0;
    auto same_position = [&](const book_entry& x) {
        return x.key_lo == key_lo && x.key_hi == key_hi && x.side == side;
    };
    int found = 0;
    for (;;) {
        if (same_position(e)) {
            const move_list_entry* match = nullptr;
            int matches = 0;
            for (int i = 0; i < legal_count; ++i)
                if (legal[i].score != -30000 && (legal[i].move & MOVE_STORED) == e.move) {
                    match = &legal[i];
                    ++matches;
                }
            if (matches == 1) {
                book_candidate& c = out[found++];
                c.entry = *match;
                c.count = e.count;
                c.mark = e.mark;
                const std::string text = move_text_here(side, match->move);
                std::snprintf(c.text, sizeof c.text, "%.10s%s", text.c_str(), book_mark_text(e.mark));
                if (found >= max) return found;
            } else {
                level_printf(LVL_BOOK_REJECT, "bm reject %s count %lu\n", book_move_text(e.move).c_str(),
                             static_cast<unsigned long>(e.count));
            }
        }
        if (e.next == 0 || !book_link_ok(d, index, e.next)) return found;
        index = e.next;
        if (!read_book_entry(d, index, &e)) return found;
    }
}

bool book_find_or_add(book_descriptor& d, uint32_t key_lo, uint32_t key_hi, int side, uint32_t move, book_entry* e,
                      uint32_t* index_out) {
    if (!d.file) return false;
    const uint32_t move15 = move & MOVE_STORED;
    uint32_t index = key_lo % d.header.slots;
    book_entry cur;
    if (!read_book_entry(d, index, &cur)) {
        level_printf(LVL_BOOK, "error reading book entry\n");
        return false;
    }
    if (!cur.empty()) {
        for (;;) {
            if (cur.key_lo == key_lo && cur.key_hi == key_hi && cur.side == side && cur.move == move15) {
                *e = cur;
                *index_out = index;
                return true;
            }
            if (cur.next == 0) break;
            if (!book_link_ok(d, index, cur.next)) return false;
            index = cur.next;
            if (!read_book_entry(d, index, &cur)) {
                level_printf(LVL_BOOK, "error reading book entry\n");
                return false;
            }
        }
        // Link the chain's last entry to a new one at the first free index.
        cur.next = d.header.firstfree;
        if (!write_book_entry(d, index, cur)) {
            level_printf(LVL_BOOK, "error backlinking book entry\n");
            return false;
        }
        index = d.header.firstfree++;
    }
    book_entry fresh;
    fresh.key_lo = key_lo;
    fresh.key_hi = key_hi;
    fresh.side = static_cast<uint8_t>(side);
    fresh.move = static_cast<uint16_t>(move15);
    if (!write_book_entry(d, index, fresh)) {
        level_printf(LVL_BOOK, "error writing book entry\n");
        return false;
    }
    *e = fresh;
    *index_out = index;
    return true;
}

void clean_book(book_descriptor& d) {
    if (!book_open(d, "r+b")) {
        book_open(d, "rb");
        return;
    }
    for (uint32_t i = 0; i < d.header.firstfree; ++i) {
        if (i % 10000 == 0) level_printf(LVL_NORMAL, ".");
        book_entry e;
        if (!read_book_entry(d, i, &e)) {
            level_printf(LVL_BOOK, "error reading entry at offset %lu\n", static_cast<unsigned long>(entry_offset(i)));
            break;
        }
        if (e.mark == 0) continue;
        e.mark = 0;
        if (!write_book_entry(d, i, e))
            level_printf(LVL_BOOK, "error writing entry at offset %lu\n", static_cast<unsigned long>(entry_offset(i)));
    }
    level_printf(LVL_NORMAL, "\n");
    book_close(d);
    book_open(d, "rb");
}
