// Every game of the ECO file replays through the SAN reader.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "juego.h"
#include "pgn_partidas.h"

namespace rules_test {
namespace {

TEST(Eco, EveryGameReplaysThroughTheSanReader) {
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
        int lado = 1;
        for (const std::string& token : p.tokens) {
            r.ErrorPgn = false;
            r.ComFicha(token, lado);
            ASSERT_FALSE(r.ErrorPgn) << "game " << i << " (" << p.eco << ") token " << token << ": "
                                     << host.mensajes.back().texto;
            lado = 3 - lado;
        }
        EXPECT_EQ(r.PgnJugadas.size(), p.tokens.size()) << "game " << i;
        medias += p.tokens.size();
    }
    EXPECT_TRUE(host.mensajes.empty());
    EXPECT_GT(medias, 20000u);
}

}  // namespace
}  // namespace rules_test
