// The grammar of what a peer sends to Tavorin: every message of the TVP protocol, whole
// and broken (fields out of range, cut, joined, mutated bytes, junk, floods of one
// request, free text that holds keywords, lines too long), framed as a current copy
// frames them or as an old one sends them, in arrivals cut at random. A run first
// brings the link to one of its states (not connected, linked, a game offered, a rated
// game, this side waiting for an answer, the game over), then mixes the peer's
// arrivals with what the person at this board does. A question of this side may stay
// open while messages of the peer arrive (they may end or replace the game it asks
// about).
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace peerfuzz {

enum class Estado {
    SinConexion,
    Enlazado,
    Ofrecida,
    Puntuable,
    EsperandoRespuesta,
    Terminada,
    TrasBandera,  // a rated game that a flag ended
    TrasMate,     // a rated game that a mate ended
    SinPuntuar,   // a game without clocks
};
inline constexpr int kEstados = 9;
const char* Nombre(Estado e);

// One step of a run.
struct Paso {
    enum class Tipo {
        Llegada,      // bytes of the peer, one arrival (`texto`)
        Corte,        // the wait for a cut message ends: what is held is taken as it is
        JugadaRival,  // a legal move of the peer, as a copy sends it ("Movimiento ...")
        JugadaLocal,  // a legal move of this side, dragged on the board, when it is to move
        Retroceso,    // the take-back command
        Tablas,       // the draw-offer command
        Rendirse,     // the resign command
        Proponer,     // the new-game dialog: colour `a` (1 White, 2 Black), rated `b`, minutes `c`
        Abrir,        // the open command on a file of the folder: `a` 0 a game file, 1 an EPD list
        Chat,         // a chat line typed (`texto`)
        Reloj,        // the clock source goes on `a` milliseconds
        Enviar,       // the sender sends up to `a` messages
        Desconectar,  // the disconnect command
        Arrastrar,    // a move of this side dragged on the board (`texto`, "e2e4")
    };
    Tipo tipo = Tipo::Llegada;
    std::string texto;
    int a = 0, b = 0, c = 0;
    // The answer to the questions this step raises: 0 as the run's rule says, 6 Yes, 7 No.
    int respuesta = 0;
    // Arrivals of the peer read while this step's question is open, before its answer.
    std::vector<std::string> durante;
};

struct Ejecucion {
    Estado estado = Estado::Enlazado;
    int siPorMil = 500;  // share of questions answered Yes, per thousand
    std::vector<Paso> pasos;
    std::size_t mensajes = 0;  // whole messages of the peer in its arrivals
};

// The random source of run `n` of seed `semilla`: a run is made from these alone.
inline std::mt19937_64 Azar(std::uint64_t semilla, std::uint64_t n) { return std::mt19937_64(semilla * 1000003u + n); }

// Makes a run.
Ejecucion Generar(std::mt19937_64& azar);

// A run as text, one step a line (arrivals with their bytes escaped).
std::string Texto(const Ejecucion& e);

// The message kinds the grammar makes, by keyword (for its tests).
std::vector<std::string> Palabras();
// One message of the peer as the grammar makes it, before framing and cutting.
std::string Mensaje(std::mt19937_64& azar, Estado estado);

}  // namespace peerfuzz
