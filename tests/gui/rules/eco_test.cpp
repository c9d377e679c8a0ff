// Every game of the ECO file replays through the SAN reader, and the engine, making the
// same moves, reaches the same position.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "juego.h"
#include "legales.h"
#include "orvik_referencia.h"
#include "pgn_partidas.h"

namespace rules_test {
namespace {

// A JugadaCodificada ("5254", "57585") in coordinates.
std::string Uci(const std::string& codificada) {
    std::string s{char('a' + codificada[0] - '1'), codificada[1], char('a' + codificada[2] - '1'), codificada[3]};
    if (codificada.size() > 4) s += "?rnbq"[std::stoi(codificada.substr(4)) % 6 - 1];
    return s;
}

// Replays every game; with cadaPosicion the legal moves are compared with the engine's
// in every position on the way, else at the end of every tenth game.
void Reproducir(bool cadaPosicion) {
    const auto partidas = LeerPartidasPgn(std::string(TAVORIN_TEST_DATA) + "/eco.pgn");
    ASSERT_EQ(partidas.size(), 2014u);
    size_t medias = 0;
    FakeHost host;
    host.pgnVisible = true;
    rules::Reglas r(&host);
    for (size_t i = 0; i < partidas.size(); ++i) {
        const PartidaPgn& p = partidas[i];
        ASSERT_TRUE(Preparar(r, kInicial));
        r.Turno = 0;
        r.PgnJugadas.clear();
        int lado = OrvikPosicion(kInicial);
        for (const std::string& token : p.tokens) {
            if (cadaPosicion) {
                r.Turno = lado + 1;
                std::set<std::string> propias;
                for (const auto& j : JugadasAceptadas(r)) propias.insert(j.uci);
                ASSERT_EQ(propias, OrvikJugadas(lado)) << "game " << i << " before " << token;
                r.Turno = 0;
            }
            r.ErrorPgn = false;
            r.ComFicha(token, lado + 1);
            ASSERT_FALSE(r.ErrorPgn) << "game " << i << " (" << p.eco << ") token " << token << ": "
                                     << host.mensajes.back().texto;
            ASSERT_TRUE(OrvikHacer(lado, Uci(r.PgnJugadas.back()))) << "game " << i << " token " << token;
            lado = 1 - lado;
        }
        ASSERT_EQ(r.PgnJugadas.size(), p.tokens.size()) << "game " << i;
        ASSERT_EQ(DiferenciaConOrvik(r), "") << "game " << i << " (" << p.eco << ")";
        medias += p.tokens.size();
        if (!cadaPosicion && i % 10 != 0) continue;
        r.Turno = lado + 1;
        std::set<std::string> propias;
        for (const auto& j : JugadasAceptadas(r)) propias.insert(j.uci);
        ASSERT_EQ(propias, OrvikJugadas(lado)) << "game " << i;
    }
    EXPECT_TRUE(host.mensajes.empty());
    EXPECT_GT(medias, 20000u);
}

TEST(Eco, EveryGameReplaysToTheEnginesPosition) { Reproducir(false); }

TEST(EcoSlow, EveryPositionOfEveryGameHasTheEnginesMoves) { Reproducir(true); }

}  // namespace
}  // namespace rules_test
