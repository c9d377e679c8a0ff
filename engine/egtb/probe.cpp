// The probe of the Nalimov tables: from the board to a table, a side and an index, and
// from the stored byte to a score; and the memory of the block cache.
#include <cstdlib>

#include "core/board.h"
#include "core/hooks.h"
#include "core/movetext.h"
#include "egtb/egtb.h"

int egtb_men = 0;
uint32_t egtb_cache_size = 2097152;
uint32_t egtb_probes = 0, egtb_hits = 0;

namespace {
void* cache_memory = nullptr;

// Entries of table 36 (kppkp, Black to move) whose stored value is known to be wrong.
constexpr uint32_t kppkp_bad_entries[7] = {56802428, 56811076, 56849992, 56858640, 59592489, 67775659, 71071628};
}  // namespace

void egtb_free_cache() {
    egtb_set_cache(nullptr, 0);
    std::free(cache_memory);
    cache_memory = nullptr;
}

bool egtb_allocate_cache_memory() {
    egtb_free_cache();
    cache_memory = std::malloc(egtb_cache_size ? egtb_cache_size : 1);
    if (!cache_memory) return false;
    egtb_set_cache(cache_memory, egtb_cache_size);
    return true;
}

void egtb_alloc_cache(uint32_t bytes) {
    egtb_cache_size = egtb_usable_cache_size(bytes);
    if (egtb_men <= 0) return;
    if (!egtb_allocate_cache_memory()) {
        egtb_men = 0;
        egtb_max_men = 0;
    }
}

int egtb_stored_to_score(int v) {
    if (v == 0) return 0;
    if (v == 127) return EGTB_NOT_AVAILABLE;
    if (v == -128) return 32640;
    if (v == -127) return -32640;
    return v > 0 ? 32640 + v : v - 32640;
}

int egtb_probe_table(int table, int side, uint32_t index) {
    const egtb_descriptor& d = egtb_tables[table];
    const int data_side = (d.flags & EGTB_SYMMETRIC) ? 0 : side;
    if (table == 36 && data_side == 1)
        for (uint32_t bad : kppkp_bad_entries)
            if (index == bad) return -32639;
    if (egtb_cache_blocks() == 0 || d.side[data_side].path.empty()) return EGTB_NOT_AVAILABLE;
    if (index >= d.positions[data_side]) return EGTB_NOT_AVAILABLE;
    const int v = egtb_read_block(table, data_side, index >> 13, index & 0x1FFF);
    if (v == EGTB_NOT_AVAILABLE) return v;
    return egtb_stored_to_score(v);
}

int probe_egtb(int side, int* score) {
    ++egtb_probes;
    const board_state& b = board;
    if (b.castling_rights) return 0;
    int counts[10] = {};
    int32_t lists[2][16] = {};
    for (int c = 0; c < 2; ++c) {
        for (int i = 1; i <= b.piece_count[c]; ++i) {
            const int sq = b.piece_list[c][i];
            const int t = static_cast<int>(b.piece[sq]) - 1;
            if (t < 0 || t > 4) return 0;
            if (counts[c * 5 + t] >= 3) return 0;
            lists[c][3 * t + counts[c * 5 + t]] = sq;
            ++counts[c * 5 + t];
        }
        lists[c][15] = b.piece_list[c][0];
    }
    const int n = egtb_find_table(counts);
    if (n == 0) return 0;
    const int table = n > 0 ? n : -n;
    const int table_side = n > 0 ? side : side ^ 1;
    if (!egtb_registered(table, table_side)) return 0;
    const int32_t* first = n > 0 ? lists[WHITE] : lists[BLACK];
    const int32_t* second = n > 0 ? lists[BLACK] : lists[WHITE];
    const int ep = b.ep_square >= 0 ? b.ep_square : 127;
    const uint32_t index = egtb_tables[table].index[table_side](first, second, ep, n > 0 ? 0 : 1);
    const int value = egtb_probe_table(table, table_side, index);
    if (value == EGTB_NOT_AVAILABLE) return 0;
    *score = value;
    ++egtb_hits;
    return 1;
}
