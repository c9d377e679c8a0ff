// The PGN browser and its move list: reading files into the list and the fields,
// loading a game onto the board, and every way of moving through it.
#include "pgn_comun.h"

#include "app/ApiFunciones.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "files/PgnPestanas.h"
#include "juego.h"
#include "network/Chat.h"
#include "network/Reloj.h"
#include "partida.h"
#include "muestra.h"
#include "partida_aleatoria.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"
#include "shell/Retroceso.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace pgn_prueba;

namespace {

const QString k18(18, u' ');

// 1. e4 d5 2. e5 f5 3. exf6 (en passant) e5 4. fxg7 Qh4 5. gxh8=Q Nc6 6. Nf3 Bd7
// 7. Be2 O-O-O 8. O-O: en passant, a promotion and castling on both sides.
const QByteArray kPartida =
    "[Event \"Test\"]\n[Site \"Here\"]\n[Date \"2024.01.02\"]\n[Round \"3\"]\n[White \"Ana\"]\n[Black \"Luis\"]\n"
    "[Result \"*\"]\n\n1. e4 d5 2. e5 f5 3. exf6 e5 4. fxg7 Qh4 5. gxh8=Q Nc6 {a comment} 6. Nf3 Bd7 (6... Bg4)\n"
    "7. Be2 O-O-O 8. O-O *\n";
const std::vector<std::string> kCodificadas = {"5254",  "4745", "5455", "6765", "5566", "5755", "6677", "4884",
                                               "77885", "2836", "7163", "3847", "6152", "5838", "5171"};

class Navegador : public ::testing::Test {
protected:
    void SetUp() override {
        e = std::make_unique<Entorno>();
        e->Arrancar();
    }
    void TearDown() override {
        Cerrar();
        e.reset();
    }
    // The board, rights and records against the moves 0 to JugadaPgnActual played once.
    void Comprobar(const std::vector<std::string>& codificadas, const std::string& donde) {
        EXPECT_EQ(Actual(), Referencia(codificadas, int(JugadaPgnActual))) << donde;
        EXPECT_EQ(Partida::DibujoDistinto(), "") << donde;
    }
    std::unique_ptr<Entorno> e;
};

void Tecla(int tecla) { QTest::keyClick(PgnMovimientos().List1, Qt::Key(tecla)); }

// Counts the moves the rules write into the move list (one call each), and passes
// everything on to the board window.
class ContarJugadas : public rules::RulesHost {
public:
    ContarJugadas() : real_(Reglas().Host()) { Reglas().FijarHost(this); }
    ~ContarJugadas() override { Reglas().FijarHost(&real_); }
    int jugadas = 0;

    int Coronacion(int color) override { return real_.Coronacion(color); }
    bool ListaPgnVisible() const override { return real_.ListaPgnVisible(); }
    bool ReproduciendoPartida() const override { return real_.ReproduciendoPartida(); }
    void DibujarTorreEnroque(int xo, int yo, int xd, int yd) override { real_.DibujarTorreEnroque(xo, yo, xd, yd); }
    void OcultarMarcador() override { real_.OcultarMarcador(); }
    void JugadasCambiadas() override {
        ++jugadas;
        real_.JugadasCambiadas();
    }
    void SubComoFicha(const std::string& casilla) override { real_.SubComoFicha(casilla); }
    std::string TextoIdioma(int n) const override { return real_.TextoIdioma(n); }
    void MostrarMensaje(const std::string& titulo, const std::string& texto, int icono) override {
        real_.MostrarMensaje(titulo, texto, icono);
    }

private:
    rules::RulesHost& real_;
};

void ClicLinea(int linea) {
    QListWidget* l = PgnMovimientos().List1;
    const QRect r = l->visualItemRect(l->item(linea));
    QTest::mouseClick(l->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

TEST_F(Navegador, ReadingTable) {
    struct Caso {
        const char* nombre;
        QByteArray texto;
        int buscar;
        QStringList entradas;
        QString event, white;  // fields of the first listed game
        QStringList lineas;
        int jugadas;       // coded moves loaded
        QString mensajes;  // texts of the boxes shown, "|" between
        const char* fen;   // the board afterwards, "" the standard start
    };
    // clang-format off
    const Caso casos[] = {
        {"Event lines in any case, a blank after the name",
         "[Event \"x\"]\n[White \"A\"]\n\n1. e4 e5 *\n\n[EVENT \"y\"]\n\n1. d4 *\n\n[Event\"z\"]\n", 0, {"x", "y"}, "x",
         "A", {"1. e4", k18 + "e5"}, 2, "", ""},
        {"no Event line", "[White \"A\"]\n\n1. e4 *\n", 0, {}, "", "", {}, 0, "55", ""},
        {"listed by White, each game's own tags",
         "[Event \"e1\"]\n[White \"A\"]\n\n1. e4 *\n\n[Event \"e2\"]\n\n1. d4 *\n\n[Event \"e3\"]\n[White \"C\"]\n\n1. c4 *\n",
         4, {"A", "C"}, "e1", "A", {"1. e4"}, 1, "", ""},
        {"a first game from a FEN position",
         "[Event \"f\"]\n[FEN \"k7/8/8/8/8/8/8/K6R w - - 0 1\"]\n\n1. Rh8# 1-0\n\n[Event \"g\"]\n\n1. e4 *\n", 0,
         {"f", "g"}, "f", "", {}, 0, "", "k7/8/8/8/8/8/8/K6R"},
        {"a FEN the reader refuses", "[Event \"b\"]\n[FEN \"9/x w\"]\n\n1. e4 *\n", 0, {"b"}, "b", "", {}, 0, "55", ""},
        {"a value ends at its second quote", "[Event \"a\"b\"]\n\n*\n", 0, {"a"}, "a", "", {}, 0, "", ""},
        {"escaped quotes and backslashes", "[Event \"say \\\"hi\\\" \\\\o/\"]\n\n*\n", 0, {"say \"hi\" \\o/"},
         "say \"hi\" \\o/", "", {}, 0, "", ""},
        {"a tag without quotes", "[Event x]\n[White \"W\"]\n\n1. e4 *\n", 0, {""}, "", "W", {"1. e4"}, 1, "", ""},
        {"Black's moves written with their number",
         "[Event \"x\"]\n\n1. e4 1...e5 2. Nf3 2... Nc6 *\n", 0, {"x"}, "x", "", {"1. e4", k18 + "e5", "2. Nf3", k18 + "Nc6"},
         4, "", ""},
        {"byte-order mark, CR LF and a comment left open",
         "\xEF\xBB\xBF[Event \"x\"]\r\n\r\n1. e4 e5 2. Nf3 {open\r\n", 0, {"x"}, "x", "", {"1. e4", k18 + "e5", "2. Nf3"},
         3, "", ""},
        {"escape and blank lines in the move text",
         "[Event \"x\"]\n\n1. e4\n\n%comment 2. d4\ne5 *\n", 0, {"x"}, "x", "", {"1. e4", k18 + "e5"}, 2, "", ""},
        {"UTF-8 and Windows-1252 values", "[Event \"Caf\xC3\xA9\"]\n[White \"M\xFCller\"]\n\n*\n", 0,
         {QString::fromUtf8("Caf\xC3\xA9")}, QString::fromUtf8("Caf\xC3\xA9"), QString::fromUtf8("M\xC3\xBCller"), {}, 0,
         "", ""},
        {"annotations glued to the moves or standing apart",
         "[Event \"x\"]\n\n1. e4$1 e5!? 2. Nf3+! $2 Nc6 !? 3.Bb5$3 a6?! *\n", 0, {"x"}, "x", "",
         {"1. e4", k18 + "e5!?", "2. Nf3+!", k18 + "Nc6", "3. Bb5", k18 + "a6?!"}, 6, "", ""},
        {"a move that cannot be played ends the load", "[Event \"x\"]\n\n1. e4 e5 2. Nf5 Nc6 *\n", 0, {"x"}, "x", "",
         {"1. e4", k18 + "e5", "2. Nf5", k18 + "Nc6"}, 2, "<51> Nf5", ""},
    };
    // clang-format on
    for (const Caso& c : casos) {
        e->mensajes.clear();
        ListaPgn().Buscar->setCurrentIndex(c.buscar);
        Abrir(*e, "t.pgn", c.texto);
        EXPECT_EQ(Entradas(), c.entradas) << c.nombre;
        EXPECT_EQ(NumPartidasPgn, c.entradas.size()) << c.nombre;
        EXPECT_TRUE(ListaPgn().Caption().endsWith(QString(" - t.pgn %1 ").arg(c.entradas.size()) + TextosIdioma[50]))
            << c.nombre << " " << ListaPgn().Caption().toStdString();
        EXPECT_EQ(ListaPgn().Text1[0]->text(), c.event) << c.nombre;
        EXPECT_EQ(ListaPgn().Text1[4]->text(), c.white) << c.nombre;
        EXPECT_EQ(Lineas(), c.lineas) << c.nombre;
        EXPECT_EQ(int(Codificadas().size()), c.jugadas) << c.nombre;
        const bool conFen = std::string(c.fen).size() > 0 || QString(c.nombre).contains("refuses");
        EXPECT_EQ(JugadaPgnActual, conFen ? 0 : c.jugadas - 1) << c.nombre;
        QStringList vistos;
        for (const auto& m : e->mensajes) vistos << m.texto;
        QString esperado = c.mensajes;
        esperado.replace("<51>", TextosIdioma[51]).replace("55", TextosIdioma[55]);
        EXPECT_EQ(vistos.join(u'|'), esperado) << c.nombre;
        EXPECT_EQ(PgnConFen, conFen) << c.nombre;
        Reglas().EscribirFen();
        const std::string fen = std::string(c.fen).empty() ? "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR" : c.fen;
        if (c.jugadas == 0) {
            EXPECT_EQ(Reglas().TextoFen.substr(0, fen.size()), fen) << c.nombre;
        }
        EXPECT_EQ(Partida::DibujoDistinto(), "") << c.nombre;
        Cerrar();
    }
    ListaPgn().Buscar->setCurrentIndex(0);
}

TEST_F(Navegador, ListingByAnotherTagKeepsTheCountAndEachGameKeepsItsOwnTags) {
    Abrir(
        *e, "t.pgn",
        "[Event \"e1\"]\n[White \"A\"]\n\n1. e4 *\n\n[Event \"e2\"]\n\n1. d4 *\n\n[Event \"e3\"]\n[White \"C\"]\n[FEN "
        "\"k7/8/8/8/8/8/8/K6R w - - 0 1\"]\n\n*\n");
    const QString titulo = ListaPgn().Caption();
    EXPECT_TRUE(titulo.endsWith(" 3 " + TextosIdioma[50]));
    ListaPgn().Buscar->setCurrentIndex(4);
    ListaPgn().Buscar_Click();
    EXPECT_EQ(Entradas(), (QStringList{"A", "C"}));
    EXPECT_EQ(ListaPgn().Caption(), titulo);
    Elegir(1);
    EXPECT_EQ(ListaPgn().Text1[0]->text(), "e3");
    EXPECT_EQ(ListaPgn().Text1[4]->text(), "C");
    EXPECT_TRUE(PgnConFen);
    EXPECT_TRUE(ListaPgn().Label2->text().endsWith(": 2"));
    ListaPgn().Buscar->setCurrentIndex(0);
}

TEST_F(Navegador, AChangedFileIsIndexedAgain) {
    Abrir(*e, "t.pgn", "[Event \"a\"]\n\n1. e4 *\n\n[Event \"b\"]\n\n1. d4 *\n");
    // The second game moves further into the file and grows: it is found again.
    e->Escribir("t.pgn", "[Event \"a\"]\n[Site \"longer now\"]\n\n1. e4 e5 *\n\n[Event \"b\"]\n\n1. d4 d5 2. c4 *\n");
    Elegir(1);
    EXPECT_EQ(Lineas(), (QStringList{"1. d4", k18 + "d5", "2. c4"}));
    EXPECT_EQ(Codificadas().size(), 3u);
}

TEST_F(Navegador, LoadingAndTheButtons) {
    Abrir(*e, "t.pgn", kPartida);
    ASSERT_EQ(Codificadas(), kCodificadas);
    EXPECT_EQ(ListaPgn().Text1[5]->text(), "Luis");
    EXPECT_EQ(ListaPgn().Combo1->currentText(), "*");
    auto& l = ListaPgn();
    const int n = int(kCodificadas.size());
    EXPECT_EQ(JugadaPgnActual, n - 1);
    EXPECT_EQ(Resaltada(), n - 1);
    Comprobar(kCodificadas, "after the load");
    // At the end forward and end change nothing.
    for (int boton : {3, 4}) {
        l.Command1_Click(boton);
        EXPECT_EQ(JugadaPgnActual, n - 1);
    }
    l.Command1_Click(2);
    EXPECT_EQ(JugadaPgnActual, n - 2);
    EXPECT_EQ(Resaltada(), n - 2);
    Comprobar(kCodificadas, "back");
    l.Command1_Click(1);
    EXPECT_EQ(JugadaPgnActual, -1);
    EXPECT_EQ(Resaltada(), -1);
    Comprobar(kCodificadas, "start");
    l.Command1_Click(2);
    EXPECT_EQ(JugadaPgnActual, -1);
    for (int i = 0; i < 5; ++i) l.Command1_Click(3);
    EXPECT_EQ(JugadaPgnActual, 4);
    EXPECT_EQ(Resaltada(), 4);
    Comprobar(kCodificadas, "forward to the en passant capture");
    EXPECT_EQ(rules_test::En(Reglas(), "f5"), 0);
    l.Command1_Click(2);
    l.Command1_Click(2);
    l.Command1_Click(2);
    l.Command1_Click(2);
    // Back from the first move: the start, no highlight.
    l.Command1_Click(2);
    EXPECT_EQ(JugadaPgnActual, -1);
    EXPECT_EQ(Resaltada(), -1);
    l.Command1_Click(4);
    EXPECT_EQ(JugadaPgnActual, n - 1);
    EXPECT_EQ(Resaltada(), n - 1);
    Comprobar(kCodificadas, "end");
    EXPECT_EQ(rules_test::En(Reglas(), "h8"), rules::DamaBlanca);
    EXPECT_EQ(rules_test::En(Reglas(), "g1"), rules::ReyBlanco);
    EXPECT_EQ(rules_test::En(Reglas(), "c8"), rules::ReyNegro);
}

TEST_F(Navegador, MoveListKeysAndClicks) {
    Abrir(*e, "t.pgn", kPartida);
    const int n = int(kCodificadas.size());
    // Left from half-move n shows n - 1 with the highlight on line n - 2.
    Tecla(Qt::Key_Left);
    EXPECT_EQ(JugadaPgnActual, n - 2);
    EXPECT_EQ(Resaltada(), n - 2);
    Comprobar(kCodificadas, "Left");
    Tecla(Qt::Key_Up);
    EXPECT_EQ(JugadaPgnActual, n - 3);
    Tecla(Qt::Key_Right);
    Tecla(Qt::Key_Down);
    Tecla(Qt::Key_Down);
    EXPECT_EQ(JugadaPgnActual, n - 1);
    Comprobar(kCodificadas, "Right and Down");
    // Every other key that moves the highlight takes the board with it: Home, the page
    // keys, End, and a key that finds a line by its text ("5. gxh8=Q").
    struct Paso {
        int tecla;
        int linea;  // the line it lands on, -1 any but the one before
    };
    for (const Paso& p : {Paso{Qt::Key_Home, 0}, Paso{Qt::Key_PageDown, -1}, Paso{Qt::Key_End, n - 1},
                          Paso{Qt::Key_PageUp, -1}, Paso{Qt::Key_5, 8}}) {
        const int antes = Resaltada();
        Tecla(p.tecla);
        if (p.linea >= 0)
            EXPECT_EQ(Resaltada(), p.linea) << p.tecla;
        else
            EXPECT_NE(Resaltada(), antes) << p.tecla;
        EXPECT_EQ(JugadaPgnActual, Resaltada()) << p.tecla;
        Comprobar(kCodificadas, "key " + std::to_string(p.tecla));
    }
    // The next arrow goes on from there.
    Tecla(Qt::Key_Down);
    EXPECT_EQ(JugadaPgnActual, 9);
    EXPECT_EQ(Resaltada(), 9);
    // Clicking line k shows half-moves 0 to k.
    for (int k : {4, 0, 8, 13, 2}) {
        ClicLinea(k);
        EXPECT_EQ(JugadaPgnActual, k);
        EXPECT_EQ(Resaltada(), k);
        Comprobar(kCodificadas, "click " + std::to_string(k));
    }
    // With the first half-move shown the arrows back change nothing; from the start
    // they play the first half-move.
    ClicLinea(0);
    Tecla(Qt::Key_Left);
    EXPECT_EQ(JugadaPgnActual, 0);
    ListaPgn().Command1_Click(1);
    Tecla(Qt::Key_Up);
    EXPECT_EQ(JugadaPgnActual, 0);
    Comprobar(kCodificadas, "Up from the start");
}

TEST_F(Navegador, AClickPastTheLastCodedMoveShowsThatMove) {
    Abrir(*e, "t.pgn", "[Event \"x\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 Nf5 4. O-O a6 *\n");
    ASSERT_EQ(Codificadas().size(), 5u);
    ASSERT_EQ(Lineas().size(), 8);
    ClicLinea(7);
    EXPECT_EQ(JugadaPgnActual, 4);
    EXPECT_EQ(Resaltada(), 4);
    Comprobar(Codificadas(), "click past the end");
    // End lands past it too: the highlight comes back to the move shown.
    Tecla(Qt::Key_Home);
    Tecla(Qt::Key_End);
    EXPECT_EQ(JugadaPgnActual, 4);
    EXPECT_EQ(Resaltada(), 4);
    Comprobar(Codificadas(), "End past the end");
}

TEST_F(Navegador, AGameFromAFenPositionKeepsItsPosition) {
    const char* fen = "k7/8/8/8/8/8/8/K6R w - - 0 1";
    Abrir(*e, "t.pgn", QByteArray("[Event \"f\"]\n[FEN \"") + fen + "\"]\n\n1. Rh8# 1-0\n");
    ASSERT_TRUE(PgnConFen);
    const pgn_prueba::Estado fenEstado = Referencia({}, -1, fen);
    for (int boton : {1, 2, 4, 3}) {
        ListaPgn().Command1_Click(boton);
        EXPECT_EQ(Actual(), fenEstado) << boton;
        EXPECT_EQ(Partida::DibujoDistinto(), "") << boton;
    }
    ListaPgn().Command1_Click(1);
    Tecla(Qt::Key_Right);
    EXPECT_EQ(Actual(), fenEstado);
}

// Every way of moving, in random order over random games, leaves what playing the
// first moves once leaves.
TEST_F(Navegador, AnyNavigationEqualsPlayingTheMovesOnce) {
    std::mt19937 azar(7);
    rules::Reglas r;
    QByteArray texto;
    std::vector<std::vector<std::string>> juegos;
    for (int i = 1, n = Muestra(6, 2); i <= n; ++i) {
        pgngen::NuevaPartida(r);
        const auto p = pgngen::Jugar(r, azar, 60 + int(azar() % 80));
        texto += QByteArray::fromStdString(pgngen::TextoPgn(r, i, p.resultado)) + "\r\n";
        juegos.push_back(p.codificadas);
    }
    Abrir(*e, "r.pgn", texto);
    for (int juego = 0; juego < int(juegos.size()); ++juego) {
        Elegir(juego);
        ASSERT_EQ(Codificadas(), juegos[size_t(juego)]);
        for (int paso = 0; paso < 40; ++paso) {
            const int n = int(Codificadas().size());
            std::string op;
            // clang-format off
            switch (azar() % 8) {
                case 0: op = "button " + std::to_string(1 + azar() % 4); ListaPgn().Command1_Click(op.back() - '0'); break;
                case 1: op = "Left"; Tecla(Qt::Key_Left); break;
                case 2: op = "Right"; Tecla(Qt::Key_Right); break;
                case 3: op = "Up"; Tecla(Qt::Key_Up); break;
                case 4: op = "Down"; Tecla(Qt::Key_Down); break;
                case 5: { const int k = int(azar() % unsigned(n)); op = "click " + std::to_string(k); ClicLinea(k); break; }
                case 6: {
                    const int teclas[] = {Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown};
                    const int t = teclas[azar() % 4];
                    op = "key " + std::to_string(t);
                    Tecla(t);
                    ASSERT_EQ(Resaltada(), JugadaPgnActual) << op;
                    break;
                }
                default: op = "tick"; ListaPgn().SiguienteJugada(); break;
            }
            // clang-format on
            ASSERT_GE(JugadaPgnActual, -1);
            ASSERT_LT(JugadaPgnActual, n);
            EXPECT_EQ(Actual(), Referencia(juegos[size_t(juego)], int(JugadaPgnActual)))
                << "game " << juego << ", " << op;
        }
        EXPECT_EQ(Partida::DibujoDistinto(), "");
    }
}

TEST_F(Navegador, Autoplay) {
    auto& l = ListaPgn();
    Abrir(*e, "t.pgn", "[Event \"a\"]\n\n1. e4 e5 2. Nf3 *\n\n[Event \"b\"]\n\n*\n");
    l.FijarAutoPlay("250");
    // Play at the end starts again from the first move and stops after the last.
    l.Command1_Click(5);
    EXPECT_EQ(JugadaPgnActual, -1);
    EXPECT_TRUE(l.AutoPlayActivo());
    EXPECT_FALSE(l.Command1[1]->isEnabled());
    EXPECT_EQ(l.AutoPlay->interval(), 250);
    QTRY_VERIFY_WITH_TIMEOUT(!l.AutoPlayActivo(), 10000);
    EXPECT_EQ(JugadaPgnActual, 2);
    EXPECT_TRUE(l.Command1[1]->isEnabled());
    EXPECT_EQ(l.Command1[5]->toolTip(), LeerIni(FicheroIdioma, "Tips", "22"));
    Comprobar(Codificadas(), "after autoplay");
    // Pause, and a click on the game already loaded stops it without reloading.
    l.Command1_Click(5);
    EXPECT_EQ(l.Command1[5]->toolTip(), LeerIni(FicheroIdioma, "Tips", "23"));
    l.Command1_Click(5);
    EXPECT_FALSE(l.AutoPlayActivo());
    l.Command1_Click(5);
    l.Eventos_Click();
    EXPECT_FALSE(l.AutoPlayActivo());
    EXPECT_FALSE(l.Timer->isActive());
    // A game without moves: play stops at the first tick.
    Elegir(1);
    EXPECT_TRUE(Codificadas().empty());
    l.Command1_Click(5);
    l.AutoPlay_Timer();
    EXPECT_FALSE(l.AutoPlayActivo());
    EXPECT_EQ(JugadaPgnActual, -1);
    // The interval.
    struct Caso {
        const char* texto;
        int ms;
    };
    for (const Caso& c : {Caso{"250", 250}, Caso{"1500", 1500}, Caso{"100", 250}, Caso{"9000", 5000}, Caso{"abc", 1000},
                          Caso{"", 1000}, Caso{" 750 ", 750}}) {
        l.FijarAutoPlay(c.texto);
        EXPECT_EQ(l.IntervaloAutoPlay(), c.ms) << c.texto;
    }
}

TEST_F(Navegador, AutoplayWaitsBehindTheBoxOfARefusedMove) {
    auto& l = ListaPgn();
    Abrir(*e, "t.pgn", "[Event \"a\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 *\n");
    l.FijarAutoPlay("250");
    l.Command1_Click(1);
    Reglas().PgnJugadas[1] = "1118";  // a move the rules refuse
    int cajas = 0, abiertas = 0, anidadas = 0;
    const auto responder = ResponderMensaje;
    ResponderMensaje = [&](const CMensaje& m) -> long {
        EXPECT_EQ(m.TextoMensaje, TextosIdioma[27]);
        ++cajas;
        anidadas = std::max(anidadas, ++abiertas);
        const long antes = JugadaPgnActual;
        // The autoplay rests behind the box: the box's loop runs no step.
        EXPECT_FALSE(l.AutoPlay->isActive());
        QCoreApplication::processEvents();
        EXPECT_EQ(JugadaPgnActual, antes);
        --abiertas;
        return IDOK;
    };
    l.Command1_Click(5);
    QTRY_VERIFY_WITH_TIMEOUT(!l.AutoPlayActivo(), 30000);
    ResponderMensaje = responder;
    EXPECT_GT(cajas, 1);
    EXPECT_EQ(anidadas, 1);
    EXPECT_EQ(JugadaPgnActual, 4);
}

TEST_F(Navegador, TabStripClicksAndSaveMode) {
    auto& l = ListaPgn();
    Abrir(*e, "t.pgn", kPartida);
    const pgn::Pestanas p(TextosTab, l.picTab->font());
    auto visible = [&] {
        for (int i = 1; i <= 3; ++i)
            if (controles::Visible(l.picContainer[size_t(i)])) return i;
        return 0;
    };
    EXPECT_EQ(visible(), 1);
    l.picTab_MouseDown(1, p.Izquierda(2) + 5, 2);
    EXPECT_EQ(visible(), 1);
    l.picTab_MouseDown(1, p.Izquierda(2) + 5, 21);
    EXPECT_EQ(visible(), 2);
    const int e1 = p.Derecha(1) + 1;
    l.picTab_MouseDown(1, e1, 10);
    EXPECT_EQ(visible(), 2);
    l.picTab_MouseDown(1, e1 - 1, 10);
    EXPECT_EQ(visible(), 1);
    l.picTab_MouseDown(1, p.Derecha(3) + 1, 10);
    EXPECT_EQ(visible(), 1);
    l.picTab_MouseDown(1, p.Izquierda(3) + 2, 10);
    EXPECT_EQ(visible(), 3);
    // A real press on the strip goes the same way.
    QTest::mouseClick(l.picTab, Qt::LeftButton, Qt::NoModifier, QPoint(p.Izquierda(1) + 4, 12));
    EXPECT_EQ(visible(), 1);
    l.Eventos_DblClick();
    EXPECT_EQ(visible(), 2);
    // The strip as drawn is the strip of tab 2.
    QImage esperada(l.picTab->size(), QImage::Format_RGB32);
    p.Dibujar(esperada, 2, l.picTab->BackColor());
    EXPECT_EQ(l.picTab->Imagen().convertToFormat(QImage::Format_RGB32), esperada);
    // In save mode the strip ignores the mouse.
    l.Command2[1]->show();
    l.picTab_MouseDown(1, p.Izquierda(1) + 4, 12);
    EXPECT_EQ(visible(), 2);
    l.Command2[1]->hide();
}

TEST_F(Navegador, ClosingGivesAFreshGameAndTheSideWindowsBack) {
    Mdi().mnuMovimientos->setChecked(true);
    Mdi().mnuVentanaChat->setChecked(false);
    Mdi().mnuReloj->setChecked(true);
    Jugadas().Show();
    Reloj().Show();
    Abrir(*e, "t.pgn", kPartida);
    EXPECT_FALSE(Jugadas().Visible());
    EXPECT_FALSE(Reloj().Visible());
    EXPECT_TRUE(PgnMovimientos().Visible());
    EXPECT_EQ(e->Leer("Configuracion", "Jugadas"), "1");
    EXPECT_EQ(e->Leer("Configuracion", "Chat"), "0");
    e->Poner("Configuracion", "Reloj", "0");
    e->Poner("Configuracion", "Elo", "7");
    const bool ranking = Mdi().mnuMostrarRanking->isChecked();
    ListaPgn().Unload();
    EXPECT_FALSE(ListaPgn().Visible());
    EXPECT_FALSE(PgnMovimientos().Visible());
    EXPECT_TRUE(FicheroPgn.isEmpty());
    EXPECT_TRUE(Jugadas().Visible());
    EXPECT_TRUE(Mdi().mnuMovimientos->isChecked());
    EXPECT_FALSE(Reloj().Visible());
    EXPECT_FALSE(Mdi().mnuReloj->isChecked());
    EXPECT_FALSE(Chat().Visible());
    EXPECT_EQ(Mdi().mnuMostrarRanking->isChecked(), ranking);
    EXPECT_EQ(Actual(), Referencia({}, -1));
    EXPECT_EQ(Partida::DibujoDistinto(), "");
}

TEST_F(Navegador, OpeningThroughTheTimerAndTheCommandLine) {
    e->Escribir("t.pgn", kPartida);
    AbrirPgn(e->Ruta("t.pgn"));
    EXPECT_TRUE(ListaPgn().Timer->isActive());
    EXPECT_EQ(ListaPgn().Timer->interval(), 300);
    QTRY_VERIFY_WITH_TIMEOUT(!ListaPgn().Timer->isActive(), 5000);
    EXPECT_EQ(Codificadas(), kCodificadas);
    EXPECT_EQ(ListaPgn().Caption().toStdString(),
              (LeerIni(FicheroIdioma, "Pgn", "Titulo") + " - t.pgn 1 " + TextosIdioma[50]).toStdString());
    // A click on another game loads it 10 ms later.
    ListaPgn().EventosTag = -1;
    ListaPgn().Eventos_Click();
    EXPECT_EQ(ListaPgn().Timer->interval(), 10);
    QTRY_VERIFY_WITH_TIMEOUT(!ListaPgn().Timer->isActive(), 5000);
}

TEST_F(Navegador, ABigGameLoads) {
    std::mt19937 azar(1500);
    rules::Reglas r;
    pgngen::PartidaAleatoria p;
    const size_t largo = size_t(Muestra(1500, 300));
    for (int intento = 0; intento < 200 && p.codificadas.size() < largo; ++intento) {
        pgngen::NuevaPartida(r);
        p = pgngen::Jugar(r, azar, int(largo));
    }
    ASSERT_EQ(p.codificadas.size(), largo);
    Abrir(*e, "larga.pgn", QByteArray::fromStdString(pgngen::TextoPgn(r, 1, p.resultado)));
    EXPECT_EQ(Codificadas(), p.codificadas);
    EXPECT_EQ(JugadaPgnActual, long(largo) - 1);
    ClicLinea(int(largo / 2));
    EXPECT_EQ(Actual(), Referencia(p.codificadas, int(largo / 2)));
}

// Loading writes each move's record once; a step forward plays one move and a step
// back takes one back, whatever the game's length; a jump plays or takes back the
// moves between, and the start is the game's own first position.
TEST_F(Navegador, EachStepCostsOneMove) {
    std::mt19937 azar(2000);
    rules::Reglas r;
    pgngen::NuevaPartida(r);
    const pgngen::PartidaAleatoria p = pgngen::JugarLarga(r, azar, 160);
    const int n = int(p.codificadas.size());
    ASSERT_EQ(n, 160);
    long filas = 0;
    QObject::connect(Jugadas().List1->model(), &QAbstractItemModel::rowsInserted, Jugadas().List1,
                     [&filas](const QModelIndex&, int desde, int hasta) { filas += hasta - desde + 1; });
    Abrir(*e, "larga.pgn", QByteArray::fromStdString(pgngen::TextoPgn(r, 1, p.resultado)));
    ASSERT_EQ(Codificadas(), p.codificadas);
    EXPECT_EQ(filas, n);

    auto& l = ListaPgn();
    ContarJugadas contador;
    struct Paso {
        std::function<void()> hacer;
        int jugadas, k;
        const char* que;
    };
    const Paso pasos[] = {
        {[&] { l.Command1_Click(2); }, 0, n - 2, "back button"},
        {[] { Tecla(Qt::Key_Left); }, 0, n - 3, "Left"},
        {[] { Tecla(Qt::Key_Up); }, 0, n - 4, "Up"},
        {[] { Tecla(Qt::Key_Right); }, 1, n - 3, "Right"},
        {[&] { l.Command1_Click(3); }, 1, n - 2, "forward button"},
        {[] { ClicLinea(80); }, 0, 80, "a click back"},
        {[] { ClicLinea(85); }, 5, 85, "a click forward"},
        {[&] { l.Command1_Click(4); }, n - 1 - 85, n - 1, "end button"},
        {[&] { l.Command1_Click(1); }, 0, -1, "start button"},
        {[&] { l.SiguienteJugada(); }, 1, 0, "autoplay tick"},
        {[] { Tecla(Qt::Key_Down); }, 1, 1, "Down"},
        {[] { Tecla(Qt::Key_End); }, n - 2, n - 1, "End"},
        {[] { Tecla(Qt::Key_Home); }, 0, 0, "Home"},
    };
    for (const Paso& paso : pasos) {
        contador.jugadas = 0;
        paso.hacer();
        EXPECT_EQ(contador.jugadas, paso.jugadas) << paso.que;
        ASSERT_EQ(JugadaPgnActual, paso.k) << paso.que;
        Comprobar(p.codificadas, paso.que);
        EXPECT_EQ(Resaltada(), paso.k) << paso.que;
    }
}

// The board changed behind the browser's back (a move or a take-back from elsewhere):
// the next step still shows the game's own position.
TEST_F(Navegador, AStepAfterTheBoardChangedElsewhereShowsTheGame) {
    Abrir(*e, "t.pgn", kPartida);
    ASSERT_EQ(Codificadas(), kCodificadas);
    auto& g = Reglas();
    g.Origen = "12";
    g.Destino = "13";
    g.ValidarMovimiento();
    g.MovimientoAnulado();
    ListaPgn().Command1_Click(2);
    Comprobar(kCodificadas, "back after a move made elsewhere");
    ASSERT_TRUE(retroceso::Retroceder(g));
    ASSERT_TRUE(retroceso::Retroceder(g));
    Tecla(Qt::Key_Left);
    Comprobar(kCodificadas, "Left after two take-backs made elsewhere");
    Tecla(Qt::Key_Right);
    Comprobar(kCodificadas, "Right");
}

// Listing by another tag sets up the FEN position of the game it selects, and loads
// nothing: the buttons still move through the game loaded, from its own start.
TEST_F(Navegador, AStepAfterAnotherListTagSetUpAPositionShowsTheGameLoaded) {
    QByteArray texto = kPartida;
    texto += "\n[Event \"b\"]\n[White \"w\"]\n[FEN \"4k3/8/8/8/8/8/8/R3K3 w Q - 0 1\"]\n\n*\n";
    texto.replace("[White \"Ana\"]\n", "");
    Abrir(*e, "dos.pgn", texto);
    ASSERT_EQ(Codificadas(), kCodificadas);
    auto& l = ListaPgn();
    l.Buscar->setCurrentIndex(4);
    l.Buscar_Click();
    ASSERT_TRUE(PgnConFen);
    ASSERT_EQ(Reglas().Casillas[1][1], rules::TorreBlanca);
    l.Command1_Click(2);
    Comprobar(kCodificadas, "back");
    l.Command1_Click(3);
    Comprobar(kCodificadas, "forward");
}

// A load stopped by a pawn word with a promotion letter off the last rank ("d4Q")
// leaves no promotion behind for the steps that follow.
TEST_F(Navegador, AStepAfterALoadStoppedByAPromotionWord) {
    Abrir(*e, "q.pgn", "[Event \"x\"]\n\n1. e4 e5 2. Nf3 Nc6 3. d4Q *\n");
    const std::vector<std::string> jugadas = {"5254", "5755", "7163", "2836"};
    ASSERT_EQ(Codificadas(), jugadas);
    ListaPgn().Command1_Click(2);
    Tecla(Qt::Key_Left);
    Tecla(Qt::Key_Right);
    ListaPgn().Command1_Click(3);
    EXPECT_EQ(JugadaPgnActual, 3);
    Comprobar(jugadas, "back twice and forward twice");
    EXPECT_EQ(e->Contar(TextosIdioma[27]), 0);
}

// A word too long to be a move is shown and quoted short; the moves before it stand.
TEST_F(Navegador, AHugeWordIsShownAndQuotedShort) {
    const std::string palabra(200000, 'a');
    Abrir(*e, "w.pgn",
          QByteArray::fromStdString("[Event \"x\"]\n\n1. e4!!" + std::string(60, '!') + " e5 2. " + palabra +
                                    " Nf3 *\n"));
    EXPECT_EQ(Codificadas(), (std::vector<std::string>{"5254", "5755"}));
    const QStringList lineas = Lineas();
    ASSERT_EQ(lineas.size(), 4);
    EXPECT_EQ(lineas[0].toStdString(), "1. e4" + std::string(38, '!') + "...");
    EXPECT_EQ(lineas[2].toStdString(), "2. " + std::string(40, 'a') + "...");
    ASSERT_EQ(e->Contar(TextosIdioma[51]), 1);
    for (const auto& m : e->mensajes) {
        if (!m.texto.contains(TextosIdioma[51])) continue;
        EXPECT_EQ(m.texto.toStdString(), (TextosIdioma[51] + " " + QString(40, u'a') + "...").toStdString());
    }
}

// A tag value of megabytes is listed short (laying it out took the list minutes) and
// shown short in its tag box, the result's too; the game loads.
TEST_F(Navegador, AHugeTagValueIsListedAndShownShort) {
    Abrir(
        *e, "t.pgn",
        QByteArray::fromStdString("[Event \"" + std::string(300000, 'v') + "\"]\n[Black \"" + std::string(300000, 'n') +
                                  "\"]\n[Result \"" + std::string(300000, 'r') + "\"]\n\n1. e4 *\n"));
    ASSERT_EQ(Entradas().size(), 1);
    EXPECT_EQ(Entradas()[0].toStdString(), std::string(255, 'v') + "...");
    // Compared by their first 300 characters: a failure quotes no megabyte.
    EXPECT_EQ(ListaPgn().Text1[0]->text().left(300).toStdString(), std::string(255, 'v') + "...");
    EXPECT_EQ(ListaPgn().Text1[5]->text().left(300).toStdString(), std::string(255, 'n') + "...");
    EXPECT_EQ(ListaPgn().Combo1->currentText().left(300).toStdString(), std::string(255, 'r') + "...");
    EXPECT_EQ(Codificadas(), std::vector<std::string>{"5254"});
}

// Lines ended by CR alone (old Mac files), by LF or by CR LF read alike.
TEST_F(Navegador, EveryLineEndReadsAlike) {
    QByteArray lf = kPartida;
    for (const char* fin : {"\r", "\r\n"}) {
        QByteArray texto = lf;
        texto.replace("\n", fin);
        Abrir(*e, "fin.pgn", texto);
        EXPECT_EQ(Codificadas(), kCodificadas) << fin;
        EXPECT_EQ(ListaPgn().Text1[4]->text(), "Ana") << fin;
        EXPECT_EQ(ListaPgn().Text1[5]->text(), "Luis") << fin;
        Cerrar();
    }
}

}  // namespace

namespace {

// Every caption of the browser shows whole in each shipped language.
TEST(NavegadorDiseno, TextsOfEachLanguageShowWhole) {
    Entorno e;
    e.Arrancar();
    for (const char* idioma : {"English", "Español"}) {
        ASSERT_GE(Opciones().Combo1->findText(idioma), 0) << idioma;
        Opciones().Combo1->setCurrentText(idioma);
        Opciones().Combo1_Click();
        auto& l = ListaPgn();
        Abrir(e, "t.pgn", "[Event \"a\"]\n\n1. e4 *\n");
        l.NumeroPartida(10000);
        for (int tab : {1, 2, 3}) {
            l.PaintTab(tab);
            l.Form_Activate();
            for (QLabel* etiqueta : l.findChildren<QLabel*>()) {
                if (!etiqueta->isVisibleTo(&l)) continue;
                EXPECT_GE(etiqueta->width(), etiqueta->fontMetrics().horizontalAdvance(etiqueta->text()))
                    << idioma << " " << etiqueta->objectName().toStdString();
            }
            for (QPushButton* b : l.findChildren<QPushButton*>())
                EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text()) + 8) << idioma;
            EXPECT_GE(l.Frame2->width(), l.Frame2->fontMetrics().horizontalAdvance(l.Frame2->title()) + 16) << idioma;
            for (int i = 0; i < l.Buscar->count(); ++i)
                EXPECT_GE(l.Buscar->width(), l.Buscar->fontMetrics().horizontalAdvance(l.Buscar->itemText(i)) + 20);
            const pgn::Pestanas p(TextosTab, l.picTab->font());
            EXPECT_LT(p.Derecha(3) + 3, l.picTab->width()) << idioma;
            EXPECT_LE(l.picTab->geometry().right() + 1, l.width());
            EXPECT_LE(l.picTab->geometry().bottom() + 1, l.height());
        }
        for (const QString& nombre : l.Picture1->TextosImpresos().mid(0, 7)) {
            QFont f = l.Picture1->font();
            f.setPointSizeF(8);
            EXPECT_LT(QFontMetrics(f).horizontalAdvance(nombre) + 4, l.Picture1->width()) << nombre.toStdString();
        }
        Cerrar();
    }
}

}  // namespace
