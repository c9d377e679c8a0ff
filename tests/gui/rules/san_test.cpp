// The SAN reader of the PGN browser.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "juego.h"

namespace rules_test {
namespace {

struct CasoSan {
    const char* fen;
    const char* token;
    const char* codificada;  // the JugadaCodificada recorded; "" when the token is refused
    int mensaje;             // language text of the message, 0 none
};

void Leer(const CasoSan& c) {
    FakeHost host;
    host.pgnVisible = true;
    rules::Reglas r(&host);
    ASSERT_TRUE(Preparar(r, c.fen)) << c.fen;
    const int lado = r.TurnoFichero;
    r.Turno = 0;  // as the PGN loader leaves it
    const rules::Tablero antes = r.Casillas;
    r.ErrorPgn = false;
    r.ComFicha(c.token, lado);
    const std::string codificada = r.PgnJugadas.empty() ? "" : r.PgnJugadas.back();
    EXPECT_EQ(codificada, c.codificada) << c.fen << " " << c.token;
    EXPECT_LE(r.PgnJugadas.size(), 1u);
    if (c.mensaje == 0) {
        EXPECT_FALSE(r.ErrorPgn) << c.token;
        EXPECT_TRUE(host.mensajes.empty()) << c.token << ": " << host.mensajes.front().texto;
    } else {
        EXPECT_TRUE(r.ErrorPgn) << c.token;
        ASSERT_EQ(host.mensajes.size(), 1u) << c.token;
        const std::string esperado = "<" + std::to_string(c.mensaje) + ">" + (c.mensaje == 51 ? " " : "") + c.token;
        EXPECT_EQ(host.mensajes[0].texto, esperado);
        EXPECT_EQ(host.mensajes[0].titulo, "Tavorin");
        EXPECT_EQ(host.mensajes[0].icono, 64);
        EXPECT_EQ(r.Casillas, antes) << c.token;
    }
}

TEST(San, PawnMoves) {
    for (const CasoSan& c : {
             CasoSan{"4k3/8/8/8/8/4P3/4P3/4K3 w - - 0 1", "e4", "5354", 0},
             CasoSan{"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "e4", "5254", 0},
             CasoSan{"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "e4+", "5254", 0},
             CasoSan{"4k3/8/4p3/8/8/8/8/4K3 b - - 0 1", "e5", "5655", 0},
             CasoSan{"4k3/4p3/8/8/8/8/8/4K3 b - - 0 1", "e5", "5755", 0},
             CasoSan{"4k3/8/8/8/2p5/1P6/8/4K3 w - - 0 1", "bxc4", "2334", 0},
             CasoSan{"4k3/8/8/8/2p5/1P6/8/4K3 w - - 0 1", "bc4", "", 51},
             CasoSan{kInicial, "e5", "", 51},                               // no pawn gets there
             CasoSan{"4k3/8/8/8/6b1/8/4P3/3K4 w - - 0 1", "e3", "", 52},    // pinned
             CasoSan{"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "e4!", "5254", 0},  // annotations
             CasoSan{"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "e4?!", "5254", 0},
             CasoSan{"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "e9", "", 51},
             CasoSan{"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "ex", "", 51},
             CasoSan{"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "exd", "", 51},
             CasoSan{"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "e45", "", 51},
         })
        Leer(c);
}

TEST(San, Promotions) {
    for (const CasoSan& c : {
             CasoSan{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e8=Q", "57585", 0},
             CasoSan{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e8Q", "57585", 0},
             CasoSan{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e8=N+", "57583", 0},
             CasoSan{"k2r4/4P3/8/8/8/8/8/4K3 w - - 0 1", "exd8=Q", "57485", 0},
             CasoSan{"k2r4/4P3/8/8/8/8/8/4K3 w - - 0 1", "exd8Q", "57485", 0},
             CasoSan{"4k3/8/8/8/8/8/4p3/K7 b - - 0 1", "e1=Q", "525111", 0},
             CasoSan{"4k3/8/8/8/8/8/4p3/K7 b - - 0 1", "e1R", "52518", 0},
             CasoSan{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e8=q", "", 51},
             CasoSan{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e8=K", "", 51},
             CasoSan{"k7/8/8/4P3/8/8/8/4K3 w - - 0 1", "e6=Q", "", 52},  // not a promotion
             CasoSan{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e8", "", 52},    // the question was cancelled
         })
        Leer(c);
}

TEST(San, EnPassant) {
    FakeHost host;
    host.pgnVisible = true;
    rules::Reglas r(&host);
    ASSERT_TRUE(Preparar(r, "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"));
    r.ComFicha("exd6", 1);
    EXPECT_FALSE(r.ErrorPgn);
    EXPECT_EQ(r.PgnJugadas, std::vector<std::string>{"5546"});
    EXPECT_EQ(En(r, "d5"), 0);
    EXPECT_EQ(host.subComoFicha, std::vector<std::string>{"45"});
    // The same capture uncovering the king is refused and the pawn stays.
    Leer({"8/8/8/K2pP2r/8/8/8/7k w - d6 0 1", "exd6", "", 52});
}

TEST(San, PieceMovesAndHints) {
    for (const CasoSan& c : {
             CasoSan{kInicial, "Nf3", "7163", 0},
             CasoSan{"1n2k3/8/5n2/8/8/8/8/4K3 b - - 0 1", "Nbd7", "2847", 0},
             CasoSan{"1n2k3/8/5n2/8/8/8/8/4K3 b - - 0 1", "Nfd7", "6647", 0},
             CasoSan{"1n2k3/8/1n6/8/8/8/8/4K3 b - - 0 1", "N8d7", "2847", 0},
             CasoSan{"1n2k3/8/1n6/8/8/8/8/4K3 b - - 0 1", "N6d7", "2647", 0},
             CasoSan{"1n2k3/3P4/5n2/8/8/8/8/4K3 b - - 0 1", "Nbxd7", "2847", 0},
             CasoSan{"1n2k3/3P4/5n2/8/8/8/8/4K3 b - - 0 1", "Nfxd7", "6647", 0},
             CasoSan{"1n2k3/3P4/5n2/8/8/8/8/4K3 b - - 0 1", "Nxd7", "2847", 0},
             CasoSan{"4k3/8/8/8/K2R3q/8/8/7R w - - 0 1", "Rd1", "8141", 0},  // the first rook is pinned
             CasoSan{"4k3/8/8/8/8/8/8/R3K2R w - - 0 1", "Rad1", "1141", 0},
             CasoSan{"4k3/8/8/8/8/8/8/R3K2R w - - 0 1", "Raxd1", "1141", 0},  // the capture mark is not checked
             CasoSan{"8/8/8/8/2P5/8/8/4Kb1k b - - 0 1", "Bxc4", "6134", 0},
             CasoSan{"8/8/B7/8/2P5/8/8/4Kb1k b - - 0 1", "Bxc4", "6134", 0},
             CasoSan{"4k3/8/8/8/8/8/8/Q3K1Q1 w - - 0 1", "Qad4", "1144", 0},
             CasoSan{"4k3/8/8/8/8/8/8/Q3K1Q1 w - - 0 1", "Qgd4", "7144", 0},
             CasoSan{"4k3/8/8/8/8/8/8/Q3K1Q1 w - - 0 1", "Qd4", "1144", 0},  // the second queen found
             CasoSan{"1n2k3/8/8/5n2/8/8/8/4K3 b - - 0 1", "Nbd4", "", 52},   // the hint is kept
             // A whole square as the hint.
             CasoSan{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "Qa1b2", "1122", 0},
             CasoSan{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "Qa3b2", "1322", 0},
             CasoSan{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "Qc1b2+", "3122", 0},
             CasoSan{"4k3/8/8/8/8/Q7/1p6/Q1Q1K3 w - - 0 1", "Qa1xb2", "1122", 0},
             CasoSan{"4k3/8/8/8/8/Q7/1p6/Q1Q1K3 w - - 0 1", "Qc1xb2", "3122", 0},
             CasoSan{"7k/2N5/8/8/8/2N1N3/8/4K3 w - - 0 1", "Nc3d5", "3345", 0},
             CasoSan{"7k/2N5/8/8/8/2N1N3/8/4K3 w - - 0 1", "Ne5d5", "", 51},  // no knight on e5
             CasoSan{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "Qb1b2", "", 51},
             CasoSan{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "Qa1a9", "", 51},
             CasoSan{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "Qa1bb2", "", 51},
             CasoSan{"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "Qz1b2", "", 51},
             CasoSan{kInicial, "Nf4", "", 51},
             CasoSan{kInicial, "Nz9", "", 51},
             CasoSan{kInicial, "Q", "", 51},
             CasoSan{kInicial, "Bc4", "", 51},
         })
        Leer(c);
}

TEST(San, KingMovesAndCastling) {
    for (const CasoSan& c : {
             CasoSan{"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "Kf1", "5161", 0},
             CasoSan{"4k3/8/8/8/8/8/3p4/4K3 w - - 0 1", "Kxd2", "5142", 0},
             CasoSan{"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "Kh5", "", 51},
             CasoSan{"4k3/8/8/8/8/8/r7/4K3 w - - 0 1", "Ke2", "", 52},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "O-O", "5171", 0},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "o-o", "5171", 0},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "0-0", "5171", 0},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "O-O+", "5171", 0},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "O-O#", "5171", 0},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "O-O++", "5171", 0},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "O-O-O", "5131", 0},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "O-O-O#", "5131", 0},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "O-O", "5878", 0},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "0-0-0", "5838", 0},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R w kq - 0 1", "O-O", "", 52},
             CasoSan{"r3k2r/8/8/8/8/8/8/R3K2R w kq - 0 1", "O-O-O", "", 52},
         })
        Leer(c);
}

TEST(San, TokensWithNothingToPlay) {
    for (const char* token : {"", "  ", "1-0", "0-1", "1/2-1/2", "*"}) Leer({kInicial, token, "", 0});
    for (const char* token : {"--", "Z", "0-0-0-0", "e2e4", "Pe4"}) Leer({kInicial, token, "", 51});
}

TEST(San, TokensForNoSideAndKingTokensWithMarks) {
    // A side other than 1 or 2 reads nothing, unless there is nothing to play.
    for (int lado : {0, 3}) {
        FakeHost host;
        rules::Reglas r(&host);
        ASSERT_TRUE(Preparar(r, kInicial));
        const rules::Tablero antes = r.Casillas;
        r.ComFicha("1-0", lado);
        EXPECT_FALSE(r.ErrorPgn);
        r.ComFicha(" e4 ", lado);
        EXPECT_TRUE(r.ErrorPgn);
        ASSERT_EQ(host.mensajes.size(), 1u);
        EXPECT_EQ(host.mensajes[0].texto, "<51> e4");
        EXPECT_TRUE(r.PgnJugadas.empty());
        EXPECT_EQ(r.Casillas, antes);
    }
    for (const CasoSan& c : {
             CasoSan{"4k3/8/8/8/8/8/3p4/4K3 w - - 0 1", "Kxd2+", "5142", 0},
             CasoSan{"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "Kf1!?", "5161", 0},
             CasoSan{"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "Kx", "", 51},
             CasoSan{"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "K", "", 51},
             CasoSan{"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "O-O+", "5171", 0},
             CasoSan{"r3k3/8/8/8/8/8/8/4K3 b q - 0 1", "o-o-o++", "5838", 0},
             CasoSan{"r3k3/8/8/8/8/8/8/4K3 b q - 0 1", "O-O", "", 52},
             CasoSan{"1n2k3/8/5n2/8/8/8/8/4K3 b - - 0 1", "Nbd7#", "2847", 0},
         })
        Leer(c);
}

// A token is quoted whole in its message up to 40 characters; a longer one is cut
// there (between characters, not inside one) and "..." follows. The blanks that set a
// move-list line's columns are not part of it.
TEST(San, ALongTokenIsQuotedShort) {
    struct Caso {
        const char* fen;
        std::string token;
        int mensaje;
        std::string citado;
    };
    const std::string e(40, 'a');
    std::string acentos;
    for (int i = 0; i < 45; ++i) acentos += "\xC3\xA9";  // é
    for (const Caso& c : {
             Caso{"4k3/8/8/8/8/8/8/4K3 w - - 0 1", e, 51, e},
             Caso{"4k3/8/8/8/8/8/8/4K3 w - - 0 1", std::string(17, ' ') + "e9", 51, "e9"},
             Caso{"4k3/8/8/8/8/8/3P4/4K2q w - - 0 1", std::string(17, ' ') + "d3", 52, "d3"},
             Caso{"4k3/8/8/8/8/8/8/4K3 w - - 0 1", e + "b", 51, e + "..."},
             Caso{"4k3/8/8/8/8/8/8/4K3 w - - 0 1", std::string(1 << 20, 'a'), 51, e + "..."},
             Caso{"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "N" + acentos, 51, "N" + acentos.substr(0, 39 * 2) + "..."},
             // A push with 60 check marks reads as the push; with the king in check the
             // rules refuse it.
             Caso{"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "e3" + std::string(60, '+'), 0, ""},
             Caso{"4k3/8/8/8/8/8/3P4/4K2q w - - 0 1", "d3" + std::string(60, '+'), 52,
                  "d3" + std::string(38, '+') + "..."},
         }) {
        FakeHost host;
        host.pgnVisible = true;
        rules::Reglas r(&host);
        ASSERT_TRUE(Preparar(r, c.fen));
        r.Turno = 0;
        r.ComFicha(c.token, 1);
        if (c.mensaje == 0) {
            EXPECT_EQ(r.PgnJugadas.size(), 1u) << c.token.substr(0, 10);
            continue;
        }
        ASSERT_EQ(host.mensajes.size(), 1u) << c.citado;
        EXPECT_EQ(host.mensajes[0].texto,
                  "<" + std::to_string(c.mensaje) + ">" + (c.mensaje == 51 ? " " : "") + c.citado);
    }
    // Bytes that are no UTF-8 are cut short too: a run of continuation bytes counts
    // one character every four bytes at most.
    const std::string raro = "N" + std::string(1 << 16, '\xA0');
    const std::string corto = rules::TokenCorto(raro);
    EXPECT_LE(corto.size(), 4 * rules::kTokenCorto + 3);
    EXPECT_EQ(corto.substr(corto.size() - 3), "...");
    EXPECT_EQ(rules::Acortar("abc", 3), "abc");
    EXPECT_EQ(rules::Acortar("abcd", 3), "abc...");
}

TEST(San, WholeGameAndStateBetweenTokens) {
    FakeHost host;
    host.pgnVisible = true;
    rules::Reglas r(&host);
    ASSERT_TRUE(Preparar(r, kInicial));
    r.Turno = 0;
    const char* partida[] = {"e4",  "d5",   "exd5", "Qxd5", "Nc3", "Qa5",   "d4",   "c6",
                             "Nf3", "Bg4",  "Be2",  "e6",   "O-O", "Nd7",   "Bf4",  "Ngf6",
                             "h3",  "Bxf3", "Bxf3", "Bb4",  "a3",  "O-O-O", "axb4", "Qxa1"};
    int lado = 1;
    for (const char* token : partida) {
        r.ErrorPgn = false;
        r.ComFicha(token, lado);
        ASSERT_FALSE(r.ErrorPgn) << token;
        lado = 3 - lado;
    }
    EXPECT_EQ(r.PgnJugadas.size(), std::size(partida));
    EXPECT_EQ(r.PgnJugadas[12], "5171");
    EXPECT_EQ(r.PgnJugadas[21], "5838");
    EXPECT_EQ(r.Turno, 0);
    r.Turno = 1;
    r.EscribirFen();
    EXPECT_EQ(r.TextoFen, "2kr3r/pp1n1ppp/2p1pn2/8/1P1P1B2/2N2B1P/1PP2PP1/q2Q1RK1 w - - 0 1");
}

}  // namespace
}  // namespace rules_test
