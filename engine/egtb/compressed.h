// Compressed table files (".emd"): the header section with its block tables and the
// canonical code, and the decoder of one block (LZ77 over 24 match distances).
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// The 64-byte banner of a compressed file: the text, CR, LF and four zero bytes.
extern const uint8_t emd_banner[64];
constexpr uint32_t EMD_FORMAT_MARK = 0x004001F5u;
constexpr int EMD_DISTANCES = 24;
constexpr int EMD_SYMBOLS = 1024;  // 256 bytes, then 24 distance slots x 32 length codes

// Decoding table of a canonical code: the first `width` bits index `lookup`; longer
// codes go on bit by bit through `nodes`.
struct emd_code {
    int width = 0;
    bool empty = true;
    int single = -1;               // the one symbol of a one-symbol code (no bits)
    std::vector<uint32_t> lookup;  // entry: symbol | length << 16, or node | 0x80000000
    std::vector<uint32_t> nodes;   // two entries a node: as lookup entries, length unused
};

struct egtb_compressed {
    emd_code code;
    uint32_t distance[EMD_DISTANCES];
    int block_bits;
    uint32_t block_size;
    uint32_t last_length;  // uncompressed length of the last block
    uint32_t blocks;
    std::vector<uint64_t> offset;  // blocks + 1: where each block starts, then the end
};

// MSB-first bit reader over a byte range; reads past the end give zeros and count as
// an overrun.
class emd_bits {
public:
    emd_bits(const uint8_t* data, size_t length) : data_(data), length_(length), bits_(uint64_t{length} * 8) {}
    // The next n bits (n at most 24) without moving on.
    uint32_t peek(int n) const {
        const uint64_t byte = pos_ >> 3;
        uint32_t w = 0;
        for (uint64_t i = 0; i < 4; ++i) w = (w << 8) | (byte + i < length_ ? data_[byte + i] : 0u);
        return n ? (w << (pos_ & 7)) >> (32 - n) : 0;
    }
    void skip(int n) { pos_ += static_cast<uint64_t>(n); }
    uint32_t read(int n) {
        uint32_t v = 0;
        while (n > 0) {
            const int k = n > 24 ? 24 : n;
            v = (k == 32 ? 0 : v << k) | peek(k);
            skip(k);
            n -= k;
        }
        return v;
    }
    bool overrun() const { return pos_ > bits_; }
    uint64_t position() const { return pos_; }

private:
    const uint8_t* data_;
    size_t length_;
    uint64_t bits_;
    uint64_t pos_ = 0;
};

enum emd_result { EMD_OK, EMD_READ_ERROR, EMD_BROKEN, EMD_NO_MEMORY };

// Reads and checks the header section of an open compressed file of `file_size` bytes.
emd_result egtb_read_header(FILE* f, uint64_t file_size, egtb_compressed** out);
// Fills n code lengths (0-31) from a code description; 0 or an error code.
int egtb_read_code_lengths(emd_bits& bits, uint8_t* lengths, int n);
// Builds the decoding table of canonical code lengths; 0 or an error code.
int egtb_build_decode_table(const uint8_t* lengths, int n, int width, emd_code& code);
// Next symbol of a code, or -1 when the bits lead nowhere.
int egtb_decode_symbol(const emd_code& code, emd_bits& bits);
// Decodes one compressed block into `out_length` bytes; false when it is broken.
bool egtb_decode_block(const egtb_compressed& c, const uint8_t* in, size_t in_length, uint8_t* out,
                       uint32_t out_length);
