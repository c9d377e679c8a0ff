// Taking back moves on the game state: the move records the rules write, read back;
// the pieces, rights, en-passant state, texts, numbering and turn restored; and the
// property that playing a move and taking it back gives back the position before it.
#include "shell/Retroceso.h"

#include "juego.h"
#include "legales.h"
#include "propiedad_retroceso.h"

#include <gtest/gtest.h>

namespace {

using rules_test::En;
using rules_test::Jugar;
using rules_test::kInicial;
using rules_test::Preparar;

TEST(RegistroJugada, RecordsReadBackIntoTheirParts) {
    struct Caso {
        const char* texto;
        bool valido;
        char clase;
        int k, p, s, q;
        const char* torres;  // "" when the record carries none
    };
    const Caso casos[] = {
        {"5254", true, 0, -1, 0, 0, 0, ""},
        {"5171e3", true, 'e', 3, 0, 0, 0, ""},
        {"5171e3r0000", true, 'e', 3, 0, 0, 0, "0000"},
        {"5546p45", true, 'p', -1, 0, 45, 0, ""},
        {"7788c1x8", true, 'c', -1, 8, 0, 1, ""},
        {"7788c1x8r0000", true, 'c', -1, 8, 0, 1, "0000"},
        {"2171c7", true, 'c', -1, 0, 0, 7, ""},
        {"5152t2", true, 't', 2, 0, 0, 0, ""},
        {"5152t3r0000", true, 't', 3, 0, 0, 0, "0000"},
        {"5162x3t0", true, 'x', 0, 3, 0, 0, ""},
        {"1113r0110", true, 0, -1, 0, 0, 0, "0110"},  // "r" right after the squares: a plain move
        {"3388x8r0000", true, 'x', -1, 8, 0, 0, "0000"},
        {"5254x12", true, 'x', -1, 12, 0, 0, ""},
        // Not records: nothing is done with them.
        {"0000", false, 0, 0, 0, 0, 0, ""},
        {"", false, 0, 0, 0, 0, 0, ""},
        {"525", false, 0, 0, 0, 0, 0, ""},
        {"5294", false, 0, 0, 0, 0, 0, ""},
        {"5252", false, 0, 0, 0, 0, 0, ""},
        {"5254x", false, 0, 0, 0, 0, 0, ""},
        {"5254x13", false, 0, 0, 0, 0, 0, ""},
        {"5254t4", false, 0, 0, 0, 0, 0, ""},
        {"5254p9", false, 0, 0, 0, 0, 0, ""},
        {"5254p49", false, 0, 0, 0, 0, 0, ""},
        {"5254q1", false, 0, 0, 0, 0, 0, ""},
        {"5254r012", false, 0, 0, 0, 0, 0, ""},
        {"5254r0120", false, 0, 0, 0, 0, 0, ""},
        {"5254 ", false, 0, 0, 0, 0, 0, ""},
        {"a2a4", false, 0, 0, 0, 0, 0, ""},
    };
    for (const Caso& c : casos) {
        const auto r = retroceso::Leer(c.texto);
        ASSERT_EQ(r.has_value(), c.valido) << c.texto;
        if (!r) continue;
        EXPECT_EQ(r->clase, c.clase) << c.texto;
        EXPECT_EQ(r->k, c.k) << c.texto;
        EXPECT_EQ(r->p, c.p) << c.texto;
        EXPECT_EQ(r->s, c.s) << c.texto;
        EXPECT_EQ(r->q, c.q) << c.texto;
        std::string torres;
        if (r->torres)
            for (bool t : *r->torres) torres += t ? '1' : '0';
        EXPECT_EQ(torres, c.torres) << c.texto;
    }
}

using propiedad::Torres;

// Hand-made records on a board set up from FEN, taken back once each.
TEST(Retroceso, EachKindOfRecordPutsThePiecesAndRightsBack) {
    struct Caso {
        const char* fen;     // the position after the move
        const char* torres;  // flags after the move
        const char* registro;
        std::vector<std::pair<const char*, int>> piezas;  // squares after the take-back
        const char* torresDespues;
    };
    using rules::PeonBlanco, rules::PeonNegro, rules::TorreBlanca, rules::TorreNegra, rules::ReyBlanco, rules::ReyNegro,
        rules::Vacia, rules::DamaBlanca;
    const Caso casos[] = {
        // e2e4
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1",
         "0000",
         "5254",
         {{"e2", PeonBlanco}, {"e4", Vacia}},
         "0000"},
        // White's O-O: the rook back on h1, the king on e1, both rights back.
        {"rnbqk2r/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1RK1 b kq - 0 1",
         "1100",
         "5171e3",
         {{"e1", ReyBlanco}, {"h1", TorreBlanca}, {"f1", Vacia}, {"g1", Vacia}},
         "0000"},
        // Black's O-O-O.
        {"2kr4/8/8/8/8/8/8/4K3 w - - 0 1",
         "1111",
         "5838e1",
         {{"e8", ReyNegro}, {"a8", TorreNegra}, {"d8", Vacia}},
         "1101"},
        // exd6 en passant: the White pawn on e5, a Black pawn on d5.
        {"4k3/8/3P4/8/8/8/8/4K3 b - - 0 1",
         "1111",
         "5546p45",
         {{"e5", PeonBlanco}, {"d5", PeonNegro}, {"d6", Vacia}},
         "1111"},
        // ...exf3 en passant by Black.
        {"4k3/8/8/8/8/5p2/8/4K3 w - - 0 1",
         "1111",
         "5463p64",
         {{"e4", PeonNegro}, {"f4", PeonBlanco}, {"f3", Vacia}},
         "1111"},
        // g7xh8=Q taking a rook: a White pawn back on g7, the rook back on h8.
        {"4k2Q/8/8/8/8/8/8/4K3 b - - 0 1", "1111", "7788c1x8", {{"g7", PeonBlanco}, {"h8", TorreNegra}}, "1111"},
        // g7-g8=Q: the promotion square is emptied.
        {"4k1Q1/8/8/8/8/8/8/4K3 b - - 0 1", "1111", "7778c1", {{"g7", PeonBlanco}, {"g8", Vacia}}, "1111"},
        // A king that had only its h-side right gets exactly that one back.
        {"4k3/8/8/8/8/8/8/R4K1R b - - 0 1", "1111", "5161t2", {{"e1", ReyBlanco}, {"f1", Vacia}}, "1011"},
        // A king with no right left gets none back.
        {"4k3/8/8/8/8/8/8/R4K1R b - - 0 1", "1111", "5161t0", {{"e1", ReyBlanco}}, "1111"},
        // A king capture with both rights before it.
        {"4k3/8/8/8/8/8/5K2/R6R b - - 0 1",
         "1111",
         "5162x10t3",
         {{"e1", ReyBlanco}, {"f2", rules::AlfilNegro}},
         "0011"},
        // The flags of the record win: Ra1-a3 gives back the a1 right...
        {"4k3/8/8/8/8/R7/8/4K2R b K - 0 1", "1011", "1113r0011", {{"a1", TorreBlanca}, {"a3", Vacia}}, "0011"},
        // ...and Bxh1 taking the rook on its corner gives back the h1 right.
        {"4k3/8/8/8/8/8/8/R3K2b w Q - 0 1",
         "0111",
         "3681x2r0011",
         {{"c6", rules::AlfilNegro}, {"h1", TorreBlanca}},
         "0011"},
        // A Black promotion with a capture.
        {"4k3/8/8/8/8/8/8/q3K3 w - - 0 1",
         "1111",
         "2211c7x3",
         {{"b2", PeonNegro}, {"a1", rules::CaballoBlanco}},
         "1111"},
        // A queen move: nothing but the piece.
        {"4k3/8/8/8/8/8/8/3QK3 b - - 0 1", "1111", "1141", {{"a1", DamaBlanca}, {"d1", Vacia}}, "1111"},
    };
    for (const Caso& c : casos) {
        rules::Reglas g;
        ASSERT_TRUE(Preparar(g, c.fen)) << c.fen;
        g.TorreA1Movida = c.torres[0] == '1';
        g.TorreH1Movida = c.torres[1] == '1';
        g.TorreA8Movida = c.torres[2] == '1';
        g.TorreH8Movida = c.torres[3] == '1';
        g.Jugadas.List1 = {c.registro};
        ASSERT_TRUE(retroceso::Retroceder(g)) << c.registro;
        for (const auto& [casilla, pieza] : c.piezas) EXPECT_EQ(En(g, casilla), pieza) << c.registro << " " << casilla;
        EXPECT_EQ(Torres(g), c.torresDespues) << c.registro;
        EXPECT_TRUE(g.Jugadas.List1.empty());
    }
}

TEST(Retroceso, TakingBackAnEnPassantCaptureOpensTheChanceAgain) {
    rules::Reglas g;
    ASSERT_TRUE(Preparar(g, kInicial));
    ASSERT_EQ(rules_test::JugarVarias(g, {"e2e4", "a7a6", "e4e5", "d7d5", "e5d6"}), 5u);
    ASSERT_EQ(g.Jugadas.List1.back(), "5546p45");
    ASSERT_TRUE(retroceso::Retroceder(g));
    EXPECT_EQ(En(g, "e5"), rules::PeonBlanco);
    EXPECT_EQ(En(g, "d5"), rules::PeonNegro);
    EXPECT_TRUE(g.AlPasoPosible);
    EXPECT_EQ(g.CasillaAlPaso, 45);
    EXPECT_TRUE(Jugar(g, "e5d6").valido);
}

// After a double step, a reply and the reply's take-back, the capture is open again.
TEST(Retroceso, TheEnPassantStateIsThatOfThePositionShown) {
    rules::Reglas g;
    ASSERT_TRUE(Preparar(g, kInicial));
    ASSERT_EQ(rules_test::JugarVarias(g, {"e2e4", "a7a6", "e4e5", "d7d5", "g1f3"}), 5u);
    EXPECT_FALSE(g.AlPasoPosible);
    ASSERT_TRUE(retroceso::Retroceder(g));
    EXPECT_TRUE(g.AlPasoPosible);
    EXPECT_EQ(g.CasillaAlPaso, 45);
    EXPECT_FALSE(g.AlPasoCaduca);
    ASSERT_TRUE(Jugar(g, "e5d6").valido);
    EXPECT_EQ(En(g, "d5"), rules::Vacia);
    // Two take-backs: with d7-d5 gone the last move is a one-square step.
    ASSERT_TRUE(retroceso::Retroceder(g));
    EXPECT_TRUE(g.AlPasoPosible);
    ASSERT_TRUE(retroceso::Retroceder(g));
    EXPECT_FALSE(g.AlPasoPosible);
}

TEST(Retroceso, TheFirstMoveOfASetUpPositionGivesBackItsEnPassantField) {
    struct Caso {
        const char* fen;
        const char* jugada;
        bool posible;
        int casilla;
    };
    const Caso casos[] = {
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e1f1", true, 45},
        {"4k3/8/8/8/4Pp2/8/8/4K3 b - e3 0 1", "e8d8", true, 54},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1", "e1f1", false, 0},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", true, 45},
    };
    for (const Caso& c : casos) {
        rules::Reglas g;
        ASSERT_TRUE(Preparar(g, c.fen)) << c.fen;
        ASSERT_TRUE(Jugar(g, c.jugada).valido) << c.fen;
        ASSERT_TRUE(retroceso::Retroceder(g));
        EXPECT_EQ(g.AlPasoPosible, c.posible) << c.fen;
        if (c.posible) {
            EXPECT_EQ(g.CasillaAlPaso, c.casilla) << c.fen;
        }
    }
}

TEST(Retroceso, EachTextLosesExactlyItsLastLine) {
    const std::pair<std::string, std::string> casos[] = {
        {"", ""},
        {"1. e4\r\n", ""},
        {"1. e4\r\n                  e5\r\n", "1. e4\r\n"},
        {"1. e4\r\n                  e5\r\n2. Nf3\r\n", "1. e4\r\n                  e5\r\n"},
        {"1. e4", ""},
        {"1. e4\n2. d4\n", "1. e4\n"},
        // A long line (user letters may be long) goes whole.
        {"1. e4\r\n" + std::string(18, ' ') + std::string(40, 'x') + "\r\n", "1. e4\r\n"},
    };
    for (const auto& [antes, despues] : casos) {
        std::string t = antes;
        retroceso::QuitarUltimaLinea(t);
        EXPECT_EQ(t, despues) << antes;
    }
}

TEST(Retroceso, TheTurnSwapsAndNoneStaysNone) {
    for (auto [antes, despues] : {std::pair{1, 2}, {2, 1}, {0, 0}}) {
        rules::Reglas g;
        ASSERT_TRUE(Preparar(g, kInicial));
        g.Turno = 1;
        ASSERT_TRUE(Jugar(g, "e2e4").valido);
        g.Turno = antes;
        ASSERT_TRUE(retroceso::Retroceder(g));
        EXPECT_EQ(g.Turno, despues);
    }
}

TEST(Retroceso, NoRecordOrAnUnreadableOneChangesNothing) {
    for (const char* registro : {"", "0000", "9999", "5254z"}) {
        rules::Reglas g;
        ASSERT_TRUE(Preparar(g, kInicial));
        if (*registro) g.Jugadas.List1 = {registro};
        const rules::Tablero antes = g.Casillas;
        EXPECT_FALSE(retroceso::Retroceder(g)) << registro;
        EXPECT_EQ(g.Casillas, antes);
        EXPECT_EQ(g.Jugadas.List1.size(), *registro ? 1u : 0u);
        EXPECT_EQ(g.Turno, 1);
    }
}

// A sample here; every game and many more random ones run on the release build.
TEST(RetrocesoPropiedad, EcoGamesTakenBackMoveByMove) { propiedad::PartidasEco(10, 50); }

TEST(RetrocesoPropiedad, RandomGamesTakenBackMoveByMove) { propiedad::PartidasAlAzar(5, 40); }

}  // namespace
