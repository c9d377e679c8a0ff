// Endgame databases: the vocabulary shared by the Nalimov tables (registration, index
// members, compressed files, block cache, probe) and the bitbases.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// ---- Nalimov tables ------------------------------------------------------------

constexpr int EGTB_TABLES = 110;           // rows 1..110 (1-5 three men, 6-35 four, 36-110 five)
constexpr int EGTB_BLOCK = 8192;           // entries of one table block
constexpr int EGTB_CACHE_SLOT = 8260;      // cache bytes one block takes (header and data area)
constexpr int EGTB_NOT_AVAILABLE = 32767;  // value of a probe that found nothing
constexpr int EGTB_CHAINS = 32;            // hash chains of the block cache per table side
constexpr size_t EGTB_DIR_MAX = 1023;      // longest directory name of a table directory list

// Index member: the first and the second side's square lists (16 slots: 3t..3t+2 the
// pieces of type t = 0 pawn .. 4 queen, 15 the king), the en-passant square (127 for
// none) and the flip flag (1 when the colours were swapped).
using egtb_index_function = uint32_t (*)(const int32_t* first, const int32_t* second, int ep, int flip);

struct egtb_compressed;  // description of a compressed table file (compressed.h)

// Run-time state of one side of a table.
struct egtb_side_state {
    std::string path;                       // registered file; empty = not registered
    FILE* file = nullptr;                   // opened by the block reader on first use
    egtb_compressed* compressed = nullptr;  // none for a plain file
    int32_t chain[EGTB_CHAINS];             // hash-chain heads of the block cache (-1 empty)
};

struct egtb_descriptor {
    uint32_t number;
    uint32_t flags;                // bit 0: symmetric (one file serves both sides)
    egtb_index_function index[2];  // White to move, Black to move
    char name[8];
    uint32_t positions[2];  // entries of each side's table
    egtb_side_state side[2];
};
constexpr uint32_t EGTB_SYMMETRIC = 1;

// Rows 1..110; row 0 is unused.
extern egtb_descriptor egtb_tables[EGTB_TABLES + 1];

// Largest number of men among the registered tables (0 = tables off, 3, 4 or 5).
extern int egtb_men;
// Byte count of the block cache (the egtb_cache setting).
extern uint32_t egtb_cache_size;
// Counters of probe_egtb: every call, and every call that found a value.
extern uint32_t egtb_probes, egtb_hits;

// ---- index members (index.cpp) -------------------------------------------------

// Builds the square ranks, king pairs and pair bases once; later calls do nothing.
void egtb_build_index_tables();
// Entries an index member can reach (the table's positions plus the unused top).
uint32_t egtb_index_range(int table, int side);

// ---- material tree and registration (tables.cpp, registration.cpp) -------------

// Counts the piece letters from `pos` up to the next "k" or the end into pawns,
// knights, bishops, rooks, queens; returns the position of the stopping character.
size_t egtb_count_pieces(const char* name, size_t pos, int counts[5]);
// Stores a signed table number at the leaf of ten counts; false when a count exceeds the tree.
bool egtb_tree_insert(int number, const int counts[10]);
// Signed table number of ten counts (White's p n b r q, then Black's); 0 = none.
int egtb_find_table(const int counts[10]);
// Builds the material tree once (all leaves 0); false when it cannot be allocated.
bool egtb_tree_build();
// Empties every leaf of the material tree.
void egtb_tree_clear();
// Registers the tables of a directory list ("," or ";" between names); returns the
// largest number of men found (0, 3, 4 or 5). Problems are reported and skipped.
int egtb_init(const std::string& directories);
// Registers one side of one table from a directory: 1 registered (now or before), 0 not.
int egtb_register(const std::string& directory, int table, int side);
bool egtb_registered(int table, int side);
egtb_index_function egtb_index_fn(int table, int side);

// ---- block cache and files (cache.cpp, compressed.cpp) -------------------------

// Hands the cache its memory: 0 below 32 bytes (no blocks), else 1.
int egtb_set_cache(void* memory, size_t bytes);
// Number of blocks the cache holds.
int egtb_cache_blocks();
void egtb_cache_reset();
// Closes every open table file.
void egtb_close_files();
// Byte at `offset` of block `block` of a table side, or 32767 when it cannot be read.
int egtb_read_block(int table, int side, uint32_t block, uint32_t offset);
// Whether any compressed file was opened since the program started.
extern bool egtb_compressed_seen;
// The decode area shared by all compressed tables: false when it cannot be allocated.
bool egtb_decoder_init();
void egtb_decoder_free();

// ---- probe (probe.cpp) ---------------------------------------------------------

// Score of a table entry for the table's side to move, or 32767.
int egtb_probe_table(int table, int side, uint32_t index);
// Converts a stored byte to a score (32767 for "not available").
int egtb_stored_to_score(int stored);
// Value of the board's position for `side`: 1 and the score, or 0.
int probe_egtb(int side, int* score);
// The cache size that serves a request of `bytes`: at least one block (a smaller cache
// holds none and every probe would fail).
inline uint32_t egtb_usable_cache_size(uint32_t bytes) {
    return bytes < static_cast<uint32_t>(EGTB_CACHE_SLOT) ? static_cast<uint32_t>(EGTB_CACHE_SLOT) : bytes;
}
// Sets the cache size (egtb_usable_cache_size of `bytes`); reallocates the cache memory
// while tables are on.
void egtb_alloc_cache(uint32_t bytes);
// Frees the cache memory.
void egtb_free_cache();
// Allocates the cache memory for the registered tables: false when it failed.
bool egtb_allocate_cache_memory();

// ---- CRC-32 (crc32.cpp) --------------------------------------------------------

// Reflected polynomial 0xEDB88320 from `crc` with no final inversion (table headers).
uint32_t egtb_crc32(const uint8_t* data, size_t length, uint32_t crc);
// The standard form: initial value 0xFFFFFFFF and final inversion (bitbase files).
uint32_t crc32_standard(const uint8_t* data, size_t length);
void crc32_init();
