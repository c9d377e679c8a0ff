// Helpers that set up positions and play moves the way the board window does.
#pragma once

#include <string>
#include <vector>

#include "rules/reglas.h"

namespace rules_test {

inline const char* const kInicial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// A new game on the position of the FEN text (as the position loaders do it), with
// the side to move in Turno. Returns false when the text is refused.
bool Preparar(rules::Reglas& r, const std::string& fen);

// The flags right after one validation.
struct Resultado {
    bool valido = false;
    bool jaque = false, mate = false, ahogado = false;
    std::string capturaAlPaso;
    int enroque = 0;
};

// Validates and plays a move given in coordinates ("e2e4", "e7e8q"); an accepted move
// passes the turn. The move in progress is cleared afterwards, as after a shown move.
Resultado Jugar(rules::Reglas& r, const std::string& uci);

// Plays a list of moves; stops at the first refused one and returns how many were played.
size_t JugarVarias(rules::Reglas& r, const std::vector<std::string>& jugadas);

// Origen and Destino of a coordinate move, and the promotion code for the side of the
// piece on the origin.
void PonerMovimiento(rules::Reglas& r, const std::string& uci);

// The piece code on a square given as "e4".
int En(const rules::Reglas& r, const std::string& casilla);

}  // namespace rules_test
