// The board diagram of the display commands and of the PGN reader's bad-move report.
#pragma once

#include <cstdint>

extern int reversed_board;  // rv: ranks 1 to 8 from the top

// Prints the diagram of the given piece and colour arrays at level 6.
void print_board_diagram(const uint32_t* piece, const uint32_t* color);
