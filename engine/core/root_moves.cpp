#include "core/root_moves.h"

uint32_t searchmoves_list[SEARCHMOVES_MAX];
int searchmoves_count = -1;
