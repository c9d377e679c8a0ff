// Shared set-up of the core tests: tables built once, a position from a FEN text.
#pragma once

#include <string>

#include "core/board.h"

// Builds the geometry, ray and key tables once.
void core_tables();
// Sets up a FEN position (the text must be valid); returns the side to move.
int setup(const std::string& fen);
// The initial position with White to move.
int setup_start();
