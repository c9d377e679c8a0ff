// Compressed table files: header section, code description, canonical decoding tables
// and the decoder of one block. Every length, offset and code walk is checked against
// the bytes it belongs to; nothing is read or written outside its buffer.
#include "egtb/compressed.h"

#include <cstring>
#include <memory>
#include <new>

#include "egtb/egtb.h"

const uint8_t emd_banner[64] = {'C', 'o', 'm', 'p', 'r', 'e', 's', 's', 'e', 'd', ' ', 'b', 'y', ' ', 'D', 'A',
                                'T', 'A', 'C', 'O', 'M', 'P', ' ', 'v', ' ', '1', '.', '0', ' ', '(', 'c', ')',
                                ' ', '1', '9', '9', '1', '-', '-', '1', '9', '9', '8', ' ', 'V', 'e', 'l', 'q',
                                'u', 'a', 'r', 'i', 'o', 'n', 't', 'h', 'a', 's', 13,  10,  0,   0,   0,   0};

namespace {
constexpr uint32_t NODE_FLAG = 0x80000000u;
constexpr uint32_t NO_ENTRY = 0xFFFFFFFFu;

uint32_t big_endian(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}
}  // namespace

int egtb_read_code_lengths(emd_bits& bits, uint8_t* lengths, int n) {
    std::memset(lengths, 0, static_cast<size_t>(n));
    if (bits.read(1)) return 0;  // an empty code
    const int direct = n <= 128 ? n : 128;
    const int w = static_cast<int>(bits.read(5));
    for (int i = 0; i < direct;) {
        const int len = static_cast<int>(bits.read(w));
        if (len) {
            lengths[i++] = static_cast<uint8_t>(len);
            continue;
        }
        const int zeros = 1 + static_cast<int>(bits.read(4));
        if (i + zeros > direct) return 1;
        i += zeros;  // already 0
    }
    if (bits.overrun()) return 2;
    if (n <= 128) return 0;
    // Codes A (lengths 0-63) and B (64-127) describe the remaining lengths.
    emd_code a, b;
    if (egtb_build_decode_table(lengths, 64, 8, a) || egtb_build_decode_table(lengths + 64, 64, 8, b)) return 3;
    std::memset(lengths, 0, 128);
    for (int i = 0; i < n;) {
        const int s = egtb_decode_symbol(a, bits);
        if (s < 0) return 4;
        if (s < 32) {
            lengths[i++] = static_cast<uint8_t>(s);
            continue;
        }
        const int r0 = egtb_decode_symbol(b, bits);
        if (r0 < 0) return 5;
        uint64_t repeat;
        if (r0 <= 31) {
            repeat = static_cast<uint64_t>(r0) + 2;
        } else {
            const int extra = r0 - 32;
            repeat = (uint64_t{1} << extra) + bits.read(extra) + 33;
        }
        if (repeat > static_cast<uint64_t>(n - i)) return 6;
        for (uint64_t k = 0; k < repeat; ++k) lengths[i++] = static_cast<uint8_t>(s - 32);
        if (bits.overrun()) return 7;
    }
    return bits.overrun() ? 8 : 0;
}

int egtb_build_decode_table(const uint8_t* lengths, int n, int width, emd_code& code) {
    code = emd_code{};
    code.width = width;
    int used = 0, last = -1;
    for (int i = 0; i < n; ++i) {
        if (lengths[i] > 31) return 1;
        if (lengths[i]) {
            ++used;
            last = i;
        }
    }
    if (used == 0) return 0;  // empty: nothing decodes
    code.empty = false;
    if (used == 1) {
        if (lengths[last] != 1) return 2;
        code.single = last;
        return 0;
    }
    // The code must fill its space exactly (sum of 2^-length equal to 1).
    uint64_t count[32] = {};
    for (int i = 0; i < n; ++i) ++count[lengths[i]];
    count[0] = 0;
    uint64_t space = uint64_t{1} << 31, filled = 0;
    for (int len = 1; len < 32; ++len) filled += count[len] * (space >> len);
    if (filled != space) return 3;
    // Canonical values: shorter codes first, then by symbol.
    uint32_t next[32] = {};
    uint32_t value = 0;
    for (int len = 1; len < 32; ++len) {
        value = (value + static_cast<uint32_t>(count[len - 1])) << 1;
        next[len] = value;
    }
    code.lookup.assign(size_t{1} << width, NO_ENTRY);
    for (int sym = 0; sym < n; ++sym) {
        const int len = lengths[sym];
        if (!len) continue;
        const uint32_t c = next[len]++;
        if (len <= width) {
            const uint32_t first = c << (width - len), span = 1u << (width - len);
            for (uint32_t k = 0; k < span; ++k)
                code.lookup[first + k] = static_cast<uint32_t>(sym) | (static_cast<uint32_t>(len) << 16);
            continue;
        }
        // The first `width` bits choose the root of a tree; the rest go bit by bit.
        // Slots are kept as positions: the node list grows while the walk goes on.
        bool in_lookup = true;
        size_t slot = c >> (len - width);
        auto entry = [&]() -> uint32_t& { return in_lookup ? code.lookup[slot] : code.nodes[slot]; };
        for (int bit = len - width - 1; bit >= 0; --bit) {
            if (entry() == NO_ENTRY) {
                const uint32_t node = static_cast<uint32_t>(code.nodes.size() / 2);
                code.nodes.push_back(NO_ENTRY);
                code.nodes.push_back(NO_ENTRY);
                entry() = node | NODE_FLAG;
            } else if (!(entry() & NODE_FLAG)) {
                return 4;
            }
            const uint32_t node = entry() & ~NODE_FLAG;
            in_lookup = false;
            slot = node * 2 + ((c >> bit) & 1);
        }
        if (entry() != NO_ENTRY) return 4;
        entry() = static_cast<uint32_t>(sym);
    }
    return 0;
}

int egtb_decode_symbol(const emd_code& code, emd_bits& bits) {
    if (code.empty) return -1;
    if (code.single >= 0) return code.single;
    const uint32_t e = code.lookup[bits.peek(code.width)];
    if (e == NO_ENTRY) return -1;
    if (!(e & NODE_FLAG)) {
        bits.skip(static_cast<int>(e >> 16));
        return static_cast<int>(e & 0xFFFF);
    }
    bits.skip(code.width);
    uint32_t node = e & ~NODE_FLAG;
    for (int depth = 0; depth < 32; ++depth) {
        const uint32_t next = code.nodes[node * 2 + bits.read(1)];
        if (next == NO_ENTRY) return -1;
        if (!(next & NODE_FLAG)) return static_cast<int>(next);
        node = next & ~NODE_FLAG;
    }
    return -1;
}

emd_result egtb_read_header(FILE* f, uint64_t file_size, egtb_compressed** out) {
    *out = nullptr;
    uint8_t head[80];
    if (std::fseek(f, 0, SEEK_SET) != 0 || std::fread(head, 1, 80, f) != 80) return EMD_READ_ERROR;
    if (std::memcmp(head, emd_banner, 64) != 0) return EMD_READ_ERROR;
    const uint32_t h = big_endian(head + 64);
    const int b = head[70];
    if (b > 16 || h < 84) return EMD_BROKEN;
    if (head[71] != EMD_DISTANCES) return EMD_BROKEN;
    if (big_endian(head + 76) != EMD_FORMAT_MARK) return EMD_BROKEN;
    if (h > file_size) return EMD_READ_ERROR;  // the section cannot be read whole
    std::unique_ptr<uint8_t[]> section(new (std::nothrow) uint8_t[h]);
    if (!section) return EMD_NO_MEMORY;
    std::memcpy(section.get(), head, 80);
    if (std::fread(section.get() + 80, 1, h - 80, f) != h - 80) return EMD_READ_ERROR;
    if (egtb_crc32(section.get(), h - 4, 0) != big_endian(section.get() + h - 4)) return EMD_BROKEN;

    std::unique_ptr<egtb_compressed> c(new (std::nothrow) egtb_compressed);
    if (!c) return EMD_NO_MEMORY;
    const uint32_t blocks = big_endian(head + 72);
    c->block_bits = b;
    c->block_size = 1u << b;
    c->blocks = blocks;
    // The block tables lie inside the section, before its CRC.
    const uint64_t tables = 80 + uint64_t{8} * blocks;
    if (blocks == 0 || tables >= h - 4) return EMD_BROKEN;
    emd_bits bits(section.get() + tables, h - 4 - tables);
    try {
        c->offset.resize(uint64_t{blocks} + 1);
    } catch (const std::bad_alloc&) {
        return EMD_NO_MEMORY;
    }
    uint64_t at = h;
    for (uint32_t i = 0; i < blocks; ++i) {
        uint32_t len = bits.read(b);
        if (len == 0) len = c->block_size;
        c->offset[i] = at;
        at += len;
    }
    c->offset[blocks] = at;
    if (at > file_size) return EMD_BROKEN;  // blocks beyond the file's end
    c->last_length = bits.read(b);
    if (c->last_length == 0) c->last_length = c->block_size;
    for (uint32_t& d : c->distance) d = bits.read(b);
    if (bits.overrun()) return EMD_BROKEN;
    // The code description starts at the next byte boundary.
    const uint64_t code_at = tables + (bits.position() + 7) / 8;
    emd_bits code_bits(section.get() + code_at, h - 4 - code_at);
    uint8_t lengths[EMD_SYMBOLS];
    if (egtb_read_code_lengths(code_bits, lengths, EMD_SYMBOLS)) return EMD_BROKEN;
    if (egtb_build_decode_table(lengths, EMD_SYMBOLS, 13, c->code)) return EMD_BROKEN;
    *out = c.release();
    return EMD_OK;
}

bool egtb_decode_block(const egtb_compressed& c, const uint8_t* in, size_t in_length, uint8_t* out,
                       uint32_t out_length) {
    emd_bits bits(in, in_length);
    uint32_t pos = 0;
    while (pos < out_length) {
        const int s = egtb_decode_symbol(c.code, bits);
        if (s < 0) return false;
        if (s < 256) {
            out[pos++] = static_cast<uint8_t>(s);
            continue;
        }
        const int t = s - 256, slot = t >> 5, lc = t & 31;
        if (slot >= EMD_DISTANCES) return false;
        const uint32_t distance = c.distance[slot];
        uint32_t length;
        if (lc <= 14) {
            length = static_cast<uint32_t>(lc) + 1;
        } else {
            const int k = lc - 14;
            length = (1u << k) + bits.read(k) + 14;
        }
        if (distance == 0 || distance > pos) return false;  // before the block's start
        for (uint32_t k = 0; k < length && pos < out_length; ++k, ++pos) out[pos] = out[pos - distance];
        if (bits.overrun()) return false;
    }
    return !bits.overrun();
}
