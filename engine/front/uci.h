// UCI dialogue.
#pragma once

#include <cstdint>
#include <string>

#include "core/root_moves.h"

extern int uci_recorded_ply;  // the moves of the last position command repeat the game up to here
// The last position command was refused (its FEN or one of its moves): the host's game
// is not the engine's, and go answers the null move until a position is accepted.
extern bool uci_position_refused;

// The UCI "go" command (the go and move rows under the UCI dialogue).
int uci_go(const std::string& arg);
// Reads the searchmoves list from `text`; returns the offset where reading goes on.
size_t parse_searchmoves(const std::string& text);
// Root-move filter of the search for the searchmoves list.
bool uci_root_move_excluded(uint32_t move);
bool uci_root_list_restricted();
