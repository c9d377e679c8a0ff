// The texts of the xboard dialogue as Tavorin writes them to engines, and the move
// texts that come back, without the window: start sequence, moves with the clocks,
// castling for the receiving engine, an engine's move read onto the board's squares.
//
// Slots: 1 plays White, 2 plays Black. Several commands in one text are joined by
// CR LF; the relay writes each as a line.
#pragma once

#include "rules/variables.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace xboard {

// The three writes that start an engine: "xboard", "protover 2", "new"; "random" and
// the level command (left out when empty); "post", "easy" and, for the engine that
// plays White, "go". No "ics -": that is what an engine assumes anyway, and some
// engines die of it or leave.
QStringList Arranque(const QString& nivel, bool blancas);

// The answer to an engine's feature announcement (the text after "feature "):
// "accepted NAME" for each feature whose request the driver honours, "rejected NAME"
// for every other one (an unknown feature, a move format or command the driver does
// not use), one line each, in the order announced. Empty when the text names no
// feature.
QString RespuestaCaracteristicas(const QString& anuncio);

// A move of the board in coordinates: origin and destination as CasillaTexto ("52"),
// then the promotion letter of a piece code (2 or 8 "r", 3 or 9 "n", 4 or 10 "b", 5 or
// 11 "q"): "e2e4", "e7e8n".
QString Coordenadas(const std::string& origen, const std::string& destino, int pieza);

// e1g1, e1c1, e8g8 or e8c8.
bool EsEnroque(const QString& jugada);

// Centiseconds of a clock; minutes below 1 count as 0.
long Centesimas(long minutos, long segundos);

// A move for an engine: with the clock option "time" (the receiver's own clock),
// "otim" (the other side's), then the move; without it the move alone, since "time 0"
// would tell the engine its clock is empty.
QString ConRelojes(const QString& jugada, long propio, long otro, bool reloj);

// The move in an engine's "move" line: from the character after the first ":" and a
// blank when the line holds a ":", else after the first blank.
QString TextoJugada(const QString& linea);

// An engine's move read for the board.
struct JugadaTablero {
    std::string origen, destino;  // CasillaTexto
    int pieza = 0;                // preset promotion piece, 0 when no promotion
    QString texto;                // the move in coordinates as the other engine gets it
};

// Reads the move text of the engine of slot 1 or 2: coordinates with an optional
// promotion letter (any case), or "O-O"/"O-O-O" for that slot's colour. A pawn that
// reaches its last rank without a letter becomes a queen of the slot's colour. Nothing
// for a text that is no move.
std::optional<JugadaTablero> LeerJugada(const QString& texto, int ranura, const rules::Tablero& casillas);

}  // namespace xboard
