// The engine panel against the recording test engine: the exact lines each engine
// reads, the moves both ways, requests and their answers, the ends of a game, and an
// engine that misbehaves (crash, silence, illegal or untimely moves, floods).
#include "partida_motor.h"

#include "../board/partida.h"
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "engines/Cpu.h"
#include "engines/FormLevel2.h"
#include "platform/FuenteReloj.h"
#include "platform/Relevo.h"
#include "procesos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <iostream>

namespace {

const QStringList kArranque = {"xboard", "protover 2", "new", "random", "ics -"};

QStringList Arranque(const QString& nivel, bool blancas) {
    QStringList l = kArranque;
    l << nivel << "post" << "easy";
    if (blancas) l << "go";
    return l;
}

void Jugar(const std::string& jugadas) { Partida::Jugar(jugadas); }
int Pieza(const std::string& casilla) { return Partida::Pieza(casilla); }
bool Invertido() { return Mdi().mnuInvertirTablero->isChecked(); }

// Peak memory of this process, in kilobytes.
long PicoMemoria() {
    std::ifstream f("/proc/self/status");
    std::string clave;
    long valor = 0;
    while (f >> clave) {
        if (clave == "VmHWM:") {
            f >> valor;
            return valor;
        }
        f.ignore(1 << 12, '\n');
    }
    return 0;
}

using Panel = PartidaMotor;

// ---- Exact lines ---------------------------------------------------------------------

TEST_F(Panel, EachEngineGetsTheStartLinesAndOnlyWhiteIsToldToGo) {
    Motor("negro", {"jugadas e7e5 g8f6"});
    Nivel(0, "2");
    ASSERT_TRUE(Empezar("", "negro"));
    EXPECT_EQ(Reglas().Turno, 1);
    EXPECT_FALSE(Invertido());
    ASSERT_TRUE(Esperar([&] { return Leidas("negro").size() >= 8; }));
    EXPECT_EQ(Leidas("negro"), Arranque("sd 2", false));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    // Without the clock option the move goes alone: "time 0" would say the clock is empty.
    EXPECT_EQ(Leidas("negro").mid(8), QStringList{"e2e4"});
    EXPECT_EQ(Reglas().Turno, 1);
    EXPECT_EQ(Partida::DibujoDistinto(), "");
    Cpu().Toolbar1[2]->trigger();
    ASSERT_TRUE(Esperar([&] { return Leidas("negro").size() >= 11; }));
    EXPECT_EQ(Leidas("negro").mid(9), (QStringList{"exit", "quit"}));
    EXPECT_FALSE(Motor2.Activo);
    EXPECT_EQ(Reglas().Turno, 0);
    EXPECT_TRUE(e->mensajes.empty());

    // A White engine is told to go, and the person sees the board turned.
    Motor("blanco", {"jugadas e2e4"});
    Nivel(1, "1");
    ASSERT_TRUE(Empezar("blanco", ""));
    EXPECT_TRUE(Invertido());
    ASSERT_TRUE(Esperar([] { return Pieza("e4") == rules::PeonBlanco; }));
    EXPECT_EQ(Leidas("blanco"), Arranque("st 1", true));
    EXPECT_EQ(Reglas().Turno, 2);
    EXPECT_EQ(Partida::DibujoDistinto(), "");
}

class PanelReloj : public PartidaMotor {
protected:
    void SetUp() override {
        reloj::FijarFuente([this] { return ahora; });
        PartidaMotor::SetUp();
    }
    void TearDown() override {
        PartidaMotor::TearDown();
        reloj::FijarFuente({});
    }
    void Avanzar(std::int64_t ms) {
        ahora += ms;
        QTest::qWait(250);  // a few ticks of the clock timers
    }
    std::int64_t ahora = 10'000'000;
};

TEST_F(PanelReloj, WithTheClockOptionMovesCarryBothClocksInCentiseconds) {
    Motor("negro", {"jugadas e7e5 g8f6"});
    Nivel(2, "5", "40");
    ASSERT_TRUE(Empezar("", "negro"));
    EXPECT_EQ(Cpu().Text6->text(), "05:00");
    EXPECT_EQ(Cpu().Text7->text(), "05:00");
    Avanzar(3'000);  // White thinks before the first move: that time is given back
    EXPECT_EQ(Cpu().Text6->text(), "04:57");
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    EXPECT_EQ(Leidas("negro"), Arranque("level 40 5 0", false) + QStringList({"time 30000", "otim 30000", "e2e4"}));
    // Now White's clock runs.
    Avanzar(2'500);
    EXPECT_EQ(Cpu().Text6->text(), "04:58");
    EXPECT_EQ(Cpu().Text7->text(), "05:00");
    Jugar("d2d4");
    ASSERT_TRUE(Esperar([] { return Pieza("f6") == rules::CaballoNegro; }));
    EXPECT_EQ(Leidas("negro").mid(11), (QStringList{"time 30000", "otim 29800", "d2d4"}));
}

TEST_F(PanelReloj, AnEngineThatNeverMovesLosesOnTimeAndTheGameIsKept) {
    Motor("negro", {"mudo"});
    Nivel(2, "1", "0");
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    Avanzar(30'000);
    EXPECT_EQ(Cpu().Text7->text(), "00:30");
    EXPECT_TRUE(Motor2.Activo);
    Avanzar(31'000);
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    EXPECT_EQ(Mensajes(), QStringList{TextoSinMotor + ". " + TextosIdioma[30]});
    EXPECT_FALSE(Motor2.Activo);
    EXPECT_FALSE(Cpu().Timer4->isActive() || Cpu().Timer5->isActive());
    // The moves and the position stay, so the game can still be saved.
    EXPECT_EQ(Registros(), QStringList{"5254"});
    EXPECT_EQ(Pieza("e4"), rules::PeonBlanco);
    EXPECT_FALSE(Reglas().Jugadas.List[1].empty());
    EXPECT_EQ(Reglas().Turno, 0);
}

TEST_F(PanelReloj, TwoEnginesGetTheClocksFirstAndTheMoveLast) {
    Motor("blanco", {"jugadas e2e4 g1f3"});
    Motor("negro", {"jugadas e7e5"});
    Nivel(2, "10", "40");
    ASSERT_TRUE(Empezar("blanco", "negro"));
    EXPECT_FALSE(Invertido());
    ASSERT_TRUE(Esperar([] { return Pieza("f3") == rules::CaballoBlanco; }));
    EXPECT_EQ(Leidas("negro"), Arranque("level 40 10 0", false) + QStringList({"time 60000", "otim 60000", "e2e4"}));
    EXPECT_EQ(Leidas("blanco"), Arranque("level 40 10 0", true) + QStringList({"time 60000", "otim 60000", "e7e5"}));
    EXPECT_EQ(Registros(), (QStringList{"5254", "5755", "7163"}));
    EXPECT_EQ(Reglas().Turno, 0);
}

TEST_F(Panel, FeaturesEndingInOneAreAcceptedAndARefusedStGetsATimeControl) {
    Motor("negro", {"caracteristicas feature ping=1 usermove=1", "caracteristicas feature done=0",
                    "antes Error (unknown command): st", "jugadas e7e5"});
    Nivel(1, "1");
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    ASSERT_TRUE(Esperar([&] { return Leidas("negro").contains("level 0 15 0"); }));
    const QStringList l = Leidas("negro");
    EXPECT_TRUE(l.contains("accepted ping=1 usermove=1"));
    EXPECT_FALSE(l.join('|').contains("done=0"));
    EXPECT_EQ(l.count("level 0 15 0"), 1);
    EXPECT_TRUE(e->mensajes.empty());
    EXPECT_TRUE(Motor2.Activo);
}

TEST_F(Panel, TakeBackRemovesTwoMovesOnlyWhenThePersonIsToMove) {
    Motor("negro", {"jugadas e7e5 g8f6 b8c6"});
    Nivel(0, "2");
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    Jugar("d2d4");
    ASSERT_TRUE(Esperar([] { return Pieza("f6") == rules::CaballoNegro; }));
    Mdi().mnuRetroceder->trigger();
    EXPECT_EQ(Registros(), (QStringList{"5254", "5755"}));
    EXPECT_EQ(Pieza("d2"), rules::PeonBlanco);
    EXPECT_EQ(Pieza("g8"), rules::CaballoNegro);
    EXPECT_EQ(Reglas().Turno, 1);
    ASSERT_TRUE(Esperar([&] { return Leidas("negro").contains("remove"); }));
    EXPECT_EQ(Leidas("negro").last(), "remove");
    EXPECT_EQ(Partida::DibujoDistinto(), "");

    // Refused while the engine thinks and after the White engine's first move.
    Motor("blanco", {"jugadas e2e4"});
    e->respuestas = {IDYES};  // the game in progress may be left
    ASSERT_TRUE(Empezar("blanco", ""));
    ASSERT_TRUE(Esperar([] { return Pieza("e4") == rules::PeonBlanco; }));
    Mdi().mnuRetroceder->trigger();
    EXPECT_EQ(Registros(), QStringList{"5254"});
    Jugar("e7e5");  // the engine has no more moves: it thinks for ever
    EXPECT_EQ(Reglas().Turno, 0);
    Mdi().mnuRetroceder->trigger();
    EXPECT_EQ(Registros().size(), 2);
    EXPECT_FALSE(Leidas("blanco").contains("remove"));
}

TEST_F(Panel, ClosingThePanelEndsTheEnginesAndBringsBackTheWindowsTheSettingsShow) {
    Motor("negro", {"jugadas e7e5"});
    ASSERT_TRUE(Empezar("", "negro"));
    Jugadas().Hide();
    Mdi().mnuMovimientos->setChecked(false);
    EscribirIni(FicheroIni, "Configuracion", "Jugadas", "1");
    EscribirIni(FicheroIni, "Configuracion", "Chat", "0");
    Cpu().Unload();
    EXPECT_FALSE(Cpu().Visible());
    EXPECT_TRUE(Jugadas().Visible());
    EXPECT_TRUE(Mdi().mnuMovimientos->isChecked());
    EXPECT_FALSE(Mdi().mnuVentanaChat->isChecked());
    EXPECT_EQ(Reglas().TipoPartida, "");
    ASSERT_FALSE(grupos.empty());
    EXPECT_TRUE(Esperar([&] { return testsupport::ProcesosDelGrupo(grupos.front()).empty(); }, 6000));
}

// ---- Requests -----------------------------------------------------------------------------

TEST_F(Panel, AHintIsShownAndAnUnansweredMoveNowIsReported) {
    Motor("negro", {"jugadas e7e5 g8f6"});
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    Cpu().Toolbar1[9]->trigger();
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    EXPECT_EQ(Mensajes(), QStringList{" g8f6"});
    EXPECT_FALSE(Cpu().EsperandoRespuesta);
    // "?" only while the engine thinks.
    Cpu().Toolbar1[10]->trigger();
    EXPECT_FALSE(Leidas("negro").contains("?"));
}

TEST_F(Panel, ASilentEngineThatIgnoresQuitAndSigtermIsStillStopped) {
    Motor("negro", {"mudo", "sordo"});
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    Cpu().Toolbar1[10]->trigger();
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }, 5000));
    EXPECT_EQ(Mensajes(), QStringList{"97"});
    ASSERT_FALSE(grupos.empty());
    const pid_t grupo = grupos.front();
    ASSERT_FALSE(testsupport::ProcesosDelGrupo(grupo).empty());
    QElapsedTimer reloj;
    reloj.start();
    Cpu().Toolbar1[2]->trigger();
    EXPECT_LT(reloj.elapsed(), 200);  // the window is not held
    ASSERT_TRUE(Esperar([&] { return testsupport::ProcesosDelGrupo(grupo).empty(); }, 6000));
    EXPECT_LT(reloj.elapsed(), 3000);
    EXPECT_EQ(Leidas("negro").mid(Leidas("negro").size() - 2), (QStringList{"exit", "quit"}));
}

TEST_F(Panel, ThePersonsDrawOfferIsDrawAndTheEnginesAcceptanceIsAsked) {
    Motor("negro", {"tablas", "jugadas e7e5 g8f6"});
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    e->respuestas = {IDYES};
    Mdi().mnuOfrecerTablas->trigger();
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    EXPECT_TRUE(Leidas("negro").contains("draw"));
    EXPECT_FALSE(Leidas("negro").contains("offer draw"));
    EXPECT_EQ(Mensajes(), QStringList{"negro" + TextosIdioma[94].mid(TextosIdioma[94].indexOf('$') + 1)});
    EXPECT_EQ(e->mensajes[0].botones, MB_YESNO);
    EXPECT_FALSE(Motor2.Activo);
    QTest::qWait(1300);  // the answered offer is not reported as unanswered
    EXPECT_EQ(e->mensajes.size(), 1u);
}

TEST_F(Panel, TwoEnginesAgreeADrawByOfferingBothWays) {
    Motor("blanco", {"ofrece", "tablas", "jugadas e2e4 g1f3"});
    Motor("negro", {"tablas", "jugadas e7e5 b8c6"});
    ASSERT_TRUE(Empezar("blanco", "negro"));
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    EXPECT_EQ(Mensajes(), QStringList{"95"});
    EXPECT_TRUE(Leidas("negro").contains("draw"));
    EXPECT_FALSE(Motor1.Activo || Motor2.Activo);
}

// ---- Ends of a game ---------------------------------------------------------------------------

TEST_F(Panel, ResultLinesResignationsAndDrawsEndTheGameWithTheirMessage) {
    struct Fila {
        QString linea;
        QString mensaje;
    };
    const Fila filas[] = {
        {"resign", "negro" + TextosIdioma[91].mid(TextosIdioma[91].indexOf('$') + 1)},
        {"1-0 {Black resigns}", "negro" + TextosIdioma[91].mid(TextosIdioma[91].indexOf('$') + 1)},
        {"1/2-1/2 {Draw by repetition}", "95"},
        {"draw", "95"},
    };
    for (const Fila& f : filas) {
        e->mensajes.clear();
        Motor("negro", {"jugadas e7e5", "final " + f.linea});
        ASSERT_TRUE(Empezar("", "negro"));
        Jugar("e2e4");
        ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); })) << f.linea.toStdString();
        EXPECT_EQ(Mensajes(), QStringList{f.mensaje}) << f.linea.toStdString();
        EXPECT_FALSE(Motor2.Activo);
        EXPECT_EQ(Reglas().Turno, 0);
        EXPECT_EQ(Registros(), (QStringList{"5254", "5755"}));
        AnotarGrupos();
    }
}

TEST_F(Panel, ThePersonResignsOnlyWhenItMayAndTheEngineIsNamed) {
    Motor("blanco", {"jugadas e2e4"});
    ASSERT_TRUE(Empezar("blanco", ""));
    ASSERT_TRUE(Esperar([] { return Pieza("e4") == rules::PeonBlanco; }));
    Jugar("e7e5");
    // Against a White engine that thinks, resigning does nothing.
    Mdi().mnuRendirse->trigger();
    EXPECT_TRUE(e->mensajes.empty());
    EXPECT_TRUE(Motor1.Activo);
    Motor("negro", {"mudo"});
    e->respuestas = {IDYES};  // the game in progress may be left
    ASSERT_TRUE(Empezar("", "negro"));
    ASSERT_EQ(Mensajes(), QStringList{QString(TextosIdioma[84]).replace('$', "\r\n")});
    e->mensajes.clear();
    Jugar("e2e4");
    // Against a Black engine it is taken at any time.
    Mdi().mnuRendirse->trigger();
    QString t = TextosIdioma[92];
    t[0] = t[0].toUpper();
    EXPECT_EQ(Mensajes(), QStringList{t.left(t.indexOf('$')) + "negro" + t.mid(t.indexOf('$') + 1)});
    EXPECT_FALSE(Motor2.Activo);
    EXPECT_TRUE(Esperar([&] { return Leidas("negro").endsWith("quit"); }));
    EXPECT_FALSE(Leidas("negro").contains("resign"));
}

TEST_F(Panel, MateOrStalemateOnTheBoardEndsTheEngineGame) {
    // The engine mates: its clocks stop, it is stopped, the board says who won.
    Motor("negro", {"jugadas e7e5 d8h4"});
    Nivel(2, "5", "40");
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("f2f3");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    Jugar("g2g4");
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    EXPECT_EQ(Mensajes(), QStringList{"2"});
    EXPECT_FALSE(Motor2.Activo);
    EXPECT_FALSE(Cpu().Timer4->isActive() || Cpu().Timer5->isActive());
    AnotarGrupos();
    // The person mates: the move is not passed on, the game ends at once.
    e->mensajes.clear();
    Motor("negro", {"jugadas f7f6 g7g5"});
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("f6") == rules::PeonNegro; }));
    Jugar("d2d4");
    ASSERT_TRUE(Esperar([] { return Pieza("g5") == rules::PeonNegro; }));
    Jugar("d1h5");
    EXPECT_EQ(Mensajes(), QStringList{"1"});
    EXPECT_FALSE(Motor2.Activo);
    EXPECT_FALSE(Cpu().Timer4->isActive() || Cpu().Timer5->isActive());
    QTest::qWait(100);
    EXPECT_FALSE(Leidas("negro").contains("d1h5"));
}

TEST_F(Panel, SanCastlingTakesTheSendersColourAndReachesTheOtherEngineInCoordinates) {
    // After the person castled, White's "O-O" is still White's.
    Motor("blanco", {"jugadas g1f3 g2g3 f1g2 b1c3 O-O"});
    ASSERT_TRUE(Empezar("blanco", ""));
    int jugadas = 1;
    for (const char* m : {"g8f6", "g7g6", "f8g7", "e8g8"}) {
        ASSERT_TRUE(Esperar([&] { return Registros().size() == jugadas; })) << m;
        Jugar(m);
        jugadas += 2;
    }
    ASSERT_TRUE(Esperar([] { return Pieza("g1") == rules::ReyBlanco; }));
    EXPECT_EQ(Pieza("f1"), rules::TorreBlanca);
    EXPECT_EQ(Pieza("g8"), rules::ReyNegro);
    EXPECT_TRUE(e->mensajes.empty());
    EXPECT_EQ(Partida::DibujoDistinto(), "");
    AnotarGrupos();
    // Between engines the castling goes on as coordinates.
    Motor("blanco", {"jugadas g1f3 g2g3 f1g2 O-O"});
    Motor("negro", {"jugadas g8f6 g7g6 f8g7 O-O"});
    e->respuestas = {IDYES};  // the game in progress may be left
    ASSERT_TRUE(Empezar("blanco", "negro"));
    e->mensajes.clear();
    ASSERT_TRUE(Esperar([] { return Pieza("g8") == rules::ReyNegro && Registros().size() == 8; }));
    EXPECT_TRUE(Leidas("negro").contains("e1g1"));
    EXPECT_TRUE(Esperar([&] { return Leidas("blanco").contains("e8g8"); }));
    EXPECT_FALSE(Leidas("negro").contains("O-O"));
    EXPECT_TRUE(e->mensajes.empty());
    AnotarGrupos();
    // A rook from e8 to g8 is no castling: no "O-O" follows when the receiver is silent.
    Motor("blanco", {"jugadas g1f3 f3g1 g1f3 f3g1 g1f3 f3g1 g1f3"});
    Motor("negro", {"jugadas g8f6 g7g6 f8g7 O-O f8e8 g8h8 e8g8"});
    e->respuestas = {IDYES};
    ASSERT_TRUE(Empezar("blanco", "negro"));
    ASSERT_TRUE(Esperar([] { return Registros().size() == 14; }));
    EXPECT_EQ(Pieza("g8"), rules::TorreNegra);
    QTest::qWait(2500);
    EXPECT_FALSE(Leidas("blanco").contains("O-O"));
    EXPECT_EQ(Leidas("blanco").count("e8g8"), 2);
}

// ---- Faulty engines --------------------------------------------------------------------------

TEST_F(Panel, AnEngineThatCrashesEndsTheGameTheMovesStayAndTheNextGameRuns) {
    Motor("blanco", {"jugadas e2e4 d2d4 g1f3", "caer 3"});
    ASSERT_TRUE(Empezar("blanco", ""));
    ASSERT_TRUE(Esperar([] { return Pieza("e4") == rules::PeonBlanco; }));
    Jugar("e7e5");
    ASSERT_TRUE(Esperar([] { return Pieza("d4") == rules::PeonBlanco; }));
    Jugar("d7d5");
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    EXPECT_EQ(Mensajes(), QStringList{TextosIdioma[90] + " blanco"});
    EXPECT_EQ(e->mensajes[0].icono, MB_ICONSTOP);
    EXPECT_EQ(Registros(), (QStringList{"5254", "5755", "4244", "4745", "7163"}));
    EXPECT_FALSE(Motor1.Activo);
    EXPECT_EQ(Reglas().Turno, 0);
    Motor("blanco", {"jugadas c2c4"});
    ASSERT_TRUE(Empezar("blanco", ""));
    ASSERT_TRUE(Esperar([] { return Pieza("c4") == rules::PeonBlanco; }));
    EXPECT_EQ(e->mensajes.size(), 1u);
}

TEST_F(Panel, AnEngineMoveThatIsRefusedOrOutOfTurnEndsTheGameAndGoesNoFurther) {
    struct Fila {
        QStringList ajustes;
        QString linea;
        QStringList registros;
    };
    const Fila filas[] = {
        {{"jugadas e7e4"}, "move e7e4", {"5254"}},                       // illegal
        {{"jugadas d2d4"}, "move d2d4", {"5254"}},                       // the other colour
        {{"jugadas e7e5 g8f6", "doble"}, "move g8f6", {"5254", "5755"}}, // a second move
        {{"jugadas zz99"}, "move zz99", {"5254"}},                       // no move at all
        {{"jugadas e7e8x"}, "move e7e8x", {"5254"}},
    };
    for (const Fila& f : filas) {
        e->mensajes.clear();
        Motor("negro", f.ajustes);
        ASSERT_TRUE(Empezar("", "negro"));
        Jugar("e2e4");
        ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); })) << f.linea.toStdString();
        QTest::qWait(50);
        EXPECT_EQ(Mensajes(), QStringList{TextosIdioma[90] + " " + f.linea});
        EXPECT_EQ(Registros(), f.registros) << f.linea.toStdString();
        EXPECT_FALSE(Motor2.Activo);
        EXPECT_EQ(Reglas().Turno, 0);
        EXPECT_EQ(Partida::DibujoDistinto(), "");
        AnotarGrupos();
    }
}

TEST_F(Panel, ARefusedStartStartsNoGameAndOneEngineMayRunInBothSlots) {
    Motor("blanco", {"jugadas e2e4"});
    QDir().mkpath(e->Ruta("Motor/roto"));
    QFile datos(e->Ruta("Motor/roto/roto.exe"));
    ASSERT_TRUE(datos.open(QIODevice::WriteOnly));
    datos.write("MZ");
    datos.close();
    EXPECT_FALSE(Empezar("blanco", "roto"));
    EXPECT_EQ(Mensajes(), QStringList{"88"});
    EXPECT_EQ(e->mensajes[0].icono, MB_ICONSTOP);
    EXPECT_FALSE(Motor1.Activo || Motor2.Activo);
    EXPECT_EQ(Reglas().Turno, 0);
    QTest::qWait(100);
    EXPECT_FALSE(Leidas("blanco").contains("xboard"));

    // Both slots may run the same engine, each in its own process.
    Motor("uno", {"jugadas e2e4"});
    ASSERT_TRUE(Empezar("uno", "uno"));
    ASSERT_EQ(grupos.size(), 3u);
    EXPECT_NE(grupos[1], grupos[2]);
    ASSERT_TRUE(Esperar([] { return Pieza("e4") == rules::PeonBlanco; }));
}

TEST_F(Panel, AFloodOfThinkingIsReadAtItsOwnPaceAndTheMoveStillArrives) {
#if defined(__SANITIZE_ADDRESS__)
    Motor("negro", {"inundar 10000", "jugadas e7e5"});  // the same road, at the sanitizer's pace
#else
    Motor("negro", {"inundar 100000", "jugadas e7e5"});
#endif
    const long antes = PicoMemoria();
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }, 120000));
    std::cout << "peak memory grew by " << (PicoMemoria() - antes) / 1024 << " MB\n";
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer keeps freed memory in quarantine
    EXPECT_LT(PicoMemoria() - antes, 100 * 1024);
#endif
    EXPECT_FALSE(Cpu().Text4->text().isEmpty());
    EXPECT_TRUE(e->mensajes.empty());
}

TEST_F(Panel, StopWorksWhileAnEngineFloodsItsOutput) {
    Motor("negro", {"inundar 100000000", "jugadas e7e5"});
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return !Cpu().Text4->text().isEmpty(); }));
    const pid_t grupo = grupos.front();
    QElapsedTimer reloj;
    reloj.start();
    Cpu().Toolbar1[2]->trigger();
    ASSERT_TRUE(Esperar([&] { return testsupport::ProcesosDelGrupo(grupo).empty(); }, 6000));
    EXPECT_LT(reloj.elapsed(), 3000);
    EXPECT_EQ(Pieza("e7"), rules::PeonNegro);
}

TEST_F(Panel, AFloodOnStandardErrorGivesOneBoxEvenWhileTheBoxWaits) {
    // Boxes run a nested event loop in which engine lines keep coming.
    auto anotar = ResponderMensaje;
    ResponderMensaje = [anotar](const CMensaje& m) {
        const long r = anotar(m);
        QTest::qWait(300);
        return r;
    };
    Motor("negro", {"inundar_error 2000", "jugadas e7e5"});
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    QTest::qWait(500);
    // The move on standard output may come before or after: the two pipes keep no
    // order between them. Nothing comes after the end.
    const QStringList registros = Registros();
    EXPECT_EQ(Mensajes(), QStringList{"[ERROR] ruido 0"});
    EXPECT_EQ(e->mensajes[0].icono, MB_ICONSTOP);
    EXPECT_FALSE(Motor2.Activo);
    QTest::qWait(300);
    EXPECT_EQ(Registros(), registros);
    EXPECT_EQ(Cpu().mRedir2, nullptr);
}

}  // namespace

namespace {

TEST_F(PartidaMotor, LeavingTheProgramEndsEveryEngineBeforeItGoes) {
    Motor("negro", {"mudo", "sordo", "nieto"});
    ASSERT_TRUE(Empezar("", "negro"));
    ASSERT_EQ(grupos.size(), 1u);
    ASSERT_TRUE(Esperar([&] { return testsupport::ProcesosDelGrupo(grupos[0]).size() == 2; }));
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    // The end waited for them: nothing of the engine's group is left running.
    EXPECT_TRUE(testsupport::ProcesosDelGrupo(grupos[0]).empty());
    EXPECT_TRUE(Leidas("negro").endsWith("quit"));
}

}  // namespace
