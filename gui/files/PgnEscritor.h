// The text of a PGN file as Tavorin writes it: the move text from the English move
// box, the tag lines, and the result of the game on the board. Plain C++.
#pragma once

#include <array>
#include <string>

namespace rules {
class Reglas;
}

namespace pgn {

// The move text from the English move box (one half-move a line, White's as
// "n. move", Black's after 18 blanks, CR LF ends): moves joined by blanks, a line
// break once a line has reached 71 characters, "#" for the box's mate mark "++" and
// no en-passant mark. Ends with a blank or a line break, ready for the result.
std::string TextoJugadas(const std::string& cajaIngles);

// A tag value with "\" and double quotes escaped.
std::string EscaparValor(const std::string& valor);

// The whole file: seven tag lines (Event, Site, Date, Round, White, Black from the
// six fields, Result), an empty line, the move text and the result; CR LF ends.
std::string TextoFichero(const std::array<std::string, 6>& campos, const std::string& resultado,
                         const std::string& jugadas);

// The result of the game on the board when it has ended: "1-0" or "0-1" after a
// checkmate, "1/2-1/2" after a stalemate, "" otherwise. The side to move follows
// from the number of half-moves in the English box.
std::string ResultadoDelTablero(const rules::Reglas& partida);

// The result the game on the board ended with: the one recorded at its end (a
// resignation, an agreed draw, a flag fall), else the board's; "" while it runs.
std::string ResultadoDePartida(const rules::Reglas& partida);

// Who plays the game on the board, as the program knows it.
struct Jugadores {
    bool conectado = false;      // a game with the peer
    std::string miColor;         // the local player's colour: "Blancas", "Negras" or ""
    std::string nick;            // the local player's nick
    std::string nickRival;       // the peer's nick, "" when not known
    std::string colorFinal;      // the local colour of an ended game with the peer still on the board
    bool panelMotores = false;   // the engine panel is open
    std::string motor1, motor2;  // its engines for White and Black, "" for a person
};
// The values of the White and Black tags: a person by the nick, an engine by its
// name, "?" where no name is known (the second person at one board, a peer that
// gave no nick, a game with no colours).
std::array<std::string, 2> NombresJugadores(const Jugadores& j);

}  // namespace pgn
