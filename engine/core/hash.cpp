#include "core/hash.h"

#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

#include "core/board.h"
#include "core/hooks.h"
#include "core/types.h"
#include "core/output.h"
#include "core/settings.h"

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

// The table in 2 MB aligned memory that the system may back with large pages: the
// probes of the search touch it at random and would otherwise miss the address cache.
hash_entry* allocate_entries(size_t count) {
    const size_t align = size_t(2) << 20;
    const size_t bytes = (count * sizeof(hash_entry) + align - 1) / align * align;
    void* p = std::aligned_alloc(align, bytes);
    if (!p) return nullptr;
    madvise(p, bytes, MADV_HUGEPAGE);
    std::memset(p, 0, bytes);
    return static_cast<hash_entry*>(p);
}
}  // namespace

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
    long entries = (bytes / 36) * 3;
    if (entries < 200) {
        level_printf(LVL_NORMAL, "%ld bytes only give %ld entries, which is too small\n", bytes, entries);
        return;
    }
    for (;;) {
        hash_table = allocate_entries(static_cast<size_t>(entries) + 3);
        if (hash_table) break;
        entries = ((entries / 2) / 3) * 3;
        level_printf(LVL_NORMAL, "HASH size/2 %lu\n", static_cast<unsigned long>(entries));
        if (entries < 200) return;
    }
    hash_entries = static_cast<uint32_t>(entries);
    bucket_mult = hash_entries / 3 - 1;
    hash_age = 0;
    hash_wraps = 0;
    if (pos_learn) hash_store_learned_positions();
    level_printf(LVL_NORMAL, "entries %lu size %lu size_wanted %lu tts3 %lu\n", static_cast<unsigned long>(hash_entries),
                 static_cast<unsigned long>(hash_entries) * 12UL, static_cast<unsigned long>(bytes),
                 static_cast<unsigned long>(bucket_mult));
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
        for (uint32_t i = 0; i < hash_entries + 3; ++i) {
            hash_entry& e = hash_table[i];
            if (e.age != HASH_LEARNED_AGE) e.age = static_cast<uint8_t>(e.age > 90 ? e.age - 90 : 0);
        }
        ++hash_wraps;
        hash_age -= 90;
    }
}
