// The block cache shared by all tables, and the block reader for plain and compressed
// table files.
#include <cstring>
#include <memory>
#include <new>

#include "core/output.h"
#include "egtb/compressed.h"
#include "egtb/egtb.h"

bool egtb_compressed_seen = false;

namespace {

constexpr uint32_t DATA_AREA = 8228;  // a block's data plus slack

struct block_header {
    int16_t table;
    int16_t side;
    uint32_t block;
    int32_t older, newer;  // least-recently-used list
    int32_t next, prev;    // hash chain of the table side
};
static_assert(sizeof(block_header) + DATA_AREA <= EGTB_CACHE_SLOT, "a cache block must fit its slot");

block_header* headers = nullptr;
uint8_t* data_areas = nullptr;
int block_count = 0;
int32_t free_list = -1;
int32_t oldest = -1, newest = -1;

// The shared area of the decoder: the compressed bytes of the block being read.
struct decode_block {
    uint8_t input[EGTB_BLOCK + 8];
};
std::unique_ptr<decode_block> decoder;

uint8_t* data_of(int32_t b) { return data_areas + static_cast<size_t>(b) * DATA_AREA; }

int32_t& chain_head(int table, int side, uint32_t block) {
    return egtb_tables[table].side[side].chain[block & (EGTB_CHAINS - 1)];
}

void lru_unlink(int32_t b) {
    block_header& h = headers[b];
    if (h.older >= 0)
        headers[h.older].newer = h.newer;
    else
        oldest = h.newer;
    if (h.newer >= 0)
        headers[h.newer].older = h.older;
    else
        newest = h.older;
    h.older = h.newer = -1;
}

void lru_make_newest(int32_t b) {
    block_header& h = headers[b];
    h.older = newest;
    h.newer = -1;
    if (newest >= 0)
        headers[newest].newer = b;
    else
        oldest = b;
    newest = b;
}

void chain_unlink(int32_t b) {
    block_header& h = headers[b];
    if (h.prev >= 0)
        headers[h.prev].next = h.next;
    else
        chain_head(h.table, h.side, h.block) = h.next;
    if (h.next >= 0) headers[h.next].prev = h.prev;
    h.next = h.prev = -1;
}

void chain_push_front(int32_t b) {
    block_header& h = headers[b];
    int32_t& head = chain_head(h.table, h.side, h.block);
    h.prev = -1;
    h.next = head;
    if (head >= 0) headers[head].prev = b;
    head = b;
}

// Reads the block's bytes into `out`; false on any failure.
bool load_block(egtb_side_state& s, uint32_t block, uint32_t offset, uint8_t* out) {
    if (!s.file) {
        s.file = open_for_reading(s.path, "rb", true);
        if (!s.file && block_count > 0) {
            egtb_close_files();
            s.file = open_for_reading(s.path, "rb", true);
        }
        if (!s.file) return false;
    }
    if (!s.compressed) {
        if (std::fseek(s.file, static_cast<long>(block) * EGTB_BLOCK, SEEK_SET) != 0) return false;
        const size_t got = std::fread(out, 1, EGTB_BLOCK, s.file);
        return !std::ferror(s.file) && offset < got;
    }
    const egtb_compressed& c = *s.compressed;
    if (block >= c.blocks || !decoder) return false;
    const uint32_t length = block + 1 == c.blocks ? c.last_length : c.block_size;
    const uint64_t stored = c.offset[block + 1] - c.offset[block];
    if (offset >= length || length > EGTB_BLOCK || stored > EGTB_BLOCK) return false;
    if (std::fseek(s.file, static_cast<long>(c.offset[block]), SEEK_SET) != 0) return false;
    if (std::fread(decoder->input, 1, stored, s.file) != stored) return false;
    if (stored == length) {
        std::memcpy(out, decoder->input, length);
        return true;
    }
    return egtb_decode_block(c, decoder->input, stored, out, length);
}

}  // namespace

int egtb_cache_blocks() { return block_count; }

void egtb_close_files() {
    for (auto& d : egtb_tables)
        for (auto& s : d.side)
            if (s.file) {
                std::fclose(s.file);
                s.file = nullptr;
            }
}

int egtb_set_cache(void* memory, size_t bytes) {
    egtb_close_files();
    block_count = 0;
    headers = nullptr;
    data_areas = nullptr;
    if (!memory || bytes < 32) return 0;
    block_count = static_cast<int>(bytes / EGTB_CACHE_SLOT);
    headers = static_cast<block_header*>(memory);
    data_areas = static_cast<uint8_t*>(memory) + sizeof(block_header) * static_cast<size_t>(block_count);
    egtb_cache_reset();
    return 1;
}

void egtb_cache_reset() {
    if (block_count == 0) return;
    egtb_close_files();
    for (int32_t b = 0; b < block_count; ++b) {
        headers[b] = block_header{-1, -1, 0, -1, -1, b + 1 < block_count ? b + 1 : -1, -1};
    }
    free_list = 0;
    oldest = newest = -1;
    for (auto& d : egtb_tables)
        for (auto& s : d.side)
            for (auto& c : s.chain) c = -1;
}

bool egtb_decoder_init() {
    if (decoder) return true;
    decoder.reset(new (std::nothrow) decode_block);
    return decoder != nullptr;
}

void egtb_decoder_free() { decoder.reset(); }

int egtb_read_block(int table, int side, uint32_t block, uint32_t offset) {
    if (block_count == 0 || offset >= EGTB_BLOCK) return EGTB_NOT_AVAILABLE;
    egtb_side_state& s = egtb_tables[table].side[side];
    for (int32_t b = chain_head(table, side, block); b >= 0; b = headers[b].next) {
        if (headers[b].block != block || headers[b].table != table || headers[b].side != side) continue;
        lru_unlink(b);
        lru_make_newest(b);
        chain_unlink(b);
        chain_push_front(b);
        return static_cast<int8_t>(data_of(b)[offset]);
    }
    int32_t b = free_list;
    if (b >= 0) {
        free_list = headers[b].next;
    } else {
        b = oldest;
        lru_unlink(b);
        chain_unlink(b);
    }
    if (s.path.empty() || !load_block(s, block, offset, data_of(b))) {
        // The side is dropped until the next registration.
        s.path.clear();
        if (s.file) {
            std::fclose(s.file);
            s.file = nullptr;
        }
        headers[b] = block_header{-1, -1, 0, -1, -1, free_list, -1};
        free_list = b;
        return EGTB_NOT_AVAILABLE;
    }
    headers[b].table = static_cast<int16_t>(table);
    headers[b].side = static_cast<int16_t>(side);
    headers[b].block = block;
    lru_make_newest(b);
    chain_push_front(b);
    return static_cast<int8_t>(data_of(b)[offset]);
}
