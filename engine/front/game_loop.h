// The game loop: reads commands, plays the moves typed or found, records the game.
#pragma once

#include <cstdint>

#include "core/recorded_game.h"

// One pass of the game loop; non-zero ends the program.
int game_step();
// The same for moves that replay a recorded game (UCI position); 1 when the move
// repeated the recorded continuation.
int replay_and_record_move(int side, uint32_t move, int score, uint32_t flags, int check);
// The UCI think-and-reply loop; 1 when the program is to end.
int uci_think();
// Finishes the game record: win lists, trailer, the PGN records (once per game).
void finish_game_record();
