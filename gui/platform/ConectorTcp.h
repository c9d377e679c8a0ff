// The TCP socket control of network play: one object is either a server that listens
// on a port and takes one peer, or a client that connects out from a port of its own.
// Its operations and events are those the board window's two sockets (WSer, WCli)
// were written against:
//
// - a peer that closes the link raises EventoClose, never EventoError;
// - closing the socket here (Close) raises nothing;
// - EventoSendComplete comes when everything handed to SendData has gone to the
//   system;
// - Accept takes the connection offered by EventoConnectionRequest and stops
//   listening, so no second peer is heard;
// - no socket object is deleted inside one of its own signals.
//
// The server listens on IPv4 and IPv6; the client binds its local port with address
// reuse, and resets a link it ends itself, so that a quick reconnect from the same
// port works.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <vector>

class QTcpServer;
class QTcpSocket;

class ConectorTcp : public QObject {
    Q_OBJECT
public:
    // State, numbered as the control numbered it.
    enum Estado {
        Cerrado = 0,
        Abierto = 1,
        Escuchando = 2,
        ConexionPendiente = 3,
        ResolviendoNombre = 4,
        NombreResuelto = 5,
        Conectando = 6,
        Conectado = 7,
        Cerrando = 8,
        ConError = 9,
    };

    explicit ConectorTcp(QObject* padre = nullptr);
    ~ConectorTcp() override;

    long LocalPort = 0;
    long RemotePort = 0;

    int State() const { return estado_; }
    // This machine's address as the peer should be told it.
    static QString LocalIP();

    // Each operation answers false when it failed at once (the port is taken, the
    // socket is in use); Descripcion() then tells why.
    bool Bind(long puerto);
    bool Listen();
    bool Accept(long peticion);
    bool Connect(const QString& direccion, long puerto);
    void Close();
    bool SendData(const QByteArray& datos);
    QByteArray GetData();
    QString Descripcion() const { return descripcion_; }

signals:
    void EventoConnect();
    void EventoConnectionRequest(long peticion);
    void EventoDataArrival(long bytes);
    void EventoSendComplete();
    void EventoError(int numero, const QString& descripcion);
    void EventoClose();

private:
    void NuevasConexiones();
    void Unir(QTcpSocket* s);
    void ConectarA(const QString& direccion);
    void Fallo(int numero, const QString& descripcion);
    void CerradoPorElOtro();
    // Lets the socket finish sending and go; it is deleted outside its signals.
    static void Soltar(QTcpSocket* s);

    Estado estado_ = Cerrado;
    QString descripcion_;
    QTcpServer* servidor_ = nullptr;
    QPointer<QTcpSocket> socket_;
    std::map<long, QPointer<QTcpSocket>> pendientes_;
    long siguientePeticion_ = 0;
    long busqueda_ = 0;  // counts host-name look-ups; only the last one's answer counts
    bool cliente_ = false;
};

// The address to show: the first IPv4 address of an interface that is up and not the
// loopback, else "127.0.0.1".
struct InterfazRed {
    bool activa = false;
    bool bucle = false;
    std::vector<QString> direccionesIpv4;
};
QString ElegirIpLocal(const std::vector<InterfazRed>& interfaces);
