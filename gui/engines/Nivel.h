// The rules of the engine level dialog, without the window: the number boxes' range
// and step rules and the level command for the engines.
#pragma once

#include <QString>
#include <QStringList>

namespace nivel {

// The three ways of limiting an engine, by the index of the dialog's option button.
enum Modo { Profundidad = 0, TiempoPorJugada = 1, ControlDeTiempo = 2 };

constexpr long kMaximoSegundos = 60;
constexpr long kMaximoProfundidad = 20;
constexpr long kMaximoMinutos = 60;

// The moves of a time control the list offers: "0" (the whole game) to "100".
const QStringList& ListaJugadas();

// The value of a box: its leading number, 0 for an empty box.
long Valor(const QString& texto);
// The text a box must hold after a change: the maximum above it, "1" below 1;
// the text itself otherwise.
QString EnRango(const QString& texto, long maximo);
// The increase and decrease buttons.
QString Subir(const QString& texto, long maximo);
QString Bajar(const QString& texto, long maximo);

// The level command for a mode and the boxes' texts as they stand: "sd " + depth,
// "st " + seconds, "level " + moves + " " + minutes + " 0". Empty for another mode.
QString Comando(int modo, const QString& segundos, const QString& profundidad, const QString& jugadas,
                const QString& minutos);

}  // namespace nivel
