// The clocks an xboard host tells with time and otim.
#pragma once

// The engine has been given a colour (go, white, black): the times the host
// told with time and otim stay the engine's and the opponent's, on the colours they
// play now.
void host_clocks_follow_engine();
// The told times no longer stand (a new game, a new control).
void host_clocks_forget();
// A new game (newgame, new): the told times no longer stand, and under xboard the
// depth limit of sd is gone, the protocol's new takes it back; so is the time without
// end that sd gave where no command gave a clock (the start-up clocks stand again).
void host_new_game();
