// The main window's Save game and Help during a game on the engine panel: the game at
// one board and against an engine saves as any other, with the players' names and
// every move the board makes while the save is open; the EPD of a finished game holds
// the final position's side and rights; Help says why the desktop did not open it.
#include "ficheros_prueba.h"
#include "partida_motor.h"
#include "pgn_comun.h"

#include "../board/partida.h"
#include "app/CMensaje.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "files/ListaPgn.h"
#include "platform/FuenteReloj.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

class Menu : public PartidaMotor {
protected:
    // A game for two people at one board, as the engine panel's new-game button
    // starts it with no engine chosen.
    static void AUnTablero() {
        Cpu().Toolbar1[1]->trigger();
        ASSERT_EQ(Reglas().Turno, 1);
    }
    // File > Save game, the dialog answered with a name of the program folder.
    void GuardarComo(const QString& nombre, int filtro = 0) {
        auto d = ResponderDialogo(e->Ruta(nombre), filtro);
        Mdi().mnuGuardarPartida->trigger();
        EXPECT_TRUE(d->visto) << "no save dialog";
    }
    QStringList Campos() const {
        QStringList c;
        for (QLineEdit* t : ListaPgn().Text1) c << t->text();
        return c;
    }
};

TEST_F(Menu, SaveGameDuringAnEngineGameWritesTheGameAndItsPlayers) {
    Motor("kestrel", {"jugadas e7e5 g8f6 b8c6"});
    Nivel(0, "2");
    ASSERT_TRUE(Empezar("", "kestrel"));
    Partida::Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Partida::Pieza("e5") == rules::PeonNegro; }));
    Partida::Jugar("g1f3");
    ASSERT_TRUE(Esperar([] { return Partida::Pieza("f6") == rules::CaballoNegro; }));
    GuardarComo("motor", 2);
    ASSERT_TRUE(ListaPgn().Visible());
    ASSERT_TRUE(GuardandoPgn);
    EXPECT_EQ(Campos().mid(4), (QStringList{"Ana", "kestrel"}));
    // The game goes on behind the open save: every move is recorded.
    Partida::Jugar("d2d4");
    ASSERT_TRUE(Esperar([] { return Partida::Pieza("c6") == rules::CaballoNegro; }));
    EXPECT_EQ(Registros(), (QStringList{"5254", "5755", "7163", "7866", "4244", "2836"}));
    EXPECT_TRUE(QString::fromStdString(Reglas().Jugadas.List[3]).contains("Nc6"));
    EXPECT_EQ(Partida::DibujoDistinto(), "");
    ListaPgn().Command2_Click(1);
    const QByteArray texto = e->Contenido("motor.pgn");
    EXPECT_TRUE(texto.contains("[White \"Ana\"]\r\n[Black \"kestrel\"]\r\n")) << texto.toStdString();
    EXPECT_TRUE(texto.endsWith("\r\n\r\n1. e4 e5 2. Nf3 Nf6 *\r\n")) << texto.toStdString();
    ASSERT_TRUE(pgn_prueba::PgnExtract()) << "pgn-extract is missing (scripts/packages.txt installs it)";
    const auto x = pgn_prueba::Extraer(e->Ruta("motor.pgn"));
    EXPECT_EQ(x.diagnosticos, "");
    EXPECT_EQ(x.partidas, (std::vector<std::vector<std::string>>{{"e4", "e5", "Nf3", "Nf6"}}));

    // The engine on White's side, the person on Black's.
    Cpu().Toolbar1[2]->trigger();
    ASSERT_TRUE(Esperar([] { return !Motor2.Activo; }));
    Motor("kestrel", {"jugadas e2e4"});
    ASSERT_TRUE(Empezar("kestrel", ""));
    ASSERT_TRUE(Esperar([] { return Partida::Pieza("e4") == rules::PeonBlanco; }));
    GuardarComo("otra.pgn");
    EXPECT_EQ(Campos().mid(4), (QStringList{"kestrel", "Ana"}));
    ListaPgn().Command2_Click(2);
}

TEST_F(Menu, SaveGameAtOneBoardSavesAndTheBrowserSaysWhyNot) {
    AUnTablero();
    Partida::Jugar("e2e4 e7e5");
    GuardarComo("tablero.tvp");
    EXPECT_TRUE(e->Contenido("tablero.tvp").endsWith("A\r\n5254\r\n5755\r\n\r\n"))
        << e->Contenido("tablero.tvp").toStdString();
    EXPECT_EQ(Mensajes(), QStringList{"34"});
    // Two people at one board: no name is known but the nick of this machine's user.
    GuardarComo("tablero.pgn");
    EXPECT_EQ(Campos().mid(4), (QStringList{"?", "?"}));
    // A save under way comes to the front; nothing else is asked.
    e->mensajes.clear();
    Mdi().mnuGuardarPartida->trigger();
    EXPECT_TRUE(ListaPgn().Visible());
    EXPECT_TRUE(GuardandoPgn);
    EXPECT_TRUE(Mensajes().isEmpty());
    ListaPgn().Command2_Click(2);
    // A game of a file in the browser is not this game: the box says so.
    pgn_prueba::Abrir(*e, "p.pgn", "[Event \"x\"]\n\n1. d4 d5 *\n");
    ASSERT_TRUE(ListaPgn().Visible());
    Mdi().mnuGuardarPartida->trigger();
    EXPECT_EQ(Mensajes(), QStringList{"80"});
    pgn_prueba::Cerrar();
    // The move list's own Save as, while a game is still coming from a file.
    e->mensajes.clear();
    PartidaDeFichero = true;
    Mdi().mnuGuardarComo->trigger();
    PartidaDeFichero = false;
    EXPECT_EQ(Mensajes(), QStringList{"80"});
}

TEST_F(Menu, TheEpdOfAFinishedGameHoldsItsSideToMoveAndTheRightsLeft) {
    struct Caso {
        const char* jugadas;
        const char* epd;
    };
    for (const Caso& c : {
             // White mates after both kings have walked out and back: Black to move, no right.
             Caso{"e2e4 e7e5 e1e2 e8e7 e2e1 e7e8 f1c4 b8c6 d1h5 g8f6 h5f7",
                  "r1bqkb1r/pppp1Qpp/2n2n2/4p3/2B1P3/8/PPPP1PPP/RNB1K1NR b - - 0 1"},
             // Black mates: White to move, every right still held.
             Caso{"f2f3 e7e5 g2g4 d8h4", "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 0 1"},
             // Stalemate with Black's king and a rook gone from their squares: White's rights stand.
             Caso{"e2e3 a7a5 d1h5 a8a6 h5a5 h7h5 h2h4 a6h6 a5c7 f7f6 c7d7 e8f7 d7b7 d8d3 b7b8 d3h7 b8c8 f7g6 c8e6",
                  "5bnr/4p1pq/4Qpkr/7p/7P/4P3/PPPP1PP1/RNB1KBNR b KQ - 0 1"},
         }) {
        AUnTablero();
        e->mensajes.clear();
        Partida::Jugar(c.jugadas);
        ASSERT_EQ(Mensajes().size(), 1) << c.jugadas;
        EXPECT_EQ(Reglas().TipoPartida, "") << c.jugadas;
        GuardarComo("fin.epd");
        EXPECT_EQ(e->Contenido("fin.epd"), QByteArray(c.epd) + "\r\n") << c.jugadas;
        Mdi().mnuNuevaPartida->trigger();
    }
    // A position whose line grants rights its rooks cannot have.
    Tavorin().AbrirEpd("r3k3/8/8/8/8/8/8/4K2R w KQkq - 0 1");
    GuardarComo("dada.epd");
    EXPECT_EQ(e->Contenido("dada.epd"), QByteArray("r3k3/8/8/8/8/8/8/4K2R w Kq - 0 1\r\n"));
}

// An engine game lost on time ends with the same reset: the EPD still tells the side
// to move and the rights.
TEST_F(Menu, TheEpdOfAnEngineGameLostOnTime) {
    std::int64_t ahora = 10'000'000;
    reloj::FijarFuente([&ahora] { return ahora; });
    struct Devolver {
        ~Devolver() { reloj::FijarFuente({}); }
    } devolver;
    Motor("lento", {"jugadas e7e5"});
    Nivel(2, "1", "0");
    ASSERT_TRUE(Empezar("", "lento"));
    Partida::Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Partida::Pieza("e5") == rules::PeonNegro; }));
    // The king walks: White's rights are gone; then the engine has no move left.
    Partida::Jugar("e1e2");
    ahora += 61'000;
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    EXPECT_FALSE(Motor2.Activo);
    GuardarComo("tiempo.epd");
    EXPECT_EQ(e->Contenido("tiempo.epd"), QByteArray("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPPKPPP/RNBQ1BNR b kq - 0 1\r\n"));
}

// A game that ended by a resignation, an agreed draw or a flag fall saves with its
// result, in the Result tag and after the moves, and names its engine even once the
// lists show another choice; pgn-extract reads each file without a word.
TEST_F(Menu, SaveGameAfterTheGameEndedWritesItsResult) {
    std::int64_t ahora = 10'000'000;
    reloj::FijarFuente([&ahora] { return ahora; });
    struct Devolver {
        ~Devolver() { reloj::FijarFuente({}); }
    } devolver;
    ASSERT_TRUE(pgn_prueba::PgnExtract()) << "pgn-extract is missing (scripts/packages.txt installs it)";
    struct Final {
        const char* nombre;
        QStringList motor;
        std::function<void()> terminar;
        const char* resultado;
    };
    const Final finales[] = {
        {"the person resigns", {"jugadas e7e5 g8f6"}, [] { Mdi().mnuRendirse->trigger(); }, "0-1"},
        {"the engine resigns", {"jugadas e7e5", "final resign"}, [] {}, "1-0"},
        {"the engine's draw offer accepted", {"jugadas e7e5", "ofrece"}, [] {}, "1/2-1/2"},
        {"the person's flag falls", {"jugadas e7e5 g8f6"}, [&ahora] { ahora += 61'000; }, "0-1"},
    };
    for (const Final& f : finales) {
        e->mensajes.clear();
        e->respuestas = {IDYES, IDYES};  // the game in progress may be left; the draw is accepted
        Motor("negro", f.motor);
        Nivel(2, "1", "0");
        ASSERT_TRUE(Empezar("", "negro")) << f.nombre;
        e->mensajes.clear();
        Partida::Jugar("e2e4");
        ASSERT_TRUE(Esperar([] { return Partida::Pieza("e5") == rules::PeonNegro; })) << f.nombre;
        f.terminar();
        ASSERT_TRUE(Esperar([] { return !Motor2.Activo; })) << f.nombre;
        ASSERT_EQ(Reglas().Turno, 0) << f.nombre;
        // The list may show anything once the game is over.
        Cpu().SMotor2->setCurrentIndex(0);
        GuardarComo("fin.pgn");
        ASSERT_TRUE(GuardandoPgn) << f.nombre;
        EXPECT_EQ(ListaPgn().Combo1->currentText(), f.resultado) << f.nombre;
        EXPECT_EQ(Campos().mid(4), (QStringList{"Ana", "negro"})) << f.nombre;
        ListaPgn().Command2_Click(1);
        const QByteArray texto = e->Contenido("fin.pgn");
        EXPECT_TRUE(texto.contains(QByteArray("[Result \"") + f.resultado + "\"]\r\n")) << f.nombre << "\n"
                                                                                        << texto.toStdString();
        EXPECT_TRUE(texto.endsWith(QByteArray("1. e4 e5 ") + f.resultado + "\r\n")) << f.nombre << "\n"
                                                                                    << texto.toStdString();
        const auto x = pgn_prueba::Extraer(e->Ruta("fin.pgn"));
        EXPECT_EQ(x.diagnosticos, "") << f.nombre;
        EXPECT_EQ(x.partidas, (std::vector<std::vector<std::string>>{{"e4", "e5"}})) << f.nombre;
    }
    // A game still running saves as unfinished.
    Motor("negro", {"jugadas e7e5"});
    ASSERT_TRUE(Empezar("", "negro"));
    Partida::Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Partida::Pieza("e5") == rules::PeonNegro; }));
    GuardarComo("sigue.pgn");
    EXPECT_EQ(ListaPgn().Combo1->currentText(), "*");
    ListaPgn().Command2_Click(2);
}

// Help opens the page with the desktop's opener; a fake opener in front of PATH.
class Ayuda : public PartidaMotor {
protected:
    void SetUp() override {
        PartidaMotor::SetUp();
        camino_ = qgetenv("PATH");
        e->Escribir("Tavorin.html", "<html></html>");
        QDir().mkpath(e->Ruta("bin"));
        qputenv("PATH", e->Ruta("bin").toUtf8());
    }
    void TearDown() override {
        qputenv("PATH", camino_);
        PartidaMotor::TearDown();
    }
    void Abridor(const QByteArray& guion) {
        QFile f(e->Ruta("bin/xdg-open"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("#!/bin/sh\n" + guion);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Help, and every box it shows once its opener has ended.
    QStringList Abrir() {
        e->mensajes.clear();
        Mdi().mnuTemaAyuda->trigger();
        EXPECT_TRUE(Esperar([] { return QCoreApplication::instance()->findChildren<QProcess*>().isEmpty(); }, 30000));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QStringList textos;
        for (const auto& m : e->mensajes) textos << m.texto;
        return textos;
    }
    // The opener ran and could not open the page: the reason at the "$" of its text.
    QString NoAbierta(const QString& motivo) const {
        return QString(TextosIdioma[texto::AyudaNoAbierta]).replace(u'$', motivo);
    }
    QString Con(const QString& nombre) const { return QString(TextosIdioma[63]).replace(u'$', nombre); }
    QByteArray camino_;
};

TEST_F(Ayuda, ABoxSaysWhyTheDesktopDidNotOpenThePage) {
    Abridor("echo \"$1\" > " + e->Ruta("abierto").toUtf8() + "\n");
    EXPECT_EQ(Abrir(), QStringList{});
    EXPECT_EQ(e->Contenido("abierto"), (e->Ruta("Tavorin.html") + "\n").toUtf8());
    // The opener's own last words are the reason.
    Abridor("echo 'www-browser: not found' >&2\necho \"xdg-open: no method available for opening '$1'\" >&2\nexit 3\n");
    EXPECT_EQ(Abrir(),
              QStringList{NoAbierta("xdg-open: no method available for opening '" + e->Ruta("Tavorin.html") + "'")});
    Abridor("exit 4\n");
    EXPECT_EQ(Abrir(), QStringList{NoAbierta("xdg-open: exit status 4")});
    Abridor("kill -9 $$\n");
    EXPECT_EQ(Abrir(), QStringList{NoAbierta("xdg-open: crashed")});
    // No opener at all, and no page.
    QFile::remove(e->Ruta("bin/xdg-open"));
    EXPECT_EQ(Abrir(), QStringList{Con("xdg-open")});
    QFile::remove(e->Ruta("Tavorin.html"));
    EXPECT_EQ(Abrir(), QStringList{Con("Tavorin.html")});
}

}  // namespace
