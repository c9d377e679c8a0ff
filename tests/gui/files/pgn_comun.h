// What the PGN tests share: opening a PGN text in the browser and loading a game as
// the timers would, the browser's lists as text, and the game state compared with
// the same coded moves played once on a fresh board.
#pragma once

#include "entorno.h"
#include "rules/reglas.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pgn_prueba {

// Writes the text into the program folder and opens it in the browser; the first
// game is loaded as the opener's timer would load it.
QString Abrir(Entorno& e, const QString& nombre, const QByteArray& texto);
// Chooses list entry k and loads it as the click's timer would.
void Elegir(int k);
// Closes the browser when it shows (browse or save mode).
void Cerrar();

QStringList Entradas();                  // the game list
QStringList Lineas();                    // the PGN move list
int Resaltada();                         // the highlighted line of the PGN move list, -1 none
std::vector<std::string> Codificadas();  // the coded moves of the loaded game

// What a navigation must leave: board, rights, en-passant chance, move records.
struct Estado {
    rules::Tablero casillas{};
    std::array<bool, 4> torres{};
    bool alPaso = false;
    int casillaAlPaso = 0;
    std::vector<std::string> registros;
    bool operator==(const Estado&) const = default;
};
Estado Actual();
// The coded moves 0 to k played once from the FEN position (the standard start when
// empty) on a fresh board; `rechazada` gets the first the board refused (-1 none).
Estado Reproducir(const std::vector<std::string>& codificadas, int k, const std::string& fen, int* rechazada);
// The same, a refused move failing the test.
Estado Referencia(const std::vector<std::string>& codificadas, int k, const std::string& fen = {});
std::ostream& operator<<(std::ostream& os, const Estado& e);

// pgn-extract, where the machine has it.
std::optional<QString> PgnExtract();
// Runs pgn-extract on a file: its diagnostics (empty when clean) and the games it
// writes back, each as its move tokens.
struct Extraccion {
    QString diagnosticos;
    std::vector<std::vector<std::string>> partidas;
};
Extraccion Extraer(const QString& fichero);
// The move tokens of each game of a PGN text (numbers and results left out).
std::vector<std::vector<std::string>> Tokens(const QByteArray& texto);

}  // namespace pgn_prueba
