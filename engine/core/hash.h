// The transposition table: three-slot buckets indexed by the low key word plus the
// side to move and checked by the high word. Learned positions keep age 127.
#pragma once

#include <cstdint>
#include <cstddef>
#include <cstdio>

#include "core/board.h"

struct hash_entry {
    uint32_t lock;  // key_hi of the position; 0 = empty slot
    int16_t score;  // mate scores relative to the node
    uint16_t move;  // low 15 bits of the best move, or a special code (0xF000, 0xE000)
    int16_t depth;  // remaining depth in 1/64 ply
    uint8_t age;    // search age at the last store or hit; 127 = learned
    uint8_t bound;  // 1 upper, 2 lower, 3 exact (+0x10 mate threat); 3 for learned
};
static_assert(sizeof(hash_entry) == 12, "hash entries are 12 bytes");

constexpr int HASH_LEARNED_AGE = 127;

extern hash_entry* hash_table;  // null = no table
extern uint32_t hash_entries;   // slots, a multiple of 3
extern uint32_t bucket_mult;    // hash_entries / 3 - 1
extern int hash_age;            // 0..126 in play
extern uint32_t hash_wraps;     // count of age wraps
extern uint64_t hash_probes, hash_hits, hash_stores;
extern uint64_t hash_rejects;  // stores refused: a learned entry kept its place

// The largest table: the bucket number is a 32-bit word, so the table holds at most
// 2^32 - 1 slots (a multiple of 3); HASH_MAX_BYTES is the request that gives them.
constexpr uint64_t HASH_MAX_ENTRIES = 0xFFFFFFFFu;
constexpr long HASH_MAX_BYTES = static_cast<long>(HASH_MAX_ENTRIES / 3 * 36);
// Slots a request of `bytes` gives: (bytes / 36) x 3 of a request limited to HASH_MAX_BYTES.
uint64_t hash_entries_for(long bytes);
// Whether a block of `bytes` may be taken for the table: by default, when the system has
// that much memory available and an eighth to spare (an allocation the system promises
// but cannot back would end the program when the table is cleared). Tests put a small
// limit in its place.
extern bool (*hash_memory_allows)(size_t bytes);
// The largest size the UCI Hash option offers, in megabytes: the largest table, and not
// more than the machine's memory.
long hash_max_megabytes();

// Frees the old table and makes one for a request of `bytes`: below 1 no table; above
// HASH_MAX_BYTES the largest table; when the memory cannot be had, the largest table that
// can (each case said in a message).
void hash_alloc(long bytes);
void hash_clear();
int hash_probe(int side, int ply, int* score, uint32_t* move, int* depth);
void hash_store(int side, int score, int depth, int ply, int bound, uint32_t move);
void hash_new_search();
// Per mille of the slots in use, from a fixed sample of slots spread over the table
// (the UCI hashfull report runs during the search and must not walk the whole table).
int hash_fullness_permill();
// Stores one learned position (key, side, score, depth in plies, move) with age 127.
void hash_store_learned(uint64_t key, int side, int score, int depth_plies, uint32_t move);
// Stores every learned position through the registered hook and prints the count.
void hash_store_learned_positions();
// The bucket (first of three slots) for the current position and a side.
hash_entry* hash_bucket(int side);
// The prefetch helpers are always inlined: out of line, a function that only loads and
// prefetches counts as free of effects and the compiler drops the calls to it.
// Starts loading a bucket into the cache: a bucket of 36 bytes may span two lines.
[[gnu::always_inline]] inline void hash_prefetch_key(uint64_t key, int side) {
    if (!hash_table) return;
    const uint32_t b = static_cast<uint32_t>((static_cast<uint64_t>(bucket_mult) * static_cast<uint32_t>(key)) >> 32) +
                       static_cast<uint32_t>(side);
    const char* p = reinterpret_cast<const char*>(hash_table + 3 * static_cast<size_t>(b));
    __builtin_prefetch(p);
    __builtin_prefetch(p + 3 * sizeof(hash_entry) - 1);
}
// The bucket of the current position (the next probe).
[[gnu::always_inline]] inline void hash_prefetch(int side) { hash_prefetch_key(board.hash_key, side); }
// The key of the position after `move` of `side`, foreseen from the moved and the taken
// man: a castling, an en-passant capture, a changed castling right or a new en-passant
// square are not foreseen (their prefetch only costs a useless load).
[[gnu::always_inline]] inline uint64_t hash_key_after(int side, uint32_t move) {
    const board_state& b = board;
    const int from = static_cast<int>(move & 63), to = static_cast<int>((move >> 6) & 63);
    const uint32_t p = b.piece[from];
    uint64_t key = b.hash_key ^ ep_key(b.ep_square) ^ ep_key(-1);
    if (b.color[to] != NO_COLOR) key ^= zobrist_keys[side ^ 1][b.piece[to]][to];
    const uint32_t now = (move & 0x7000) ? (move >> 12) & 7 : p;
    return key ^ zobrist_keys[side][p][from] ^ zobrist_keys[side][now][to];
}
// Starts loading the bucket that the position after `move` of `side` will probe.
[[gnu::always_inline]] inline void hash_prefetch_after(int side, uint32_t move) {
    if (hash_table) hash_prefetch_key(hash_key_after(side, move), side ^ 1);
}
