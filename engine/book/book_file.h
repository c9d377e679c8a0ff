// The opening-book file: a 128-byte header and 20-byte entries, little-endian, hashed by
// the position key. kvbook.bin and kvlearn.bin share it. Every entry of the slot area
// (0 .. slots-1) heads the chain of the positions whose key_lo falls into it; further
// entries of a chain sit in the overflow area (slots .. firstfree-1), always at higher
// indices than the entry that links to them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "core/movegen.h"

// Little-endian 32-bit words, as the book and learning files hold them.
inline void put_le32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline uint32_t get_le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

constexpr uint32_t BOOK_HEADER_BYTES = 128;
constexpr uint32_t BOOK_ENTRY_BYTES = 20;
constexpr int BOOK_MAX_CANDIDATES = 50;
constexpr int BOOK_TEXT_SIZE = 16;  // SAN text, its mark and the choice's "s"/"l" suffixes

struct book_header {
    char magic[10] = {};
    uint32_t slots = 0;
    uint32_t header_size = 0;
    uint32_t entry_size = 0;
    uint32_t firstfree = 0;
};

struct book_entry {
    uint32_t key_lo = 0;
    uint32_t key_hi = 0;
    uint32_t next = 0;  // next entry of the chain, 0 = end
    uint32_t count = 0;
    uint16_t move = 0;  // low 15 bits of the move word
    uint8_t side = 0;   // side to move in the position
    int8_t mark = 0;    // -3 "??" .. 3 "!!"
    bool empty() const { return key_lo == 0 && key_hi == 0; }
};

// A header for a new book of `slots` slots whose first free entry is `firstfree`.
book_header new_book_header(uint32_t slots, uint32_t firstfree);
void encode_book_header(const book_header& h, unsigned char out[BOOK_HEADER_BYTES]);
book_header decode_book_header(const unsigned char in[BOOK_HEADER_BYTES]);
void encode_book_entry(const book_entry& e, unsigned char out[BOOK_ENTRY_BYTES]);
book_entry decode_book_entry(const unsigned char in[BOOK_ENTRY_BYTES]);
// What is wrong with a header read from a file of `file_length` bytes ("" when sound).
// `cut_short`, when given, tells a sound header whose file ends before its entries do.
std::string book_header_fault(const book_header& h, uint64_t file_length, bool* cut_short = nullptr);
// Reads the header of an open book file and checks it: "" when sound, else what is
// wrong. `cut_short` tells a file that ends before its header or before its entries: a
// book whose writing never ended.
std::string read_book_header(FILE* f, book_header* h, bool* cut_short);

// Mark texts by mark + 3.
const char* book_mark_text(int mark);

// An open book: its header image and its stream (null when closed).
struct book_descriptor {
    book_header header{};
    FILE* file = nullptr;
    std::string name;
    const char* what;             // "opening book" or "learn book"
    bool chain_reported = false;  // a broken chain was reported since the book was opened
    explicit book_descriptor(const char* kind, const char* default_name) : name(default_name), what(kind) {}
};
extern book_descriptor main_book;
extern book_descriptor learn_book;

// One line about a damaged or unusable file: at level 7, or as "info string" under UCI.
void book_notice(const std::string& text);
// The header line "KVBOOK101 slots 128 20 ff firstfree" at level 8.
void print_book_header(const book_header& h);

// Opens `d.name` in `mode` ("rb" or "r+b"), reads and checks its header and prints the
// header line. A file that cannot be opened, or whose header is short or unsound, leaves
// the descriptor closed (the fault reported). An open stream is closed first.
bool book_open(book_descriptor& d, const char* mode = "rb");
// The same for a file the caller has opened (and locked): it becomes the descriptor's
// stream, or is closed when its header is short or unsound.
bool book_take(book_descriptor& d, FILE* f);
void book_close(book_descriptor& d);
// "The <what> "<name>" is damaged (<fault>) and is not used".
void report_damaged_book(const book_descriptor& d, const std::string& fault);

// An exclusive lock on a whole open file (opened for writing) while the object lives:
// engines that share a folder wait for each other's changes to the learning files.
class file_lock {
public:
    explicit file_lock(FILE* f);
    ~file_lock();
    file_lock(const file_lock&) = delete;
    file_lock& operator=(const file_lock&) = delete;

private:
    int fd_ = -1;
};

// A file written under a name of its own beside `name` and given that name only when it
// is complete, so that no engine ever finds it half written. What is not put in place
// (a failed write, an error) is removed when the object ends.
class file_beside {
public:
    explicit file_beside(std::string name) : name_(std::move(name)) {}
    ~file_beside();
    file_beside(const file_beside&) = delete;
    file_beside& operator=(const file_beside&) = delete;

    // The new file, "<name>.<process id>.tmp"; null after the open message.
    FILE* create();
    enum class placed { done, kept, failed };
    // Closes the file (a write error reported with `error_format`, which takes the
    // system's text) and gives it its name. Unless `replace`, a file that another engine
    // has put there meanwhile stays, and the new one goes (`kept`).
    placed put_in_place(bool replace, const char* error_format);

private:
    std::string name_, temporary_;
    FILE* file_ = nullptr;
};

// Entry i of an open book; false on a failed seek or read.
bool read_book_entry(const book_descriptor& d, uint32_t index, book_entry* e);
bool write_book_entry(const book_descriptor& d, uint32_t index, const book_entry& e);
// Writes the descriptor's header at the start of the file.
bool write_book_header(const book_descriptor& d);
// Whether the chain may go on from entry `from` to `next` (upwards, below firstfree);
// a link that may not is reported once per opening of the book.
bool book_link_ok(book_descriptor& d, uint32_t from, uint32_t next);

// A book move found for the present position.
struct book_candidate {
    move_list_entry entry;  // the matching legal move
    uint32_t count;
    int mark;
    char text[BOOK_TEXT_SIZE];  // SAN and mark text
};

// The book moves of the present position (key and side) that match exactly one legal
// move (entries whose score is -30000 are not legal), at most `max`, in chain order.
int book_lookup(book_descriptor& d, int side, uint32_t key_lo, uint32_t key_hi, const move_list_entry* legal,
                int legal_count, int max, book_candidate* out);

// The entry of (key, side, move), appended when missing; its index through `index`.
// False (with a message) when the file cannot be read or written.
bool book_find_or_add(book_descriptor& d, uint32_t key_lo, uint32_t key_hi, int side, uint32_t move, book_entry* e,
                      uint32_t* index);

// book_clean: every mark of the main book set to 0 (the command starts a new game after it).
void clean_book(book_descriptor& d);
