// Move texts in every notation, the token line and the take-back record.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "juego.h"

namespace rules_test {
namespace {

const std::string k18(18, ' ');

struct CasoTexto {
    const char* fen;
    std::vector<std::string> jugadas;  // the last one is written
    const char* ingles;
    const char* espanol;
    const char* usuario;
    const char* coordenadas;
    const char* token;
    const char* registro;
};

// The last line of a box, without its line end and its move number or indent.
std::string UltimaJugada(const std::string& caja) {
    std::string linea = caja.substr(0, caja.size() - 2);
    linea = linea.substr(linea.rfind('\n') == std::string::npos ? 0 : linea.rfind('\n') + 1);
    if (linea.rfind(k18, 0) == 0) return linea.substr(18);
    return linea.substr(linea.find(". ") + 2);
}

TEST(Notacion, TextsTokenAndRecordOfEachKindOfMove) {
    const CasoTexto casos[] = {
        {kInicial, {"e2e4"}, "e4", "e4", "e4", "E2-E4", "5254", "5254"},
        {kInicial, {"g1f3"}, "Nf3", "Cf3", "f3", "G1-F3", "7163", "7163"},
        {"4k3/8/8/8/8/8/3N4/4K1N1 w - - 0 1", {"g1f3"}, "Ngf3", "Cgf3", "gf3", "G1-F3", "7163", "7163"},
        {"4k3/8/8/6N1/8/8/8/4K1N1 w - - 0 1", {"g1f3"}, "N1f3", "C1f3", "1f3", "G1-F3", "7163", "7163"},
        {"4k3/8/8/8/1b6/8/3N4/4K1N1 w - - 0 1", {"g1f3"}, "Nf3", "Cf3", "f3", "G1-F3", "7163", "7163"},
        {"4k3/8/8/8/8/2K5/8/R6R w - - 0 1", {"a1a5"}, "Ra5", "Ta5", "a5", "A1-A5", "1115", "1115"},
        {"R7/7k/8/8/8/2K5/8/R7 w - - 0 1", {"a1a5"}, "R1a5", "T1a5", "1a5", "A1-A5", "1115", "1115"},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", {"e1g1"}, "O-O", "O-O", "O-O", "E1-G1", "5171", "5171e3r0011"},
        {"r3k2r/8/8/8/8/8/8/4K3 b kq - 0 1", {"e8c8"}, "O-O-O", "O-O-O", "O-O-O", "E8-C8", "5838", "5838e3r1100"},
        {"4r3/3P4/7k/8/8/8/8/K7 w - - 0 1", {"d7e8q"}, "dxe8=Q", "dxe8=D", "dxe8=", "D7-E8", "47585", "4758c1x8"},
        {"4k3/8/8/8/8/8/p7/4K3 b - - 0 1", {"a2a1n"}, "a1=N", "a1=C", "a1=", "A2-A1", "12119", "1211c7"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", {"e5d6"}, "exd6ep", "exd6ap", "exd6", "E5-D6", "5546", "5546p45"},
        {"4k3/8/8/8/8/8/3p4/4K3 w - - 0 1", {"e1d2"}, "Kxd2", "Rxd2", "xd2", "E1-D2", "5142", "5142x7t0"},
        {"4k3/8/8/8/8/8/8/4K2R w K - 0 1", {"e1e2"}, "Ke2", "Re2", "e2", "E1-E2", "5152", "5152t2r1011"},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", {"a1b1"}, "Rb1", "Tb1", "b1", "A1-B1", "1121", "1121r0011"},
        {"4k3/8/8/8/8/8/8/R3K2R w K - 0 1", {"a1b1"}, "Rb1", "Tb1", "b1", "A1-B1", "1121", "1121"},
        {"r3k2r/8/8/8/8/8/6B1/4K3 w kq - 0 1", {"g2a8"}, "Bxa8", "Axa8", "xa8", "G2-A8", "7218", "7218x8r1100"},
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", {"a1a8"}, "Ra8+", "Ta8+", "a8+", "A1-A8", "1118", "1118"},
        {kInicial, {"f2f3", "e7e5", "g2g4", "d8h4"}, "Qh4++", "Dh4++", "h4++", "D8-H4", "4884", "4884"},
        {"4k3/8/8/8/8/4r3/8/R5K1 w - - 0 1", {"a1a3", "e3e7", "a3e3"}, "Re3", "Te3", "e3", "A3-E3", "1353", "1353"},
        {"8/7k/8/8/8/8/8/Q2QK3 w - - 0 1", {"d1d4"}, "Qdd4", "Ddd4", "dd4", "D1-D4", "4144", "4144"},
    };
    for (const auto& c : casos) {
        FakeHost host;
        rules::Reglas r(&host);
        ASSERT_TRUE(Preparar(r, c.fen)) << c.fen;
        ASSERT_EQ(JugarVarias(r, c.jugadas), c.jugadas.size()) << c.fen;
        const std::string& ultima = c.jugadas.back();
        EXPECT_EQ(UltimaJugada(r.Jugadas.List[3]), c.ingles) << ultima;
        EXPECT_EQ(UltimaJugada(r.Jugadas.List[2]), c.espanol) << ultima;
        EXPECT_EQ(UltimaJugada(r.Jugadas.List[5]), c.usuario) << ultima;
        EXPECT_EQ(UltimaJugada(r.Jugadas.List[1]), c.coordenadas) << ultima;
        std::string tokens = r.Jugadas.List[4];
        EXPECT_EQ(tokens.substr(tokens.size() - 2 - std::string(c.token).size()), std::string(c.token) + "\r\n");
        EXPECT_EQ(r.Jugadas.List1.back(), c.registro) << ultima;
        EXPECT_EQ(host.cambiosJugadas, int(c.jugadas.size()));
    }
}

TEST(Notacion, WhiteAndBlackLines) {
    rules::Reglas r;
    ASSERT_TRUE(Preparar(r, kInicial));
    JugarVarias(r, {"e2e4", "e7e5", "g1f3"});
    EXPECT_EQ(r.Jugadas.List[1], "1. E2-E4\r\n" + k18 + "E7-E5\r\n2. G1-F3\r\n");
    EXPECT_EQ(r.Jugadas.List[3], "1. e4\r\n" + k18 + "e5\r\n2. Nf3\r\n");
    EXPECT_EQ(r.Jugadas.List[2], "1. e4\r\n" + k18 + "e5\r\n2. Cf3\r\n");
    EXPECT_EQ(r.Jugadas.List[4], "5254\r\n5755\r\n7163\r\n");
    EXPECT_EQ(r.Jugadas.List1, (std::vector<std::string>{"5254", "5755", "7163"}));
    EXPECT_EQ(r.NumeroJugada, 2);
    EXPECT_TRUE(r.NotacionNegras);
}

TEST(Notacion, WhileThePgnBrowserIsShownOnlyTheRecordGrows) {
    FakeHost host;
    host.pgnVisible = true;
    rules::Reglas r(&host);
    ASSERT_TRUE(Preparar(r, kInicial));
    JugarVarias(r, {"e2e4", "e7e5", "g1f3"});
    for (int i = 1; i <= 5; ++i) EXPECT_TRUE(r.Jugadas.List[i].empty()) << i;
    EXPECT_EQ(r.Jugadas.List1.size(), 3u);
    EXPECT_EQ(r.NumeroJugada, 2);
}

TEST(Notacion, EmptyFirstHalfMoveWhenBlackStarts) {
    rules::Reglas r;
    ASSERT_TRUE(Preparar(r, "4k3/4p3/8/8/8/8/8/4K3 b - - 0 1"));
    r.NotacionNegras = false;
    r.NumeroJugada = 0;
    r.XOrigen = r.YOrigen = r.XDestino = r.YDestino = 0;
    r.PiezaCoronacion = 0;
    r.AnotarJugada();
    EXPECT_EQ(r.Jugadas.List[4], "0000\r\n");
    EXPECT_TRUE(r.Jugadas.List1.empty());
    EXPECT_EQ(r.Jugadas.List[1], "1. -\r\n");
    EXPECT_EQ(r.Jugadas.List[3], "1. \r\n");
    EXPECT_TRUE(r.NotacionNegras);
    Jugar(r, "e7e5");
    EXPECT_EQ(r.Jugadas.List[3], "1. \r\n" + k18 + "e5\r\n");
    EXPECT_EQ(r.NumeroJugada, 1);
}

TEST(Notacion, Translation) {
    struct Caso {
        const char* ingles;
        const char* espanol;
        const char* usuario;
    };
    for (const Caso& c : {Caso{"Nxe5", "Cxe5", "xe5"}, Caso{"e8=Q+", "e8=D+", "e8=+"}, Caso{"exd6ep", "exd6ap", "exd6"},
                          Caso{"Kxd2", "Rxd2", "xd2"}, Caso{"Bb5", "Ab5", "b5"}, Caso{"O-O-O", "O-O-O", "O-O-O"}}) {
        rules::Reglas r;
        r.TraducirNotacion(c.ingles, r.LetrasEspanol);
        EXPECT_EQ(r.JugadaTraducida, c.espanol);
        r.TraducirNotacion(c.ingles, r.LetrasUsuario);
        EXPECT_EQ(r.JugadaTraducida, c.usuario);
    }
}

// The origin's file, else its rank, else both, exactly when another piece of the same
// kind can legally reach the square.
TEST(Notacion, SanDisambiguation) {
    struct Caso {
        const char* fen;
        const char* jugada;
        const char* ingles;
    };
    for (const Caso& c : {
             Caso{"k7/8/8/8/8/8/4R2R/4K3 w - - 0 1", "h2g2", "Rhg2"},
             Caso{"k7/8/8/8/8/8/4R2R/4K3 w - - 0 1", "e2f2", "Ref2"},
             Caso{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "a1b2", "Qa1b2"},
             Caso{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "c1b2", "Qcb2"},
             Caso{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "a3b2", "Q3b2"},
             Caso{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "a3a2", "Q3a2"},
             Caso{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "c1c2", "Qc2"},
             Caso{"4k3/8/8/8/8/8/8/R3K2R w - - 0 1", "a1d1", "Rd1"},  // the king stands between
             Caso{"4k3/8/8/8/8/8/8/R3K2R w - - 0 1", "a1a7", "Ra7"},
             Caso{"3rk3/8/8/8/3r4/8/8/4K3 b - - 0 1", "d8d6", "R8d6"},
             Caso{"3rk3/8/8/8/3r4/8/8/4K3 b - - 0 1", "d4d1", "Rd1+"},
             Caso{"4k3/8/8/8/1b6/8/3N4/4K1N1 w - - 0 1", "g1f3", "Nf3"},  // the other knight is pinned
             Caso{"4k3/8/8/8/8/8/6P1/R5RK w - - 0 1", "a1c1", "Rac1"},
             Caso{"4k3/8/8/8/8/2B1B3/8/4K3 w - - 0 1", "c3d4", "Bcd4"},
             Caso{"7k/8/8/3B4/8/3B4/8/K7 w - - 0 1", "d5e4", "B5e4"},
             Caso{"7k/2N5/8/8/8/2N1N3/8/4K3 w - - 0 1", "c3d5", "Nc3d5"},
             Caso{"7k/2N5/8/8/8/2N1N3/8/4K3 w - - 0 1", "e3d5", "Ned5"},
             Caso{"r3k3/8/8/8/8/8/8/4K2R w - - 0 1", "h1h8", "Rh8+"},  // pieces of the other side do not count
         }) {
        FakeHost host;
        rules::Reglas r(&host);
        ASSERT_TRUE(Preparar(r, c.fen)) << c.fen;
        ASSERT_EQ(JugarVarias(r, {c.jugada}), 1u) << c.fen << " " << c.jugada;
        EXPECT_EQ(UltimaJugada(r.Jugadas.List[3]), c.ingles) << c.fen << " " << c.jugada;
    }
}

TEST(Notacion, DisambiguationUsesTheMoversSideWhateverTheTurn) {
    rules::Reglas r;
    ASSERT_TRUE(Preparar(r, "4k3/8/8/8/8/8/3N4/4K1N1 w - - 0 1"));
    r.Turno = 0;  // an engine's move arrives while the board waits
    Jugar(r, "g1f3");
    EXPECT_EQ(r.Jugadas.List[3], "1. Ngf3\r\n");
}

}  // namespace
}  // namespace rules_test
