// Endgame tables and bitbases in the engine's search.
#pragma once

#include "core/board.h"

// Points the search's table and bitbase probes at the endgame databases.
void register_egtb_hooks();

// Runs `f` with the game's position kept aside and put back: the table generators and
// checks put their men on the engine's board.
template <typename F>
void on_scratch_board(F&& f) {
    const board_state saved = board;
    f();
    board = saved;
}
