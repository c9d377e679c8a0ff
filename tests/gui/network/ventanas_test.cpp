// The windows of network play and the board window's link procedures: clocks on the
// clock source, the new-game dialog, the connect dialog, the address window, the
// chat, the nick, the ranking file and the sender's clock hand-over.
#include "red_pruebas.h"

#include "app/ApiFunciones.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "network/Chat.h"
#include "network/Cola.h"
#include "network/Conexion.h"
#include "network/Ip.h"
#include "network/Nuevo.h"
#include "network/Ranking.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "network/Troceador.h"
#include "platform/ConectorTcp.h"
#include "platform/Sonido.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Ventanas = Red;

TEST(Relojes, OneCountedSecondOffAClock) {
    const struct {
        long min, seg;
        bool cuenta;
        const char* despues;
    } tabla[] = {
        {5, 0, true, "04:59"},   {0, 1, true, "00:00"},    {0, 0, false, "00:00"},
        {12, 30, true, "12:29"}, {120, 0, true, "119:59"}, {1, 0, true, "00:59"},
    };
    for (const auto& c : tabla) {
        long m = c.min, s = c.seg;
        EXPECT_EQ(DescontarSegundo(m, s), c.cuenta) << c.min << ":" << c.seg;
        EXPECT_EQ(TextoReloj(m, s).toStdString(), c.despues) << c.min << ":" << c.seg;
    }
}

TEST_F(Ventanas, ClocksCountEverySecondOfTheClockSource) {
    auto& r = Reloj();
    EXPECT_EQ(r.Tiempo(true), "00:00");
    Partida("R", 2, 5);
    ASSERT_TRUE(r.Corriendo(true));
    reloj += 999;
    r.Timer1_Timer();
    EXPECT_EQ(r.Tiempo(true), "05:00");
    reloj += 1;
    r.Timer1_Timer();
    EXPECT_EQ(r.Tiempo(true), "04:59");
    // A stall of three seconds costs three seconds.
    reloj += 3000;
    r.Timer1_Timer();
    EXPECT_EQ(r.Tiempo(true), "04:56");
    // Switching to the clock already running does not restart its count.
    reloj += 600;
    r.CorrenBlancas();
    reloj += 400;
    r.Timer1_Timer();
    EXPECT_EQ(r.Tiempo(true), "04:55");
    r.CorrenNegras();
    reloj += 1000;
    r.Timer1_Timer();
    r.Timer2_Timer();
    EXPECT_EQ(r.Tiempo(true), "04:55");
    EXPECT_EQ(r.Tiempo(false), "04:59");
}

// This side's flag ends the game at once and the peer is told; the peer's waits a
// while for the peer's move or word, then ends the game and tells the peer.
TEST_F(Ventanas, AFlagFallEndsTheGameOnThisSide) {
    const struct {
        const char* tipo;
        int lado;          // this side's colour
        bool cae_blancas;  // whose flag falls
        const char* cajas;
        long ganadas, perdidas;
        bool sonido;
        const char* cola;
    } tabla[] = {
        {"R", 2, true, "30", 1, 0, true, "Bandera B"},  {"R", 1, true, "29", 0, 1, false, "Bandera B"},
        {"R", 1, false, "30", 1, 0, true, "Bandera N"}, {"R", 2, false, "29", 0, 1, false, "Bandera N"},
        {"A", 1, true, "29", 0, 0, false, ""},
    };
    QStringList sonidos;
    sonido::Reproductor = [&sonidos](const QString& ruta) { sonidos << QFileInfo(ruta).fileName(); };
    for (const auto& c : tabla) {
        Enlazar();
        Ranking().RegPuntuacion = puntuacion::kRegistroNuevo;
        Partida(c.tipo, c.lado);
        auto& r = Reloj();
        if (c.cae_blancas) {
            MinutosBlancas = 0, SegundosBlancas = 1;
            r.CorrenBlancas();
        } else {
            MinutosNegras = 0, SegundosNegras = 1;
            r.CorrenNegras();
        }
        sonidos.clear();
        reloj += 1000;
        c.cae_blancas ? r.Timer1_Timer() : r.Timer2_Timer();
        EXPECT_EQ(Cajas(), "") << c.tipo << c.lado << c.cae_blancas;
        reloj += 1000;
        c.cae_blancas ? r.Timer1_Timer() : r.Timer2_Timer();
        if (c.sonido) {
            EXPECT_EQ(Cajas(), "") << c.tipo << c.lado << c.cae_blancas;
            reloj += 2999;
            red::Plazos();
            EXPECT_EQ(Cajas(), "") << c.tipo << c.lado << c.cae_blancas;
            reloj += 1;
            red::Plazos();
        }
        EXPECT_EQ(Cajas(), c.cajas) << c.tipo << c.lado << c.cae_blancas;
        EXPECT_EQ(Cola(), c.cola) << c.tipo << c.lado << c.cae_blancas;
        EXPECT_EQ(Ranking().RegPuntuacion[1], c.ganadas);
        EXPECT_EQ(Ranking().RegPuntuacion[2], c.perdidas);
        EXPECT_EQ(sonidos.contains("Tiempo.wav"), c.sonido);
        EXPECT_TRUE(Reglas().TipoPartida.empty());
        EXPECT_FALSE(r.Timer1->isActive() || r.Timer2->isActive());
    }
    // With no game a tick stops its clock and greys both displays.
    auto& r = Reloj();
    r.CorrenNegras();
    r.Timer2_Timer();
    EXPECT_FALSE(r.Timer2->isActive());
    EXPECT_EQ(r.Label3->palette().color(QPalette::WindowText), QColor(153, 153, 153));
}

// The peer's clock as counted here runs ahead of the peer's own: its fall waits for
// the peer's move, which counts, or its word; silence wins the game and tells the
// peer. The peer's word that this side's flag fell is taken at this side's last seconds.
TEST_F(Ventanas, ThePeersFlagFallingHereWaitsForItsMoveOrWord) {
    const struct {
        const char* nombre;
        const char* llega;  // after the fall
        const char* cajas;
        int ganadas;
        const char* cola;
        const char* tipo;
    } tabla[] = {
        {"its move", "Movimiento 52540", "", 0, "", "R"},
        {"its word", "Bandera B", "30", 1, "", ""},
        {"a clock report alone", "TIME 0:0", "30", 1, "Bandera B", ""},
        {"nothing", nullptr, "30", 1, "Bandera B", ""},
    };
    auto& r = Reloj();
    for (const auto& c : tabla) {
        Enlazar();
        Ranking().RegPuntuacion = puntuacion::kRegistroNuevo;
        Partida("R", 2);
        MinutosBlancas = 0, SegundosBlancas = 1;
        r.CorrenBlancas();
        reloj += 2000;
        r.Timer1_Timer();
        EXPECT_EQ(Cajas(), "") << c.nombre;
        if (c.llega) Llega(c.llega);
        reloj += 3000;
        red::Plazos();
        EXPECT_EQ(Cajas(), c.cajas) << c.nombre;
        EXPECT_EQ(Ranking().RegPuntuacion[1], c.ganadas) << c.nombre;
        EXPECT_EQ(Ranking().RegPuntuacion[2], 0) << c.nombre;
        EXPECT_EQ(Cola(), c.cola) << c.nombre;
        EXPECT_EQ(Reglas().TipoPartida, c.tipo) << c.nombre;
        EXPECT_EQ(r.Corriendo(false), c.tipo == std::string("R")) << c.nombre;
    }
    for (const long segundos : {3, 30}) {
        Enlazar();
        Ranking().RegPuntuacion = puntuacion::kRegistroNuevo;
        Partida("R", 2);
        Llega("Movimiento 52540");
        MinutosNegras = 0, SegundosNegras = segundos;
        Llega("Bandera N");
        EXPECT_EQ(Cajas(), segundos == 3 ? "29" : "") << segundos;
        EXPECT_EQ(Ranking().RegPuntuacion[2], segundos == 3 ? 1 : 0) << segundos;
    }
}

TEST_F(Ventanas, TheSenderHandsTheClockOverAndReportsTheMoversOwn) {
    Partida("R", 1, 5);
    MinutosBlancas = 4, SegundosBlancas = 7;
    auto& red = red::Red();
    auto& t = Tavorin();
    // A move made: the clocks change hands at once, and the mover's report of its
    // stopped clock follows the move once its send has completed.
    Mover("e2e4");
    EXPECT_EQ(NumColaEnvio, 1);
    EXPECT_TRUE(Reloj().Corriendo(false));
    EXPECT_FALSE(Reloj().Corriendo(true));
    reloj += 5000;
    red.ConexionServidor = false;  // no socket: the send completes here
    t.Timer2_Timer();
    EXPECT_TRUE(red.RelojTrasMovimiento);
    red.EnviandoMensaje = true;
    t.EnvioCompleto();
    EXPECT_TRUE(Reloj().Corriendo(false));
    EXPECT_FALSE(Reloj().Corriendo(true));
    EXPECT_EQ(Cola(), "TIME 4:7");

    // A take-back agreed here hands the clock over without a report.
    Llega("Movimiento 57550");
    Llega("TIME 4:50");
    e->respuestas = {IDYES};
    Llega("Retroceso");
    ASSERT_EQ(NumColaEnvio, 1);
    t.Timer2_Timer();
    red.EnviandoMensaje = true;
    t.EnvioCompleto();
    EXPECT_TRUE(Reloj().Corriendo(false));
    EXPECT_EQ(Cola(), "");

    // In a game without clocks nothing changes hands.
    Partida("A", 1);
    Mover("e2e4");
    t.Timer2_Timer();
    red.EnviandoMensaje = true;
    t.EnvioCompleto();
    EXPECT_FALSE(Reloj().Corriendo(true) || Reloj().Corriendo(false));
    EXPECT_EQ(Cola(), "");

    // With the link gone the sender empties the queue and stops.
    EncolarMensaje("Mensaje <a>x");
    Reglas().Conectado = false;
    t.Timer2_Timer();
    EXPECT_EQ(NumColaEnvio, 0);
    EXPECT_FALSE(t.Timer2->isActive());
}

TEST_F(Ventanas, TheNewGameDialogsMinutesBox) {
    const struct {
        const char* texto;
        const char* cambio;
        const char* sube;
        const char* baja;
    } tabla[] = {
        {"200", "180", "200", "180"},
        {"180", "180", "181", "179"},
        {"007", "7", "8", "6"},
        {"1", "1", "2", "1"},
        {"", "", "1", ""},
        {"0", "0", "1", "0"},
    };
    for (const auto& c : tabla) {
        EXPECT_EQ(minutos::Corregidos(c.texto).toStdString(), c.cambio) << c.texto;
        EXPECT_EQ(minutos::Paso(c.texto, 0).toStdString(), c.sube) << c.texto;
        EXPECT_EQ(minutos::Paso(c.texto, 1).toStdString(), c.baja) << c.texto;
    }
    EXPECT_EQ(minutos::ParaEnviar("0").toStdString(), "1");
    EXPECT_EQ(minutos::ParaEnviar("").toStdString(), "1");

    auto& n = Nuevo();
    n.Option3->click();
    EXPECT_EQ(n.Minutos().toStdString(), e->Leer("Configuracion", "Tiempo").toStdString());
    QTest::keyClicks(n.Text1, "x");
    n.FijarMinutos("");
    QTest::keyClicks(n.Text1, "2a5");
    EXPECT_EQ(n.Minutos(), "25");
    QTest::keyClicks(n.Text1, "0");
    EXPECT_EQ(n.Minutos(), "180");
    n.Command4[0]->click();
    EXPECT_EQ(n.Minutos(), "180");
    n.FijarMinutos("25");
    n.Option4->click();
    EXPECT_EQ(e->Leer("Configuracion", "Tiempo"), "25");
    EXPECT_EQ(n.Minutos(), "0");
    EXPECT_FALSE(n.Command4[0]->isEnabled());
    n.Option2->click();
    n.Command1->click();
    EXPECT_EQ(Cola(), "NuevoJuego 2 A 0");
    EXPECT_TRUE(NuevoPendiente);
    EXPECT_FALSE(n.Visible());
    n.Option3->click();
    EXPECT_EQ(n.Minutos(), "25");
    n.Option1->click();
    n.FijarMinutos("");
    n.Show();
    QTest::keyClick(n.Text1, Qt::Key_Return);
    EXPECT_EQ(Cola(), "NuevoJuego 1 R 1");

    // Without a link OK only closes; Cancel forgets the proposal.
    Reglas().Conectado = false;
    n.Show();
    n.Command1->click();
    EXPECT_EQ(Cola(), "");
    n.Show();
    n.Command2->click();
    EXPECT_FALSE(NuevoPendiente);
    EXPECT_FALSE(n.Visible());
}

TEST_F(Ventanas, TheConnectDialogWithoutTheFixedPorts) {
    Reglas().Conectado = false;
    auto& c = Conexion();
    c.Show();
    c.Option1->click();
    c.Ip->clear();
    c.Command1->click();
    EXPECT_EQ(Cajas(), "13");
    EXPECT_TRUE(c.Command1->isEnabled());
    EXPECT_FALSE(c.Frame2->isHidden());

    c.Option2->click();
    EXPECT_FALSE(c.Ip->isEnabled());
    EXPECT_TRUE(c.Ip->text().isEmpty());
    c.Option1->click();
    EXPECT_TRUE(c.Ip->isEnabled());

    // An address that cannot be looked up: the client waits, then the error comes.
    c.Ip->setText("nombre.invalid");
    QTest::keyClick(c.Ip, Qt::Key_Return);
    EXPECT_FALSE(c.Command1->isEnabled());
    EXPECT_TRUE(c.Frame2->isHidden());
    EXPECT_FALSE(c.Label2->isHidden());
    // Cancel while waiting: the choice again, the dialog stays; a second Cancel closes it.
    c.Command2->click();
    EXPECT_TRUE(c.Command1->isEnabled());
    EXPECT_TRUE(c.Label2->isHidden());
    EXPECT_TRUE(c.Ip->text().isEmpty());
    EXPECT_TRUE(c.Visible());
    c.Command2->click();
    EXPECT_FALSE(c.Visible());
    EXPECT_EQ(Tavorin().WCli->State(), ConectorTcp::Cerrado);
}

TEST_F(Ventanas, TheAddressWindowShowsTheLocalAddressSelected) {
    Mdi().DireccionLocal = [] { return QString("192.168.7.9"); };
    auto& ip = Ip();
    ip.Show();
    EXPECT_EQ(ip.Text1->text(), "192.168.7.9");
    EXPECT_EQ(ip.Text1->selectedText(), "192.168.7.9");
    ip.Unload();
    Mdi().DireccionLocal = [] { return QString("127.0.0.1"); };
    Mdi().mnuObtenerIp_Click();
    EXPECT_EQ(Cajas(), "68");
    EXPECT_FALSE(ip.Visible());
    Mdi().DireccionLocal = nullptr;

    const struct {
        std::vector<InterfazRed> interfaces;
        const char* ip;
    } tabla[] = {
        {{}, "127.0.0.1"},
        {{{true, true, {"127.0.0.1"}}}, "127.0.0.1"},
        {{{true, true, {"127.0.0.1"}}, {false, false, {"10.0.0.2"}}, {true, false, {"192.168.1.5", "192.168.1.6"}}},
         "192.168.1.5"},
        {{{true, false, {}}, {true, false, {"172.16.0.1"}}}, "172.16.0.1"},
    };
    for (const auto& c : tabla) EXPECT_EQ(ElegirIpLocal(c.interfaces).toStdString(), c.ip);
}

TEST_F(Ventanas, ChatKeysAndItsOwnPopUpMenu) {
    auto& c = Chat();
    c.Show();
    c.Texto->clear();
    QTest::keyClicks(c.Texto, " hola");
    EXPECT_EQ(c.Texto->text(), "hola");
    QTest::keyClicks(c.Texto, " a");
    QTest::keyClick(c.Texto, Qt::Key_Return);
    EXPECT_EQ(Cola(), "Mensaje <Ana>hola a");
    EXPECT_TRUE(c.Conversacion().endsWith("<Ana>hola a\n")) << c.Conversacion().toStdString();
    EXPECT_TRUE(c.Texto->text().isEmpty());
    QTest::keyClick(c.Texto, Qt::Key_Return);
    EXPECT_EQ(Cola(), "");

    // More than 35 waiting: the line stays in the box.
    for (int i = 0; i < 36; ++i) EncolarMensaje(QString("Mensaje <Ana>%1").arg(i));
    c.Texto->setText("espera");
    QTest::keyClick(c.Texto, Qt::Key_Return);
    EXPECT_EQ(c.Texto->text(), "espera");
    EXPECT_EQ(NumColaEnvio, 36);
    cola::Vaciar(ColaEnvio, NumColaEnvio);
    for (int i = 0; i < 35; ++i) EncolarMensaje(QString("Mensaje <Ana>%1").arg(i));
    QTest::keyClick(c.Texto, Qt::Key_Return);
    EXPECT_EQ(NumColaEnvio, 36);
    Cola();

    PartidaDeFichero = true;
    c.Texto->setText("no");
    QTest::keyClick(c.Texto, Qt::Key_Return);
    EXPECT_EQ(Cajas(), "79");
    EXPECT_EQ(Cola(), "");
    PartidaDeFichero = false;
    Reglas().Conectado = false;
    c.Texto->setText("nadie");
    QTest::keyClick(c.Texto, Qt::Key_Return);
    EXPECT_TRUE(c.Texto->text().isEmpty());

    // The conversation's menu is the program's own.
    EXPECT_EQ(c.ChatList->contextMenuPolicy(), Qt::CustomContextMenu);
    emit c.ChatList->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(Mdi().mnuChatList->isVisible());
    Mdi().mnuChatList->close();
    EXPECT_TRUE(Mdi().mnuChatList->actions().contains(Mdi().mnuCambiarNick));
}

// A peer that talks without end: the conversation keeps the latest lines, a bounded
// number of them and of characters.
TEST_F(Ventanas, AChatFloodKeepsOnlyTheMostRecentLines) {
    auto& c = Chat();
    c.Show();
    c.Borrar();
    for (int i = 1; i <= 12000; ++i) Llega(QString("Mensaje <Luis>línea %1").arg(i));
    const QStringList lineas = c.Conversacion().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lineas.size(), 5000);
    EXPECT_EQ(lineas.front(), "<Luis>línea 7001");
    EXPECT_EQ(lineas.back(), "<Luis>línea 12000");
    // Long lines: about a million characters are kept, in whole lines.
    const QString larga = QString("palabra ").repeated(7500);
    for (int i = 0; i < 40; ++i) Llega("Mensaje <Luis>" + larga);
    Llega("Mensaje <Luis>fin");
    const int caracteres = c.ChatList->document()->characterCount();
    EXPECT_LE(caracteres, 1 << 20);
    EXPECT_GE(caracteres, (1 << 20) - 60100);
    EXPECT_TRUE(c.Conversacion().startsWith("<Luis>palabra"));
    EXPECT_TRUE(c.Conversacion().endsWith("<Luis>fin\n"));
    Llega("Mensaje <Luis>hola");
    EXPECT_TRUE(c.ChatList->textCursor().atEnd());
}

// A long run of arrivals is read in turns: other events run between them.
TEST_F(Ventanas, AFloodIsReadInTurnsBetweenOtherEvents) {
    auto& c = Chat();
    c.Borrar();
    QByteArray llegada;
    for (int i = 1; i <= 1000; ++i) llegada += tvp::Enmarcar(QString("Mensaje <Luis>%1").arg(i));
    red::Recibir(llegada, false);
    auto lineas = [&c] { return c.ChatList->document()->blockCount() - 1; };
    int entretanto = -1;
    QTimer::singleShot(0, [&] { entretanto = lineas(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return lineas() == 1000; }, 20000));
    EXPECT_GT(entretanto, 0);
    EXPECT_LT(entretanto, 1000);
    EXPECT_TRUE(c.Conversacion().endsWith("<Luis>1000\n"));
}

TEST_F(Ventanas, ANickChangeIsToldInTheChatAndToThePeer) {
    e->textos = {"Demasiado1", "Lu"};
    Tavorin().CambiarNick();
    EXPECT_EQ(Cajas(), "38");
    EXPECT_EQ(NickLocal, "Lu");
    EXPECT_EQ(Cola(), "Mensaje *** Ana ahora se llama Lu");
    EXPECT_TRUE(Chat().Conversacion().endsWith("*** Ana ahora se llama Lu\n"));
    EXPECT_EQ(Chat().Caption(), "Chat - Lu");
    // Kept in the settings as soon as it is given.
    EXPECT_EQ(LeerIni(FicheroIni, "Configuracion", "Nick"), "Lu");
    e->textos = {""};
    Tavorin().CambiarNick();
    EXPECT_EQ(NickLocal, "Lu");
    EXPECT_EQ(Cola(), "");
    // A first nick cannot be empty.
    NickLocal.clear();
    e->textos = {"", "Ana"};
    Tavorin().CambiarNick();
    EXPECT_EQ(Cajas(), "8");
    EXPECT_EQ(NickLocal, "Ana");
}

// ---- The ranking file ---------------------------------------------------------------------

QByteArray Bytes(std::initializer_list<int> v) {
    puntuacion::Registro r{};
    std::copy(v.begin(), v.end(), r.begin());
    return puntuacion::Bytes(r);
}

class RankingFichero : public ::testing::Test {
protected:
    void TearDown() override { Ranking().RegPuntuacion = puntuacion::kRegistroNuevo; }
    std::string Fichero(const Entorno& e) const { return e.Contenido("Puntuacion.dat").toHex().toStdString(); }
};

TEST_F(RankingFichero, AtStartUpAMissingOrBrokenFileIsMadeFresh) {
    const std::string nuevo = Bytes({0, 0, 0, 0, 1200}).toHex().toStdString();
    const struct {
        const char* nombre;
        QByteArray contenido;  // empty: no file
        std::string despues;
    } tabla[] = {
        {"missing", {}, nuevo},
        {"7 bytes", "1234567", nuevo},
        {"5/2/2/0", Bytes({5, 2, 2, 0, 1300}), nuevo},
        {"negative points, read as written", Bytes({2, 0, 2, 0, -1}), Bytes({2, 0, 2, 0, -1}).toHex().toStdString()},
        {"sound", Bytes({3, 1, 1, 1, 1250}), Bytes({3, 1, 1, 1, 1250}).toHex().toStdString()},
    };
    for (const auto& c : tabla) {
        Entorno e;
        if (!c.contenido.isEmpty()) e.Escribir("Puntuacion.dat", c.contenido);
        Ranking().RegPuntuacion = puntuacion::kRegistroNuevo;
        e.Arrancar();
        Ranking().LeerPuntuacion();
        EXPECT_EQ(Fichero(e), c.despues) << c.nombre;
        EXPECT_TRUE(e.mensajes.empty()) << c.nombre;
    }
    EXPECT_EQ(Ranking().Linea(4), "Puntos: 1250");
}

// The record is the file's first 20 bytes: a longer file is read, not reset, and a
// booking rewrites those 20 bytes and keeps the rest.
TEST_F(RankingFichero, ALongerFileIsReadFromItsFirstTwentyBytesAndKeepsTheRest) {
    Entorno e;
    const QByteArray resto("\x01\x02resto", 7);
    e.Escribir("Puntuacion.dat", Bytes({3, 1, 1, 1, 1250}) + resto);
    Ranking().RegPuntuacion = puntuacion::kRegistroNuevo;
    e.Arrancar();
    auto& r = Ranking();
    r.LeerPuntuacion();
    EXPECT_EQ(r.RegPuntuacion[0], 3);
    EXPECT_EQ(r.RegPuntuacion[4], 1250);
    EXPECT_EQ(e.Contenido("Puntuacion.dat"), Bytes({3, 1, 1, 1, 1250}) + resto);
    r.SumaDePartidas(puntuacion::Victoria);
    EXPECT_EQ(e.Contenido("Puntuacion.dat"), Bytes({4, 2, 1, 1, 1300}) + resto);
    EXPECT_TRUE(e.mensajes.empty());
}

TEST_F(RankingFichero, BookingsAreWrittenAndNeverLost) {
    Entorno e;
    e.Escribir("Puntuacion.dat", Bytes({2, 1, 1, 0, 1200}));
    e.Arrancar();
    auto& r = Ranking();
    r.LeerPuntuacion();
    r.SumaDePartidas(puntuacion::Victoria);
    EXPECT_EQ(Fichero(e), Bytes({3, 2, 1, 0, 1300}).toHex().toStdString());

    // Read-only: made writable and written.
    ASSERT_EQ(::chmod(e.Ruta("Puntuacion.dat").toLocal8Bit().constData(), 0444), 0);
    r.SumaDePartidas(puntuacion::Tablas);
    EXPECT_EQ(Fichero(e), Bytes({4, 2, 1, 1, 1250}).toHex().toStdString());
    EXPECT_TRUE(e.mensajes.empty());

    // Deleted while the program runs: the next booking keeps what was booked.
    QFile::remove(e.Ruta("Puntuacion.dat"));
    r.SumaDePartidas(puntuacion::Derrota);
    EXPECT_EQ(Fichero(e), Bytes({5, 2, 2, 1, 1150}).toHex().toStdString());

    // A folder that cannot be written (here: gone): text 28 with the name, the record
    // kept in memory and the file as it was.
    const QString carpeta = e.Carpeta(), aparte = e.Carpeta() + ".aparte";
    ASSERT_TRUE(QDir().rename(carpeta, aparte));
    r.SumaDePartidas(puntuacion::Victoria);
    ASSERT_TRUE(QDir().rename(aparte, carpeta));
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_TRUE(e.mensajes[0].texto.contains("\r\nPuntuacion.dat\r\n")) << e.mensajes[0].texto.toStdString();
    EXPECT_EQ(Fichero(e), Bytes({5, 2, 2, 1, 1150}).toHex().toStdString());
    EXPECT_EQ(r.RegPuntuacion[0], 6);
}

}  // namespace
