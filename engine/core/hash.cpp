#include "core/hash.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "core/board.h"
#include "core/hooks.h"
#include "core/types.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"

hash_entry* hash_table = nullptr;
uint32_t hash_entries = 0;
uint32_t bucket_mult = 0;
int hash_age = 0;
uint32_t hash_wraps = 0;
uint64_t hash_probes = 0, hash_hits = 0, hash_stores = 0;
uint64_t hash_rejects = 0;

namespace {
void free_table() {
    std::free(hash_table);
    hash_table = nullptr;
}

// The memory the system has available, from MemAvailable where the system tells it, else
// its free pages; 0 when unknown.
uint64_t available_memory() {
    if (FILE* f = open_for_reading("/proc/meminfo", "r", true)) {
        char line[128];
        unsigned long long kb = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f)) found = std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1;
        std::fclose(f);
        if (found) return static_cast<uint64_t>(kb) * 1024;
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES), page = sysconf(_SC_PAGESIZE);
    return pages > 0 && page > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(page) : 0;
}

bool memory_available_for(size_t bytes) {
    const uint64_t available = available_memory();
    return available == 0 || bytes <= available - available / 8;
}

// Bytes of the block for `count` slots: the table lies in 2 MB aligned memory that the
// system may back with large pages (the probes of the search touch it at random and would
// otherwise miss the address cache).
constexpr size_t TABLE_ALIGN = size_t(2) << 20;
size_t block_bytes(uint64_t count) {
    return (count * sizeof(hash_entry) + TABLE_ALIGN - 1) / TABLE_ALIGN * TABLE_ALIGN;
}

// A block for `count` slots, not yet zeroed; null when it cannot be had.
void* reserve_entries(uint64_t count) {
    const size_t bytes = block_bytes(count);
    if (!hash_memory_allows(bytes)) return nullptr;
    return std::aligned_alloc(TABLE_ALIGN, bytes);
}

bool can_reserve(uint64_t count) {
    void* p = reserve_entries(count);
    std::free(p);
    return p != nullptr;
}

// A message of the allocation that the user must see in either dialogue.
void hash_note(const std::string& text) {
    if (uci_mode)
        level_printf(LVL_UCI, "info string %s\n", text.c_str());
    else
        level_printf(LVL_NORMAL, "%s\n", text.c_str());
}

constexpr uint64_t MIN_ENTRIES = 200;
}  // namespace

bool (*hash_memory_allows)(size_t bytes) = memory_available_for;

uint64_t hash_entries_for(long bytes) {
    if (bytes < 1) return 0;
    if (bytes > HASH_MAX_BYTES) bytes = HASH_MAX_BYTES;
    return static_cast<uint64_t>(bytes / 36) * 3;
}

long hash_max_megabytes() {
    long most = HASH_MAX_BYTES / 1048576;
    const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
    if (pages > 0 && page > 0) {
        const long machine = static_cast<long>(static_cast<uint64_t>(pages) * static_cast<uint64_t>(page) / 1048576);
        if (machine >= 1 && machine < most) most = machine;
    }
    return most;
}

hash_entry* hash_bucket(int side) {
    uint32_t b = static_cast<uint32_t>((static_cast<uint64_t>(bucket_mult) * board.key_lo()) >> 32) +
                 static_cast<uint32_t>(side);
    return hash_table + 3 * static_cast<size_t>(b);
}

void hash_alloc(long bytes) {
    free_table();
    hash_entries = 0;
    if (bytes < 1) {
        level_printf(LVL_NORMAL, "size_wanted = %ld, playing without hash\n", bytes);
        return;
    }
    if (bytes > HASH_MAX_BYTES)
        hash_note(text_printf("hash size %ld is more than the table can address: %ld taken", bytes, HASH_MAX_BYTES));
    uint64_t entries = hash_entries_for(bytes);
    if (entries < MIN_ENTRIES) {
        level_printf(LVL_NORMAL, "%ld bytes only give %ld entries, which is too small\n", bytes,
                     static_cast<long>(entries));
        return;
    }
    // Halved while the memory cannot be had; then the largest size between the one that
    // failed and the one that succeeds (trial blocks are not touched, so they cost little).
    const uint64_t wanted = entries;
    uint64_t failed = 0;
    while (!can_reserve(entries + 3)) {
        failed = entries;
        entries = ((entries / 2) / 3) * 3;
        level_printf(LVL_NORMAL, "HASH size/2 %lu\n", static_cast<unsigned long>(entries));
        if (entries < MIN_ENTRIES) {
            hash_note(text_printf("no memory for a hash table of %ld bytes: playing without hash", bytes));
            return;
        }
    }
    if (failed) {
        while (failed - entries > 3) {
            const uint64_t middle = (entries + (failed - entries) / 2) / 3 * 3;
            if (can_reserve(middle + 3))
                entries = middle;
            else
                failed = middle;
        }
    }
    void* block = reserve_entries(entries + 3);
    if (!block) {
        hash_note(text_printf("no memory for a hash table of %ld bytes: playing without hash", bytes));
        return;
    }
    madvise(block, block_bytes(entries + 3), MADV_HUGEPAGE);
    std::memset(block, 0, block_bytes(entries + 3));
    hash_table = static_cast<hash_entry*>(block);
    if (entries < wanted)
        hash_note(text_printf("could not allocate %lu bytes for the hash table: %lu taken, the largest that could be",
                              static_cast<unsigned long>(wanted * sizeof(hash_entry)),
                              static_cast<unsigned long>(entries * sizeof(hash_entry))));
    hash_entries = static_cast<uint32_t>(entries);
    bucket_mult = hash_entries / 3 - 1;
    hash_age = 0;
    hash_wraps = 0;
    if (pos_learn) hash_store_learned_positions();
    level_printf(LVL_NORMAL, "entries %lu size %lu size_wanted %lu tts3 %lu\n",
                 static_cast<unsigned long>(hash_entries), static_cast<unsigned long>(hash_entries) * 12UL,
                 static_cast<unsigned long>(bytes), static_cast<unsigned long>(bucket_mult));
}

void hash_clear() {
    if (hash_table) std::memset(hash_table, 0, (static_cast<size_t>(hash_entries) + 3) * sizeof(hash_entry));
    hash_age = 0;
    hash_wraps = 0;
    if (pos_learn && hash_table) hash_store_learned_positions();
}

void hash_store_learned_positions() {
    int n = hooks.store_learned_positions ? hooks.store_learned_positions() : 0;
    level_printf(LVL_NORMAL, "Stored %d learned positions into hash table\n", n);
}

void hash_store_learned(uint64_t key, int side, int score, int depth_plies, uint32_t move) {
    if (!hash_table) return;
    const uint64_t real_key = board.hash_key;
    hash_age = HASH_LEARNED_AGE;
    board.hash_key = key;
    hash_store(side, score, depth_plies * 64, 0, 3, move);
    board.hash_key = real_key;
    hash_age = 0;
}

int hash_probe(int side, int ply, int* score, uint32_t* move, int* depth) {
    if (!hash_table) return 0;
    ++hash_probes;
    hash_entry* e = hash_bucket(side);
    const uint32_t lock = board.key_hi();
    for (int i = 0; i < 3; ++i, ++e) {
        if (e->lock != lock) continue;
        ++hash_hits;
        if (e->age != HASH_LEARNED_AGE) e->age = static_cast<uint8_t>(hash_age);
        int s = e->score;
        if (s > TABLE_MATE_LIMIT)
            s -= ply;
        else if (s < -TABLE_MATE_LIMIT)
            s += ply;
        if (score) *score = s;
        if (move) *move = e->move;
        if (depth) *depth = e->depth;
        return e->bound;
    }
    return 0;
}

void hash_store(int side, int score, int depth, int ply, int bound, uint32_t move) {
    if (!hash_table) return;
    hash_entry* s0 = hash_bucket(side);
    hash_entry* s1 = s0 + 1;
    hash_entry* s2 = s0 + 2;
    const uint32_t lock = board.key_hi();
    hash_entry* target = nullptr;
    if (s0->lock == 0) {
        target = s0;
    } else if (s0->lock == lock) {
        if (s0->age == HASH_LEARNED_AGE && s0->depth > depth) {
            ++hash_rejects;
            return;
        }
        target = s0;
    } else if (s1->lock == 0) {
        target = s1;
    } else if (s1->lock == lock) {
        if (s1->age == HASH_LEARNED_AGE && s1->depth > depth) {
            ++hash_rejects;
            return;
        }
        target = s1;
    } else {
        hash_entry* victim = (s0->age < s1->age || (s0->age == s1->age && s0->depth <= s1->depth)) ? s0 : s1;
        if (victim->age == HASH_LEARNED_AGE) {
            ++hash_rejects;
            return;
        }
        *s2 = *victim;
        target = victim;
        target->age = 0;  // the new entry takes the current age below
    }
    if (score > TABLE_MATE_LIMIT)
        score += ply;
    else if (score < -TABLE_MATE_LIMIT)
        score -= ply;
    target->lock = lock;
    target->score = static_cast<int16_t>(score);
    target->move = static_cast<uint16_t>(move_is_null(move) ? (move & 0xFFFF) : (move & MOVE_STORED));
    target->depth = static_cast<int16_t>(depth);
    target->bound = static_cast<uint8_t>(bound);
    if (target->age != HASH_LEARNED_AGE || hash_age == HASH_LEARNED_AGE) target->age = static_cast<uint8_t>(hash_age);
    ++hash_stores;
}

int hash_fullness_permill() {
    if (!hash_table || hash_entries == 0) return 0;
    constexpr uint32_t SAMPLE = 3000;
    const uint32_t n = hash_entries < SAMPLE ? hash_entries : SAMPLE;
    const uint64_t step = hash_entries / n;
    uint32_t used = 0;
    for (uint32_t i = 0; i < n; ++i)
        if (hash_table[i * step].lock) ++used;
    return static_cast<int>(used * 1000ULL / n);
}

void hash_new_search() {
    ++hash_age;
    if (hash_age >= 126 && hash_table) {
        for (size_t i = 0; i < static_cast<size_t>(hash_entries) + 3; ++i) {
            hash_entry& e = hash_table[i];
            if (e.age != HASH_LEARNED_AGE) e.age = static_cast<uint8_t>(e.age > 90 ? e.age - 90 : 0);
        }
        ++hash_wraps;
        hash_age -= 90;
    }
}
