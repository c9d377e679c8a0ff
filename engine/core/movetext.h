// Move text: SAN and coordinate output, reading typed or recorded moves, and the text
// of principal variations.
#pragma once

#include <cstdint>
#include <string>

// Text of a move already made on the board (SAN, or coordinates when notation_mode is NOTATION_COORDINATES).
std::string move_to_text(uint32_t move);
// The same for a legal move of `side` not yet made: it is made and taken back, and the
// history entry above the present ply stays as it was.
std::string move_text_here(int side, uint32_t move);
// The same for a move given by its low 15 bits, legal or not: "invalid" when it is not.
std::string legal_move_text(int side, uint32_t move);
// Coordinate text ("e2e4", "e7e8Q", "null").
std::string move_to_coordinates(uint32_t move);
// Reads a move of `side` against the legal moves; returns the full move word or 0 with
// the reason in `reason` (left unchanged when the text holds no square at all).
uint32_t parse_move(const std::string& text, int side, std::string* reason = nullptr, int* annotation = nullptr);

// Text of a principal variation: `pv` holds 16-bit moves ended by a word whose low
// 12 bits are 0xFFF, perhaps followed by a marker (0xEFFF continue from the table,
// 0xDFFF table result, 0xCFFF bitbase result). `length` receives the moves walked.
std::string pv_from_hash(const uint16_t* pv, int side, bool with_tb, int* length = nullptr);

// Extends a line with endgame-table moves for `side`; `balance` receives the material
// balance, `found` whether a table move was added.
void pv_text(int side, std::string& text, int* balance, int extra_plies, int* found);
