// The PGN writer's text: move text from the English box, tag lines, the result of the
// game on the board.
#include "files/PgnEscritor.h"

#include "juego.h"

#include <gtest/gtest.h>

namespace {

const std::string k18(18, ' ');

TEST(PgnEscritor, MoveTextFromTheEnglishBox) {
    struct Caso {
        std::string caja;
        std::string texto;
    };
    for (const Caso& c : {
             Caso{"", ""},
             Caso{"1. e4\r\n" + k18 + "e5\r\n2. Nf3\r\n", "1. e4 e5 2. Nf3 "},
             Caso{"1. f3\r\n" + k18 + "e5\r\n2. g4\r\n" + k18 + "Qh4++\r\n", "1. f3 e5 2. g4 Qh4# "},
             Caso{"1. exd6ep\r\n" + k18 + "Kxd7\r\n", "1. exd6 Kxd7 "},
             Caso{"1. exd6ep+\r\n", "1. exd6+ "},
             Caso{"1. e8=Q+\r\n" + k18 + "O-O-O\r\n", "1. e8=Q+ O-O-O "},
             Caso{"1. \r\n" + k18 + "e5\r\n2. d4\r\n", "1... e5 2. d4 "},
         })
        EXPECT_EQ(pgn::TextoJugadas(c.caja), c.texto) << c.caja;
}

TEST(PgnEscritor, MoveTextBreaksOnceALineHasReached71Characters) {
    std::string caja;
    for (int n = 1; n <= 30; ++n) caja += std::to_string(n) + ". Nf3\r\n" + k18 + "Nf6\r\n";
    const std::string texto = pgn::TextoJugadas(caja);
    size_t inicio = 0;
    int lineas = 0;
    for (size_t fin; (fin = texto.find("\r\n", inicio)) != std::string::npos; inicio = fin + 2) {
        const std::string linea = texto.substr(inicio, fin - inicio);
        // The break comes at the first move boundary at or past 71 characters.
        EXPECT_GE(linea.size(), 71u) << linea;
        EXPECT_LT(linea.size(), 71u + 7) << linea;
        ++lineas;
    }
    EXPECT_GT(lineas, 3);
    EXPECT_EQ(texto.substr(0, 19), "1. Nf3 Nf6 2. Nf3 N");
    EXPECT_EQ(texto.find("  "), std::string::npos);
}

TEST(PgnEscritor, FileLayout) {
    EXPECT_EQ(pgn::TextoFichero({"Tavorin", "Internet", "2024.05.06", "?", "?", "?"}, "1-0", "1. e4 e5 "),
              "[Event \"Tavorin\"]\r\n[Site \"Internet\"]\r\n[Date \"2024.05.06\"]\r\n[Round \"?\"]\r\n"
              "[White \"?\"]\r\n[Black \"?\"]\r\n[Result \"1-0\"]\r\n\r\n1. e4 e5 1-0\r\n");
    // No moves: the result alone; values escaped.
    EXPECT_EQ(pgn::TextoFichero({"a \"b\" c\\d", "", "", "", "", ""}, "*", ""),
              "[Event \"a \\\"b\\\" c\\\\d\"]\r\n[Site \"\"]\r\n[Date \"\"]\r\n[Round \"\"]\r\n[White \"\"]\r\n"
              "[Black \"\"]\r\n[Result \"*\"]\r\n\r\n*\r\n");
    EXPECT_EQ(pgn::EscaparValor("plain"), "plain");
}

TEST(PgnEscritor, ResultOfTheGameOnTheBoard) {
    struct Caso {
        const char* fen;
        std::vector<std::string> jugadas;
        const char* resultado;
    };
    for (const Caso& c : {
             Caso{rules_test::kInicial, {}, ""}, Caso{rules_test::kInicial, {"e2e4"}, ""},
             Caso{rules_test::kInicial, {"f2f3", "e7e5", "g2g4", "d8h4"}, "0-1"},
             Caso{rules_test::kInicial, {"e2e4", "e7e5", "f1c4", "b8c6", "d1h5", "g8f6", "h5f7"}, "1-0"},
             Caso{"k7/8/1Q6/8/8/8/8/K7 w - - 0 1", {"a1b1"}, "1/2-1/2"},
             Caso{"k7/8/1Q6/8/8/8/8/K7 w - - 0 1", {"b6c6"}, ""},
             Caso{"k7/8/1Q6/8/8/8/7p/K7 w - - 0 1", {"a1b1"}, ""},  // Black's pawn can still move
         }) {
        rules::Reglas r;
        ASSERT_TRUE(rules_test::Preparar(r, c.fen));
        ASSERT_EQ(rules_test::JugarVarias(r, c.jugadas), c.jugadas.size());
        EXPECT_EQ(pgn::ResultadoDelTablero(r), c.resultado) << c.fen << " " << c.jugadas.size();
    }
}

TEST(PgnEscritor, PlayersNames) {
    using N = std::array<std::string, 2>;
    struct Caso {
        pgn::Jugadores j;
        N nombres;
    };
    auto red = [](const char* color, const char* rival) {
        pgn::Jugadores j;
        j.conectado = true;
        j.miColor = color;
        j.nick = "Ana";
        j.nickRival = rival;
        return j;
    };
    auto panel = [](const char* m1, const char* m2) {
        pgn::Jugadores j;
        j.panelMotores = true;
        j.nick = "Ana";
        j.motor1 = m1;
        j.motor2 = m2;
        return j;
    };
    for (const Caso& c : {
             Caso{red("Blancas", "Luis"), N{"Ana", "Luis"}},
             Caso{red("Negras", "Luis"), N{"Luis", "Ana"}},
             Caso{red("Negras", ""), N{"?", "Ana"}},
             Caso{red("", "Luis"), N{"?", "?"}},  // no game: nobody has a colour
             Caso{[&] {
                      auto j = red("", "Luis");
                      j.colorFinal = "Negras";
                      return j;
                  }(),
                  N{"Luis", "Ana"}},
             Caso{[&] {
                      auto j = red("", "Luis");
                      j.conectado = false;
                      j.colorFinal = "Blancas";
                      return j;
                  }(),
                  N{"Ana", "Luis"}},  // the link has gone, the ended game is still on the board
             Caso{[&] {
                      auto j = panel("", "");
                      j.colorFinal = "Blancas";
                      return j;
                  }(),
                  N{"?", "?"}},
             Caso{panel("orvik", ""), N{"orvik", "Ana"}},
             Caso{panel("", "orvik"), N{"Ana", "orvik"}},
             Caso{panel("orvik", "fairymax"), N{"orvik", "fairymax"}},
             Caso{panel("", ""), N{"?", "?"}},  // two people at one board
             Caso{pgn::Jugadores{}, N{"?", "?"}},
         })
        EXPECT_EQ(pgn::NombresJugadores(c.j), c.nombres) << c.j.miColor << " " << c.j.motor1 << " " << c.j.motor2;
}

}  // namespace
