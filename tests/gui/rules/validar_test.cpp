// Move validation: piece rules, ownership, castling, en passant, promotion, input checks.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "juego.h"

namespace rules_test {
namespace {

using rules::Reglas;

struct CasoRegla {
    const char* fen;
    const char* jugada;
    bool valida;
};

TEST(Validar, PieceRules) {
    const CasoRegla casos[] = {
        {kInicial, "e2e4", true},
        {kInicial, "e2e3", true},
        {kInicial, "e2e5", false},
        {kInicial, "e2d3", false},  // diagonal to an empty square
        {kInicial, "g1f3", true},   // the knight jumps
        {kInicial, "g1g3", false},
        {kInicial, "b1d2", false},  // own piece
        {kInicial, "f1c4", false},  // blocked
        {kInicial, "a1a3", false},
        {kInicial, "e1e2", false},
        {kInicial, "e3e4", false},                          // empty origin
        {"4k3/8/8/B7/8/8/8/4K3 w - - 0 1", "a5f6", false},  // not on the diagonal
        {"4k3/8/8/B7/8/8/8/4K3 w - - 0 1", "a5d8", true},
        {"4k3/8/8/8/3Q4/8/8/4K3 w - - 0 1", "d4h8", true},
        {"4k3/8/8/8/3Q4/8/8/4K3 w - - 0 1", "d4a4", true},
        {"4k3/8/8/8/3Q4/8/8/4K3 w - - 0 1", "d4e6", false},
        {"4k3/8/8/8/4p3/4P3/8/4K3 w - - 0 1", "e3e4", false},  // no capture straight ahead
        {"4k3/8/8/8/3p4/4P3/8/4K3 w - - 0 1", "e3d4", true},
        {"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "e2e4", true},
        {"4k3/8/8/8/8/4n3/4P3/4K3 w - - 0 1", "e2e4", false},  // the square passed over is taken
        {"4k3/8/8/8/8/8/3P4/4K2r w - - 0 1", "d2d3", false},   // the king stays in check
        {"4k3/8/8/8/8/8/3P4/4K2r w - - 0 1", "e1d1", false},   // d1 is attacked
        {"4k3/8/8/8/8/8/3P4/4K2r w - - 0 1", "e1e2", true},
        {"4k3/8/8/8/1b6/8/3N4/4K3 w - - 0 1", "d2f3", false},  // pinned knight
    };
    for (const auto& c : casos) {
        Reglas r;
        ASSERT_TRUE(Preparar(r, c.fen)) << c.fen;
        EXPECT_EQ(Jugar(r, c.jugada).valido, c.valida) << c.fen << " " << c.jugada;
    }
}

TEST(Validar, OwnershipIsTestedOnlyWhenNotConnected) {
    Reglas r;
    ASSERT_TRUE(Preparar(r, kInicial));
    EXPECT_FALSE(Jugar(r, "e7e5").valido);
    r.Conectado = true;
    EXPECT_TRUE(Jugar(r, "e7e5").valido);
    r.Conectado = false;
    r.Turno = 0;  // waiting for the peer or an engine: no ownership test
    EXPECT_TRUE(Jugar(r, "e2e4").valido);
}

TEST(Validar, RefusedMoveLeavesTheBoardAndRowZeroStaysEmpty) {
    Reglas r;
    ASSERT_TRUE(Preparar(r, kInicial));
    JugarVarias(r, {"e2e4", "d7d5", "e4d5", "d8d5", "b1c3", "d5a5", "g1f3", "c8g4"});
    const rules::Tablero antes = r.Casillas;
    for (const char* mala : {"f1g2", "e1g1", "a2a5", "c3c3", "f3g4"}) {
        EXPECT_FALSE(Jugar(r, mala).valido) << mala;
        EXPECT_EQ(r.Casillas, antes) << mala;
    }
    for (int i = 0; i <= 8; ++i) {
        EXPECT_EQ(r.Casillas[0][i], 0);
        EXPECT_EQ(r.Casillas[i][0], 0);
    }
}

TEST(Validar, SquaresFromOutsideMustBeTwoDigitsOneToEight) {
    for (auto [origen, destino] : std::vector<std::pair<std::string, std::string>>{{"52", "59"},
                                                                                   {"09", "54"},
                                                                                   {"5", "54"},
                                                                                   {"52", ""},
                                                                                   {"e2", "e4"},
                                                                                   {"522", "54"},
                                                                                   {"52", "540"},
                                                                                   {"50", "54"},
                                                                                   {"99", "54"}}) {
        Reglas r;
        ASSERT_TRUE(Preparar(r, kInicial));
        const rules::Tablero antes = r.Casillas;
        r.Origen = origen;
        r.Destino = destino;
        r.ValidarMovimiento();
        EXPECT_FALSE(r.MovimientoValido) << origen << "-" << destino;
        EXPECT_EQ(r.Casillas, antes);
    }
}

TEST(Validar, EnPassantChanceLastsOneMove) {
    Reglas r;
    ASSERT_TRUE(Preparar(r, kInicial));
    Jugar(r, "e2e4");
    EXPECT_TRUE(r.AlPasoPosible);
    EXPECT_EQ(r.CasillaAlPaso, 54);
    Jugar(r, "g8f6");
    EXPECT_FALSE(r.AlPasoPosible);
    Jugar(r, "e4e5");
    Jugar(r, "d7d5");
    EXPECT_TRUE(r.AlPasoPosible);
    EXPECT_EQ(r.CasillaAlPaso, 45);
    Resultado res = Jugar(r, "e5d6");
    ASSERT_TRUE(res.valido);
    EXPECT_EQ(res.capturaAlPaso, "45");
    EXPECT_EQ(En(r, "d5"), 0);
    EXPECT_EQ(En(r, "d6"), rules::PeonBlanco);
    // The capture used the chance up.
    EXPECT_FALSE(r.AlPasoPosible);
    EXPECT_EQ(r.CasillaAlPaso, 0);
}

TEST(Validar, EnPassantNeedsTheDoubleStepJustMade) {
    Reglas r;
    ASSERT_TRUE(Preparar(r, kInicial));
    JugarVarias(r, {"e2e4", "a7a6", "e4e5", "d7d5", "h2h3", "h7h6"});
    EXPECT_FALSE(Jugar(r, "e5d6").valido);
    // Castling also ends the chance.
    ASSERT_TRUE(Preparar(r, "r3k3/8/8/8/3p4/8/4P3/4K3 w q - 0 1"));
    JugarVarias(r, {"e2e4"});
    EXPECT_TRUE(r.AlPasoPosible);
    ASSERT_TRUE(Jugar(r, "e8c8").valido);
    EXPECT_FALSE(r.AlPasoPosible);
    ASSERT_TRUE(Jugar(r, "e1d1").valido);
    EXPECT_FALSE(Jugar(r, "d4e3").valido);
}

TEST(Validar, RefusedEnPassantIsRestoredByTheRules) {
    FakeHost host;
    Reglas r(&host);
    ASSERT_TRUE(Preparar(r, "8/8/8/K2pP2r/8/8/8/7k w - d6 0 1"));
    ASSERT_TRUE(r.AlPasoPosible);
    const rules::Tablero antes = r.Casillas;
    r.Origen = "55";
    r.Destino = "46";
    r.ValidarMovimiento();
    EXPECT_FALSE(r.MovimientoValido);
    EXPECT_EQ(r.Casillas, antes);
    EXPECT_EQ(En(r, "d5"), rules::PeonNegro);
    EXPECT_TRUE(r.CapturaAlPaso.empty());
    EXPECT_TRUE(r.AlPasoPosible);
    EXPECT_EQ(r.CasillaAlPaso, 45);
}

TEST(Validar, RefusedDoubleStepKeepsTheEnPassantState) {
    Reglas r;
    ASSERT_TRUE(Preparar(r, "4k3/8/8/3pP3/8/8/K3P2r/8 w - d6 0 1"));
    EXPECT_FALSE(Jugar(r, "e2e4").valido);  // pinned along the rank
    EXPECT_TRUE(r.AlPasoPosible);
    EXPECT_EQ(r.CasillaAlPaso, 45);
    EXPECT_TRUE(Jugar(r, "e5d6").valido);
}

// A test-only validation answers and changes nothing else.
TEST(Validar, TestOnlyValidationChangesNothingButItsAnswer) {
    struct Caso {
        const char* fen;
        const char* jugada;
        bool respuesta;
    };
    const Caso casos[] = {
        {"8/8/8/3pP3/8/8/8/K6k w - d6 0 1", "e5d6", true},       // en passant
        {"8/8/8/K2pP2r/8/8/8/7k w - d6 0 1", "e5d6", false},     // refused en passant
        {kInicial, "e2e4", true},                                // double step
        {"4k3/8/8/8/8/8/8/R3K3 w Q - 0 1", "a1a8", true},        // check
        {"7k/8/6K1/8/8/8/5Q2/8 w - - 0 1", "f2f7", true},        // stalemate
        {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a7a8", true},        // promotion, nobody asked
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", true},  // castling
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "a1a2", true},  // a right would be lost
    };
    for (const auto& c : casos) {
        FakeHost host;
        Reglas r(&host);
        ASSERT_TRUE(Preparar(r, c.fen)) << c.fen;
        r.Jaque = true;  // what an earlier validation left
        PonerMovimiento(r, c.jugada);
        r.SoloComprobar = true;
        const rules::Variables antes = r.Estado();
        r.ValidarMovimiento();
        EXPECT_EQ(r.MovimientoValido, c.respuesta) << c.fen << " " << c.jugada;
        rules::Variables despues = r.Estado();
        despues.MovimientoValido = antes.MovimientoValido;
        EXPECT_EQ(despues.Casillas, antes.Casillas) << c.jugada;
        EXPECT_TRUE(despues.Jaque && !despues.JaqueMate && !despues.Ahogado);
        EXPECT_EQ(despues.AlPasoPosible, antes.AlPasoPosible);
        EXPECT_EQ(despues.CasillaAlPaso, antes.CasillaAlPaso);
        EXPECT_EQ(despues.TorreA1Movida, antes.TorreA1Movida);
        EXPECT_EQ(despues.TorreH1Movida, antes.TorreH1Movida);
        EXPECT_TRUE(r.Jugadas.List1.empty());
        EXPECT_TRUE(host.preguntasCoronacion.empty());
        EXPECT_TRUE(host.torresDibujadas.empty());
    }
}

TEST(Validar, TestOnlyCastlingIsALookupOfTheRight) {
    Reglas r;
    ASSERT_TRUE(Preparar(r, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"));
    r.SoloComprobar = true;
    PonerMovimiento(r, "e1g1");
    r.ValidarMovimiento();
    EXPECT_TRUE(r.MovimientoValido);
    r.TorreH1Movida = true;
    PonerMovimiento(r, "e1g1");
    r.ValidarMovimiento();
    EXPECT_FALSE(r.MovimientoValido);
    EXPECT_EQ(En(r, "e1"), rules::ReyBlanco);
    EXPECT_EQ(En(r, "h1"), rules::TorreBlanca);
}

TEST(Validar, KingSideCastling) {
    FakeHost host;
    Reglas r(&host);
    ASSERT_TRUE(Preparar(r, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"));
    r.TorreA1Movida = true;
    PonerMovimiento(r, "e1g1");
    r.ValidarMovimiento();
    ASSERT_TRUE(r.MovimientoValido);
    EXPECT_EQ(r.EnroqueEnCurso, 1);
    EXPECT_EQ(En(r, "g1"), rules::ReyBlanco);
    EXPECT_EQ(En(r, "f1"), rules::TorreBlanca);
    EXPECT_EQ(En(r, "h1"), 0);
    EXPECT_EQ(En(r, "e1"), 0);
    EXPECT_TRUE(r.TorreA1Movida && r.TorreH1Movida);
    EXPECT_TRUE(r.EnroqueGuardadoBlancas[1]);
    EXPECT_FALSE(r.EnroqueGuardadoBlancas[2]);
    EXPECT_EQ(host.torresDibujadas, std::vector<std::string>{"8161"});
}

TEST(Validar, CastlingMovesTheRookFirstAndMayGiveCheck) {
    FakeHost host;
    Reglas r(&host);
    ASSERT_TRUE(Preparar(r, "5k2/8/8/8/8/8/8/4K2R w K - 0 1"));
    Resultado res = Jugar(r, "e1g1");
    ASSERT_TRUE(res.valido);
    EXPECT_TRUE(res.jaque);
    EXPECT_EQ(res.enroque, 1);
    EXPECT_EQ(En(r, "f1"), rules::TorreBlanca);
    EXPECT_EQ(En(r, "g1"), rules::ReyBlanco);
    EXPECT_EQ(En(r, "h1"), 0);
    EXPECT_EQ(En(r, "e1"), 0);
    EXPECT_EQ(host.torresDibujadas, std::vector<std::string>{"8161"});
    EXPECT_TRUE(r.TorreA1Movida && r.TorreH1Movida);
    // Castling out of check is refused whole: the board and the right stay.
    ASSERT_TRUE(Preparar(r, "4k3/8/8/8/8/8/8/R3K2r w Q - 0 1"));
    const rules::Tablero antes = r.Casillas;
    EXPECT_FALSE(Jugar(r, "e1c1").valido);
    EXPECT_EQ(r.Casillas, antes);
    EXPECT_FALSE(r.TorreA1Movida);
}

TEST(Validar, CastlingRookIsNotDrawnWhileBrowsingOrReplaying) {
    for (int caso = 0; caso < 2; ++caso) {
        FakeHost host;
        host.pgnVisible = caso == 0;
        host.reproduciendo = caso == 1;
        Reglas r(&host);
        ASSERT_TRUE(Preparar(r, "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1"));
        ASSERT_TRUE(Jugar(r, "e8c8").valido);
        EXPECT_EQ(En(r, "d8"), rules::TorreNegra);
        EXPECT_TRUE(host.torresDibujadas.empty());
    }
}

TEST(Validar, CastlingConditions) {
    const CasoRegla casos[] = {
        {"4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", true},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", true},
        {"4k3/8/8/8/8/8/8/R3K2R w Q - 0 1", "e1g1", false},  // right lost
        {"4k3/8/8/8/8/8/8/R3K2R w K - 0 1", "e1c1", false},
        {"4k3/8/8/8/8/8/8/R3KB1R w KQ - 0 1", "e1g1", false},  // f1 taken
        {"4k3/8/8/8/8/8/8/RN2K2R w KQ - 0 1", "e1c1", false},  // b1 taken
        {"4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1f1", true},
        {"5r2/2k5/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", false},  // f1 attacked
        {"6r1/2k5/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", false},  // g1 attacked
        {"1r6/2k5/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", true},   // only b1 attacked
        {"3r4/2k5/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", false},  // d1 attacked
        {"4r3/2k5/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", false},  // in check
        {"4k3/8/8/8/8/8/8/R3K3 w KQ - 0 1", "e1g1", false},     // no rook on h1
        {"4k3/8/8/8/8/8/8/4K2R w KQ - 0 1", "e1c1", false},     // no rook on a1
        {"4k3/8/8/8/8/8/8/R2K3R w KQ - 0 1", "d1f1", false},    // king not on e1
        {"4k3/8/8/8/8/8/8/R2K3R w KQ - 0 1", "d1b1", false},
        {"r3k2r/8/8/8/8/8/8/4K3 b kq - 0 1", "e8g8", true},
        {"r3k2r/8/8/8/8/8/8/4K3 b kq - 0 1", "e8c8", true},
        {"r3k2r/8/8/8/8/8/8/4K1R1 b kq - 0 1", "e8g8", false},
    };
    for (const auto& c : casos) {
        Reglas r;
        ASSERT_TRUE(Preparar(r, c.fen)) << c.fen;
        const rules::Tablero antes = r.Casillas;
        Resultado res = Jugar(r, c.jugada);
        EXPECT_EQ(res.valido, c.valida) << c.fen << " " << c.jugada;
        if (!res.valido) {
            EXPECT_EQ(r.Casillas, antes) << c.fen;
        }
    }
}

TEST(Validar, CastlingOutOfCheckClearsTheCastlingMark) {
    Reglas r;
    ASSERT_TRUE(Preparar(r, "4r3/2k5/8/8/8/8/8/R3K2R w KQ - 0 1"));
    PonerMovimiento(r, "e1g1");
    r.ValidarMovimiento();
    EXPECT_FALSE(r.MovimientoValido);
    EXPECT_FALSE(r.MovimientoEnroque);
}

TEST(Validar, CastlingRightsFollowKingAndRookMoves) {
    Reglas r;
    ASSERT_TRUE(Preparar(r, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"));
    Jugar(r, "a1b1");
    EXPECT_TRUE(r.TorreA1Movida);
    EXPECT_FALSE(r.TorreH1Movida);
    Jugar(r, "a8b8");
    EXPECT_TRUE(r.TorreA8Movida);
    EXPECT_FALSE(r.TorreH8Movida);
    EXPECT_FALSE(r.EnroqueGuardadoNegras[1]);
    EXPECT_FALSE(r.EnroqueGuardadoNegras[2]);
    EXPECT_FALSE(r.EnroqueGuardadoBlancas[2]);
    Jugar(r, "e1e2");
    EXPECT_TRUE(r.TorreA1Movida && r.TorreH1Movida);
    EXPECT_TRUE(r.EnroqueGuardadoBlancas[1]);
    EXPECT_FALSE(r.EnroqueGuardadoBlancas[2]);
    EXPECT_FALSE(r.TorreH8Movida);
}

TEST(Validar, RookTakenOnItsCornerLosesTheRight) {
    Reglas r;
    ASSERT_TRUE(Preparar(r, "r3k2r/8/8/8/8/8/6b1/R3K2R b KQkq - 0 1"));
    ASSERT_TRUE(Jugar(r, "g2h1").valido);
    EXPECT_TRUE(r.TorreH1Movida);
    EXPECT_FALSE(r.TorreA1Movida);
    EXPECT_FALSE(r.TorreA8Movida || r.TorreH8Movida);
    // A rook that comes to h1 later cannot castle.
    ASSERT_TRUE(Preparar(r, "r3k2r/8/8/8/8/8/6b1/R3K2R b KQkq - 0 1"));
    ASSERT_EQ(JugarVarias(r, {"g2h1", "a1a2", "h1c6", "a2h2", "c6d5", "h2h1", "d5e6"}), 7u);
    EXPECT_FALSE(Jugar(r, "e1g1").valido);
}

TEST(Validar, PresetPromotion) {
    FakeHost host;
    Reglas r(&host);
    ASSERT_TRUE(Preparar(r, "4k3/P7/8/8/8/8/8/4K3 w - - 0 1"));
    Resultado res = Jugar(r, "a7a8q");
    ASSERT_TRUE(res.valido);
    EXPECT_TRUE(res.jaque);
    EXPECT_EQ(En(r, "a8"), rules::DamaBlanca);
    EXPECT_EQ(En(r, "a7"), 0);
    EXPECT_TRUE(host.preguntasCoronacion.empty());
    EXPECT_GT(host.marcadorOculto, 0);
    EXPECT_EQ(r.Jugadas.List[3], "1. a8=Q+\r\n");
}

TEST(Validar, PromotionAskedOfTheHost) {
    FakeHost host;
    host.respuestaCoronacion = rules::CaballoNegro;
    Reglas r(&host);
    ASSERT_TRUE(Preparar(r, "4k3/8/8/8/8/8/1p6/R3K3 b Q - 0 1"));
    ASSERT_TRUE(Jugar(r, "b2a1").valido);
    EXPECT_EQ(host.preguntasCoronacion, std::vector<int>{2});
    EXPECT_EQ(En(r, "a1"), rules::CaballoNegro);
    EXPECT_EQ(r.Jugadas.List1.back(), "2211c7x2r0111");
}

TEST(Validar, CancelledOrWrongPromotionIsRefused) {
    for (int respuesta : {0, int(rules::DamaNegra), int(rules::ReyBlanco), int(rules::PeonBlanco), 99}) {
        FakeHost host;
        host.respuestaCoronacion = respuesta;
        Reglas r(&host);
        ASSERT_TRUE(Preparar(r, "4k3/P7/8/8/8/8/8/4K3 w - - 0 1"));
        const rules::Tablero antes = r.Casillas;
        EXPECT_FALSE(Jugar(r, "a7a8").valido) << respuesta;
        EXPECT_EQ(r.Casillas, antes);
        EXPECT_TRUE(r.Jugadas.List1.empty());
    }
}

TEST(Validar, PresetPromotionCodeMustFitTheMove) {
    struct Caso {
        const char* fen;
        const char* origen;
        const char* destino;
        int codigo;
        bool valida;
    };
    const Caso casos[] = {
        {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "17", "18", rules::DamaBlanca, true},
        {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "17", "18", rules::DamaNegra, false},  // other colour
        {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "17", "18", rules::ReyBlanco, false},
        {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "17", "18", rules::PeonBlanco, false},
        {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "17", "18", -3, false},
        {"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "52", "54", rules::DamaBlanca, false},  // not a promotion
    };
    for (const auto& c : casos) {
        Reglas r;
        ASSERT_TRUE(Preparar(r, c.fen));
        r.Origen = c.origen;
        r.Destino = c.destino;
        r.PiezaCoronacion = c.codigo;
        r.ValidarMovimiento();
        EXPECT_EQ(r.MovimientoValido, c.valida) << c.codigo;
    }
}

TEST(Validar, PromotionOnACapturedSquare) {
    Reglas r;
    ASSERT_TRUE(Preparar(r, "1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1"));
    PonerMovimiento(r, "a7b8r");
    r.ValidarMovimiento();
    ASSERT_TRUE(r.MovimientoValido);
    EXPECT_EQ(r.FichaCoronada, rules::TorreNegra);
    EXPECT_EQ(r.Casillas[2][8], rules::TorreBlanca);
}

}  // namespace
}  // namespace rules_test
