// The clocks an xboard host tells with time and otim.
#pragma once

// The engine has been given a colour (go, white, black): the times the host
// told with time and otim stay the engine's and the opponent's, on the colours they
// play now.
void host_clocks_follow_engine();
// The told times no longer stand (a new game, a new control).
void host_clocks_forget();
