// The root moves a search is restricted to: the UCI searchmoves list, or the one game
// move that an annotation scores. The interpreter's root-move hooks read it.
#pragma once

#include <cstdint>

constexpr int SEARCHMOVES_MAX = 302;
extern uint32_t searchmoves_list[SEARCHMOVES_MAX];
extern int searchmoves_count;  // -1 at start; 0 or less: every root move is searched
