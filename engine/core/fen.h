// FEN reading and writing, and the check whether a set-up position is possible.
#pragma once

#include <cstdint>
#include <string>

extern int start_move_number;  // the game's first move number minus 1 (0..600)
extern std::string start_fen;  // FEN of the position the game started from

// Per-depth tables of the search, refilled at every set-up.
extern uint32_t depth_table1[64];
extern uint32_t depth_table2[64];
void fill_depth_tables();

// Sets up the position of a FEN or EPD text and starts a new game history there.
// Returns 0 on success (side_to_move receives the side to move, rest the offset after
// the last field read), 1 when the text or the position is refused; then the previous
// position stays in force.
int parse_fen(const std::string& text, int* side_out, bool clear_hash, size_t* rest = nullptr);

// FEN of the current position; counters " %d %d" when asked.
std::string board_to_fen(int side, bool with_counters);

// 1 when the position is possible, else 0 with the reason ("Nothing" when valid).
int check_position(int side_to_move, std::string* message);

// New game history at the current position with everything a set-up resets
// (repetition counters, killers, history values, clocks, per-depth tables).
void start_new_position(int side);
