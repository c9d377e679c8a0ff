// Check, checkmate and stalemate after a move.
#include <gtest/gtest.h>

#include "juego.h"
#include "legales.h"

namespace rules_test {
namespace {

struct CasoJaque {
    const char* nombre;
    const char* fen;
    std::vector<std::string> jugadas;  // the last one is judged
    bool jaque, mate, ahogado;
};

TEST(Jaque, FlagsAfterTheMove) {
    const CasoJaque casos[] = {
        {"fool's mate", kInicial, {"f2f3", "e7e5", "g2g4", "d8h4"}, true, true, false},
        {"plain check", "4k3/8/8/8/8/8/8/R3K3 w - - 0 1", {"a1a8"}, true, false, false},
        {"quiet move", kInicial, {"e2e4"}, false, false, false},
        {"only blocker is pinned", "7k/7p/4N3/4b3/8/8/R7/B3K3 w - - 0 1", {"a2a8"}, true, true, false},
        {"an unpinned knight blocks", "7k/1n5p/4N3/4b3/8/8/R7/B3K3 w - - 0 1", {"a2a8"}, true, false, false},
        {"knight check taken by a pawn", "k7/8/8/8/4n3/8/6PP/6RK b - - 0 1", {"e4g3"}, true, false, false},
        {"blocked by a double step", "r1k5/8/8/6PP/7K/7P/4P3/5n2 b - - 0 1", {"a8a4"}, true, false, false},
        {"double step blocked itself", "r1k5/8/8/6PP/7K/4p2P/4P3/5n2 b - - 0 1", {"a8a4"}, true, true, false},
        {"double check", "3qkb2/3p1p2/8/8/4N3/8/8/4R1K1 w - - 0 1", {"e4d6"}, true, true, false},
        {"discovered checker can be taken", "r3kb2/4pp2/2N5/8/B7/8/8/3R2K1 w - - 0 1", {"c6d8"}, true, false, false},
        {"discovered checker out of reach", "r3kb2/4pp2/2N5/p7/B7/8/8/3R2K1 w - - 0 1", {"c6d8"}, true, true, false},
        {"stalemate in the corner", "7k/8/6K1/8/8/8/5Q2/8 w - - 0 1", {"f2f7"}, false, false, true},
        {"only pawn captures are left", "7k/4K1pp/6PP/8/8/8/8/8 w - - 0 1", {"e7f7"}, false, false, false},
        {"only en passant is left", "k7/2Q5/8/8/5p2/5P2/6P1/7K w - - 0 1", {"g2g4"}, false, false, false},
        {"no en passant, stalemate", "k7/2Q5/8/8/5p2/5P2/6P1/7K w - - 0 1", {"h1h2"}, false, false, true},
        {"mate by promotion", "7k/4P3/6K1/8/8/8/8/8 w - - 0 1", {"e7e8q"}, true, true, false},
    };
    for (const auto& c : casos) {
        rules::Reglas r;
        ASSERT_TRUE(Preparar(r, c.fen)) << c.nombre;
        ASSERT_EQ(JugarVarias(r, {c.jugadas.begin(), c.jugadas.end() - 1}), c.jugadas.size() - 1) << c.nombre;
        Resultado res = Jugar(r, c.jugadas.back());
        ASSERT_TRUE(res.valido) << c.nombre;
        EXPECT_EQ(res.jaque, c.jaque) << c.nombre;
        EXPECT_EQ(res.mate, c.mate) << c.nombre;
        EXPECT_EQ(res.ahogado, c.ahogado) << c.nombre;
        // The side now to move agrees: no move left exactly when mated or stalemated.
        EstadoLado e = EstadoDelLado(r);
        EXPECT_EQ(e.jaque, c.jaque) << c.nombre;
        EXPECT_EQ(e.mate, c.mate) << c.nombre;
        EXPECT_EQ(e.ahogado, c.ahogado) << c.nombre;
    }
}

TEST(Jaque, CheckersAreListedInScanOrder) {
    rules::Reglas r;
    ASSERT_TRUE(Preparar(r, "3qkb2/3p1p2/8/8/4N3/8/8/4R1K1 w - - 0 1"));
    PonerMovimiento(r, "e4d6");
    r.ValidarMovimiento();
    ASSERT_TRUE(r.MovimientoValido);
    EXPECT_EQ(r.CasillasAtacantes, "5146");
}

TEST(Jaque, AttackMapMarksTheLineToTheKing) {
    rules::Reglas r;
    ASSERT_TRUE(Preparar(r, "3k4/8/8/8/8/8/8/4K3 w - - 0 1"));
    r.Casillas[4][4] = rules::TorreBlanca;  // the rook gives check
    r.CasillasPrueba = r.Casillas;
    r.JaquePropio = false;
    r.AtaqueLineas(4, 4, rules::ReyNegro);
    EXPECT_TRUE(r.JaquePropio);
    for (int y : {5, 6, 7}) EXPECT_EQ(r.CasillasPrueba[4][y], -1) << y;
    EXPECT_EQ(r.CasillasPrueba[4][8], rules::ReyNegro);
}

TEST(Jaque, ReachTestsFindTheFirstPieceInTheirOrder) {
    rules::Reglas r;
    ASSERT_TRUE(Preparar(r, "4k3/8/8/R7/8/2K5/8/R6R w - - 0 1"));
    r.CasillasPrueba = r.Casillas;
    r.CasillasPrueba[1][1] = 0;
    r.PiezaEncontrada = false;
    r.AlcanceTorre(1, 1, rules::TorreBlanca);
    EXPECT_TRUE(r.PiezaEncontrada);
    EXPECT_EQ(r.XEncontrada + r.YEncontrada, "15");  // up the file first
    // A piece of that code behind another piece is not found.
    ASSERT_TRUE(Preparar(r, "4k3/8/8/8/8/8/8/RN2K2R w - - 0 1"));
    r.CasillasPrueba = r.Casillas;
    r.PiezaEncontrada = false;
    r.AlcanceTorre(4, 1, rules::TorreBlanca);
    EXPECT_FALSE(r.PiezaEncontrada);
    // Knight jumps off the board are ignored.
    r.PiezaEncontrada = false;
    r.AlcanceCaballo(2, 1, rules::CaballoBlanco);
    EXPECT_FALSE(r.PiezaEncontrada);
}

}  // namespace
}  // namespace rules_test
