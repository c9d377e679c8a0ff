// The board window's link with a raw socket for a peer, over 127.0.0.1 on a free
// port: the greeting, version and ranking, joined and cut arrivals, the ends of a
// link from either side, and a peer that floods or goes silent.
#include "entorno.h"

#include "app/Variables.h"
#include "board/Tavorin.h"
#include "network/Chat.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "network/Troceador.h"
#include "platform/ConectorTcp.h"
#include "platform/Sonido.h"
#include "shell/Mdi.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

bool Esperar(const std::function<bool()>& c, int ms = 5000) { return QTest::qWaitFor(c, ms); }

class Enlace : public ::testing::Test {
protected:
    void SetUp() override {
        e = std::make_unique<Entorno>();
        sonido::Reproductor = [](const QString&) {};
        red::EnPrimerPlano = [] { return true; };
        e->Arrancar();
        FicheroIdioma = e->Ruta("Español.lng");
    }
    void TearDown() override {
        if (Reglas().Conectado) Tavorin().Desconectar();
        Tavorin().WSer->Close();
        Tavorin().WCli->Close();
        Reglas().Conectado = false;
        red::Olvidar();
        red::Red().ConexionServidor = red::Red().ConexionCliente = false;
        for (QTimer* t : {Tavorin().Timer2, Tavorin().Ping, Tavorin().TimerR}) t->stop();
        ::Reloj().Parar();
        red::EnPrimerPlano = nullptr;
        sonido::Reproductor = nullptr;
        e.reset();
    }

    // Tavorin waits on a free port; the raw peer connects to it.
    void ConectarAlServidor() {
        QTcpServer libre;
        libre.listen(QHostAddress::LocalHost, 0);
        const quint16 puerto = libre.serverPort();
        libre.close();
        ASSERT_TRUE(Tavorin().WSer->Bind(puerto));
        ASSERT_TRUE(Tavorin().WSer->Listen());
        par.connectToHost("127.0.0.1", puerto);
        ASSERT_TRUE(Esperar([] { return Reglas().Conectado; }));
    }

    // The peer's arrivals, split as Tavorin splits them.
    std::vector<QByteArray> Leidos() {
        troceador.Anadir(par.readAll());
        auto m = troceador.Extraer(true);
        leidos.insert(leidos.end(), m.begin(), m.end());
        return leidos;
    }
    bool Llego(const QByteArray& m, int ms = 5000) {
        return Esperar(
            [&] {
                for (const QByteArray& l : Leidos())
                    if (l == m) return true;
                return false;
            },
            ms);
    }
    void Enviar(const QByteArray& datos) {
        par.write(datos);
        par.flush();
    }
    std::string Chat() {
        const QStringList l = ::Chat().Conversacion().split(u'\n', Qt::SkipEmptyParts);
        return l.isEmpty() ? std::string() : l.last().toStdString();
    }

    std::unique_ptr<Entorno> e;
    QTcpSocket par;
    tvp::Troceador troceador;
    std::vector<QByteArray> leidos;
};

TEST_F(Enlace, ThePeerIsGreetedToldTheVersionAndLaterTheRanking) {
    QElapsedTimer reloj;
    reloj.start();
    ConectarAlServidor();
    ASSERT_TRUE(Llego("VersionTV 1.55"));
    auto l = Leidos();
    ASSERT_GE(l.size(), 2u);
    EXPECT_EQ(QString::fromUtf8(l[0]), "Mensaje Ana se ha conectado con Tavorin versión 1.55");
    EXPECT_EQ(l[1], "VersionTV 1.55");
    EXPECT_EQ(Chat(), "Tavorin versión 1.55");
    const qint64 version = reloj.elapsed();
    ASSERT_TRUE(Llego("Ranking 0-0-0-0-1200", 8000));
    EXPECT_GE(reloj.elapsed() - version, 1500);
    EXPECT_EQ(Tavorin().Ping->interval(), 60000);

    // Chat lines of the old form, without a line ending: each runs to the end of what
    // came, whatever its text holds.
    Enviar("Mensaje <Luis>uno");
    ASSERT_TRUE(Esperar([this] { return Chat() == "<Luis>uno"; }));
    Enviar("VersionTV 1.55Mensaje <Luis>dos Ping");
    ASSERT_TRUE(Esperar([this] { return Chat() == "<Luis>dos Ping"; }));
    Enviar("Mensaje <Luis>hola P");
    ASSERT_TRUE(Esperar([this] { return Chat() == "<Luis>hola P"; }));
    EXPECT_FALSE(red::Red().troceador.Esperando());
    // "Close" from the client: the server closes the link at once.
    Enviar("Close");
    ASSERT_TRUE(Esperar([] { return !Reglas().Conectado; }));
    EXPECT_EQ(Chat(), "*** Desconectado");
    EXPECT_TRUE(Esperar([this] { return par.state() == QAbstractSocket::UnconnectedState; }));

    // A peer whose first line ends in CR LF: lines joined in one write, and cut in
    // pieces that Tavorin reads one at a time, each is read once, in order, and its
    // text stays text.
    ConectarAlServidor();
    auto& corte = *red::Red().TimerCorte;
    corte.setInterval(60000);
    Enviar("Mensaje <Luis>hola Close\r\nMensaje Luis se ha conectado con Tavorin versi\xC3\xB3n 1.55\r\n");
    Enviar("PingPing");
    ASSERT_TRUE(Esperar([this] { return Chat() == "Luis se ha conectado con Tavorin versión 1.55"; }));
    EXPECT_TRUE(::Chat().Conversacion().contains("<Luis>hola Close\n"));
    ASSERT_TRUE(Llego("Pong"));
    QObject ambito;
    int llegadas = 0;
    QObject::connect(Tavorin().WSer, &ConectorTcp::EventoDataArrival, &ambito, [&](long) { ++llegadas; });
    Enviar("Mens");
    ASSERT_TRUE(Esperar([&] { return llegadas >= 1; }));
    Enviar("aje <Luis>tres Rendirse");
    ASSERT_TRUE(Esperar([&] { return llegadas >= 2; }));
    Enviar("\r\nPing");
    ASSERT_TRUE(Esperar([this] { return Chat() == "<Luis>tres Rendirse"; }));
    EXPECT_EQ(::Chat().Conversacion().count("<Luis>tres"), 1);
    // A line that ends in a keyword's first letter shows at once.
    Enviar("Mensaje <Luis>hola P\r\n");
    ASSERT_TRUE(Esperar([this] { return Chat() == "<Luis>hola P"; }));

    // Once the peer ends its lines, a line without its ending waits for it, and is
    // given up on after a while: then it is taken as it is, and the rest is dropped.
    Enviar("Mensaje <Luis>cuatro Close");
    ASSERT_TRUE(Esperar([] { return red::Red().troceador.Esperando(); }));
    EXPECT_EQ(Chat(), "<Luis>hola P");
    corte.setInterval(10);
    ASSERT_TRUE(Esperar([this] { return Chat() == "<Luis>cuatro Close"; }));
    Enviar(" Rendirse\r\nMensaje <Luis>cinco\r\n");
    ASSERT_TRUE(Esperar([this] { return Chat() == "<Luis>cinco"; }));
    corte.setInterval(2000);
    EXPECT_TRUE(Reglas().Conectado);
    EXPECT_TRUE(e->mensajes.empty());
}

TEST_F(Enlace, APeerThatFloodsWhileABoxWaitsBreaksTheLink) {
    ConectarAlServidor();
    ASSERT_TRUE(Llego("VersionTV 1.55"));
    bool flood = false;
    ResponderMensaje = [&](const CMensaje& m) -> long {
        e->mensajes.push_back({m.TituloMensaje, m.TextoMensaje, m.IconoMensaje, m.BotonesMensaje, m.DefectoMensaje});
        if (m.BotonesMensaje != MB_YESNO) return IDOK;
        // While the question waits the peer sends more than the program keeps.
        const QByteArray linea = "Mensaje <Luis>" + QByteArray(1000, 'x');
        for (int i = 0; i < 1200; ++i) par.write(linea);
        Esperar([&] { return red::Red().errorProtocolo; }, 10000);
        flood = true;
        return IDNO;
    };
    Enviar("NuevoJuego 1 A 0");
    ASSERT_TRUE(Esperar([&] { return flood; }, 15000));
    ASSERT_TRUE(Esperar([] { return !Reglas().Conectado; }));
    ASSERT_GE(e->mensajes.size(), 2u);
    EXPECT_EQ(e->mensajes.back().texto, "Error interno.");
    EXPECT_TRUE(Reglas().TipoPartida.empty());
}

TEST_F(Enlace, AsClientItsCloseEndsTheLinkEvenWhenTheServerIgnoresIt) {
    QTcpServer servidor;
    ASSERT_TRUE(servidor.listen(QHostAddress::LocalHost, 0));
    QTcpSocket* otro = nullptr;
    QObject::connect(&servidor, &QTcpServer::newConnection, [&] { otro = servidor.nextPendingConnection(); });
    auto& t = Tavorin();
    t.WCli->LocalPort = 0;  // the fixed client port belongs to the tests that hold it
    ASSERT_TRUE(t.WCli->Connect("127.0.0.1", servidor.serverPort()));
    ASSERT_TRUE(Esperar([] { return Reglas().Conectado; }));
    EXPECT_EQ(t.Ping->interval(), 65000);
    ASSERT_TRUE(Esperar([&] { return otro && otro->bytesAvailable() > 0; }));

    red::Red().TimerCierre->setInterval(300);
    t.Desconectar();
    // Still linked until the server answers or the wait ends; messages still go.
    EXPECT_TRUE(Reglas().Conectado);
    ASSERT_TRUE(Esperar([&] { return otro->readAll().contains("Close"); }));
    ASSERT_TRUE(Esperar([] { return !Reglas().Conectado; }));
    EXPECT_EQ(Chat(), "*** Desconectado");
    red::Red().TimerCierre->setInterval(5000);

    // A "Close" that reaches the client closes it too.
    otro = nullptr;
    ASSERT_TRUE(t.WCli->Connect("127.0.0.1", servidor.serverPort()));
    ASSERT_TRUE(Esperar([] { return Reglas().Conectado; }));
    ASSERT_TRUE(Esperar([&] { return otro && otro->state() == QAbstractSocket::ConnectedState; }));
    otro->write("Close");
    otro->flush();
    ASSERT_TRUE(Esperar([] { return !Reglas().Conectado; }));
}

TEST_F(Enlace, APeerThatGoesOrASendThatNeverCompletes) {
    ConectarAlServidor();
    ASSERT_TRUE(Llego("VersionTV 1.55"));
    // The peer goes away after a last message: the message is read, then the close.
    Enviar("Mensaje <Luis>adios");
    par.disconnectFromHost();
    ASSERT_TRUE(Esperar([] { return !Reglas().Conectado; }));
    const QString chat = ::Chat().Conversacion();
    EXPECT_LT(chat.indexOf("<Luis>adios"), chat.indexOf("*** Desconectado"));
    EXPECT_TRUE(e->mensajes.empty());

    // A send still not complete when its wait ends: the link is lost, text 7.
    par.abort();
    leidos.clear();
    ConectarAlServidor();
    auto& r = red::Red();
    r.TimerEnvio->setInterval(100);
    r.EnviandoMensaje = true;
    r.TimerEnvio->start();
    ASSERT_TRUE(Esperar([] { return !Reglas().Conectado; }));
    ASSERT_EQ(e->mensajes.size(), 1u);
    EXPECT_EQ(e->mensajes[0].texto, TextosIdioma[7]);
    r.TimerEnvio->setInterval(30000);
}

}  // namespace
