// The TCP socket control over 127.0.0.1 on free ports: its events, the close that is
// never an error, the single peer, quick reconnects from the same port.
#include "platform/ConectorTcp.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

namespace {

long PuertoLibre() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// Records the events of one socket.
struct Eventos {
    explicit Eventos(ConectorTcp& s) {
        QObject::connect(&s, &ConectorTcp::EventoConnect, [this] { conectado++; });
        QObject::connect(&s, &ConectorTcp::EventoConnectionRequest, [this, &s](long id) {
            peticiones++;
            if (aceptar) {
                s.Close();
                EXPECT_TRUE(s.Accept(id));
            }
        });
        QObject::connect(&s, &ConectorTcp::EventoDataArrival, [this, &s](long) { datos += s.GetData(); });
        QObject::connect(&s, &ConectorTcp::EventoSendComplete, [this] { enviados++; });
        QObject::connect(&s, &ConectorTcp::EventoError, [this](int, const QString& d) { errores << d; });
        QObject::connect(&s, &ConectorTcp::EventoClose, [this] { cerrados++; });
    }
    bool aceptar = true;
    int conectado = 0, peticiones = 0, enviados = 0, cerrados = 0;
    QByteArray datos;
    QStringList errores;
};

bool Esperar(const std::function<bool()>& c) { return QTest::qWaitFor(c, 5000); }

TEST(ConectorTcp, ALinkCarriesDataBothWaysAndTellsSendsComplete) {
    const long puerto = PuertoLibre();
    ConectorTcp servidor, cliente;
    Eventos es(servidor), ec(cliente);
    ASSERT_TRUE(servidor.Bind(puerto));
    ASSERT_TRUE(servidor.Listen());
    EXPECT_EQ(servidor.State(), ConectorTcp::Escuchando);
    ASSERT_TRUE(cliente.Connect("127.0.0.1", puerto));
    ASSERT_TRUE(Esperar([&] { return ec.conectado == 1 && servidor.State() == ConectorTcp::Conectado; }));
    EXPECT_EQ(es.peticiones, 1);

    ASSERT_TRUE(cliente.SendData("Movimiento 52540"));
    ASSERT_TRUE(Esperar([&] { return es.datos == "Movimiento 52540"; }));
    EXPECT_TRUE(Esperar([&] { return ec.enviados == 1; }));
    ASSERT_TRUE(servidor.SendData(QByteArray("Mensaje <Ana>caf\xC3\xA9")));
    ASSERT_TRUE(Esperar([&] { return ec.datos == "Mensaje <Ana>caf\xC3\xA9"; }));

    // Accepting stopped the listening: a second peer is not heard.
    ConectorTcp otro;
    Eventos eo(otro);
    ASSERT_TRUE(otro.Connect("127.0.0.1", puerto));
    EXPECT_TRUE(Esperar([&] { return !eo.errores.isEmpty(); }));
    EXPECT_EQ(es.peticiones, 1);

    // The client closes: the server hears a close, no error; the client hears nothing.
    cliente.Close();
    EXPECT_EQ(cliente.State(), ConectorTcp::Cerrado);
    ASSERT_TRUE(Esperar([&] { return es.cerrados == 1; }));
    // The server's socket has seen the whole close, whatever it raises on the way.
    ASSERT_TRUE(Esperar([&] {
        const auto* s = servidor.findChild<QTcpSocket*>();
        return !s || s->state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_TRUE(es.errores.isEmpty()) << es.errores.join(",").toStdString();
    EXPECT_EQ(ec.cerrados, 0);
    EXPECT_TRUE(ec.errores.isEmpty());
    EXPECT_FALSE(cliente.SendData("Ping"));
}

TEST(ConectorTcp, TheClientReconnectsAtOnceFromItsOwnPort) {
    const long puerto = PuertoLibre(), local = PuertoLibre();
    for (int vez = 0; vez < 3; ++vez) {
        ConectorTcp servidor, cliente;
        Eventos es(servidor), ec(cliente);
        ASSERT_TRUE(servidor.Bind(puerto)) << vez;
        ASSERT_TRUE(servidor.Listen()) << vez;
        cliente.LocalPort = local;
        ASSERT_TRUE(cliente.Connect("127.0.0.1", puerto)) << vez;
        ASSERT_TRUE(Esperar([&] { return ec.conectado == 1; })) << vez << ec.errores.join(",").toStdString();
        ASSERT_TRUE(Esperar([&] { return servidor.State() == ConectorTcp::Conectado; })) << vez;
        // The server ends the link, as it does for a client's "Close".
        servidor.Close();
        ASSERT_TRUE(Esperar([&] { return ec.cerrados == 1; })) << vez;
        cliente.Close();
    }
}

TEST(ConectorTcp, APortInUseAndAPeerThatIsNotThere) {
    QTcpServer ocupado;
    ASSERT_TRUE(ocupado.listen(QHostAddress::Any, 0));
    ConectorTcp servidor;
    ASSERT_TRUE(servidor.Bind(ocupado.serverPort()));
    EXPECT_FALSE(servidor.Listen());
    EXPECT_EQ(servidor.State(), ConectorTcp::Cerrado);
    EXPECT_FALSE(servidor.Descripcion().isEmpty());

    ConectorTcp cliente;
    Eventos ec(cliente);
    const long nadie = PuertoLibre();
    ASSERT_TRUE(cliente.Connect("127.0.0.1", nadie));
    ASSERT_TRUE(Esperar([&] { return !ec.errores.isEmpty(); }));
    EXPECT_EQ(ec.cerrados, 0);
    EXPECT_EQ(cliente.State(), ConectorTcp::ConError);
    cliente.Close();
    EXPECT_EQ(cliente.State(), ConectorTcp::Cerrado);
    // A socket in use is refused.
    ConectorTcp doble;
    ASSERT_TRUE(doble.Connect("127.0.0.1", nadie));
    EXPECT_FALSE(doble.Connect("127.0.0.1", nadie));
}

TEST(ConectorTcp, ARequestNobodyTakesIsTurnedAway) {
    const long puerto = PuertoLibre();
    ConectorTcp servidor, cliente;
    Eventos es(servidor), ec(cliente);
    es.aceptar = false;
    ASSERT_TRUE(servidor.Bind(puerto));
    ASSERT_TRUE(servidor.Listen());
    ASSERT_TRUE(cliente.Connect("127.0.0.1", puerto));
    ASSERT_TRUE(Esperar([&] { return es.peticiones == 1; }));
    EXPECT_TRUE(Esperar([&] { return ec.cerrados == 1 || !ec.errores.isEmpty(); }));
    EXPECT_EQ(servidor.State(), ConectorTcp::Escuchando);
}

}  // namespace
