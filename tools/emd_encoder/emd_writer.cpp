#include "emd_writer.h"

#include <algorithm>
#include <cstring>
#include <queue>
#include <string>
#include <utility>

namespace {

constexpr uint32_t FORMAT_MARK = 0x004001F5u;
constexpr int SYMBOLS = 1024;
const char banner_text[] = "Compressed by DATACOMP v 1.0 (c) 1991--1998 Velquarionthas";

class bit_writer {
public:
    // Appends the low n bits of v (n at most 32), most significant first.
    void put(uint32_t v, int n) {
        if (n == 0) return;
        acc_ = (acc_ << n) | (v & (n == 32 ? 0xFFFFFFFFu : (1u << n) - 1));
        bits_ += n;
        while (bits_ >= 8) {
            bits_ -= 8;
            bytes.push_back(static_cast<uint8_t>(acc_ >> bits_));
        }
    }
    // The bytes with the last one filled up with zero bits.
    std::vector<uint8_t> finish() {
        if (bits_) bytes.push_back(static_cast<uint8_t>(acc_ << (8 - bits_)));
        bits_ = 0;
        return std::move(bytes);
    }
    std::vector<uint8_t> bytes;

private:
    uint64_t acc_ = 0;
    int bits_ = 0;
};

// Huffman code lengths of the frequencies, none longer than `limit`: rarer symbols
// get flattened until the tree fits.
std::vector<uint8_t> code_lengths(std::vector<uint64_t> freq, int limit) {
    const size_t n = freq.size();
    std::vector<uint8_t> len(n, 0);
    std::vector<size_t> used;
    for (size_t i = 0; i < n; ++i)
        if (freq[i]) used.push_back(i);
    if (used.empty()) return len;
    if (used.size() == 1) {
        len[used[0]] = 1;
        return len;
    }
    for (;;) {
        struct node {
            uint64_t weight;
            int parent;
        };
        std::vector<node> nodes;
        using item = std::pair<uint64_t, int>;
        std::priority_queue<item, std::vector<item>, std::greater<item>> heap;
        for (size_t s : used) {
            heap.push({freq[s], static_cast<int>(nodes.size())});
            nodes.push_back({freq[s], -1});
        }
        while (heap.size() > 1) {
            const item a = heap.top();
            heap.pop();
            const item b = heap.top();
            heap.pop();
            const int p = static_cast<int>(nodes.size());
            nodes.push_back({a.first + b.first, -1});
            nodes[static_cast<size_t>(a.second)].parent = p;
            nodes[static_cast<size_t>(b.second)].parent = p;
            heap.push({a.first + b.first, p});
        }
        int longest = 0;
        for (size_t k = 0; k < used.size(); ++k) {
            int depth = 0;
            for (int x = static_cast<int>(k); nodes[static_cast<size_t>(x)].parent >= 0;
                 x = nodes[static_cast<size_t>(x)].parent)
                ++depth;
            len[used[k]] = static_cast<uint8_t>(depth);
            longest = std::max(longest, depth);
        }
        if (longest <= limit) return len;
        for (size_t s : used) freq[s] = (freq[s] + 1) / 2;
    }
}

// Canonical code values: by length, then by symbol.
std::vector<uint32_t> canonical_codes(const std::vector<uint8_t>& len) {
    uint32_t count[33] = {}, next[33] = {};
    for (uint8_t l : len) ++count[l];
    count[0] = 0;
    uint32_t code = 0;
    for (int l = 1; l <= 32; ++l) {
        code = (code + count[l - 1]) << 1;
        next[l] = code;
    }
    std::vector<uint32_t> out(len.size(), 0);
    for (size_t s = 0; s < len.size(); ++s)
        if (len[s]) out[s] = next[len[s]]++;
    return out;
}

int used_symbols(const std::vector<uint8_t>& len) {
    int n = 0;
    for (uint8_t l : len) n += l != 0;
    return n;
}

// A canonical code ready for writing; a code of one symbol writes no bits.
struct code_table {
    explicit code_table(std::vector<uint8_t> lengths)
        : len(std::move(lengths)), code(canonical_codes(len)), single(used_symbols(len) == 1) {}
    void put(bit_writer& w, int s) const {
        if (!single) w.put(code[static_cast<size_t>(s)], len[static_cast<size_t>(s)]);
    }
    std::vector<uint8_t> len;
    std::vector<uint32_t> code;
    bool single;
};

// A parsed block: symbols and the extra bits of long matches.
struct token {
    int symbol;
    uint32_t extra;
    int extra_bits;
};

std::vector<token> parse_block(const uint8_t* b, uint32_t length, const emd_options& o) {
    std::vector<token> out;
    uint32_t pos = 0;
    while (pos < length) {
        uint32_t best = 0;
        int slot = -1;
        if (o.matches)
            for (int k = 0; k < 24; ++k) {
                const uint32_t d = o.distances[k];
                if (d == 0 || d > pos || b[pos] != b[pos - d]) continue;
                uint32_t n = 1;
                while (pos + n < length && b[pos + n] == b[pos + n - d]) ++n;
                if (n > best) {
                    best = n;
                    slot = k;
                }
            }
        if (best < 3) {
            out.push_back({b[pos], 0, 0});
            ++pos;
            continue;
        }
        int c;
        uint32_t extra = 0;
        int bits = 0;
        if (best <= 15) {
            c = static_cast<int>(best) - 1;
        } else {
            int k = 0;
            while ((2u << k) <= best - 14) ++k;
            c = k + 14;
            extra = best - 14 - (1u << k);
            bits = k;
        }
        out.push_back({256 + slot * 32 + c, extra, bits});
        pos += best;
    }
    return out;
}

// The description of the 1024 code lengths: 128 lengths of codes A and B, then the
// lengths through A with repeats counted through B.
void put_description(bit_writer& w, const std::vector<uint8_t>& len) {
    if (used_symbols(len) == 0) {
        w.put(1, 1);
        return;
    }
    w.put(0, 1);
    struct run {
        int length, repeat;
    };
    std::vector<run> runs;
    for (size_t i = 0; i < len.size();) {
        size_t j = i;
        while (j < len.size() && len[j] == len[i]) ++j;
        runs.push_back({len[i], static_cast<int>(j - i)});
        i = j;
    }
    // Symbols of A: a length below 32, or 32 + length for a repeat; of B: the repeat.
    std::vector<uint64_t> fa(64, 0), fb(64, 0);
    struct item {
        int a, b;
        uint32_t extra;
        int extra_bits;
    };
    std::vector<item> items;
    for (const run& r : runs) {
        int left = r.repeat;
        while (left > 0) {
            if (left == 1) {
                items.push_back({r.length, -1, 0, 0});
                left = 0;
                continue;
            }
            int take = left;
            int b;
            uint32_t extra = 0;
            int bits = 0;
            if (take <= 33) {
                b = take - 2;
            } else {
                int e = 0;
                while (e < 30 && (2u << e) + 33 <= static_cast<uint32_t>(take)) ++e;
                b = 32 + e;
                extra = static_cast<uint32_t>(take) - 33 - (1u << e);
                bits = e;
            }
            items.push_back({32 + r.length, b, extra, bits});
            left -= take;
        }
    }
    for (const item& it : items) {
        ++fa[static_cast<size_t>(it.a)];
        if (it.b >= 0) ++fb[static_cast<size_t>(it.b)];
    }
    const code_table a(code_lengths(fa, 31)), b(code_lengths(fb, 31));
    std::vector<uint8_t> small(a.len);
    small.insert(small.end(), b.len.begin(), b.len.end());
    int width = 0;
    for (uint8_t l : small)
        while ((1 << width) <= l) ++width;
    w.put(static_cast<uint32_t>(width), 5);
    for (size_t i = 0; i < small.size();) {
        if (small[i]) {
            w.put(small[i], width);
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < small.size() && !small[j] && j - i < 16) ++j;
        w.put(0, width);
        w.put(static_cast<uint32_t>(j - i - 1), 4);
        i = j;
    }
    for (const item& it : items) {
        a.put(w, it.a);
        if (it.b >= 0) {
            b.put(w, it.b);
            w.put(it.extra, it.extra_bits);
        }
    }
}

void put_be32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v >> 24);
    out[at + 1] = static_cast<uint8_t>(v >> 16);
    out[at + 2] = static_cast<uint8_t>(v >> 8);
    out[at + 3] = static_cast<uint8_t>(v);
}

uint32_t crc32_from_zero(const uint8_t* p, size_t n) {
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

}  // namespace

std::vector<uint8_t> emd_encode(const std::vector<uint8_t>& data, const emd_options& o) {
    const uint32_t block = 1u << o.block_bits;
    const uint32_t blocks = data.empty() ? 1 : static_cast<uint32_t>((data.size() + block - 1) / block);
    const uint32_t last = static_cast<uint32_t>(data.size() - size_t{blocks - 1} * block);

    // One code for the whole file from the symbols of every block.
    std::vector<std::vector<token>> parsed(blocks);
    std::vector<uint64_t> freq(SYMBOLS, 0);
    for (uint32_t i = 0; i < blocks; ++i) {
        const uint32_t n = i + 1 == blocks ? last : block;
        if (o.store_all) continue;
        parsed[i] = parse_block(data.data() + size_t{i} * block, n, o);
        for (const token& t : parsed[i]) ++freq[static_cast<size_t>(t.symbol)];
    }
    std::vector<uint8_t> len = code_lengths(freq, 24);
    if (o.incomplete_code)
        for (uint8_t& l : len)
            if (l) {
                ++l;
                break;
            }
    const code_table main_code(len);

    std::vector<std::vector<uint8_t>> stored(blocks);
    for (uint32_t i = 0; i < blocks; ++i) {
        const uint32_t n = i + 1 == blocks ? last : block;
        const uint8_t* raw = data.data() + size_t{i} * block;
        bit_writer w;
        for (const token& t : parsed[i]) {
            main_code.put(w, t.symbol);
            w.put(t.extra, t.extra_bits);
        }
        std::vector<uint8_t> bytes = w.finish();
        if (bytes.empty()) bytes.push_back(0);  // a block is at least one byte
        // Equal lengths mean a stored block: the stream must be shorter to be used.
        if (o.store_all || bytes.size() >= n)
            stored[i].assign(raw, raw + n);
        else
            stored[i] = std::move(bytes);
    }

    std::vector<uint8_t> out(80 + size_t{8} * blocks, 0);
    std::memcpy(out.data(), banner_text, sizeof banner_text - 1);
    out[58] = 13;
    out[59] = 10;
    out[70] = static_cast<uint8_t>(o.block_bits);
    out[71] = 24;
    put_be32(out, 72, blocks);
    put_be32(out, 76, FORMAT_MARK);
    uint64_t at = 0;
    for (uint32_t i = 0; i < blocks; ++i) {  // the eight bytes a block: where it starts
        put_be32(out, 80 + size_t{8} * i, static_cast<uint32_t>(at >> 32));
        put_be32(out, 84 + size_t{8} * i, static_cast<uint32_t>(at));
        at += stored[i].size();
    }
    bit_writer tables;
    const uint32_t mask = block - 1;
    for (uint32_t i = 0; i < blocks; ++i) tables.put(static_cast<uint32_t>(stored[i].size()) & mask, o.block_bits);
    tables.put(last & mask, o.block_bits);
    for (uint32_t d : o.distances) tables.put(d & mask, o.block_bits);
    const std::vector<uint8_t> table_bytes = tables.finish();
    out.insert(out.end(), table_bytes.begin(), table_bytes.end());
    bit_writer description;
    put_description(description, len);
    const std::vector<uint8_t> description_bytes = description.finish();
    out.insert(out.end(), description_bytes.begin(), description_bytes.end());
    const size_t h = out.size() + 4;
    put_be32(out, 64, static_cast<uint32_t>(h));
    out.resize(h);
    put_be32(out, h - 4, crc32_from_zero(out.data(), h - 4));
    size_t total = out.size();
    for (const auto& s : stored) total += s.size();
    out.reserve(total);
    for (const auto& s : stored) out.insert(out.end(), s.begin(), s.end());
    return out;
}

uint32_t emd_crc_offset(const std::vector<uint8_t>& file) {
    if (file.size() < 68) return 0;
    return ((uint32_t{file[64]} << 24) | (uint32_t{file[65]} << 16) | (uint32_t{file[66]} << 8) | file[67]) - 4;
}
