// The receive dispatcher on the real windows: every message, what it does to the
// game, the board, the clocks, the ranking and the chat, what it answers, and what a
// misbehaving peer cannot do.
#include "red_pruebas.h"

#include "app/Variables.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "files/fEpd.h"
#include "files/Guardar.h"
#include "files/ListaPgn.h"
#include "network/Chat.h"
#include "network/Cola.h"
#include "network/Nuevo.h"
#include "network/Puntuacion.h"
#include "network/Ranking.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using Despacho = Red;

std::string Tablero() {
    std::string t;
    for (int y = 8; y >= 1; --y)
        for (int x = 1; x <= 8; ++x) t += "0123456789abc"[Reglas().Casillas[x][y]];
    return t;
}

std::string UltimaLineaChat() {
    const QStringList l = ::Chat().Conversacion().split(u'\n', Qt::SkipEmptyParts);
    return l.isEmpty() ? std::string() : l.last().toStdString();
}

std::string Registro() { return Reglas().Jugadas.List[4]; }

// This side says Yes to the peer's game file ("AbrirPartida") or EPD list.
void Consentir(Red& t, const char* peticion) {
    t.e->respuestas = {IDYES};
    t.Llega(peticion);
    ASSERT_EQ(t.Cajas(), "35");
    ASSERT_EQ(t.Cola(), std::string(peticion) == "AbrirPartida" ? "AbrirAceptado" : "AbrirAceptadoEPD");
}

// The queue for the peer in the order it goes out ("|" between), then emptied.
std::string Salida(Red& t) {
    cola::Ordenar(ColaEnvio, NumColaEnvio);
    return t.Cola();
}

TEST_F(Despacho, PingPongAndTheFlashOfTheMainWindow) {
    Llega("Ping");
    EXPECT_EQ(Cola(), "Pong");
    Llega("Pong");  // nobody asked
    EXPECT_EQ(Tavorin().Caption().toStdString(), "Tablero");
    EXPECT_EQ(parpadeos, 0);

    auto& r = red::Red();
    r.PingEnviado = true;
    r.HoraPing = reloj;
    reloj += 2400;
    Llega("Pong");
    EXPECT_EQ(Tavorin().Caption().toStdString(), "Tablero - Retardo: 2 s");
    r.PingEnviado = true;
    r.HoraPing = reloj;
    reloj += 600;
    Llega("Pong");
    EXPECT_EQ(Tavorin().Caption().toStdString(), "Tablero - Retardo: 1 s");
    Llega("Pong");
    EXPECT_EQ(Tavorin().Caption().toStdString(), "Tablero - Retardo: 1 s");

    Llega("TIME 4:5");
    EXPECT_EQ(parpadeos, 0);
    Llega("Mensaje <a>hola");
    EXPECT_EQ(parpadeos, 1);
    primerPlano = true;
    Llega("Mensaje <a>hola");
    EXPECT_EQ(parpadeos, 1);
}

TEST_F(Despacho, WithoutAGameRequestsAreRefusedUnaskedAndAnswersChangeNothing) {
    const std::string tablero = Tablero();
    const auto puntos = Ranking().RegPuntuacion;
    const struct {
        const char* mensaje;
        const char* respuesta;
    } tabla[] = {
        {"Retroceso", "RetrocesoCancelado"},
        {"OfrecerTablas", "TablasCancelado"},
        {"NuevoJuego 3 Q 999", "NuevoCancelado"},
        {"NuevoJuego 1 R 181", "NuevoCancelado"},
        {"NuevoJuego 1 A 5", "NuevoCancelado"},
        {"AbrirAceptado", "TVP ERROR"},
        {"Rendirse", ""},
        {"RetrocesoAceptado", ""},
        {"RetrocesoCancelado", ""},
        {"TablasAceptadas", ""},
        {"TablasCancelado", ""},
        {"NuevoAceptado", ""},
        {"NuevoCancelado", ""},
        {"AbrirCancelado", ""},
        {"AbrirAceptadoEPD", ""},
        {"AbrirCanceladoEPD", ""},
        {"CancelarEPD", ""},
        {"TVP M 5254", ""},
        {"TVP Terminado", ""},
        {"Movimiento 9999", ""},
        {"Movimiento 5254", ""},
        {"TIME 4:59", ""},
        {"Ranking 99999999999-1", ""},
        {"Rendirsexyz", ""},
        {"\x01\x02", ""},
    };
    for (const auto& c : tabla) {
        Llega(QString::fromLatin1(c.mensaje));
        EXPECT_EQ(Cola(), c.respuesta) << c.mensaje;
        EXPECT_EQ(Cajas(), "") << c.mensaje;
        EXPECT_EQ(Tablero(), tablero) << c.mensaje;
        EXPECT_EQ(Ranking().RegPuntuacion, puntos) << c.mensaje;
        EXPECT_TRUE(Reglas().TipoPartida.empty()) << c.mensaje;
        EXPECT_FALSE(PartidaDeFichero) << c.mensaje;
    }
    // A move with no game ever played is a protocol error: the link goes.
    Llega("Movimiento 52540");
    EXPECT_EQ(Cajas(), "Error interno.");
    EXPECT_EQ(Tablero(), tablero);
    EXPECT_FALSE(Reglas().Conectado);
}

TEST_F(Despacho, ARatedProposalOfOneMinuteIsAskedInTheSingular) {
    e->respuestas = {IDNO};
    Llega("NuevoJuego 1 R 1");
    EXPECT_EQ(Cajas(),
              "Su rival le propone una partida puntuable de 1 minuto por jugador. ¿La acepta? Usted jugará con las "
              "negras.");
    EXPECT_EQ(Cola(), "NuevoCancelado");
}

TEST_F(Despacho, ANewGameProposalIsAskedAndSetsColourClocksAndBoard) {
    e->respuestas = {IDYES};
    Llega("NuevoJuego 1 R 15");
    EXPECT_EQ(Cajas(),
              "Su rival le propone una partida puntuable de 15 minutos por jugador. ¿La acepta? Usted "
              "jugará con las negras.");
    EXPECT_EQ(Cola(), "NuevoAceptado");
    auto& g = Reglas();
    EXPECT_EQ(g.MiColor, "Negras");
    EXPECT_EQ(g.TipoPartida, "R");
    EXPECT_EQ(g.Turno, 0);
    EXPECT_EQ(Reloj().Tiempo(true), "15:00");
    EXPECT_EQ(Reloj().Tiempo(false), "15:00");
    EXPECT_TRUE(Reloj().Corriendo(true));
    EXPECT_FALSE(Reloj().Corriendo(false));
    EXPECT_TRUE(Mdi().mnuInvertirTablero->isChecked());

    e->respuestas = {IDYES};
    Llega("NuevoJuego 2 A 0");
    EXPECT_EQ(Cajas(), "Su rival le propone una partida sin reloj. ¿La acepta? Usted jugará con las blancas.");
    EXPECT_EQ(Cola(), "NuevoAceptado");
    EXPECT_EQ(g.MiColor, "Blancas");
    EXPECT_EQ(g.TipoPartida, "A");
    EXPECT_EQ(g.Turno, 1);
    EXPECT_FALSE(Reloj().Corriendo(true));
    EXPECT_FALSE(Mdi().mnuInvertirTablero->isChecked());

    e->respuestas = {IDNO};
    Llega("NuevoJuego 1 R 5");
    EXPECT_EQ(Cola(), "NuevoCancelado");
    EXPECT_EQ(Cajas().substr(0, 20), "Su rival le propone ");
    EXPECT_EQ(g.MiColor, "Blancas");

    // Crossed proposals: the one that arrives while this side's waits is refused.
    NuevoPendiente = true;
    Llega("NuevoJuego 1 R 5");
    EXPECT_EQ(Cola(), "NuevoCancelado");
    EXPECT_EQ(Cajas(), "");
    NuevoPendiente = false;
}

TEST_F(Despacho, TheAnswerToAProposalStartsTheGameThatWasSent) {
    auto& n = Nuevo();
    n.Option2->click();
    n.Option3->click();
    n.FijarMinutos("7");
    n.Command1_Click();
    EXPECT_EQ(Cola(), "NuevoJuego 2 R 7");
    EXPECT_TRUE(NuevoPendiente);
    // The dialog changes before the answer comes: the game is the one proposed.
    n.Option1->click();
    n.FijarMinutos("20");
    Llega("NuevoAceptado");
    EXPECT_EQ(Cajas(), "101");
    auto& g = Reglas();
    EXPECT_EQ(g.MiColor, "Negras");
    EXPECT_EQ(g.Turno, 0);
    EXPECT_EQ(Reloj().Tiempo(true), "07:00");
    EXPECT_FALSE(NuevoPendiente);
    Llega("NuevoAceptado");
    EXPECT_EQ(Cajas(), "");

    n.Command1_Click();
    Cola();
    Llega("NuevoCancelado");
    EXPECT_EQ(Cajas(), "11");
    EXPECT_FALSE(NuevoPendiente);
}

TEST_F(Despacho, TheMovesOfThePeer) {
    const struct {
        const char* nombre;
        std::vector<const char*> mensajes;
        const char* cajas;
        const char* registro;  // the move records afterwards
        int turno;
    } tabla[] = {
        {"e2-e4", {"Movimiento 52540"}, "", "5254\r\n", 2},
        {"a code on a move that promotes nothing", {"Movimiento 52545"}, "", "5254\r\n", 2},
        {"a piece of this side", {"Movimiento 57550"}, "Error interno.", "", 0},
        {"an illegal move", {"Movimiento 52550"}, "Error interno.", "", 0},
        {"two in a row", {"Movimiento 52540", "Movimiento 42440"}, "Error interno.", "5254\r\n", 2},
        {"a Black piece code from White", {"Movimiento 525411"}, "Error interno.", "", 0},
        {"no promotion code", {"Movimiento 5254"}, "", "", 0},
    };
    for (const auto& c : tabla) {
        Enlazar();
        Partida("A", 2);
        for (const char* m : c.mensajes) Llega(m);
        EXPECT_EQ(Cajas(), c.cajas) << c.nombre;
        EXPECT_EQ(Registro(), c.registro) << c.nombre;
        if (std::string(c.cajas).empty()) {
            EXPECT_EQ(Reglas().Turno, c.turno) << c.nombre;
        }
        EXPECT_EQ(Reglas().Conectado, std::string(c.cajas).empty()) << c.nombre;
    }

    // A promotion names its piece.
    for (const char* m : {"Movimiento 27280", "Movimiento 27285"}) {
        Enlazar();
        Partida("A", 2);
        auto& g = Reglas();
        g.TorreA1Movida = g.TorreH1Movida = g.TorreA8Movida = g.TorreH8Movida = true;
        ASSERT_TRUE(g.LeerFen("4k3/1P6/8/8/8/8/8/4K3 w - - 0 1"));
        Llega(m);
        const bool conPieza = std::string(m).back() == '5';
        EXPECT_EQ(Pieza("b8"), conPieza ? 5 : 0) << m;
        EXPECT_EQ(Cajas(), conPieza ? "" : "Error interno.") << m;
    }

    // In a rated game the disconnect asks first.
    Enlazar();
    Partida("R", 2);
    Llega("Movimiento 57550");
    EXPECT_EQ(Cajas(), "Error interno.|53");
    EXPECT_TRUE(Reglas().Conectado);

    // A move that crossed the end of the game goes quietly.
    Llega("Rendirse");
    EXPECT_EQ(Cajas(), "16");
    Llega("Movimiento 52540");
    EXPECT_EQ(Cajas(), "");
    EXPECT_EQ(Registro(), "");
}

TEST_F(Despacho, AClockReportCorrectsTheOpponentAndStartsOnlyTheSideToMove) {
    Partida("R", 2, 5);
    Llega("TIME 4:7");  // White's report before White has moved here: a late one
    EXPECT_EQ(Reloj().Tiempo(true), "04:07");
    EXPECT_TRUE(Reloj().Corriendo(true));
    Llega("Movimiento 52540");
    Llega("TIME 4:6");
    EXPECT_EQ(Reloj().Tiempo(true), "04:06");
    EXPECT_FALSE(Reloj().Corriendo(true));
    EXPECT_TRUE(Reloj().Corriendo(false));
    Llega("TIME 4:61");
    EXPECT_EQ(Reloj().Tiempo(true), "04:06");

    Partida("A", 2);
    Llega("TIME 4:7");
    EXPECT_EQ(Reloj().Tiempo(true), "00:00");
}

TEST_F(Despacho, TakeBackAskedByThePeerAndAskedByThisSide) {
    // The peer (Black) moved; it asks to take its move back.
    for (long respuesta : {IDYES, IDNO}) {
        Partida("R", 1);
        Mover("e2e4");
        ASSERT_EQ(Cola(), "Movimiento 52540");
        Llega("Movimiento 57550");
        ASSERT_EQ(Reglas().Turno, 1);
        e->respuestas = {respuesta};
        Llega("Retroceso");
        EXPECT_EQ(Cajas(), "103");
        if (respuesta == IDYES) {
            EXPECT_EQ(Cola(), "RetrocesoAceptado");
            EXPECT_EQ(Pieza("e7"), 7);
            EXPECT_EQ(Pieza("e5"), 0);
            EXPECT_EQ(Reglas().Turno, 0);
        } else {
            EXPECT_EQ(Cola(), "RetrocesoCancelado");
            EXPECT_EQ(Pieza("e5"), 7);
        }
    }
    // Asked while this side waits, or with nothing to take back: refused unasked.
    Partida("R", 1);
    Mover("e2e4");
    Cola();
    Llega("Retroceso");
    EXPECT_EQ(Cola(), "RetrocesoCancelado");
    Partida("R", 1);
    Llega("Retroceso");
    EXPECT_EQ(Cola(), "RetrocesoCancelado");
    EXPECT_EQ(Cajas(), "");

    // This side asks.
    Partida("R", 1);
    Mover("e2e4");
    Cola();
    Mdi().mnuRetroceder_Click();
    EXPECT_EQ(Cola(), "Retroceso");
    EXPECT_TRUE(RetrocesoPendiente);
    Llega("TablasAceptadas");  // an answer of another kind
    EXPECT_EQ(Cajas(), "");
    EXPECT_TRUE(RetrocesoPendiente);
    Llega("RetrocesoAceptado");
    EXPECT_EQ(Cajas(), "104");
    EXPECT_EQ(Pieza("e2"), 1);
    EXPECT_EQ(Reglas().Turno, 1);
    EXPECT_TRUE(Reloj().Corriendo(true));
    EXPECT_FALSE(RetrocesoPendiente);
    Mover("e2e4");
    Cola();
    Mdi().mnuRetroceder_Click();
    Cola();
    Llega("RetrocesoCancelado");
    EXPECT_EQ(Cajas(), "105");
    EXPECT_EQ(Pieza("e4"), 1);
}

TEST_F(Despacho, DrawOffersAndResignationAreBookedOnce) {
    auto& p = Ranking().RegPuntuacion;
    p = puntuacion::kRegistroNuevo;
    Partida("R", 1);
    e->respuestas = {IDNO};
    Llega("OfrecerTablas");
    EXPECT_EQ(Cajas(), "18");
    EXPECT_EQ(Cola(), "TablasCancelado");
    e->respuestas = {IDYES};
    Llega("OfrecerTablas");
    EXPECT_EQ(Cola(), "TablasAceptadas");
    EXPECT_EQ(p[3], 1);
    EXPECT_TRUE(Reglas().TipoPartida.empty());

    Partida("R", 1);
    e->respuestas = {IDYES};
    Mdi().mnuOfrecerTablas_Click();
    EXPECT_EQ(Cola(), "OfrecerTablas");
    Cajas();
    Llega("TablasAceptadas");
    EXPECT_EQ(Cajas(), "19");
    EXPECT_EQ(p[3], 2);
    Llega("TablasAceptadas");
    Llega("TablasCancelado");
    EXPECT_EQ(Cajas(), "");
    EXPECT_EQ(p[3], 2);

    Partida("R", 1);
    Llega("Rendirse");
    EXPECT_EQ(Cajas(), "16");
    EXPECT_EQ(p[1], 1);
    Llega("Rendirse");
    EXPECT_EQ(p[1], 1);
    EXPECT_EQ(p[0], 3);
}

TEST_F(Despacho, AQuestionAnsweredAfterTheLinkClosedChangesNothing) {
    Partida("R", 1);
    Mover("e2e4");
    Llega("Movimiento 57550");
    Cola();
    const auto puntos = Ranking().RegPuntuacion;
    const std::string tablero = Tablero();
    // The link goes while the box is open; the answer is Yes.
    ResponderMensaje = [](const CMensaje&) {
        Tavorin().ConexionCerrada();
        return IDYES;
    };
    for (const char* m : {"Retroceso", "OfrecerTablas", "NuevoJuego 1 R 5", "AbrirPartida"}) {
        Reglas().Conectado = true;
        red::Red().ConexionServidor = true;
        Reglas().TipoPartida.assign(1, 'R');
        Reglas().MiColor = "Blancas";
        Reglas().Turno = 1;
        Llega(m);
        EXPECT_EQ(Cola(), "") << m;
        EXPECT_EQ(Tablero(), tablero) << m;
        EXPECT_EQ(Ranking().RegPuntuacion, puntos) << m;
        EXPECT_FALSE(PartidaDeFichero) << m;
        EXPECT_FALSE(Reglas().Conectado) << m;
    }
}

TEST_F(Despacho, ARequestDuringADragPutsThePieceBack) {
    Partida("A", 1);
    auto& t = Tavorin();
    const QImage antes = t.PicBuffer->Imagen().copy();
    const long s = AnchoCasilla;
    const QPoint e2(int(4 * s + s / 2), int(6 * s + s / 2)), e4(int(4 * s + s / 2), int(4 * s + s / 2));
    QTest::mousePress(t.PicBuffer, Qt::LeftButton, {}, e2);
    QTest::mouseMove(t.PicBuffer, e4);
    ASSERT_TRUE(t.Arrastrando());
    Llega("TIME 0:1");
    Llega("Mensaje <a>hola");
    EXPECT_TRUE(t.Arrastrando());
    e->respuestas = {IDNO};
    Llega("OfrecerTablas");
    EXPECT_FALSE(t.Arrastrando());
    EXPECT_TRUE(ArrastreCancelado);
    EXPECT_EQ(t.PicBuffer->Imagen(), antes);
    QTest::mouseRelease(t.PicBuffer, Qt::LeftButton, {}, e4);
    EXPECT_EQ(Pieza("e2"), 1);
    EXPECT_EQ(Pieza("e4"), 0);
    EXPECT_EQ(Cola(), "TablasCancelado");

    // Point-and-click: the selection is given up.
    Mdi().mnuPointClick->trigger();
    QTest::mouseClick(t.PicBuffer, Qt::LeftButton, {}, e2);
    ASSERT_FALSE(Reglas().Origen.empty());
    e->respuestas = {IDNO};
    Llega("Retroceso");
    EXPECT_TRUE(Reglas().Origen.empty());
    EXPECT_TRUE(t.Shape->isHidden());
    Mdi().mnuPointClick->trigger();
}

TEST_F(Despacho, VersionChatAndTheOpponentsRanking) {
    VersionRival.clear();
    Chat().Hide();
    Mdi().mnuVentanaChat->setChecked(false);
    Llega("Mensaje Luis se ha conectado con Tavorin versión 1.55");
    EXPECT_EQ(VersionRival, "1.55");
    EXPECT_EQ(UltimaLineaChat(), "Luis se ha conectado con Tavorin versión 1.55");
    EXPECT_TRUE(Chat().Visible());
    EXPECT_TRUE(Mdi().mnuVentanaChat->isChecked());
    Llega("VersionTV 1.60");
    EXPECT_EQ(VersionRival, "1.55");
    VersionRival.clear();
    Llega("VersionTV 1.60 beta");
    EXPECT_EQ(VersionRival, "1.60");
    Llega("Mensaje <Luis>hola");
    EXPECT_EQ(UltimaLineaChat(), "<Luis>hola");

    Llega("Ranking 12-5-4-3-1350");
    const auto& p = Ranking().RegPuntuacion;
    EXPECT_EQ(p[5], 12);
    EXPECT_EQ(p[9], 1350);
    EXPECT_EQ(Ranking().Linea(9).section(u' ', -1), "1350");
    Llega("Ranking 1-1-1-1-1");
    Llega("Ranking 1-1-1-1");
    EXPECT_EQ(p[5], 1);
    EXPECT_EQ(p[9], 1);
}

TEST_F(Despacho, APositionFromThePeerIsCheckedWholeFirst) {
    const char* negras = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
    Consentir(*this, "AbrirPartidaEPD");
    Llega(QString("EPD 2N ") + negras);
    EXPECT_EQ(Cajas(), "");
    auto& g = Reglas();
    EXPECT_EQ(g.MiColor, "Blancas");
    EXPECT_EQ(g.TipoPartida, "A");
    EXPECT_EQ(g.Turno, 0);
    EXPECT_EQ(Registro(), "0000\r\n");
    EXPECT_EQ(Pieza("e4"), 1);
    EXPECT_FALSE(Mdi().mnuInvertirTablero->isChecked());
    EXPECT_TRUE(PosicionPreparada);

    Enlazar();
    Consentir(*this, "AbrirPartidaEPD");
    Llega(QString("EPD T2B ") + negras);
    EXPECT_EQ(g.MiColor, "Negras");
    EXPECT_EQ(g.Turno, 2);
    EXPECT_TRUE(Mdi().mnuInvertirTablero->isChecked());
    Llega("Movimiento 57550");  // the peer may not move now
    EXPECT_EQ(Cajas(), "Error interno.");

    for (const QString& malo : {QString("EPD 1B ") + negras, QString("EPD 2B ") + negras,
                                QString("EPD 1B no es una posicion"), QString("EPD 3N ") + negras}) {
        Enlazar();
        Consentir(*this, "AbrirPartidaEPD");
        const std::string tablero = Tablero();
        Llega(malo);
        EXPECT_EQ(Cajas(), "Error interno.") << malo.toStdString();
        EXPECT_EQ(Tablero(), tablero);
    }
    // During a game only after this side's Yes: an unasked one is ignored.
    Enlazar();
    Partida("R", 1);
    Llega(QString("EPD 2N ") + negras);
    EXPECT_EQ(Cajas(), "");
    EXPECT_EQ(g.TipoPartida, "R");
    EXPECT_EQ(Pieza("e4"), 0);
    e->respuestas = {IDYES};
    Llega("AbrirPartidaEPD");
    EXPECT_EQ(Cajas(), "35");
    EXPECT_EQ(Cola(), "AbrirAceptadoEPD");
    EXPECT_TRUE(PartidaDeFichero);
    Llega("CancelarEPD");
    EXPECT_EQ(Cajas(), "102");
    Llega("CancelarEPD");
    EXPECT_EQ(Cajas(), "");
    e->respuestas = {IDYES};
    Llega("AbrirPartidaEPD");
    Cajas();
    Cola();
    Llega(QString("EPD 2N ") + negras);
    EXPECT_EQ(Cajas(), "");
    EXPECT_EQ(g.MiColor, "Blancas");
    EXPECT_FALSE(PartidaDeFichero);
}

// A list of positions read before the link is closed when the link is made: the peer
// would not take a position from it, and the board starts afresh.
TEST_F(Despacho, AListOfPositionsReadBeforeTheLinkIsClosedByIt) {
    Reglas().Conectado = false;
    e->Escribir("dos.epd", "4k3/8/8/8/8/8/8/R3K3 w Q -\r\nr3k3/8/8/8/8/8/8/4K3 b q -\r\n");
    fEpd().LeerEPD(e->Ruta("dos.epd"));
    ASSERT_TRUE(fEpd().Visible());
    ASSERT_TRUE(PartidaDeFichero);
    Reglas().Conectado = true;
    Tavorin().AlConectar();
    EXPECT_FALSE(fEpd().Visible());
    EXPECT_FALSE(PartidaDeFichero);
    EXPECT_EQ(Pieza("e2"), 1);
    EXPECT_EQ(Cola().find("CancelarEPD"), std::string::npos);
}

TEST_F(Despacho, AGameStreamedByThePeer) {
    Consentir(*this, "AbrirPartida");
    for (const char* m : {"TVP Iniciar", "TVP T N", "TVP T R", "TVP TB 0930", "TVP TN 10005", "TVP M 5254",
                          "TVP M 5755", "TVP M 7163", "TVP T 0"}) {
        Llega(m);
        EXPECT_TRUE(PartidaDeFichero) << m;
    }
    Llega("TVP Terminado");
    EXPECT_EQ(Cajas(), "");
    auto& g = Reglas();
    EXPECT_FALSE(PartidaDeFichero);
    EXPECT_EQ(g.MiColor, "Negras");
    EXPECT_EQ(g.TipoPartida, "R");
    EXPECT_EQ(Reloj().Tiempo(true), "09:30");
    EXPECT_EQ(Reloj().Tiempo(false), "100:05");
    EXPECT_EQ(Registro(), "5254\r\n5755\r\n7163\r\n");
    EXPECT_TRUE(Mdi().mnuInvertirTablero->isChecked());

    // A streamed move of the wrong side stops the stream; the link goes.
    Enlazar();
    Consentir(*this, "AbrirPartida");
    Llega("TVP Iniciar");
    Llega("TVP M 5755");
    EXPECT_EQ(Cajas(), "Error interno.");
    EXPECT_FALSE(PartidaDeFichero);
    EXPECT_EQ(Registro(), "");
    EXPECT_EQ(Pieza("e7"), 7);

    // During a game a stream needs this side's Yes: one that begins unasked is asked
    // about, and once refused the rest of it goes unread. An aborted one leaves a
    // fresh game.
    Enlazar();
    Partida("R", 1);
    e->respuestas = {IDNO};
    Llega("TVP Iniciar");
    EXPECT_EQ(Cajas(), "35");
    EXPECT_EQ(Cola(), "AbrirCancelado");
    Llega("TVP Iniciar");
    Llega("TVP Terminado");
    EXPECT_EQ(Cajas(), "");
    EXPECT_EQ(g.TipoPartida, "R");
    EXPECT_FALSE(PartidaDeFichero);
    e->respuestas = {IDYES};
    Llega("AbrirPartida");
    EXPECT_EQ(Cola(), "AbrirAceptado");
    Llega("TVP Iniciar");
    Llega("TVP M 5254");
    Llega("TVP ERROR");
    EXPECT_EQ(Cajas(), "35|55");
    EXPECT_FALSE(PartidaDeFichero);
    EXPECT_EQ(Pieza("e2"), 1);
    EXPECT_TRUE(g.TipoPartida.empty());

    // A peer of the old form streams its game file unasked when it has no game on: on
    // this side's Yes the game comes onto the board.
    Enlazar();
    e->respuestas = {IDYES};
    for (const char* m : {"TVP Iniciar", "TVP T A", "TVP M 5254", "TVP Terminado"}) Llega(m);
    EXPECT_EQ(Cajas(), "35");
    EXPECT_EQ(Cola(), "");
    EXPECT_EQ(Registro(), "5254\r\n");
    EXPECT_EQ(g.TipoPartida, "A");
    EXPECT_FALSE(PartidaDeFichero);
}

TEST_F(Despacho, TheLinkEndingDuringAFileExchangeLeavesAFreshGame) {
    Consentir(*this, "AbrirPartida");
    Llega("TVP Iniciar");
    Llega("TVP M 5254");
    Llega("Close");
    EXPECT_FALSE(Reglas().Conectado);
    EXPECT_FALSE(PartidaDeFichero);
    EXPECT_EQ(Pieza("e2"), 1);
    EXPECT_EQ(UltimaLineaChat(), "*** Desconectado");
    EXPECT_EQ(Cola(), "");
}

// A stream ("TVP ...") or a position ("EPD ...") is taken only after this side's Yes
// to the peer's request, and a stream only until it ends: forged ones that would
// start a rated game and book a loss (a clock of one second, or a mate in one) change
// neither the board nor the ranking file.
TEST_F(Despacho, AStreamOrPositionNobodyAgreedToChangesNeitherTheBoardNorTheRankingFile) {
    Ranking().RegPuntuacion = puntuacion::kRegistroNuevo;
    Ranking().GrabarPuntuacion();
    const QByteArray fichero = e->Contenido("Puntuacion.dat");
    ASSERT_EQ(fichero.size(), 20);
    // A stream begun unasked is asked about (text 35): here it is refused.
    const struct {
        const char* nombre;
        std::vector<const char*> mensajes;
        std::vector<long> respuestas;
        const char* cajas;
    } tabla[] = {
        {"a rated game with one second left",
         {"TVP Iniciar", "TVP T R", "TVP T N", "TVP T 2", "TVP TN 0001", "TVP Terminado", "TIME 0:1"},
         {IDNO},
         "35"},
        {"a mate in one, then the mate",
         {"TVP Iniciar", "TVP T R", "TVP T B", "TVP M 6263", "TVP M 5755", "TVP M 7274", "TVP T 0", "TVP Terminado",
          "Movimiento 48840"},
         {IDNO},
         "35|Error interno."},
        {"a position", {"EPD 1B 4k3/8/8/8/8/8/8/4K2R w K - 0 1"}, {IDYES}, ""},
        // After a stream that this side agreed to, a second one is not.
        {"a stream after a stream",
         {"AbrirPartida", "TVP Iniciar", "TVP Terminado", "TVP Iniciar", "TVP T R"},
         {IDYES, IDNO},
         "35|35"},
    };
    auto& r = Reloj();
    for (const auto& c : tabla) {
        Enlazar();
        const std::string tablero = Tablero();
        e->respuestas = {c.respuestas.begin(), c.respuestas.end()};
        for (const char* m : c.mensajes) Llega(m);
        for (int i = 0; i < 3; ++i) {
            reloj += 1000;
            if (r.Timer1->isActive()) r.Timer1_Timer();
            if (r.Timer2->isActive()) r.Timer2_Timer();
        }
        EXPECT_EQ(Cajas(), c.cajas) << c.nombre;
        EXPECT_EQ(Tablero(), tablero) << c.nombre;
        EXPECT_TRUE(Reglas().TipoPartida.empty()) << c.nombre;
        EXPECT_EQ(Ranking().RegPuntuacion, puntuacion::kRegistroNuevo) << c.nombre;
        EXPECT_EQ(e->Contenido("Puntuacion.dat"), fichero) << c.nombre;
    }
}

// An answer to a take-back request acts only on the board it was asked about: the
// request goes when a move of the peer comes or the game ends.
TEST_F(Despacho, AStaleTakeBackAnswerTakesNothingBack) {
    auto pedir = [this] {
        Mover("e2e4");
        Cola();
        Mdi().mnuRetroceder_Click();
        ASSERT_EQ(Cola(), "Retroceso");
        ASSERT_TRUE(RetrocesoPendiente);
    };
    // The peer moved since the request.
    Partida("R", 1);
    pedir();
    Llega("Movimiento 57550");
    EXPECT_FALSE(RetrocesoPendiente);
    Llega("RetrocesoAceptado");
    Llega("RetrocesoCancelado");
    EXPECT_EQ(Cajas(), "");
    EXPECT_EQ(Registro(), "5254\r\n5755\r\n");
    EXPECT_EQ(Pieza("e5"), 7);
    EXPECT_EQ(Reglas().Turno, 1);

    // The game ended, and another began, since the request.
    Partida("R", 1);
    pedir();
    Llega("Rendirse");
    EXPECT_EQ(Cajas(), "16");
    EXPECT_FALSE(RetrocesoPendiente);
    Llega("RetrocesoAceptado");
    EXPECT_EQ(Pieza("e4"), 1);
    Partida("R", 1);
    Mover("e2e4");
    Cola();
    Llega("RetrocesoAceptado");
    EXPECT_EQ(Cajas(), "");
    EXPECT_EQ(Pieza("e4"), 1);
    EXPECT_EQ(Reglas().Turno, 0);

    // After a game file the last move may be the peer's: neither side's answer takes it
    // back for the other.
    for (const char* lado : {"N", "B"}) {
        Enlazar();
        Consentir(*this, "AbrirPartida");
        for (const char* m : {"TVP Iniciar", "TVP T R", lado == std::string("N") ? "TVP T N" : "TVP T B", "TVP M 6263",
                              lado == std::string("N") ? "TVP T 0" : "TVP T 1", "TVP Terminado"})
            Llega(m);
        if (lado == std::string("N")) {
            Mdi().mnuRetroceder_Click();
            Cola();
            Llega("RetrocesoAceptado");
        } else {
            Llega("Retroceso");
            EXPECT_EQ(Cola(), "RetrocesoCancelado");
        }
        EXPECT_EQ(Cajas(), "") << lado;
        EXPECT_EQ(Pieza("f3"), 1) << lado;
        EXPECT_EQ(Reglas().Turno, lado == std::string("N") ? 0 : 1) << lado;
    }

    // A draw offer goes with its game too: a late acceptance books nothing.
    const auto puntos = Ranking().RegPuntuacion;
    Partida("R", 1);
    e->respuestas = {IDYES};
    Mdi().mnuOfrecerTablas_Click();
    Cola();
    Cajas();
    Llega("Rendirse");
    EXPECT_EQ(Cajas(), "16");
    Partida("R", 1);
    Llega("TablasAceptadas");
    EXPECT_EQ(Cajas(), "");
    EXPECT_EQ(Reglas().TipoPartida, "R");
    EXPECT_EQ(Ranking().RegPuntuacion[3], puntos[3]);
}

// A Yes to the peer's game file during a rated game ends that game unbooked: its moves
// are closed while the exchange waits. A peer that then sends nothing costs no loss,
// and the exchange is given up with a message; while the file comes, no clock runs and
// no word of the peer's books its game.
TEST_F(Despacho, AGameFileAgreedToDuringARatedGameCostsNoLoss) {
    const struct {
        const char* nombre;
        std::vector<const char*> mensajes;
        const char* cajas;
    } tabla[] = {
        {"a game file, then nothing", {"AbrirPartida"}, "35|55"},
        {"a position list, then nothing", {"AbrirPartidaEPD"}, "35"},
        {"a clock report while the file comes",
         {"AbrirPartida", "TVP Iniciar", "TVP T R", "TVP T B", "TVP TB 0001", "TVP T 1", "TIME 5:0"},
         "35"},
        {"the word of this side's flag while the file comes",
         {"AbrirPartida", "TVP Iniciar", "TVP T R", "TVP T B", "TVP TB 0001", "TVP T 1", "Bandera B"},
         "35"},
    };
    auto& r = Reloj();
    for (const auto& c : tabla) {
        PartidaDeFichero = false;  // the stream of the case before did not end
        Enlazar();
        Ranking().RegPuntuacion = puntuacion::kRegistroNuevo;
        Partida("R", 1);
        MinutosBlancas = 0, SegundosBlancas = 5;
        e->respuestas = {IDYES};
        for (const char* m : c.mensajes) Llega(m);
        EXPECT_TRUE(Reglas().TipoPartida.empty() || PartidaDeFichero) << c.nombre;
        for (int i = 0; i < 10; ++i) {
            reloj += 1000;
            if (r.Timer1->isActive()) r.Timer1_Timer();
            if (r.Timer2->isActive()) r.Timer2_Timer();
        }
        reloj += 30000;
        red::Plazos();
        EXPECT_EQ(Ranking().RegPuntuacion, puntuacion::kRegistroNuevo) << c.nombre;
        EXPECT_EQ(Cajas(), c.cajas) << c.nombre;
    }
}

// A peer that sends broken or repeated requests is refused once while a refusal of
// that kind waits: the local move goes out first and is never dropped.
TEST_F(Despacho, AFloodOfBrokenRequestsNeitherDropsNorDelaysTheLocalMove) {
    Partida("R", 1);
    for (int i = 0; i < 200; ++i) {
        Llega("NuevoJuego 3 X 1");
        Llega("Retroceso");
        Llega("AbrirAceptado");
    }
    EXPECT_EQ(NumColaEnvio, 3);
    Mover("e2e4");
    EXPECT_EQ(Salida(*this), "Movimiento 52540|NuevoCancelado|RetrocesoCancelado|TVP ERROR");
    EXPECT_EQ(Pieza("e4"), 1);
}

// Each end of a game with the peer leaves its result for Save game: a resignation on
// either side, a draw agreed either way, a flag fall.
TEST_F(Despacho, EachEndOfAGameLeavesItsResultForSaveGame) {
    auto resultado = [] {
        GuardarPartidaPgn();
        const std::string r = ListaPgn().Combo1->currentText().toStdString();
        ListaPgn().Command2_Click(2);
        return r;
    };
    Partida("R", 1);
    Mover("e2e4");
    EXPECT_EQ(Cola(), "Movimiento 52540");
    EXPECT_EQ(resultado(), "*");
    Llega("Rendirse");
    EXPECT_EQ(resultado(), "1-0");
    Partida("R", 2);
    Llega("Rendirse");
    EXPECT_EQ(resultado(), "0-1");
    Partida("A", 2);
    e->respuestas = {IDYES};
    Mdi().mnuRendirse_Click();
    EXPECT_EQ(Cola(), "Rendirse");
    EXPECT_EQ(resultado(), "1-0");
    Partida("R", 1);
    e->respuestas = {IDYES};
    Llega("OfrecerTablas");
    EXPECT_EQ(Cola(), "TablasAceptadas");
    EXPECT_EQ(resultado(), "1/2-1/2");
    Partida("R", 2);
    e->respuestas = {IDYES};
    Mdi().mnuOfrecerTablas_Click();
    EXPECT_EQ(Cola(), "OfrecerTablas");
    Llega("TablasAceptadas");
    EXPECT_EQ(resultado(), "1/2-1/2");
    // White's flag falls on the side that plays Black, and the peer says so.
    Partida("R", 2);
    MinutosBlancas = 0, SegundosBlancas = 1;
    Reloj().CorrenBlancas();
    reloj += 2000;
    Reloj().Timer1_Timer();
    Llega("Bandera B");
    ASSERT_TRUE(Reglas().TipoPartida.empty());
    EXPECT_EQ(resultado(), "0-1");
    // The next game starts without a result.
    Partida("R", 1);
    EXPECT_EQ(resultado(), "*");
    Cajas();
    Cola();
}

// A question about the game, answered after the peer's messages read meanwhile ended
// that game or replaced it, acts on nothing: the new game is not resigned, nothing
// goes to the peer after the end, and the player is told the true result.
TEST_F(Despacho, AGameQuestionAnsweredAfterItsGameEndedOrWasReplacedDoesNothing) {
    const std::string propuesta =
        "Su rival le propone una partida puntuable de 5 minutos por jugador. ¿La acepta? Usted jugará con las negras.";
    e->Escribir("partida.tvp", "0500\r\n0500\r\nA\r\n5254\r\n\r\n");
    const QString fichero = e->Ruta("partida.tvp");
    const struct {
        const char* nombre;
        std::function<void()> orden;
        int pregunta;
        const char* llega;  // what the peer sends while the question is open
        std::string cajas;
        const char* cola;
        const char* tipo;  // the game on the board afterwards
        int ganadas, perdidas;
    } tabla[] = {
        {"resign, a new game", [] { Mdi().mnuRendirse_Click(); }, texto::ConfirmarAbandono, "NuevoJuego 1 R 5",
         "14|" + propuesta, "NuevoAceptado", "R", 0, 0},
        {"resign, the peer resigns", [] { Mdi().mnuRendirse_Click(); }, texto::ConfirmarAbandono, "Rendirse", "14|16",
         "", "", 1, 0},
        {"draw offer, a new game", [] { Mdi().mnuOfrecerTablas_Click(); }, texto::ProponerTablas, "NuevoJuego 1 R 5",
         "17|" + propuesta, "NuevoAceptado", "R", 0, 0},
        {"a file, the peer resigns", [&] { Mdi().AbrirFichero(fichero); }, texto::PedirCargaEnPartida, "Rendirse",
         "57|16", "", "", 1, 0},
    };
    const auto responder = ResponderMensaje;
    for (const auto& c : tabla) {
        Enlazar();
        Ranking().RegPuntuacion = puntuacion::kRegistroNuevo;
        Partida("R", 1);
        bool abierta = false;
        ResponderMensaje = [&](const CMensaje& m) -> long {
            if (abierta || m.TextoMensaje != TextosIdioma[c.pregunta]) return responder(m);
            abierta = true;
            responder(m);
            Llega(c.llega);
            return IDYES;
        };
        c.orden();
        ResponderMensaje = responder;
        EXPECT_EQ(Cajas(), c.cajas) << c.nombre;
        EXPECT_EQ(Cola(), c.cola) << c.nombre;
        EXPECT_EQ(Reglas().TipoPartida, c.tipo) << c.nombre;
        EXPECT_EQ(Ranking().RegPuntuacion[1], c.ganadas) << c.nombre;
        EXPECT_EQ(Ranking().RegPuntuacion[2], c.perdidas) << c.nombre;
    }
}

}  // namespace
