// What a line from an engine means, without the window: errors, diagnostics, feature
// announcements, draw offers, results, resignations, hints, moves and thinking
// output, tested in a fixed order on the line; the engine panel acts on the class.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace respuesta {

// What the panel knows when a line arrives.
struct Estado {
    bool activo1 = false;             // slot 1's engine runs
    bool activo2 = false;             // slot 2's engine runs
    bool enroquePendiente = false;    // the castling retry is armed
    bool esperandoRespuesta = false;  // a hint, move-now or draw request awaits its answer
    bool sinJugadas = false;          // the move list is empty
    bool esperaJugada = false;        // the line's engine is to move
};

enum class Clase {
    Ignorar,
    NivelAlternativo,  // the engine refused "st": give it a time control instead
    Error,             // an engine error: the game ends
    ErrorPeticion,     // an error that answers the pending request
    Diagnostico,       // a warning or a complaint that is no protocol error: shown, nothing ends
    Caracteristica,    // a feature announcement to answer: dato is the line after its first blank
    OfertaTablas,      // the engine offers a draw
    Tablas,            // "draw": the game is drawn
    Pista,             // dato is the hint to show
    Resultado,         // a result line (resultado tells what it states)
    Abandono,          // the engine resigns
    Otra,              // any other line (pensamiento holds the thinking boxes, when it is thinking output)
    Jugada,            // a "move " line (larga: too long to be read)
};

// What a result line states: the score, and what its comment claims.
struct Resultado {
    int ganador = 0;        // turno::Blancas, turno::Negras, turno::Nadie for a draw
    int abandona = 0;       // the side the comment says resigned, turno::Nadie when it says none
    bool mate = false;      // the comment claims a checkmate
    bool ahogado = false;   // the comment claims a stalemate
    bool coherente = true;  // the comment agrees with the score
};

// Reads a result line (lower case) that holds "1-0", "0-1" or "1/2-1/2". A side named
// before "resign" is the one that resigned, and one named before "mate" the one that
// mates; either must be the side the score says.
Resultado LeerResultado(const QString& minusculas);

// True for the lines the xboard protocol defines as errors: "Error ...", "Illegal
// move ..." and "tellusererror ..." (lower case).
bool ErrorDelProtocolo(const QString& minusculas);

// True when the line (lower case) refuses the move sent: it names that move (lower
// case, as written to the engine) as a word of its own and says "illegal", "invalid",
// "unknown" or "error"; or, while the engine is to move (`esperaJugada`), it says
// "illegal", "invalid" or "unknown" with the word "move" or any move (coordinates,
// SAN), whichever. Thinking output (a line that begins with a digit), comments ("#"),
// "tell..." and "info" lines and warnings refuse nothing.
bool RechazaJugada(const QString& minusculas, const QString& jugada, bool esperaJugada);

// The move a text written to an engine ends with ("time 100\r\notim 90\r\ne2e4": "e2e4"),
// lower case; "" when the text ends with no move.
QString JugadaDelTexto(const QString& texto);

// An engine's line as a message quotes it: a NUL, where a message would end the line,
// is shown as "<NUL>".
QString Citar(const QString& linea);

struct Lectura {
    Clase clase = Clase::Ignorar;
    QString dato;
    Resultado resultado;                                // Resultado
    bool larga = false;                                 // Jugada: more than 16 characters
    std::optional<std::array<QString, 5>> pensamiento;  // depth, score, time, nodes, variation
};

// The line as the relay handed it over (no line end), the panel's state, and the move
// last written to the engine (lower case; "" none).
Lectura Analizar(const QString& linea, const Estado& estado, const QString& jugadaEnviada = {});

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
