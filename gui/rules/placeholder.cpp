// Replaced by the game state.
