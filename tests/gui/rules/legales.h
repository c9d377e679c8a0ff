// The moves ValidarMovimiento accepts in a position: every candidate is validated for
// real on a saved copy of the game state, which is restored afterwards. This is the
// rules' half of the cross-check against an independent move generator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rules/reglas.h"

namespace rules_test {

struct JugadaAceptada {
    std::string uci;                                    // "e2e4", "e7e8q"; castling as the king's move
    bool jaque = false, mate = false, ahogado = false;  // flags of the move
};

// Every accepted move of the side in r.Turno (1 or 2). With todas, all 64 x 64
// origin/destination pairs are tried (promotions with each of the four pieces);
// otherwise only origins that hold a piece of the side to move.
std::vector<JugadaAceptada> JugadasAceptadas(rules::Reglas& r, bool todas = false);

// The side to move: in check, mated, stalemated.
struct EstadoLado {
    bool jaque = false, mate = false, ahogado = false;
};
EstadoLado EstadoDelLado(rules::Reglas& r);

// Plays an accepted move for real, as JugadasAceptadas found it, and passes the turn.
bool Hacer(rules::Reglas& r, const std::string& uci);

// Leaf count of the move tree to the given depth, with the checks and mates among the
// leaves counted from the flags ValidarMovimiento sets.
struct Cuenta {
    std::uint64_t nodos = 0, jaques = 0, mates = 0;
};
Cuenta Perft(rules::Reglas& r, int profundidad);

}  // namespace rules_test
