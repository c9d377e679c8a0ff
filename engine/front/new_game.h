// New game and reset.
#pragma once

#include "core/recorded_game.h"

// Start position and an empty game record; `full` NEW_GAME_FULL for a real new game,
// NEW_GAME_RECORD_ONLY for the per-game reset (hash table, learning texts, date and log
// left alone).
void new_game(int full);
// Closes the present game record and clears the record tables; the position stays.
void reset_engine();
