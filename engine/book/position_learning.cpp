#include "book/position_learning.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "book/book_file.h"
#include "core/board.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/makemove.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/recorded_game.h"
#include "core/settings.h"
#include "core/state.h"

FILE* learnpos_ovk_file = nullptr;
FILE* learnpos_bin_file = nullptr;

namespace {
const char* const LEARNPOS_NAME = "learnpos.bin";

std::vector<learnpos_record> store;  // capacity records, allocated when the file is loaded
int held = 0;                        // valid records
uint32_t ring = 0;                   // next record of the store to overwrite

void encode_record(const learnpos_record& r, unsigned char out[LEARNPOS_RECORD_BYTES]) {
    put_le32(out, r.key_lo);
    put_le32(out + 4, r.key_hi);
    out[8] = static_cast<unsigned char>(r.score);
    out[9] = static_cast<unsigned char>(static_cast<uint16_t>(r.score) >> 8);
    out[10] = static_cast<unsigned char>(r.depth);
    out[11] = static_cast<unsigned char>(static_cast<uint16_t>(r.depth) >> 8);
    out[12] = static_cast<unsigned char>(r.move);
    out[13] = static_cast<unsigned char>(r.move >> 8);
    out[14] = r.side;
    out[15] = 0;
}

learnpos_record decode_record(const unsigned char in[LEARNPOS_RECORD_BYTES]) {
    learnpos_record r;
    r.key_lo = get_le32(in);
    r.key_hi = get_le32(in + 4);
    r.score = static_cast<int16_t>(in[8] | in[9] << 8);
    r.depth = static_cast<int16_t>(in[10] | in[11] << 8);
    r.move = static_cast<uint16_t>(in[12] | in[13] << 8);
    r.side = in[14];
    return r;
}

bool allocate_store(uint32_t capacity) {
    try {
        store.assign(capacity, learnpos_record{});
    } catch (const std::bad_alloc&) {
        store.clear();
        store.shrink_to_fit();
        level_printf(LVL_ERROR, "Not enough memory for learned positions\n");
        return false;
    }
    return true;
}

// The learnpos.bin stream is read and written past stdio's buffer: other engines in the
// folder write it too, and what they wrote is read again under the lock.
bool read_at(FILE* f, uint64_t at, unsigned char* out, size_t n) {
    return pread(fileno(f), out, n, static_cast<off_t>(at)) == static_cast<ssize_t>(n);
}
bool write_at(FILE* f, uint64_t at, const unsigned char* in, size_t n) {
    return pwrite(fileno(f), in, n, static_cast<off_t>(at)) == static_cast<ssize_t>(n);
}

void refuse_file(FILE* f, const std::string& fault) {
    book_notice(
        text_printf("The learned positions file \"%s\" is damaged (%s) and is not used", LEARNPOS_NAME, fault.c_str()));
    std::fclose(f);
}

// Writes a new learnpos.bin of `capacity` records and puts it in place; unless
// `replace`, one that another engine has made meanwhile is kept. False after a failure.
bool create_file(uint32_t capacity, bool replace) {
    file_beside out(LEARNPOS_NAME);
    FILE* f = out.create();
    if (!f) return false;
    learnpos_header h;
    h.capacity = capacity;
    unsigned char raw[LEARNPOS_HEADER_BYTES];
    encode_learnpos_header(h, raw);
    std::fwrite(raw, 1, sizeof raw, f);
    const file_beside::placed p = out.put_in_place(replace, "Error writing the learned positions file: %s\n");
    if (p == file_beside::placed::done) level_printf(LVL_NORMAL, "created empty binary learn file\n");
    return p != file_beside::placed::failed;
}

enum class loaded { yes, no, again };

// Loads the open learnpos.bin `f` under the lock (the file is kept open on success).
// A file cut short before the end of its header, which only a creation that never ended
// leaves, is made again.
loaded load_file(FILE* f, bool* fresh) {
    file_lock lock(f);
    unsigned char raw[LEARNPOS_HEADER_BYTES];
    uint64_t length = 0;
    const bool known = file_length(f, &length);
    if (known && length < LEARNPOS_HEADER_BYTES) {
        struct stat st;
        const std::string fault =
            text_printf("%llu bytes, shorter than its header", static_cast<unsigned long long>(length));
        if (!names_file(LEARNPOS_NAME, f)) {
            // Another engine has made it again meanwhile: that one is opened.
            std::fclose(f);
            return loaded::again;
        }
        // Only a plain file is replaced, never a link or a device.
        if (lstat(LEARNPOS_NAME, &st) != 0 || !S_ISREG(st.st_mode)) {
            refuse_file(f, fault);
            return loaded::no;
        }
        book_notice(text_printf("The learned positions file \"%s\" is cut short (%s) and is made again", LEARNPOS_NAME,
                                fault.c_str()));
        const uint32_t capacity = posentries > 0 ? static_cast<uint32_t>(posentries) : 10000u;
        const bool made = create_file(capacity, true);
        std::fclose(f);
        *fresh = true;
        return made ? loaded::again : loaded::no;
    }
    if (!read_at(f, 0, raw, sizeof raw)) {
        refuse_file(f, "shorter than its header");
        return loaded::no;
    }
    const learnpos_header h = decode_learnpos_header(raw);
    const std::string fault = learnpos_header_fault(h);
    if (!fault.empty()) {
        refuse_file(f, fault);
        return loaded::no;
    }
    if (!allocate_store(h.capacity)) {
        std::fclose(f);
        return loaded::no;
    }
    uint64_t records =
        known && length > LEARNPOS_HEADER_BYTES ? (length - LEARNPOS_HEADER_BYTES) / LEARNPOS_RECORD_BYTES : 0;
    if (records > h.capacity) records = h.capacity;
    std::vector<unsigned char> bytes(static_cast<size_t>(records) * LEARNPOS_RECORD_BYTES);
    if (!bytes.empty() && !read_at(f, LEARNPOS_HEADER_BYTES, bytes.data(), bytes.size())) records = 0;
    for (uint64_t i = 0; i < records; ++i)
        store[static_cast<size_t>(i)] = decode_record(&bytes[i * LEARNPOS_RECORD_BYTES]);
    held = static_cast<int>(records);
    ring = static_cast<uint32_t>(held) == h.capacity ? 0 : static_cast<uint32_t>(held);
    return loaded::yes;
}
}  // namespace

void encode_learnpos_header(const learnpos_header& h, unsigned char out[LEARNPOS_HEADER_BYTES]) {
    std::memset(out, 0, LEARNPOS_HEADER_BYTES);
    put_le32(out, h.capacity);
    put_le32(out + 4, h.version);
    put_le32(out + 8, h.offset);
    put_le32(out + 12, h.next);
    std::memcpy(out + 16, "orviklearn", 10);
}

learnpos_header decode_learnpos_header(const unsigned char in[LEARNPOS_HEADER_BYTES]) {
    learnpos_header h;
    h.capacity = get_le32(in);
    h.version = get_le32(in + 4);
    h.offset = get_le32(in + 8);
    h.next = get_le32(in + 12);
    return h;
}

std::string learnpos_header_fault(const learnpos_header& h) {
    if (h.capacity < 1) return "capacity 0";
    if (h.capacity > LEARNPOS_MAX_CAPACITY) return text_printf("capacity %u", h.capacity);
    if (h.offset != LEARNPOS_HEADER_BYTES) return text_printf("records at offset %u, not 128", h.offset);
    if (h.next >= h.capacity) return text_printf("next record %u beyond the capacity %u", h.next, h.capacity);
    return "";
}

int load_learned_positions() {
    held = 0;
    ring = 0;
    if (!pos_learn) return 0;
    if (learnpos_bin_file) std::fclose(learnpos_bin_file);
    learnpos_bin_file = nullptr;
    // A new file is made beside and takes its name when complete; engines that start
    // together in one folder all end up with the file that came first.
    bool fresh = false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        struct stat st;
        if (lstat(LEARNPOS_NAME, &st) != 0 && errno == ENOENT) {
            const uint32_t capacity = posentries > 0 ? static_cast<uint32_t>(posentries) : 10000u;
            if (!create_file(capacity, false)) return 1;
            fresh = true;
        }
        FILE* f = open_for_reading(LEARNPOS_NAME, "r+b");
        if (!f) return 1;
        const loaded r = load_file(f, &fresh);
        if (r == loaded::no) {
            release_learned_positions();
            return 1;
        }
        if (r == loaded::again) continue;
        learnpos_bin_file = f;
        if (hash_table && !fresh) hash_store_learned_positions();
        return 0;
    }
    return 1;
}

int store_learned_positions() {
    for (int i = 0; i < held; ++i) {
        const learnpos_record& r = store[static_cast<size_t>(i)];
        hash_store_learned(static_cast<uint64_t>(r.key_lo) | static_cast<uint64_t>(r.key_hi) << 32, r.side, r.score,
                           r.depth, r.move);
    }
    return held;
}

int learn_position(int score, int depth, uint32_t move) {
    if (!pos_learn || !learnpos_bin_file || store.empty()) return 0;
    learnpos_record r;
    r.key_lo = board.key_lo();
    r.key_hi = board.key_hi();
    r.score = static_cast<int16_t>(score);
    r.depth = static_cast<int16_t>(depth);
    r.move = static_cast<uint16_t>(move & MOVE_STORED);
    r.side = static_cast<uint8_t>(side_to_move);
    {
        // Other engines learn into the same file: the next write index is the file's,
        // read under the lock, never a copy of it.
        file_lock lock(learnpos_bin_file);
        unsigned char raw[LEARNPOS_HEADER_BYTES];
        if (read_at(learnpos_bin_file, 0, raw, sizeof raw)) {
            learnpos_header h = decode_learnpos_header(raw);
            if (learnpos_header_fault(h).empty()) {
                unsigned char rec[LEARNPOS_RECORD_BYTES];
                encode_record(r, rec);
                if (write_at(learnpos_bin_file, LEARNPOS_HEADER_BYTES + uint64_t{h.next} * LEARNPOS_RECORD_BYTES, rec,
                             sizeof rec)) {
                    h.next = (h.next + 1) % h.capacity;
                    encode_learnpos_header(h, raw);
                    write_at(learnpos_bin_file, 0, raw, sizeof raw);
                }
            }
        }
    }
    const uint32_t capacity = static_cast<uint32_t>(store.size());
    store[ring] = r;
    ring = (ring + 1) % capacity;
    if (static_cast<uint32_t>(held) < capacity) ++held;
    return 0;
}

void learn_game_position(int score_a, int score, int depth, int previous_score, int last_book_ply, int start_ply,
                         uint32_t move) {
    if (!pos_learn || search_state == SEARCH_ANALYSE || (!learnpos_ovk_file && !learnpos_bin_file)) return;
    if (!game_from_standard_position()) return;
    if (board.ply - last_book_ply > 60 && board.ply - start_ply > 60) return;
    if (previous_score < -200 || score_a > previous_score - margin_pos_learn ||
        score > previous_score - margin_pos_learn)
        return;
    if (learnpos_ovk_file) {
        const std::string text = move_text_here(side_to_move, move);
        std::fprintf(learnpos_ovk_file, "%d %d %s %s\n", depth, score, text.c_str(),
                     board_to_fen(side_to_move, true).c_str());
        std::fflush(learnpos_ovk_file);
    }
    if (learnpos_bin_file) learn_position(score, depth, move);
    if (uci_mode)
        level_printf(LVL_UCI, "info string learned positon\n");
    else
        level_printf(LVL_NORMAL, "learned position\n");
}

int import_learned_positions(const std::string& file) {
    if (!learnpos_bin_file) return 1;
    FILE* f = open_for_reading(file);
    if (!f) return 1;
    std::string line;
    text_read r;
    while ((r = read_text_line(f, line, 255)) == text_read::line) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start_new_game(NEW_GAME_RECORD_ONLY);
        int depth = 0, score = 0, used = 0;
        char token[40];
        bool ok = std::sscanf(line.c_str(), "%d %d %38s %n", &depth, &score, token, &used) == 3;
        int side = WHITE;
        uint32_t move = 0;
        if (ok) ok = parse_fen(line.substr(static_cast<size_t>(used)), &side, false) == 0;
        if (ok) {
            side_to_move = side;
            move = parse_move(token, side);
            ok = move != 0 && find_and_make_move(side, move & MOVE_STORED, nullptr) != 0;
        }
        if (!ok) {
            level_printf(LVL_ERROR, "Error importing position %s\n", line.c_str());
            continue;
        }
        learn_position(score, depth, move);
    }
    if (r == text_read::nul) report_nul_byte("\"" + file + "\"", "positions");
    std::fclose(f);
    return 0;
}

int learned_positions_held() { return held; }

void release_learned_positions() {
    store.clear();
    store.shrink_to_fit();
    held = 0;
    ring = 0;
}
