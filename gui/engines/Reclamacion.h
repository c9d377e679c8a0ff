// Whether an engine's result line stands, without the window: a result an engine gives
// against itself stands, a win or a draw it claims stands only when the board bears it
// out (a mate, a stalemate, a draw by rule), or, for a draw, when the other side's offer
// waits. The draws by rule are read from the positions of the engine game kept here.
#pragma once

#include "engines/Respuesta.h"
#include "rules/variables.h"

#include <array>
#include <string>
#include <vector>

namespace rules {
class Reglas;
}

namespace reclamacion {

// What the board says when a result line arrives.
struct Tablero {
    std::string resultado;         // the board's result: "1-0", "0-1", "1/2-1/2", "" while the game goes on
    bool tablasPorRegla = false;   // a draw by material, fifty moves or threefold repetition
    bool ofertaPendiente = false;  // the other side's draw offer waits for the engine's answer
};

// The score a result line states: "1-0", "0-1" or "1/2-1/2".
std::string Marcador(const respuesta::Resultado& r);

// True when the result line of the engine playing `lado` stands.
bool Admitida(const respuesta::Resultado& r, int lado, const Tablero& tablero);

// Neither side has the pieces to mate: kings alone, or one knight or bishop beside them.
bool MaterialInsuficiente(const rules::Tablero& casillas);

// The positions of an engine game, from its start: what the draws by fifty moves and
// by repetition are read from. A position repeats with the same pieces on the same
// squares, the same side to move, the same castling rights and the same capture en
// passant possible (a double step no pawn can take, or may not take, gives no right).
class Historia {
public:
    // The game starts (or goes on) from the board's position.
    void Empezar(const rules::Reglas& tablero);
    // A move was played on the board.
    void Anotar(const rules::Reglas& tablero);
    // Moves were taken back.
    void Retirar(int jugadas);
    // A draw by material, by fifty moves without a capture or a pawn move, or by the
    // third repetition of the position on the board.
    bool TablasPorRegla(const rules::Reglas& tablero) const;

private:
    struct Posicion {
        rules::Tablero casillas{};
        int lado = 0;
        std::array<bool, 4> enroque{};
        int alPaso = 0;       // the file a pawn of the side to move may take on en passant, 0 none
        int reversibles = 0;  // moves since the last capture or pawn move
        bool operator==(const Posicion& o) const {
            return casillas == o.casillas && lado == o.lado && enroque == o.enroque && alPaso == o.alPaso;
        }
    };
    static Posicion Leer(const rules::Reglas& tablero);
    std::vector<Posicion> posiciones_;
};

}  // namespace reclamacion
