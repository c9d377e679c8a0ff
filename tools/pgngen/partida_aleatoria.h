// Random legal games through Tavorin's rules, and their PGN text through Tavorin's
// PGN writer. Used by the generator tool and by the PGN tests.
#pragma once

#include "rules/reglas.h"

#include <random>
#include <string>
#include <vector>

namespace pgngen {

struct PartidaAleatoria {
    std::vector<std::string> codificadas;  // JugadaCodificada of each half-move
    std::string resultado;                 // "1-0", "0-1", "1/2-1/2" or "*"
    bool promocion = false, alPaso = false, enroque = false;
};

// Puts the start position on the board as a new game, White to move.
void NuevaPartida(rules::Reglas& r);

// Plays random legal half-moves on the board from the side in Turno until checkmate,
// stalemate or `maxMedias` half-moves. Promotions get a random piece.
PartidaAleatoria Jugar(rules::Reglas& r, std::mt19937& azar, int maxMedias);

// As Jugar, but a move that would end the game is played only when every legal move
// would: the game runs its `medias` half-moves unless a position leaves no other
// choice (long games for the browser's benchmark).
PartidaAleatoria JugarLarga(rules::Reglas& r, std::mt19937& azar, int medias);

// The game in the board's English move box as one PGN game (tags, move text, result),
// written by the PGN writer.
std::string TextoPgn(const rules::Reglas& r, int numero, const std::string& resultado);

}  // namespace pgngen
