// Move-tree counts of well-known positions: every leaf is a move ValidarMovimiento
// accepted, and the checks and mates among them come from its flags.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "juego.h"
#include "legales.h"

namespace rules_test {
namespace {

struct CasoPerft {
    const char* nombre;
    const char* fen;
    int profundidad;
    std::uint64_t nodos;
    std::int64_t jaques;  // -1: not checked
    std::int64_t mates;
};

Cuenta Contar(const CasoPerft& caso) {
    FakeHost host;
    host.pgnVisible = true;  // no move texts: only the record grows
    rules::Reglas r(&host);
    EXPECT_TRUE(Preparar(r, caso.fen)) << caso.fen;
    return Perft(r, caso.profundidad);
}

void Comprobar(const CasoPerft& caso) {
    Cuenta c = Contar(caso);
    EXPECT_EQ(c.nodos, caso.nodos) << caso.nombre << " depth " << caso.profundidad;
    if (caso.jaques >= 0) {
        EXPECT_EQ(std::int64_t(c.jaques), caso.jaques) << caso.nombre;
    }
    if (caso.mates >= 0) {
        EXPECT_EQ(std::int64_t(c.mates), caso.mates) << caso.nombre;
    }
}

const char* const kKiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
const char* const kFinal = "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1";
const char* const kPromociones = "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1";
const char* const kCaballoEnF2 = "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8";
const char* const kMedioJuego = "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10";

TEST(Perft, ShallowTreesOfKnownPositions) {
    for (const CasoPerft& caso : {
             CasoPerft{"start", kInicial, 2, 400, 0, 0},
             CasoPerft{"kiwipete", kKiwipete, 2, 2039, 3, 0},
             CasoPerft{"endgame", kFinal, 3, 2812, -1, -1},
             CasoPerft{"promotions", kPromociones, 2, 264, -1, -1},
             CasoPerft{"knight on f2", kCaballoEnF2, 2, 1486, -1, -1},
             CasoPerft{"middlegame", kMedioJuego, 2, 2079, -1, -1},
         })
        Comprobar(caso);
}

TEST(PerftSlow, DeeperTreesOfKnownPositions) {
    for (const CasoPerft& caso : {
             CasoPerft{"start", kInicial, 4, 197281, 469, 8},
             CasoPerft{"kiwipete", kKiwipete, 3, 97862, 993, 1},
             CasoPerft{"endgame", kFinal, 4, 43238, 1680, 17},
             CasoPerft{"promotions", kPromociones, 3, 9467, -1, -1},
             CasoPerft{"knight on f2", kCaballoEnF2, 3, 62379, -1, -1},
         })
        Comprobar(caso);
}

}  // namespace
}  // namespace rules_test
