// The engine's move generator as the independent reference for the rules: its legal
// moves and its check, mate and stalemate verdicts, on the engine's own board.
#pragma once

#include <set>
#include <string>

#include "rules/reglas.h"

namespace rules_test {

// Sets up a FEN text on the engine's board; returns the side to move (0 White, 1 Black)
// or -1 when the engine refuses it.
int OrvikPosicion(const std::string& fen);

// The engine's legal moves for the side, in coordinates ("e7e8q").
std::set<std::string> OrvikJugadas(int lado);

// The side is in check.
bool OrvikEnJaque(int lado);

// Makes a move given in coordinates for the side; false when it is not legal there.
bool OrvikHacer(int lado, const std::string& uci);

// Verdict on the opponent after a move of the side (the move is taken back again).
struct Veredicto {
    bool jaque = false, mate = false, ahogado = false;
};
Veredicto OrvikTrasJugada(int lado, const std::string& uci);

// The engine's position equals the rules' one: placement and castling rights.
// Returns "" or what differs.
std::string DiferenciaConOrvik(const rules::Reglas& r);

}  // namespace rules_test
