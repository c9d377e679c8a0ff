// Replaced by the board code.
