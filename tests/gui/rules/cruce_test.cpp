// Cross-check against the engine's move generator, written separately: in positions
// reached by random games, the moves ValidarMovimiento accepts (each validated for real
// on a saved copy of the state) are the engine's legal moves, the check, mate and
// stalemate flags of every move agree with the engine's verdict, and both boards stay
// the same square by square, castling rights included.
#include <random>

#include <gtest/gtest.h>

#include "fake_host.h"
#include "juego.h"
#include "legales.h"
#include "orvik_referencia.h"

namespace rules_test {
namespace {

struct Totales {
    int posiciones = 0, jugadas = 0, jaques = 0, mates = 0, ahogados = 0;
};

void Partidas(const char* fen, unsigned semilla, int partidas, int plies, Totales& t) {
    std::mt19937 azar(semilla);
    for (int p = 0; p < partidas; ++p) {
        FakeHost host;
        host.pgnVisible = true;
        rules::Reglas r(&host);
        ASSERT_TRUE(Preparar(r, fen)) << fen;
        int lado = OrvikPosicion(fen);
        ASSERT_EQ(lado, r.Turno - 1) << fen;
        for (int ply = 0; ply < plies; ++ply) {
            r.EscribirFen();
            const std::string posicion = r.TextoFen;
            const auto aceptadas = JugadasAceptadas(r, ply % 8 == 0);
            std::set<std::string> propias;
            for (const auto& j : aceptadas) propias.insert(j.uci);
            ASSERT_EQ(propias, OrvikJugadas(lado)) << posicion;
            ++t.posiciones;
            for (const auto& j : aceptadas) {
                const Veredicto v = OrvikTrasJugada(lado, j.uci);
                ASSERT_EQ(j.jaque, v.jaque) << posicion << " " << j.uci;
                ASSERT_EQ(j.mate, v.mate) << posicion << " " << j.uci;
                ASSERT_EQ(j.ahogado, v.ahogado) << posicion << " " << j.uci;
                ++t.jugadas;
                t.jaques += j.jaque;
                t.mates += j.mate;
                t.ahogados += j.ahogado;
            }
            if (aceptadas.empty()) break;
            // Checks and captures come up more often than by pure chance.
            std::vector<JugadaAceptada> preferidas;
            for (const auto& j : aceptadas)
                if (j.jaque || j.mate || j.ahogado) preferidas.push_back(j);
            const auto& elegidas = (!preferidas.empty() && azar() % 3 == 0) ? preferidas : aceptadas;
            const std::string uci = elegidas[azar() % elegidas.size()].uci;
            ASSERT_TRUE(Hacer(r, uci)) << posicion << " " << uci;
            ASSERT_TRUE(OrvikHacer(lado, uci)) << posicion << " " << uci;
            lado = 1 - lado;
            ASSERT_EQ(DiferenciaConOrvik(r), "") << posicion << " " << uci;
            ASSERT_EQ(OrvikEnJaque(lado), EstadoDelLado(r).jaque) << posicion << " " << uci;
        }
    }
}

const char* const kPosiciones[] = {
    kInicial,
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "4k3/1P6/8/8/8/8/6p1/4K2R w K - 0 1",
};

TEST(Cruce, RandomGamesAgreeWithTheEngine) {
    Totales t;
    unsigned semilla = 1;
    for (const char* fen : kPosiciones) Partidas(fen, semilla++, 2, 60, t);
    EXPECT_GT(t.posiciones, 500);
    EXPECT_GT(t.jaques, 50);
    RecordProperty("positions", t.posiciones);
    RecordProperty("moves", t.jugadas);
}

TEST(CruceSlow, ThousandsOfRandomPositionsAgreeWithTheEngine) {
    Totales t;
    unsigned semilla = 100;
    for (int vuelta = 0; vuelta < 8; ++vuelta)
        for (const char* fen : kPosiciones) Partidas(fen, semilla++, 6, 120, t);
    EXPECT_GT(t.posiciones, 20000);
    EXPECT_GT(t.mates, 0);
    EXPECT_GT(t.ahogados, 0);
    std::printf("cross-check: %d positions, %d moves, %d checks, %d mates, %d stalemates\n", t.posiciones, t.jugadas,
                t.jaques, t.mates, t.ahogados);
}

}  // namespace
}  // namespace rules_test
