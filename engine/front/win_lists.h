// Win lists: the opponents that beat the engine.
#pragma once

// Adds the present opponent to the win lists after a loss.
void update_win_lists();
