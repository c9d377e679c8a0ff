// The file fuzzer's generator: a case replays alone from its seed and number (its word
// on the worker's line tells the worker all of it), sizes stay within their ceilings,
// and the files before mutation are files Tavorin reads all the way (every PGN move
// plays, every EPD line is a position, every .tvp token reads), so that the mutations
// reach past the first check.
#include "mutador.h"

#include "files/PgnLector.h"
#include "files/TvpTexto.h"
#include "rules/reglas.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace fuzz_ficheros;

TEST(FileFuzz, ACaseReplaysFromItsSeedAndNumber) {
    std::set<std::string> distintos;
    std::array<int, kClases> clases{};
    int enteros = 0;
    const Limites limites;
    for (size_t n = 0; n < 120; ++n) {
        const Caso a = HacerCaso(11, n), b = HacerCaso(11, n);
        ASSERT_EQ(a.contenido, b.contenido) << n;
        ASSERT_EQ(a.clase, b.clase) << n;
        ASSERT_EQ(a.semillaAcciones, b.semillaAcciones) << n;
        EXPECT_LE(a.contenido.size(), limites.tamanoRaro) << n;
        Caso leido;
        ASSERT_TRUE(DePalabra(Palabra(a), leido)) << Palabra(a);
        EXPECT_EQ(Palabra(leido), Palabra(a));
        EXPECT_EQ(Aparte(leido), Aparte(a)) << Palabra(a);
        distintos.insert(Palabra(a) + " " + std::to_string(a.semillaAcciones) + " " + a.contenido);
        ++clases[size_t(a.clase)];
        if (a.contenido.size() <= limites.tamanoMaximo) ++enteros;
    }
    EXPECT_EQ(distintos.size(), 120u);
    for (int c : clases) EXPECT_GT(c, 0);
    EXPECT_GT(enteros, 110);
    EXPECT_NE(HacerCaso(11, 7).contenido, HacerCaso(12, 7).contenido);
}

TEST(FileFuzz, UnmutatedPgnGamesPlayToTheirEnd) {
    int jugadas = 0;
    for (int semilla = 0; semilla < 40; ++semilla) {
        std::mt19937_64 azar(semilla);
        const std::string texto = PgnBase(azar);
        pgn::Indice indice;
        indice.Construir(texto);
        ASSERT_FALSE(indice.Partidas().empty()) << semilla;
        for (const auto& e : indice.Partidas()) {
            const pgn::Partida p = pgn::LeerPartida(std::string_view(texto).substr(e.inicio, e.fin - e.inicio));
            if (p.conFen) continue;
            rules::Reglas r;
            r.VariablesCero();
            r.LeerFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
            r.AlPasoPosible = false;
            r.CasillaAlPaso = 0;
            r.Turno = 0;
            const auto lineas = pgn::SepararJugadas(p.textoJugadas);
            for (size_t i = 0; i < lineas.size(); ++i) {
                r.ComFicha(pgn::JugadaDeLinea(lineas[i], i % 2 == 0), i % 2 == 0 ? 1 : 2);
                ASSERT_FALSE(r.ErrorPgn) << semilla << ": " << lineas[i];
            }
            EXPECT_EQ(r.PgnJugadas.size(), lineas.size()) << semilla;
            jugadas += int(lineas.size());
        }
    }
    EXPECT_GT(jugadas, 1000);
}

TEST(FileFuzz, UnmutatedEpdAndTvpFilesRead) {
    for (int semilla = 0; semilla < 40; ++semilla) {
        std::mt19937_64 azar(semilla);
        const rules::Reglas r;
        const std::vector<QString> lineas = tvp::Lineas(QByteArray::fromStdString(EpdBase(azar)));
        ASSERT_FALSE(lineas.empty());
        for (const QString& l : lineas) EXPECT_TRUE(r.AnalizarFen(l.toStdString())) << l.toStdString();

        const std::vector<QString> tokens = tvp::Tokens(QByteArray::fromStdString(TvpBase(azar)));
        ASSERT_GE(tokens.size(), 3u) << semilla;
        EXPECT_TRUE(tvp::LeerReloj(tokens[0]));
        EXPECT_TRUE(tvp::LeerReloj(tokens[1]));
        EXPECT_TRUE(tokens[2] == "R" || tokens[2] == "A");
        for (size_t i = 3; i < tokens.size(); ++i)
            EXPECT_TRUE(tokens[i].isEmpty() || tvp::LeerJugada(tokens[i])) << tokens[i].toStdString();
    }
}

}  // namespace
