// Position learning: positions in which the engine's score fell are kept in learnpos.bin
// (a ring of 16-byte records behind a 128-byte header), as text lines in learnpos.ovk,
// and in memory, and go into the transposition table with the learned age.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

constexpr uint32_t LEARNPOS_HEADER_BYTES = 128;
constexpr uint32_t LEARNPOS_RECORD_BYTES = 16;
// Largest store a learnpos.bin may ask for (posentries allows far less).
constexpr uint32_t LEARNPOS_MAX_CAPACITY = 1u << 24;

extern FILE* learnpos_ovk_file;  // learnpos.ovk, text lines, opened for appending
extern FILE* learnpos_bin_file;  // learnpos.bin

struct learnpos_header {
    uint32_t capacity = 0;
    uint32_t version = 1;
    uint32_t offset = LEARNPOS_HEADER_BYTES;
    uint32_t next = 0;  // next write index
};
struct learnpos_record {
    uint32_t key_lo = 0, key_hi = 0;
    int16_t score = 0, depth = 0;  // depth in plies
    uint16_t move = 0;
    uint8_t side = 0;
};

void encode_learnpos_header(const learnpos_header& h, unsigned char out[LEARNPOS_HEADER_BYTES]);
learnpos_header decode_learnpos_header(const unsigned char in[LEARNPOS_HEADER_BYTES]);
// What is wrong with a header ("" when it is sound).
std::string learnpos_header_fault(const learnpos_header& h);

// Opens learnpos.bin ("r+b") and loads it, or creates it when it does not exist. 0 ok, 1
// when the file cannot be used (a damaged file is reported and left as it is).
int load_learned_positions();
// Stores every learned position into the hash table; how many.
int store_learned_positions();
// Records the present position with its score, depth in plies and move.
int learn_position(int score, int depth, uint32_t move);
// After a search of the game: learns the position when the score fell by the margin,
// within 60 plies of the last book move or of the engine's first search (`start_ply`).
void learn_game_position(int score_a, int score, int depth, int previous_score, int last_book_ply, int start_ply,
                         uint32_t move);
// Reads "depth score move FEN" lines into the store; 1 when nothing could be read. The
// board is left at the last line's position (the command starts a new game after it).
int import_learned_positions(const std::string& file);
// Records in memory, and the release of the store (posentries reloads it).
int learned_positions_held();
void release_learned_positions();
