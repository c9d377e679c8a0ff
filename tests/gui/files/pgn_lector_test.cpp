// The PGN reader's plain parts: tag lines, game boundaries, token classes and the
// half-move lines of a move text.
#include "files/PgnLector.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

const std::string k18(18, ' ');
using V = std::vector<std::string>;

TEST(PgnLector, TagLines) {
    struct Caso {
        const char* linea;
        bool etiqueta;
        const char* nombre;
        const char* valor;
    };
    for (const Caso& c : {
             Caso{"[Event \"x\"]", true, "event", "x"},
             Caso{"[EVENT \"x\"]", true, "event", "x"},
             Caso{"[Event\"x\"]", false, "", ""},
             Caso{"[Event\t\"x\"]", true, "event", "x"},
             Caso{"[Event \"a\"b\"]", true, "event", "a"},
             Caso{"[Event \"say \\\"hi\\\" \\\\o/\"]", true, "event", "say \"hi\" \\o/"},
             Caso{"[Event x]", true, "event", ""},
             Caso{"[Event \"open]", true, "event", ""},
             Caso{"[White_Elo \"2100\"]", true, "white_elo", "2100"},
             Caso{"[FEN \"8/8/8/8/8/8/8/8 w - - 0 1\"]", true, "fen", "8/8/8/8/8/8/8/8 w - - 0 1"},
             Caso{"[ Event \"x\"]", false, "", ""},
             Caso{"[!] e4", false, "", ""},
             Caso{" [Event \"x\"]", false, "", ""},
             Caso{"[Ev-ent \"x\"]", false, "", ""},
             Caso{"1. e4 e5", false, "", ""},
             Caso{"", false, "", ""},
         }) {
        std::string nombre = "?", valor = "?";
        EXPECT_EQ(pgn::LeerEtiqueta(c.linea, &nombre, &valor), c.etiqueta) << c.linea;
        if (c.etiqueta) {
            EXPECT_EQ(nombre, c.nombre) << c.linea;
            EXPECT_EQ(valor, c.valor) << c.linea;
        }
    }
}

// The games of a text, each as "event|white|first move-text line".
std::vector<std::string> Juegos(const std::string& texto) {
    pgn::Indice indice;
    indice.Construir(texto);
    std::vector<std::string> juegos;
    for (const auto& e : indice.Partidas()) {
        const pgn::Partida p = pgn::LeerPartida(std::string_view(texto).substr(e.inicio, e.fin - e.inicio));
        std::string primera = p.textoJugadas.substr(0, p.textoJugadas.find('\n'));
        juegos.push_back((e.Tiene(0) ? e.valores[0] : "-") + "|" + (e.Tiene(4) ? e.valores[4] : "-") + "|" + primera);
        EXPECT_EQ(p.valores[0], e.valores[0]);
    }
    return juegos;
}

TEST(PgnLector, GameBoundaries) {
    using V = std::vector<std::string>;
    struct Caso {
        const char* nombre;
        std::string texto;
        V juegos;
    };
    const Caso casos[] = {
        {"two games", "[Event \"a\"]\n[White \"A\"]\n\n1. e4 *\n\n[Event \"b\"]\n[White \"B\"]\n\n1. d4 *\n",
         V{"a|A|1. e4 *", "b|B|1. d4 *"}},
        {"no blank lines", "[Event \"a\"]\n1. e4 *\n[Event \"b\"]\n1. d4 *", V{"a|-|1. e4 *", "b|-|1. d4 *"}},
        {"a game without Event keeps its moves", "[Event \"a\"]\n\n1. e4 *\n\n[White \"W\"]\n\n1. d4 *\n",
         V{"a|-|1. e4 *", "-|W|1. d4 *"}},
        {"a repeated name starts the next game",
         "[Event \"a\"]\n[Result \"*\"]\n\n[Event \"b\"]\n[White \"B\"]\n\n1. c4 *\n", V{"a|-|", "b|B|1. c4 *"}},
        {"blank and escape lines inside the tags", "[Event \"a\"]\n\n% note\n[White \"A\"]\n\n1. e4 *\n",
         V{"a|A|1. e4 *"}},
        {"a bracket line that is no tag is dropped", "[Event \"a\"]\n\n1. e4\n[Event\"z\"]\ne5 *\n", V{"a|-|1. e4"}},
        {"text before the first tags belongs to no game", "1. f4 *\n\n[Event \"a\"]\n\n1. e4 *\n", V{"a|-|1. e4 *"}},
        {"byte-order mark and CR LF", "\xEF\xBB\xBF[Event \"a\"]\r\n[White \"A\"]\r\n\r\n1. e4 *\r\n",
         V{"a|A|1. e4 *"}},
        {"CR LF without the last line end", "[Event \"a\"]\r\n\r\n1. e4 *", V{"a|-|1. e4 *"}},
        {"CR alone (old Mac files)", "[Event \"a\"]\r[White \"A\"]\r\r1. e4 *\r\r[Event \"b\"]\r\r1. d4 *",
         V{"a|A|1. e4 *", "b|-|1. d4 *"}},
        {"CR, LF and CR LF mixed", "[Event \"a\"]\n[White \"A\"]\r\r\n1. e4 *\r\n[Event \"b\"]\r1. d4 *\n",
         V{"a|A|1. e4 *", "b|-|1. d4 *"}},
        {"empty", "", V{}},
    };
    for (const Caso& c : casos) EXPECT_EQ(Juegos(c.texto), c.juegos) << c.nombre;
}

// Each of CR, LF and CR LF ends a line: the move text of a file with CR alone splits
// into the same half-moves (a ";" remark ends with its line).
TEST(PgnLector, EveryLineEndSplitsTheMoveText) {
    const std::string lf = "[Event \"a\"]\n\n1. e4 ; a remark\ne5 2. Nf3 {a\ncomment} Nc6\n3. Bb5 *\n";
    const V esperadas = {"1. e4", k18 + "e5", "2. Nf3", k18 + "Nc6", "3. Bb5"};
    for (const char* fin : {"\n", "\r", "\r\n"}) {
        std::string texto;
        for (char c : lf) texto += c == '\n' ? std::string(fin) : std::string(1, c);
        pgn::Indice indice;
        indice.Construir(texto);
        ASSERT_EQ(indice.Partidas().size(), 1u) << int(fin[0]);
        const pgn::Partida p = pgn::LeerPartida(texto);
        EXPECT_EQ(pgn::SepararJugadas(p.textoJugadas), esperadas) << int(fin[0]);
    }
}

// A tag run with 100,000 distinct names (one game) is indexed in a time that grows
// with the names, not with their square: well under three seconds of CPU, where comparing
// each name with every name before it took seconds.
TEST(PgnLector, ManyDistinctTagNamesIndexFast) {
    std::string texto = "[Event \"a\"]\n";
    for (int i = 0; i < 100000; ++i) texto += "[Tag" + std::to_string(i) + " \"v\"]\n";
    texto += "[Tag99999 \"again\"]\n\n1. e4 *\n";
    pgn::Indice indice;
    const std::clock_t antes = std::clock();
    indice.Construir(texto);
    const double segundos = double(std::clock() - antes) / CLOCKS_PER_SEC;
    // The repeated name starts a second game, as any repeated name does.
    EXPECT_EQ(indice.Partidas().size(), 2u);
    EXPECT_LT(segundos, 3.0);
}

TEST(PgnLector, ListByATagKeepsTheGamesThatCarryIt) {
    const std::string texto =
        "[Event \"a\"]\n[White \"W1\"]\n\n*\n[Event \"b\"]\n\n*\n[Event \"c\"]\n[WHITE \"W3\"]\n\n*\n";
    pgn::Indice indice;
    indice.Construir(texto);
    EXPECT_EQ(indice.Lista(0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(indice.Lista(4), (std::vector<int>{0, 2}));
    EXPECT_EQ(indice.Partidas()[2].valores[4], "W3");
    EXPECT_TRUE(indice.Lista(5).empty());
    EXPECT_TRUE(indice.Lista(7).empty());
}

TEST(PgnLector, TokenClasses) {
    struct Caso {
        const char* token;
        int clase;
    };
    // clang-format off
    for (const Caso& c : {
             Caso{"", 0}, Caso{"  ", 0}, Caso{"12...", 0}, Caso{"[!]", 1}, Caso{"12", 2}, Caso{"12.", 2},
             Caso{"123456789012345678901234567890.", 2}, Caso{"e4", 3}, Caso{"Nf3+", 3}, Caso{"O-O", 3},
             Caso{"0-0-0", 3}, Caso{"$1", 4}, Caso{"12.e4", 5}, Caso{"1-0", 6}, Caso{"0-1", 6}, Caso{"1/2-1/2", 6},
             Caso{"*", 6}, Caso{"g1-f3", 6}, Caso{"e.p.", 3}, Caso{"e4$1", 4}, Caso{"!?", 4}, Caso{"??", 4},
             Caso{"!", 4}, Caso{"e4!?", 3}, Caso{"Nf3+!", 3},
         })
        EXPECT_EQ(pgn::TipoToken(c.token), c.clase) << c.token;
}

TEST(PgnLector, HalfMoveLines) {
    using V = std::vector<std::string>;
    struct Caso {
        const char* texto;
        V lineas;
    };
    // clang-format on
    for (const Caso& c : {
             Caso{"1.e4 e5", V{"1. e4", k18 + "e5"}},
             Caso{"1. e4 e5 2. Nf3", V{"1. e4", k18 + "e5", "2. Nf3"}},
             Caso{"1. e4 e5 1-0 0-1 1/2-1/2 * 2. g1-f3 $1 Nf3", V{"1. e4", k18 + "e5", "2. Nf3"}},
             Caso{"e4 e5 1. d4", V{"1. d4"}},
             Caso{"{a {b} c} 2. d4", V{"2. d4"}},
             Caso{"1. e4 (1. d4 (1. c4 c5) d5) e5", V{"1. e4", k18 + "e5"}},
             Caso{"1. e4 ( { ) } e5", V{"1. e4", k18 + "}", k18 + "e5"}},
             Caso{"1. e4 { ( } e5", V{"1. e4", k18 + "e5"}},
             Caso{"1. e4 {c} e5 {c} 2. d4", V{"1. e4", k18 + "e5", "2. d4"}},
             Caso{"1. e4{x}e5", V{"1. e4", k18 + "e5"}},
             Caso{"1. e4 ; rest d4\ne5", V{"1. e4", k18 + "e5"}},
             Caso{"1. e4 {a;b} e5", V{"1. e4", k18 + "e5"}},
             Caso{"1. e4 e5 2. d4 {never closed 3. c4", V{"1. e4", k18 + "e5", "2. d4"}},
             Caso{"1. e4 e5 2. d4 (never closed 3. c4", V{"1. e4", k18 + "e5", "2. d4"}},
             Caso{"12. e4 12...Nf6 13. d4", V{"12. e4", k18 + "Nf6", "13. d4"}},
             Caso{"12. e4 12... Nf6 13. d4", V{"12. e4", k18 + "Nf6", "13. d4"}},
             Caso{"1.\te4\t\te5", V{"1. e4", k18 + "e5"}},
             Caso{"0. e4 e5", V{}},
             Caso{"99999999999999999999999. e4 e5", V{"99999999999999999999999. e4", k18 + "e5"}},
             Caso{"007. e4", V{"7. e4"}},
             // Annotations glued to their moves, or suffix marks standing apart.
             Caso{"1. e4$1 e5 2. Nf3!? Nc6$14 3.Bb5+!$3 a6",
                  V{"1. e4", k18 + "e5", "2. Nf3!?", k18 + "Nc6", "3. Bb5+!", k18 + "a6"}},
             Caso{"1. e4 !? e5 ?! 2. Nf3 !! $1 Nc6", V{"1. e4", k18 + "e5", "2. Nf3", k18 + "Nc6"}},
             Caso{"1. e4 1...$2 e5", V{"1. e4", k18 + "e5"}},
         })
        EXPECT_EQ(pgn::SepararJugadas(c.texto), c.lineas) << c.texto;
}

TEST(PgnLector, MoveTextOfAGameSkipsTagsEscapesAndBlankLines) {
    const pgn::Partida p =
        pgn::LeerPartida("[Event \"a\"]\n[FEN \"k7/8/8/8/8/8/8/K7 w - - 0 1\"]\n\n1. e4\n\n%x y\n e5\n");
    EXPECT_TRUE(p.conFen);
    EXPECT_EQ(p.fen, "k7/8/8/8/8/8/8/K7 w - - 0 1");
    EXPECT_EQ(p.textoJugadas, "1. e4\n e5\n");
    EXPECT_EQ(pgn::JugadaDeLinea("12. Nf3", true), "Nf3");
    EXPECT_EQ(pgn::JugadaDeLinea(k18 + "Nf6", false), "Nf6");
    EXPECT_EQ(pgn::JugadaDeLinea("short", false), "");
}

}  // namespace
