// New game and reset.
#pragma once

// Start position and an empty game record; `full` 1 for a real new game, 0 for the
// PGN tools' per-game reset (hash table, learning texts, date and log left alone).
void new_game(int full);
// Closes the present game record and clears the record tables; the position stays.
void reset_engine();
