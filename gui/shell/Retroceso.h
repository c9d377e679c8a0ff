// Taking back the last move on the game state alone (no windows): reading a move
// record, putting the pieces and the castling rights back, removing the move's texts
// and record, the en-passant state of the position shown afterwards and the turn.
// The main window's take-back command runs these steps with the board's redraws in
// between.
#pragma once

#include "rules/reglas.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace retroceso {

// One move record: four digits (origin file and rank, destination file and rank),
// the kind of move with its numbers, and the four castling flags before the move
// when the record carries them ("r" and four digits, 1 = lost).
struct Registro {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    char clase = 0;  // 0 plain, 't' king, 'x' capture, 'e' castling, 'p' en passant, 'c' promotion
    int k = -1;      // castling rights digit after "t" or "e", -1 when there is none
    int p = 0;       // captured piece after "x", 0 when there is none
    int s = 0;       // en-passant square after "p"
    int q = 0;       // promoting pawn after "c"
    std::optional<std::array<bool, 4>> torres;  // A1, H1, A8, H8 lost before the move
};

// Reads a record; nothing for "0000" and for any text that is not a record whose
// squares and pieces lie on the board.
std::optional<Registro> Leer(const std::string& texto);

// Puts the pieces and the castling rights back as they were before the move.
void DeshacerTablero(rules::Variables& v, const Registro& r);

// The text of a notation box without its last line and the line end after it.
void QuitarUltimaLinea(std::string& texto);

// Removes the last move's line from the five texts, its record, and steps the move
// numbering back.
void BorrarTextos(rules::Reglas& g);

// The en-passant state of the position shown: open exactly when the last record is a
// pawn's two-square step, from the starting position's field when there is no record
// left, closed otherwise.
void FijarAlPaso(rules::Reglas& g);

// The side to move after a take-back: White and Black swap, 0 stays.
void DevolverTurno(rules::Variables& v);

// The whole take-back of the last record on the game state; false when there was no
// record to take back (nothing changes then).
bool Retroceder(rules::Reglas& g);

}  // namespace retroceso
