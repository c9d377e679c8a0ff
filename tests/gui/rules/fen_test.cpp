// FEN/EPD text: reading, refusals, writing and round trips.
#include <random>

#include <gtest/gtest.h>

#include "juego.h"
#include "legales.h"

namespace rules_test {
namespace {

TEST(Fen, RefusedTextsChangeNothing) {
    const char* const malos[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq",         // three fields
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq - 0 1",    // 63 squares
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNRR w KQkq - 0 1",  // 65 squares
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1",   // side
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR white KQkq - 0 1",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KX - 0 1",  // castling letter
        "4k3/8/8/8/8/8/8/4K2K w - - 0 1",                          // two White kings
        "8/8/8/8/8/8/8/4K3 w - - 0 1",                             // no Black king
        "P3k3/8/8/8/8/8/8/4K3 w - - 0 1",                          // pawn on rank 8
        "4k3/8/8/8/8/8/8/p3K3 w - - 0 1",                          // pawn on rank 1
        "4k3/4R3/8/8/8/8/8/4K3 w - - 0 1",                         // side not to move in check
        "",
        "   ",
    };
    for (const char* texto : malos) {
        rules::Reglas r;
        ASSERT_TRUE(Preparar(r, "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"));
        const rules::Variables antes = r.Estado();
        EXPECT_FALSE(r.LeerFen(texto)) << texto;
        EXPECT_EQ(r.Casillas, antes.Casillas) << texto;
        EXPECT_EQ(r.TurnoFichero, antes.TurnoFichero);
        EXPECT_EQ(r.AlPasoPosible, antes.AlPasoPosible);
        EXPECT_EQ(r.CasillaAlPaso, antes.CasillaAlPaso);
        EXPECT_EQ(r.AlPasoTexto, antes.AlPasoTexto);
        EXPECT_EQ(r.TorreH1Movida, antes.TorreH1Movida);
    }
}

TEST(Fen, PlacementCountsOnlyTheTotal) {
    rules::Reglas r;
    ASSERT_TRUE(r.LeerFen("k8/7/8/8/8/8/8/7K w - - 0 1"));
    EXPECT_EQ(r.Casillas[1][8], rules::ReyNegro);
    EXPECT_EQ(r.Casillas[8][1], rules::ReyBlanco);
}

TEST(Fen, SideAndCastlingFields) {
    struct Caso {
        const char* texto;
        int turno;
        bool a1, h1, a8, h8;  // lost
    };
    const Caso casos[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 1, false, false, false, false},
        {"r3k2r/8/8/8/8/8/8/R3K2R W qkQK - 0 1", 1, false, false, false, false},
        {"r3k2r/8/8/8/8/8/8/R3K2R B - - 0 1", 2, true, true, true, true},
        {"r3k2r/8/8/8/8/8/8/R3K2R b K- - 0 1", 2, true, false, true, true},
        {"r3k2r/8/8/8/8/8/8/R3K2R b  - 0 1", 2, true, true, true, true},
    };
    for (const auto& c : casos) {
        rules::Reglas r;
        r.TorreA1Movida = r.TorreH1Movida = r.TorreA8Movida = r.TorreH8Movida = true;
        ASSERT_TRUE(r.LeerFen(c.texto)) << c.texto;
        EXPECT_EQ(r.TurnoFichero, c.turno) << c.texto;
        EXPECT_EQ(r.TorreA1Movida, c.a1) << c.texto;
        EXPECT_EQ(r.TorreH1Movida, c.h1) << c.texto;
        EXPECT_EQ(r.TorreA8Movida, c.a8) << c.texto;
        EXPECT_EQ(r.TorreH8Movida, c.h8) << c.texto;
    }
}

TEST(Fen, EnPassantFieldIsKeptOnlyWhenItFits) {
    struct Caso {
        const char* texto;
        int casilla;  // 0: no en-passant right
        const char* alPasoTexto;
    };
    const Caso casos[] = {
        {"4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1", 54, "e3"}, {"4k3/8/8/4p3/8/8/8/4K3 w - E6 0 1", 55, "E6"},
        {"4k3/8/8/8/4P3/8/8/4K3 b - - 0 1", 0, ""},     {"4k3/8/8/8/4P3/8/8/4K3 b - e4 0 1", 0, ""},  // wrong rank
        {"4k3/8/8/8/4P3/8/8/4K3 b - i3 0 1", 0, ""},                                                  // no such file
        {"4k3/8/8/8/4P3/8/8/4K3 w - e3 0 1", 0, ""},    // wrong side to move
        {"4k3/8/8/8/3P4/8/8/4K3 b - e3 0 1", 0, ""},    // no pawn in front of it
        {"4k3/8/8/8/4P3/4N3/8/4K3 b - e3 0 1", 0, ""},  // the square passed over is taken
        {"4k3/8/8/8/4P3/8/4N3/4K3 b - e3 0 1", 0, ""},  // so is its start square
    };
    for (const auto& c : casos) {
        rules::Reglas r;
        ASSERT_TRUE(r.LeerFen(c.texto)) << c.texto;
        EXPECT_EQ(r.AlPasoPosible, c.casilla != 0) << c.texto;
        EXPECT_EQ(r.AlPasoCaduca, c.casilla != 0) << c.texto;
        EXPECT_EQ(r.CasillaAlPaso, c.casilla) << c.texto;
        EXPECT_EQ(r.AlPasoTexto, c.alPasoTexto) << c.texto;
    }
}

TEST(Fen, Writing) {
    rules::Reglas r;
    ASSERT_TRUE(Preparar(r, kInicial));
    r.EscribirFen();
    EXPECT_EQ(r.TextoFen, kInicial);
    Jugar(r, "e2e4");
    r.EscribirFen();
    EXPECT_EQ(r.TextoFen, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    ASSERT_TRUE(Preparar(r, "4k3/8/8/8/8/8/8/4K3 w - - 0 1"));
    r.EscribirFen();
    EXPECT_EQ(r.TextoFen, "4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    r.AlPasoPosible = true;
    r.CasillaAlPaso = 54;
    r.EscribirFen();
    EXPECT_EQ(r.TextoFen, "4k3/8/8/8/8/8/8/4K3 w - e3 0 1");
    r.Turno = 0;
    r.NotacionNegras = true;
    r.AlPasoPosible = false;
    r.EscribirFen();
    EXPECT_EQ(r.TextoFen, "4k3/8/8/8/8/8/8/4K3 b - - 0 1");
    EXPECT_EQ(rules::Reglas::LetraPiezaFen(0), ".");
    EXPECT_EQ(rules::Reglas::LetraPiezaFen(13), ".");
}

TEST(Fen, ParsingAloneTouchesNothing) {
    rules::Reglas r;
    ASSERT_TRUE(Preparar(r, kInicial));
    const rules::Variables antes = r.Estado();
    auto p = r.AnalizarFen("4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->Turno, 2);
    EXPECT_EQ(p->CasillaAlPaso, 54);
    EXPECT_EQ(p->Casillas[5][4], rules::PeonBlanco);
    EXPECT_EQ(r.Casillas, antes.Casillas);
    EXPECT_EQ(r.TurnoFichero, antes.TurnoFichero);
}

// Positions of random games read back exactly as they were written.
TEST(Fen, RoundTripsOfPlayedPositions) {
    std::mt19937 azar(7);
    int posiciones = 0;
    for (int partida = 0; partida < 8; ++partida) {
        rules::Reglas r;
        ASSERT_TRUE(Preparar(r, kInicial));
        for (int ply = 0; ply < 40; ++ply) {
            auto jugadas = JugadasAceptadas(r);
            if (jugadas.empty()) break;
            ASSERT_TRUE(Hacer(r, jugadas[azar() % jugadas.size()].uci));
            r.EscribirFen();
            const std::string texto = r.TextoFen;
            rules::Reglas otra;
            ASSERT_TRUE(Preparar(otra, texto)) << texto;
            EXPECT_EQ(otra.Casillas, r.Casillas) << texto;
            EXPECT_EQ(otra.Turno, r.Turno) << texto;
            EXPECT_EQ(otra.AlPasoPosible, r.AlPasoPosible) << texto;
            if (r.AlPasoPosible) {
                EXPECT_EQ(otra.CasillaAlPaso, r.CasillaAlPaso) << texto;
            }
            otra.EscribirFen();
            EXPECT_EQ(otra.TextoFen, texto);
            ++posiciones;
        }
    }
    EXPECT_GT(posiciones, 250);
}

}  // namespace
}  // namespace rules_test
