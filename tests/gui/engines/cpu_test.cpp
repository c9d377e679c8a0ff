// The engine panel against the recording test engine: the exact lines each engine
// reads, the moves both ways, requests and their answers, the ends of a game, and an
// engine that misbehaves (crash, silence, illegal or untimely moves, floods, lines it
// was not asked for, false results, an input it never reads).
#include "partida_motor.h"

#include "../board/partida.h"
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/Idioma.h"
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
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <iostream>

namespace {

const QStringList kArranque = {"xboard", "protover 2", "new", "random"};

QStringList Arranque(const QString& nivel, bool blancas) {
    QStringList l = kArranque;
    l << nivel << "post"
      << "easy";
    if (blancas) l << "go";
    return l;
}

void Jugar(const std::string& jugadas) { Partida::Jugar(jugadas); }
int Pieza(const std::string& casilla) { return Partida::Pieza(casilla); }
bool Invertido() { return Mdi().mnuInvertirTablero->isChecked(); }
// Waits until no engine runs: what each one read is then all it will ever read.
bool SinMotores() {
    return PartidaMotor::Esperar([] { return testsupport::HijosVivos(getpid()).empty(); });
}

// The message of the person's resignation against that engine.
QString TextoAbandonoPersona(const QString& motor) {
    QString t = TextosIdioma[92];
    t[0] = t[0].toUpper();
    return t.left(t.indexOf('$')) + motor + t.mid(t.indexOf('$') + 1);
}

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
    ASSERT_TRUE(Esperar([&] { return Leidas("negro").size() >= 7; }));
    EXPECT_EQ(Leidas("negro"), Arranque("sd 2", false));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    // Without the clock option the move goes alone: "time 0" would say the clock is empty.
    EXPECT_EQ(Leidas("negro").mid(7), QStringList{"e2e4"});
    EXPECT_EQ(Reglas().Turno, 1);
    EXPECT_EQ(Partida::DibujoDistinto(), "");
    Cpu().Toolbar1[2]->trigger();
    ASSERT_TRUE(Esperar([&] { return Leidas("negro").size() >= 10; }));
    EXPECT_EQ(Leidas("negro").mid(8), (QStringList{"exit", "quit"}));
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
    // Moves the clock source on and waits for the clock box to show the text.
    bool Avanzar(std::int64_t ms, QLineEdit* caja, const QString& texto) {
        ahora += ms;
        return Esperar([&] { return caja->text() == texto; });
    }
    std::int64_t ahora = 10'000'000;
};

TEST_F(PanelReloj, WithTheClockOptionMovesCarryBothClocksInCentiseconds) {
    Motor("negro", {"jugadas e7e5 g8f6"});
    Nivel(2, "5", "40");
    ASSERT_TRUE(Empezar("", "negro"));
    EXPECT_EQ(Cpu().Text6->text(), "05:00");
    EXPECT_EQ(Cpu().Text7->text(), "05:00");
    // White thinks before the first move: that time is given back.
    ASSERT_TRUE(Avanzar(3'000, Cpu().Text6, "04:57")) << Cpu().Text6->text().toStdString();
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    EXPECT_EQ(Leidas("negro"), Arranque("level 40 5 0", false) + QStringList({"time 30000", "otim 30000", "e2e4"}));
    // Now White's clock runs.
    ASSERT_TRUE(Avanzar(2'500, Cpu().Text6, "04:58")) << Cpu().Text6->text().toStdString();
    EXPECT_EQ(Cpu().Text7->text(), "05:00");
    Jugar("d2d4");
    ASSERT_TRUE(Esperar([] { return Pieza("f6") == rules::CaballoNegro; }));
    EXPECT_EQ(Leidas("negro").mid(10), (QStringList{"time 30000", "otim 29800", "d2d4"}));
}

TEST_F(PanelReloj, AnEngineThatNeverMovesLosesOnTimeAndTheGameIsKept) {
    Motor("negro", {"mudo"});
    Nivel(2, "1", "0");
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Avanzar(30'000, Cpu().Text7, "00:30")) << Cpu().Text7->text().toStdString();
    EXPECT_TRUE(Motor2.Activo);
    ahora += 31'000;
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    // The engine whose flag fell is named.
    EXPECT_EQ(Mensajes(), QStringList{"negro. " + TextosIdioma[30]});
    EXPECT_FALSE(Motor2.Activo);
    EXPECT_FALSE(Cpu().Timer4->isActive() || Cpu().Timer5->isActive());
    // The moves and the position stay, so the game can still be saved.
    EXPECT_EQ(Registros(), QStringList{"5254"});
    EXPECT_EQ(Pieza("e4"), rules::PeonBlanco);
    EXPECT_FALSE(Reglas().Jugadas.List[1].empty());
    EXPECT_EQ(Reglas().Turno, 0);
}

// Between engines nobody at the board has won: the engine whose flag fell and the
// winner are named.
TEST_F(PanelReloj, AFlagFallBetweenEnginesNamesTheLoserAndTheWinner) {
    Motor("blanco", {"jugadas e2e4"});
    Motor("negro", {"mudo"});
    Nivel(2, "1", "0");
    ASSERT_TRUE(Empezar("blanco", "negro"));
    ASSERT_TRUE(Esperar([] { return Pieza("e4") == rules::PeonBlanco; }));
    ASSERT_TRUE(Avanzar(30'000, Cpu().Text7, "00:30")) << Cpu().Text7->text().toStdString();
    ahora += 31'000;
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    const QString& t29 = TextosIdioma[29];
    const QString& t92 = TextosIdioma[92];
    const QString gana = t92.mid(t92.lastIndexOf(u'.', t92.indexOf(u'$')) + 1).trimmed().replace(u'$', "blanco");
    EXPECT_EQ(Mensajes(), QStringList{"negro: " + t29.left(t29.indexOf(u'.') + 1) + " " + gana});
    EXPECT_FALSE(Mensajes().join('|').contains(TextosIdioma[30]));
    EXPECT_FALSE(Motor1.Activo || Motor2.Activo);
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

// The feature replies the engine read, in order.
QStringList Respuestas(const QStringList& leidas) {
    QStringList r;
    for (const QString& l : leidas)
        if (l.startsWith("accepted ") || l.startsWith("rejected ")) r << l;
    return r;
}

TEST_F(Panel, EachAnnouncedFeatureIsAnsweredByNameAndAnEngineAskingForSanPlaysInCoordinates) {
    // The engine sends SAN and waits for "usermove" once either is accepted.
    Motor("negro", {"caracteristicas feature ping=1 setboard=1 playother=1 san=1 usermove=1 time=1 draw=1 sigint=1 "
                    "sigterm=1 reuse=1 analyze=1",
                    "caracteristicas feature myname=\"Motor de prueba 1\" variants=\"normal\" colors=1 ics=1 name=1 "
                    "pause=1 nps=1 debug=1 memory=1 smp=1 egt=\"syzygy\" option=\"Resign -check 1\" exclude=1 "
                    "setscore=1 highlight=1 done=1",
                    "caracteristicas feature usermove=1 done=0", "caracteristicas Error (unknown command): st",
                    "jugadas e7e5 g8f6", "jugadas_san e5 Nf6"});
    Nivel(1, "1");
    ASSERT_TRUE(Empezar("", "negro"));
    ASSERT_TRUE(Esperar([&] { return Respuestas(Leidas("negro")).join('|').contains("done"); }));
    EXPECT_EQ(Respuestas(Leidas("negro")),
              (QStringList{"rejected ping",     "rejected setboard",  "rejected playother", "rejected san",
                           "rejected usermove", "accepted time",      "accepted draw",      "rejected sigint",
                           "rejected sigterm",  "accepted reuse",     "rejected analyze",   "rejected myname",
                           "rejected variants", "rejected colors",    "rejected ics",       "rejected name",
                           "rejected pause",    "rejected nps",       "rejected debug",     "rejected memory",
                           "rejected smp",      "rejected egt",       "rejected option",    "rejected exclude",
                           "rejected setscore", "rejected highlight", "accepted done"}));
    // The moves go and come in coordinates; a line ending in 0 is not answered.
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    Jugar("d2d4");
    ASSERT_TRUE(Esperar([] { return Pieza("f6") == rules::CaballoNegro; }));
    EXPECT_TRUE(e->mensajes.empty()) << Mensajes().join('|').toStdString();
    EXPECT_TRUE(Motor2.Activo);
    EXPECT_EQ(Respuestas(Leidas("negro")).size(), 27);
    // An engine that refuses "st" gets a time control instead, once.
    EXPECT_EQ(Leidas("negro").count("level 0 15 0"), 1);
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

// While a game runs the engine lists do not change, by keys or otherwise; take-back
// goes by the engines that play, so the board and the engine take back the same moves.
TEST_F(Panel, TheEngineListsStayDuringAGameAndTakeBackFollowsTheEnginesThatPlay) {
    Motor("negro", {"jugadas e7e5 g8f6 b8c6"});
    Nivel(0, "2");
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    Jugar("g1f3");
    ASSERT_TRUE(Esperar([] { return Pieza("f6") == rules::CaballoNegro; }));
    auto& c = Cpu();
    c.SMotor2->setFocus();
    for (Qt::Key tecla : {Qt::Key_Up, Qt::Key_Home, Qt::Key_PageUp}) QTest::keyClick(c.SMotor2, tecla);
    EXPECT_EQ(c.SMotor2->currentText(), "negro");
    EXPECT_FALSE(c.SMotor1->isEnabled() || c.SMotor2->isEnabled());
    EXPECT_EQ(c.NombreMotor(2), "negro");
    EXPECT_EQ(c.NombreMotor(1), "");
    // Whatever the list shows, the engine that plays is the one that counts.
    c.SMotor2->setCurrentIndex(0);
    Mdi().mnuRetroceder->trigger();
    EXPECT_EQ(Registros(), (QStringList{"5254", "5755"}));
    EXPECT_EQ(Reglas().Turno, 1);
    ASSERT_TRUE(Esperar([&] { return Leidas("negro").contains("remove"); }));
    EXPECT_EQ(Leidas("negro").count("remove"), 1);
    // The game goes on from there; once it ends the lists may change again, and the
    // game on the board still names its engine.
    Jugar("d2d4");
    ASSERT_TRUE(Esperar([] { return Registros().size() == 4; }));
    c.Toolbar1[2]->trigger();
    EXPECT_TRUE(c.SMotor1->isEnabled() && c.SMotor2->isEnabled());
    EXPECT_EQ(c.NombreMotor(2), "negro");
    EXPECT_TRUE(e->mensajes.empty()) << Mensajes().join('|').toStdString();
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
    EXPECT_TRUE(Esperar([&] { return testsupport::ProcesosDelGrupo(grupos.front()).empty(); }));
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
    EXPECT_FALSE(Cpu().Partida().EsperandoRespuesta());
    // "?" only while the engine thinks.
    Cpu().Toolbar1[10]->trigger();
    EXPECT_FALSE(Leidas("negro").contains("?"));
}

TEST_F(Panel, ASilentEngineThatIgnoresQuitAndSigtermIsStillStopped) {
    Motor("negro", {"mudo", "sordo"});
    Cpu().Timer1->setInterval(1000);  // the panel's own time-out is what is tested
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    Cpu().Toolbar1[10]->trigger();
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    EXPECT_EQ(Mensajes(), QStringList{"97"});
    ASSERT_FALSE(grupos.empty());
    const pid_t grupo = grupos.front();
    ASSERT_FALSE(testsupport::ProcesosDelGrupo(grupo).empty());
    Cpu().Toolbar1[2]->trigger();
    // The window is not held: the stop returns while the engine, which only SIGKILL
    // ends, still runs.
    EXPECT_FALSE(testsupport::ProcesosDelGrupo(grupo).empty());
    ASSERT_TRUE(Esperar([&] { return testsupport::ProcesosDelGrupo(grupo).empty(); }));
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
    // The answered offer is not reported as unanswered.
    EXPECT_FALSE(Cpu().Timer1->isActive());
    EXPECT_FALSE(Cpu().Partida().EsperandoRespuesta());
}

TEST_F(Panel, UnaskedHintsOpenNoBoxAndADrawOfferIsAskedOncePerTurn) {
    QStringList ajustes{"jugadas e7e5 g8f6 b8c6"};
    for (int i = 0; i < 200; ++i) ajustes << "antes Hint: e7e5";
    for (int i = 0; i < 50; ++i) ajustes << "antes offer draw";
    Motor("negro", ajustes);
    ASSERT_TRUE(Empezar("", "negro"));
    const QString oferta = "negro" + TextosIdioma[94].mid(TextosIdioma[94].indexOf('$') + 1);
    e->respuestas = {IDNO, IDNO};
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    EXPECT_EQ(Mensajes(), QStringList{oferta});
    // The next turn asks again, once.
    Jugar("d2d4");
    ASSERT_TRUE(Esperar([] { return Pieza("f6") == rules::CaballoNegro; }));
    EXPECT_EQ(Mensajes(), (QStringList{oferta, oferta}));
    // A hint asked for is shown.
    Cpu().Toolbar1[9]->trigger();
    ASSERT_TRUE(Esperar([&] { return e->mensajes.size() == 3; }));
    EXPECT_EQ(Mensajes().last(), " b8c6");
    EXPECT_TRUE(Motor2.Activo);
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
        {"draw", "95"},
        // A claim the board does not bear out is shown as the engine's error: a draw
        // by rule, the person's resignation, a mate or a stalemate.
        {"1/2-1/2 {Draw by repetition}", TextosIdioma[90] + " 1/2-1/2 {Draw by repetition}"},
        {"0-1 {White resigns}", TextosIdioma[90] + " 0-1 {White resigns}"},
        {"1-0 {White mates}", TextosIdioma[90] + " 1-0 {White mates}"},
        {"1/2-1/2 {Stalemate}", TextosIdioma[90] + " 1/2-1/2 {Stalemate}"},
        {"0-1 {Black resigns}", TextosIdioma[90] + " 0-1 {Black resigns}"},
        // Any other decisive result is said with the engine's line.
        {"1-0 {White wins on time}", TextosIdioma[23] + "\r\n1-0 {White wins on time}"},
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

TEST_F(Panel, AResultLineOfOneEngineNamesTheOtherAsResigning) {
    // Only an engine's own resignation stands: the other's is a false claim.
    const auto [antes, despues] = PartirEnDolar(TextosIdioma[92]);
    struct Fila {
        QStringList blanco, negro;
        QString mensaje;
    };
    const Fila filas[] = {
        {{"jugadas e2e4 d2d4", "final 0-1 {White resigns}"}, {"jugadas e7e5"}, "blanco " + antes + "negro" + despues},
        {{"jugadas e2e4"}, {"jugadas e7e5", "final 0-1 {White resigns}"}, TextosIdioma[90] + " 0-1 {White resigns}"},
    };
    for (const Fila& f : filas) {
        e->mensajes.clear();
        Motor("blanco", f.blanco);
        Motor("negro", f.negro);
        ASSERT_TRUE(Empezar("blanco", "negro"));
        ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
        EXPECT_EQ(Mensajes(), QStringList{f.mensaje});
        EXPECT_FALSE(Motor1.Activo || Motor2.Activo);
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
    EXPECT_EQ(Mensajes(), QStringList{TextoAbandonoPersona("negro")});
    EXPECT_FALSE(Motor2.Activo);
    EXPECT_TRUE(Esperar([&] { return Leidas("negro").endsWith("quit"); }));
    EXPECT_FALSE(Leidas("negro").contains("resign"));
}

TEST_F(Panel, MateOrStalemateOnTheBoardEndsTheEngineGameAlsoWithAnEngineThatKnowsNoOptionalCommand) {
    // The engine mates: its clocks stop, it is stopped, the board says who won. It
    // answers every optional command of the start, the clocks and the feature replies
    // with an error, which ends nothing.
    Motor("negro", {"desconoce random post easy hard time otim computer accepted rejected",
                    "caracteristicas feature time=1 done=1", "jugadas e7e5 d8h4"});
    Nivel(2, "5", "40");  // a timed game: the moves come with "time" and "otim"
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("f2f3");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    Jugar("g2g4");
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    EXPECT_EQ(Mensajes(), QStringList{"2"});
    EXPECT_EQ(Registros(), (QStringList{"6263", "5755", "7274", "4884"}));
    for (const char* orden : {"post", "easy", "time", "otim", "accepted", "random"})
        EXPECT_TRUE(Leidas("negro").join('|').contains(orden)) << orden;
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
    // Once the engine has gone, what it read is all it will ever read.
    ASSERT_TRUE(SinMotores());
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
    EXPECT_FALSE(Cpu().Partida().EnroquePendiente());
    EXPECT_FALSE(Cpu().Timer2->isActive());
    ASSERT_TRUE(Esperar([&] { return Leidas("blanco").count("e8g8") == 2; }));
    EXPECT_FALSE(Leidas("blanco").contains("O-O"));
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
        {{"jugadas e7e4"}, "move e7e4", {"5254"}},                        // illegal
        {{"jugadas d2d4"}, "move d2d4", {"5254"}},                        // the other colour
        {{"jugadas e7e5 g8f6", "doble"}, "move g8f6", {"5254", "5755"}},  // a second move
        {{"jugadas zz99"}, "move zz99", {"5254"}},                        // no move at all
        {{"jugadas e7e8x"}, "move e7e8x", {"5254"}},
    };
    for (const Fila& f : filas) {
        e->mensajes.clear();
        Motor("negro", f.ajustes);
        ASSERT_TRUE(Empezar("", "negro"));
        Jugar("e2e4");
        ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); })) << f.linea.toStdString();
        ASSERT_TRUE(SinMotores()) << f.linea.toStdString();
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
    ASSERT_TRUE(SinMotores());
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
    Cpu().Toolbar1[2]->trigger();
    ASSERT_TRUE(Esperar([&] { return testsupport::ProcesosDelGrupo(grupo).empty(); }));
    EXPECT_EQ(Pieza("e7"), rules::PeonNegro);
}

TEST_F(Panel, AnEngineThatFloodsWhileItsDrawQuestionWaitsWaitsOnItsOwnWrites) {
    Motor("negro", {"jugadas e7e5", "ofrece", "inundar_siempre"});
    ASSERT_TRUE(Empezar("", "negro"));
    const pid_t pid = Cpu().mRedir2->Pid();
    long long escrito = -1;
    auto anotar = ResponderMensaje;
    ResponderMensaje = [&](const CMensaje& m) {
        anotar(m);
        // The box waits until the engine waits on its pipe for good, or has written
        // far more than a pipe holds.
        testsupport::Escritor motor(pid);
        (void)QTest::qWaitFor([&] { return motor.Parado(500) || motor.Escrito() > (64 << 20); }, 30000);
        escrito = motor.Escrito();
        return long(IDNO);
    };
    const long memoria = PicoMemoria();
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([&] { return escrito >= 0; }));
    EXPECT_LT(escrito, 4 << 20) << "the engine went on writing while the question waited";
    // The game goes on: the move is on the board, the thinking keeps coming, the
    // window answers.
    EXPECT_EQ(Pieza("e5"), rules::PeonNegro);
    const QString nodos = Cpu().Text4->text();
    EXPECT_TRUE(Esperar([&] { return Cpu().Text4->text() != nodos; }));
    EXPECT_TRUE(Motor2.Activo);
    EXPECT_EQ(e->mensajes.size(), 1u);
    std::cout << "peak memory grew by " << (PicoMemoria() - memoria) / 1024 << " MB\n";
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(PicoMemoria() - memoria, 100 * 1024);
#endif
}

TEST_F(Panel, AnEngineThatNeverReadsItsInputIsStoppedAsAFailedEngine) {
    // Long feature lines, each answered by a long line of replies the engine never reads.
    QString anuncio = "caracteristicas feature";
    for (int i = 0; anuncio.size() < 60000; ++i) anuncio += QString(" f%1=1").arg(i);
    Motor("negro", {"atascado", anuncio});
    const long memoria = PicoMemoria();
    ASSERT_TRUE(Empezar("", "negro"));
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }, 20000));
    EXPECT_EQ(Mensajes(), QStringList{TextosIdioma[90] + " negro"});
    EXPECT_EQ(e->mensajes[0].icono, MB_ICONSTOP);
    EXPECT_FALSE(Motor2.Activo);
    std::cout << "peak memory grew by " << (PicoMemoria() - memoria) / 1024 << " MB\n";
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(PicoMemoria() - memoria, 100 * 1024);
#endif
}

TEST_F(Panel, WarningsAndOtherComplaintsAreShownAndTheGamePlaysOn) {
    Motor("negro", {"jugadas e7e5 g8f6", "antes unknown option: Hash", "antes Invalid score",
                    "antes warning: time exeeded in exact clock mode"});
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    Jugar("d2d4");
    ASSERT_TRUE(Esperar([] { return Pieza("f6") == rules::CaballoNegro; }));
    EXPECT_TRUE(e->mensajes.empty()) << Mensajes().join('|').toStdString();
    EXPECT_TRUE(Motor2.Activo);
    EXPECT_EQ(Cpu().Text5->text(), "warning: time exeeded in exact clock mode");
}

TEST_F(Panel, AnEngineThatEndsItsLinesWithCrAlonePlays) {
    Motor("negro", {"cr", "jugadas e7e5 g8f6"});
    ASSERT_TRUE(Empezar("", "negro"));
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([] { return Pieza("e5") == rules::PeonNegro; }));
    Jugar("d2d4");
    ASSERT_TRUE(Esperar([] { return Pieza("f6") == rules::CaballoNegro; }));
    EXPECT_TRUE(e->mensajes.empty()) << Mensajes().join('|').toStdString();
}

TEST_F(Panel, AFloodOnStandardErrorGivesOneBoxEvenWhileTheBoxWaits) {
    // Boxes run a nested event loop in which engine lines keep coming.
    auto anotar = ResponderMensaje;
    // The box's loop lasts until the engine has gone.
    ResponderMensaje = [anotar](const CMensaje& m) {
        const long r = anotar(m);
        EXPECT_TRUE(SinMotores());
        return r;
    };
    Motor("negro", {"inundar_error 2000", "jugadas e7e5"});
    ASSERT_TRUE(Empezar("", "negro"));
    const QPointer<Relevo> relevo = Cpu().mRedir2;
    Jugar("e2e4");
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }));
    // The relay goes once its program has: nothing of the engine's can come after.
    ASSERT_TRUE(Esperar([&] { return relevo.isNull(); }));
    // The move on standard output may come before or after: the two pipes keep no
    // order between them. Nothing comes after the end.
    const QStringList registros = Registros();
    EXPECT_EQ(Mensajes(), QStringList{"[ERROR] ruido 0"});
    EXPECT_EQ(e->mensajes[0].icono, MB_ICONSTOP);
    EXPECT_FALSE(Motor2.Activo);
    QCoreApplication::processEvents();
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
