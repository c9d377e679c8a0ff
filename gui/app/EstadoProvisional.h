// The few entries of the game-state block that the windows of start-up and of
// the shell read before the rules library provides the block. When the library's
// block is linked in, these go.
#pragma once

#include <string>

extern int Turno;                // 0 none, 1 White, 2 Black
extern bool Conectado;           // a peer connection is open
extern std::string TipoPartida;  // "R" rated, "A" unrated, "" no game
extern std::string MiColor;      // "Blancas", "Negras" or ""
