// What a line from an engine means, without the window: errors, feature
// announcements, draw offers, results, resignations, hints, moves and thinking
// output, tested in a fixed order on the line; the engine panel acts on the class.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace respuesta {

// What the panel knows when a line arrives.
struct Estado {
    bool activo1 = false;            // slot 1's engine runs
    bool activo2 = false;            // slot 2's engine runs
    bool enroquePendiente = false;   // the castling retry is armed
    bool esperandoRespuesta = false; // a hint, move-now or draw request awaits its answer
    bool sinJugadas = false;         // the move list is empty
};

enum class Clase {
    Ignorar,
    NivelAlternativo,  // the engine refused "st": give it a time control instead
    Error,             // an engine error: the game ends
    ErrorPeticion,     // an error that answers the pending request
    Caracteristica,    // a feature announcement to answer: dato is the line after its first blank
    OfertaTablas,      // the engine offers a draw
    Tablas,            // "draw": the game is drawn
    Pista,             // dato is the hint to show
    Resultado,         // a result line (tablas, abandono tell which)
    Abandono,          // the engine resigns
    Otra,              // any other line (pensamiento holds the thinking boxes, when it is thinking output)
    Jugada,            // a "move " line (larga: too long to be read)
};

struct Lectura {
    Clase clase = Clase::Ignorar;
    QString dato;
    bool tablas = false;    // Resultado: "1/2-1/2"
    bool abandono = false;  // Resultado: the line also says the engine resigns
    bool larga = false;     // Jugada: more than 16 characters
    std::optional<std::array<QString, 5>> pensamiento;  // depth, score, time, nodes, variation
};

// The line as the relay handed it over (no line end), and the panel's state.
Lectura Analizar(const QString& linea, const Estado& estado);

// The line as the tests read it: CR and LF removed, lower case.
QString Minusculas(const QString& linea);

// True when "st" stands in the text as a word of its own.
bool PalabraSt(const QString& minusculas);

// True when an error line (lower case) is about one of the optional commands the
// driver sends without knowing whether the engine has it: "post", "easy", "hard",
// "time", "otim", "computer", "random" and the feature replies "accepted" and
// "rejected". The command is the first word after the line's last ":" ("Error
// (unknown command): post"), or any word of a line without one.
bool ErrorOpcional(const QString& minusculas);

// Thinking output ("depth score time nodes variation") as the five boxes show it; the
// variation without its leading move number. Nothing for a line that is not thinking
// output.
std::optional<std::array<QString, 5>> Pensamiento(const QString& linea);

}  // namespace respuesta
