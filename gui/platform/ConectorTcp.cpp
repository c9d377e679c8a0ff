#include "platform/ConectorTcp.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {
// A socket that is closing gets this long to send what it holds.
constexpr int kCierreMs = 5000;
}  // namespace

ConectorTcp::ConectorTcp(QObject* padre) : QObject(padre) {}

ConectorTcp::~ConectorTcp() {
    for (auto& [id, s] : pendientes_)
        if (s) s->abort();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
    }
}

QString ConectorTcp::LocalIP() {
    std::vector<InterfazRed> lista;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        InterfazRed r;
        r.activa = i.flags().testFlag(QNetworkInterface::IsUp) && i.flags().testFlag(QNetworkInterface::IsRunning);
        r.bucle = i.flags().testFlag(QNetworkInterface::IsLoopBack);
        for (const QNetworkAddressEntry& e : i.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol) r.direccionesIpv4.push_back(e.ip().toString());
        lista.push_back(std::move(r));
    }
    return ElegirIpLocal(lista);
}

QString ElegirIpLocal(const std::vector<InterfazRed>& interfaces) {
    for (const InterfazRed& i : interfaces) {
        if (!i.activa || i.bucle) continue;
        for (const QString& d : i.direccionesIpv4)
            if (!d.isEmpty() && !d.startsWith("127.")) return d;
    }
    return "127.0.0.1";
}

// ---- Server ---------------------------------------------------------------------------

bool ConectorTcp::Bind(long puerto) {
    if (estado_ != Cerrado) {
        descripcion_ = "Socket in use";
        return false;
    }
    LocalPort = puerto;
    estado_ = Abierto;
    return true;
}

bool ConectorTcp::Listen() {
    if (estado_ != Abierto && estado_ != Cerrado) {
        descripcion_ = "Socket in use";
        return false;
    }
    servidor_ = new QTcpServer(this);
    // A port left in TIME_WAIT by the last peer may be listened on again at once.
    if (!servidor_->listen(QHostAddress::Any, quint16(LocalPort))) {
        descripcion_ = servidor_->errorString();
        delete servidor_;
        servidor_ = nullptr;
        estado_ = Cerrado;
        return false;
    }
    connect(servidor_, &QTcpServer::newConnection, this, [this] { NuevasConexiones(); });
    estado_ = Escuchando;
    return true;
}

void ConectorTcp::NuevasConexiones() {
    while (servidor_ && servidor_->hasPendingConnections()) {
        QTcpSocket* s = servidor_->nextPendingConnection();
        if (!s) break;
        s->setParent(this);
        const long id = ++siguientePeticion_;
        pendientes_[id] = s;
        estado_ = ConexionPendiente;
        emit EventoConnectionRequest(id);
        // A request nobody accepted is turned away.
        auto i = pendientes_.find(id);
        if (i != pendientes_.end()) {
            if (i->second) Soltar(i->second);
            pendientes_.erase(i);
            if (estado_ == ConexionPendiente) estado_ = servidor_ ? Escuchando : Cerrado;
        }
    }
}

bool ConectorTcp::Accept(long peticion) {
    auto i = pendientes_.find(peticion);
    if (i == pendientes_.end() || !i->second || socket_) {
        descripcion_ = "No such connection request";
        return false;
    }
    QTcpSocket* s = i->second;
    pendientes_.erase(i);
    if (servidor_) {
        servidor_->close();
        servidor_->deleteLater();
        servidor_ = nullptr;
    }
    Unir(s);
    cliente_ = false;
    estado_ = s->state() == QAbstractSocket::ConnectedState ? Conectado : Cerrando;
    return true;
}

// ---- Client ---------------------------------------------------------------------------

bool ConectorTcp::Connect(const QString& direccion, long puerto) {
    if (estado_ != Cerrado) {
        descripcion_ = "Socket in use";
        return false;
    }
    RemotePort = puerto;
    const QHostAddress numerica(direccion.trimmed());
    if (!numerica.isNull()) {
        estado_ = Conectando;
        ConectarA(numerica.toString());
        return estado_ != Cerrado;
    }
    estado_ = ResolviendoNombre;
    // A look-up that a Close made pointless is left to end on its own: its answer is
    // then ignored.
    const long busqueda = ++busqueda_;
    QHostInfo::lookupHost(direccion.trimmed(), this, [this, busqueda](const QHostInfo& info) {
        if (busqueda != busqueda_ || estado_ != ResolviendoNombre) return;
        QHostAddress elegida;
        for (const QHostAddress& a : info.addresses()) {
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                elegida = a;
                break;
            }
            if (elegida.isNull()) elegida = a;
        }
        if (elegida.isNull()) {
            Fallo(11001, info.errorString().isEmpty() ? QString("Host not found") : info.errorString());
            return;
        }
        estado_ = NombreResuelto;
        ConectarA(elegida.toString());
        if (estado_ == Cerrado) Fallo(10048, descripcion_);
    });
    return true;
}

void ConectorTcp::ConectarA(const QString& direccion) {
    const QHostAddress destino(direccion);
    auto* s = new QTcpSocket(this);
    const QHostAddress local = destino.protocol() == QAbstractSocket::IPv6Protocol
                                   ? QHostAddress(QHostAddress::AnyIPv6)
                                   : QHostAddress(QHostAddress::AnyIPv4);
    if (LocalPort != 0 &&
        !s->bind(local, quint16(LocalPort), QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        descripcion_ = s->errorString();
        s->deleteLater();
        estado_ = Cerrado;
        return;
    }
    Unir(s);
    cliente_ = true;
    connect(s, &QTcpSocket::connected, this, [this] {
        estado_ = Conectado;
        emit EventoConnect();
    });
    estado_ = Conectando;
    s->connectToHost(destino, quint16(RemotePort));
}

// ---- Both -----------------------------------------------------------------------------

void ConectorTcp::Unir(QTcpSocket* s) {
    socket_ = s;
    connect(s, &QTcpSocket::readyRead, this, [this, s] {
        if (s == socket_) emit EventoDataArrival(long(s->bytesAvailable()));
    });
    connect(s, &QTcpSocket::bytesWritten, this, [this, s] {
        if (s == socket_ && s->bytesToWrite() == 0) emit EventoSendComplete();
    });
    connect(s, &QTcpSocket::disconnected, this, [this, s] {
        if (s == socket_) CerradoPorElOtro();
    });
    connect(s, &QTcpSocket::errorOccurred, this, [this, s](QAbstractSocket::SocketError error) {
        if (s != socket_) return;
        // A peer that goes away is a close, whatever the system calls it.
        if (error == QAbstractSocket::RemoteHostClosedError) {
            CerradoPorElOtro();
            return;
        }
        Fallo(10000 + int(error), s->errorString());
    });
}

void ConectorTcp::CerradoPorElOtro() {
    if (estado_ == Cerrado || estado_ == Cerrando || estado_ == ConError) return;
    estado_ = Cerrando;
    emit EventoClose();
}

void ConectorTcp::Fallo(int numero, const QString& descripcion) {
    if (estado_ == ConError) return;
    descripcion_ = descripcion;
    estado_ = ConError;
    emit EventoError(numero, descripcion);
}

void ConectorTcp::Close() {
    ++busqueda_;
    if (servidor_) {
        servidor_->close();
        servidor_->deleteLater();
        servidor_ = nullptr;
    }
    if (socket_) {
        QTcpSocket* s = socket_;
        socket_ = nullptr;
        s->disconnect(this);
        // A client on a port of its own that ends a link the peer still holds resets
        // it: a graceful end would keep the pair of ports taken for a while, and a
        // reconnect from the same port would fail.
        if (cliente_ && LocalPort != 0 && estado_ != Cerrando) {
            s->abort();
            s->deleteLater();
        } else {
            Soltar(s);
        }
    }
    // Requests offered but not taken stay until Accept or their own end: the
    // connection-request handler closes this socket before it accepts.
    estado_ = Cerrado;
}

void ConectorTcp::Soltar(QTcpSocket* s) {
    s->setParent(nullptr);
    QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    s->disconnectFromHost();
    if (s->state() == QAbstractSocket::UnconnectedState) {
        s->deleteLater();
        return;
    }
    QPointer<QTcpSocket> p(s);
    QTimer::singleShot(kCierreMs, s, [p] {
        if (!p) return;
        p->abort();
        p->deleteLater();
    });
}

bool ConectorTcp::SendData(const QByteArray& datos) {
    if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState) {
        descripcion_ = "Not connected";
        return false;
    }
    return socket_->write(datos) == datos.size();
}

QByteArray ConectorTcp::GetData() {
    if (!socket_) return {};
    return socket_->readAll();
}
