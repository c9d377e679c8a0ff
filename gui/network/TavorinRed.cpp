// The board window's part in network play: its two sockets and their events, the
// connection made, failed and closed, the disconnect, the outgoing queue's sender,
// the ping, the ranking announcement and the change of nick.
//
// What arrives is split into whole messages in the socket's event and handed to the
// dispatcher (TavorinDespacho.cpp) outside it, one message at a time: a message
// whose box is open holds the later ones back, in order.
#include "board/Tavorin.h"

#include "app/Ajustes.h"
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Jugadas.h"
#include "board/Sonidos.h"
#include "files/fEpd.h"
#include "network/Chat.h"
#include "network/Cola.h"
#include "network/Conexion.h"
#include "network/Nuevo.h"
#include "network/Palabras.h"
#include "network/Ranking.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "platform/ConectorTcp.h"
#include "platform/FuenteReloj.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/MSatusBar.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace red {

std::function<bool()> EnPrimerPlano;
std::function<void()> Parpadear;
std::function<void(const QString&)> Traza;
std::function<void(const QByteArray&)> Despachado;

Estado& Red() {
    static Estado e;
    return e;
}

void AlEncolar(const QString& texto) {
    auto& r = Red();
    auto& g = Reglas();
    if (tvp::Es(texto, tvp::palabra::Retroceso)) {
        r.peticion = Peticion::Retroceso;
    } else if (tvp::Es(texto, tvp::palabra::OfrecerTablas)) {
        r.peticion = Peticion::Tablas;
        RetrocesoPendiente = true;
    } else if (tvp::Empieza(texto, tvp::palabra::NuevoJuego)) {
        r.propuesta = tvp::LeerNuevoJuego(texto);
    } else if (tvp::Empieza(texto, tvp::palabra::Movimiento) && g.TipoPartida == "R") {
        // The mover's clock stops as the move is made, not when it has gone: the time
        // the clock report gives is the time the move was made with.
        if (g.MiColor == color_local::Blancas) ::Reloj().CorrenNegras();
        if (g.MiColor == color_local::Negras) ::Reloj().CorrenBlancas();
    }
}

}  // namespace red

void EncolarMensaje(const QString& texto) {
    if (!Reglas().Conectado) return;
    if (!cola::Encolar(ColaEnvio, NumColaEnvio, texto)) return;
    red::AlEncolar(texto);
    // A running sender keeps its pace: switching it on again does not restart it.
    ::Tavorin().ArrancarEmisor();
}

namespace red {

void OlvidarRetroceso() {
    auto& r = Red();
    if (r.peticion != Peticion::Retroceso) return;
    r.peticion = Peticion::Ninguna;
    RetrocesoPendiente = false;
}

void PartidaTerminada() {
    auto& r = Red();
    r.peticion = Peticion::Ninguna;
    RetrocesoPendiente = false;
    ++r.partida;
    r.banderaRival = 0;
}

void RelojesACero() {
    MinutosBlancas = SegundosBlancas = MinutosNegras = SegundosNegras = 0;
    ::Reloj().PrintTimerB();
    ::Reloj().PrintTimerN();
}

void Orientar(bool invertido) {
    auto& m = ::Mdi();
    m.FijarTableroInvertido(!invertido);
    m.mnuInvertirTablero_Click();
}

void Atencion() {
    const bool delante = EnPrimerPlano ? EnPrimerPlano() : ::Mdi().isActiveWindow();
    if (delante) return;
    if (Parpadear)
        Parpadear();
    else
        QApplication::alert(&::Mdi());
}

void Olvidar() {
    auto& r = Red();
    r.EnviandoMensaje = r.RelojTrasMovimiento = r.RelojTrasRetroceso = false;
    r.PingEnviado = false;
    r.peticion = Peticion::Ninguna;
    r.propuesta.reset();
    r.intercambio = Intercambio::Ninguno;
    r.corrienteRechazada = false;
    r.banderaRival = 0;
    r.limiteCorriente = 0;
    r.partidaJugada = false;
    r.troceador.Vaciar();
    r.OlvidarRecibidos();
    r.errorProtocolo = r.errorPorAvisar = false;
    r.fin = Estado::Fin::Ninguno;
    for (QTimer* t : {r.TimerCorte, r.TimerCierre, r.TimerEnvio, r.TimerPlazos})
        if (t) t->stop();
}

}  // namespace red

namespace {

constexpr int kEsperaCorteMs = 2000;
constexpr int kEsperaCierreMs = 5000;
constexpr int kEsperaEnvioMs = 30000;
constexpr int kPingServidorMs = 60000;
constexpr int kPingClienteMs = 65000;
constexpr int kRankingMs = 2500;
// How long a flag of the peer that fell here waits for the peer's move or word: more
// than the peer's count and this one's part (a sender's tick and the way there and
// back), on the clock source.
constexpr std::int64_t kGraciaBanderaMs = 3000;
// How long a game file this side agreed to may take to begin, on the clock source.
constexpr std::int64_t kEsperaCorrienteMs = 30000;
constexpr int kPlazosMs = 200;
// The dispatcher reads so many messages at a time, then lets the other events run.
constexpr int kMensajesPorVuelta = 100;

// The board window's caption without the ping's suffix (" - ..." from its first "-").
QString SinRetardo(const QString& titulo) {
    const qsizetype guion = titulo.indexOf(u'-');
    return guion < 0 ? titulo : titulo.left(std::max<qsizetype>(0, guion - 1));
}

// What the end of a link does, whatever ended it.
void EnlaceTerminado() {
    auto& g = Reglas();
    auto& r = red::Red();
    auto& t = ::Tavorin();
    t.Timer2->stop();
    t.Ping->stop();
    t.TimerR->stop();
    cola::Vaciar(ColaEnvio, NumColaEnvio);
    r.ConexionCliente = r.ConexionServidor = false;
    SinPartida();
    g.Conectado = false;
    RetrocesoPendiente = false;
    NuevoPendiente = false;
    FicheroPendiente.clear();
    VersionRival.clear();
    red::Olvidar();
    ++r.enlace;
    // A file exchange under way leaves a fresh game.
    if (PartidaDeFichero) {
        ::Nuevo().NuevoAceptado();
        t.MovimientoAnulado();
        PartidaDeFichero = false;
        PosicionPreparada = false;
        red::RelojesACero();
    }
}

// A link made, through the server socket or the client one.
void Enlazado(bool servidor) {
    auto& r = red::Red();
    r.ConexionCliente = !servidor;
    r.ConexionServidor = servidor;
    Reglas().Conectado = true;
    ::Tavorin().AlConectar();
}

void PedirDespacho();

void RupturaProtocolo() {
    auto& r = red::Red();
    r.errorProtocolo = true;
    r.errorPorAvisar = true;
    r.troceador.Vaciar();
    r.TimerCorte->stop();
    PedirDespacho();
}

void CerrarEnlace() {
    auto& r = red::Red();
    auto& t = ::Tavorin();
    const auto fin = r.fin;
    const QString descripcion = r.descripcionFin;
    r.fin = red::Estado::Fin::Ninguno;
    switch (fin) {
        case red::Estado::Fin::Ninguno: return;
        case red::Estado::Fin::Cliente: red::CierreCliente(); return;
        case red::Estado::Fin::Servidor:
            t.WSer->Close();
            t.ConexionCerrada();
            return;
        case red::Estado::Fin::Error: t.ErrorConexion(descripcion); return;
    }
}

// The dispatcher's loop: one message after the other, outside the socket's events.
// A box opened for one message holds the later ones back; a loop asked for meanwhile
// finds this one at work and leaves the messages to it. A long run of messages (a
// peer that floods) is read in turns, so that the window keeps answering.
void Despachar() {
    auto& r = red::Red();
    r.despachoPedido = false;
    if (r.despachando) return;
    r.despachando = true;
    for (int leidos = 0; !r.recibidos.empty() && Reglas().Conectado; ++leidos) {
        if (leidos == kMensajesPorVuelta) {
            r.despachando = false;
            PedirDespacho();
            return;
        }
        const QByteArray mensaje = std::move(r.recibidos.front());
        r.recibidos.pop_front();
        r.DatosRecibidos = QString::fromUtf8(mensaje);
        r.bytesRecibidos -= mensaje.size();
        ::Tavorin().ProcesarDatos();
        if (red::Despachado) red::Despachado(mensaje);
    }
    if (r.errorPorAvisar && Reglas().Conectado) {
        r.errorPorAvisar = false;
        r.OlvidarRecibidos();
        red::JugadaIlegal();
    }
    r.despachando = false;
    if (r.fin != red::Estado::Fin::Ninguno) CerrarEnlace();
}

void PedirDespacho() {
    auto& r = red::Red();
    if (r.despachando || r.despachoPedido) return;
    r.despachoPedido = true;
    QTimer::singleShot(0, &::Tavorin(), [] { Despachar(); });
}

}  // namespace

namespace red {

void Recibir(const QByteArray& datos, bool final) {
    auto& r = Red();
    if (r.errorProtocolo) return;
    if (!datos.isEmpty() && !r.troceador.Anadir(datos)) {
        RupturaProtocolo();
        return;
    }
    for (const QByteArray& m : r.troceador.Extraer(final)) {
        r.recibidos.push_back(m);
        r.bytesRecibidos += m.size();
    }
    // A peer that floods while a box holds the dispatcher breaks the protocol too.
    if (r.troceador.Error() || r.bytesRecibidos > tvp::Troceador::kMaximoPendiente) {
        RupturaProtocolo();
        return;
    }
    if (!r.troceador.Esperando())
        r.TimerCorte->stop();
    else if (!datos.isEmpty() || !r.TimerCorte->isActive())
        r.TimerCorte->start();
    PedirDespacho();
}

void FinDelSocket(ConectorTcp& socket, bool enlazado, Estado::Fin fin, const QString& descripcion) {
    auto& r = Red();
    // What the socket still holds came before its end.
    if (enlazado) Recibir(socket.GetData(), false);
    // A failed socket is closed at once; a closed link is closed when its turn comes.
    if (fin == Estado::Fin::Error) socket.Close();
    r.fin = fin;
    r.descripcionFin = descripcion;
    // A box of the dispatcher is open: the link ends now, and whatever waits with it.
    // Otherwise the messages that came before the end are read first.
    if (r.despachando) {
        r.OlvidarRecibidos();
        CerrarEnlace();
        return;
    }
    if (r.recibidos.empty() && !r.troceador.Esperando()) {
        CerrarEnlace();
        return;
    }
    Recibir({}, true);
}

void CierreCliente() {
    ::Tavorin().WCli->Close();
    ::Tavorin().ConexionCerrada();
    if (SalirPendiente) ::Mdi().Unload();
}

void CierrePedido() {
    auto& r = Red();
    auto& t = ::Tavorin();
    if (r.ConexionServidor) {
        cola::Vaciar(ColaEnvio, NumColaEnvio);
        t.WSer->Close();
        t.ConexionCerrada();
    } else if (r.ConexionCliente) {
        CierreCliente();
    }
}

// The waits that run on the clock source, looked at every few tenths of a second.
void Plazos() {
    auto& r = Red();
    auto& g = Reglas();
    const std::int64_t ahora = reloj::AhoraMs();
    if (r.banderaRival != 0 && ahora >= r.finGracia) {
        const int lado = r.banderaRival;
        r.banderaRival = 0;
        // Neither the peer's move nor its word came: its flag fell.
        const std::string ganador = lado == turno::Blancas ? color_local::Negras : color_local::Blancas;
        if (g.Conectado && g.TipoPartida == "R" && g.MiColor == ganador && r.partida == r.partidaBandera) {
            EncolarMensaje(tvp::TextoBandera(lado));
            ::Reloj().FinPorTiempo(lado);
        }
    }
    if (r.limiteCorriente != 0 && ahora >= r.limiteCorriente) {
        r.limiteCorriente = 0;
        if (g.Conectado && r.intercambio == Intercambio::EsperandoPartida) {
            // The peer never began the game file it asked to send.
            r.intercambio = Intercambio::Ninguno;
            PartidaDeFichero = false;
            MostrarMensaje("Tavorin", MensajeNumero(texto::NadaCargado), MB_ICONINFORMATION);
        }
    }
    if (r.banderaRival == 0 && r.limiteCorriente == 0) r.TimerPlazos->stop();
}

void BanderaDelRival(int lado) {
    auto& r = Red();
    r.banderaRival = lado;
    r.partidaBandera = r.partida;
    r.finGracia = reloj::AhoraMs() + kGraciaBanderaMs;
    if (!r.TimerPlazos->isActive()) r.TimerPlazos->start();
}

void OlvidarBandera() { Red().banderaRival = 0; }

void EsperarCorriente() {
    auto& r = Red();
    r.limiteCorriente = reloj::AhoraMs() + kEsperaCorrienteMs;
    if (!r.TimerPlazos->isActive()) r.TimerPlazos->start();
}

void ResultadoPing() {
    auto& r = Red();
    if (!r.PingEnviado) return;
    r.PingEnviado = false;
    r.RetardoPing = std::lround(double(reloj::AhoraMs() - r.HoraPing) / 1000.0);
    const auto [antes, despues] = PartirEnDolar(TextosIdioma[texto::Retardo]);
    auto& t = ::Tavorin();
    t.setCaption(SinRetardo(t.Caption()) + " - " + antes + QString::number(r.RetardoPing) + despues);
}

}  // namespace red

namespace forms {

void Tavorin::CrearRed() {
    WSer = new ConectorTcp(this);
    WSer->setObjectName("WSer");
    WCli = new ConectorTcp(this);
    WCli->setObjectName("WCli");
    connect(WCli, &ConectorTcp::EventoConnect, this, [this] { WCli_Connect(); });
    connect(WSer, &ConectorTcp::EventoConnectionRequest, this, [this](long id) { WSer_ConnectionRequest(id); });
    connect(WCli, &ConectorTcp::EventoDataArrival, this, [this](long n) { WCli_DataArrival(n); });
    connect(WSer, &ConectorTcp::EventoDataArrival, this, [this](long n) { WSer_DataArrival(n); });
    connect(WCli, &ConectorTcp::EventoSendComplete, this, [this] { WCli_SendComplete(); });
    connect(WSer, &ConectorTcp::EventoSendComplete, this, [this] { WSer_SendComplete(); });
    connect(WCli, &ConectorTcp::EventoError, this, [this](int n, const QString& d) { WCli_Error(n, d); });
    connect(WSer, &ConectorTcp::EventoError, this, [this](int n, const QString& d) { WSer_Error(n, d); });
    connect(WCli, &ConectorTcp::EventoClose, this, [this] { WCli_Close(); });
    connect(WSer, &ConectorTcp::EventoClose, this, [this] { WSer_Close(); });

    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    // The end-to-end tests may hurry the sender (TAVORIN_PRUEBA_COLA_MS: its tick in
    // milliseconds); one message is still in flight at a time.
    bool prisa = false;
    const int tick = qEnvironmentVariableIntValue("TAVORIN_PRUEBA_COLA_MS", &prisa);
    if (prisa && tick > 0) Timer2->setInterval(tick);
    Ping = new QTimer(this);
    Ping->setInterval(kPingClienteMs);
    connect(Ping, &QTimer::timeout, this, [this] { Ping_Timer(); });
    TimerR = new QTimer(this);
    TimerR->setInterval(kRankingMs);
    connect(TimerR, &QTimer::timeout, this, [this] { TimerR_Timer(); });

    auto& r = red::Red();
    auto unaVez = [this](int ms, std::function<void()> f) {
        auto* t = new QTimer(this);
        t->setSingleShot(true);
        t->setInterval(ms);
        connect(t, &QTimer::timeout, this, std::move(f));
        return t;
    };
    // A cut message waited long enough: what is there is taken as it is.
    r.TimerCorte = unaVez(kEsperaCorteMs, [] { red::Recibir({}, true); });
    // The server never answered the client's "Close".
    r.TimerCierre = unaVez(kEsperaCierreMs, [] {
        if (red::Red().ConexionCliente) red::CierreCliente();
    });
    r.TimerPlazos = new QTimer(this);
    r.TimerPlazos->setInterval(kPlazosMs);
    connect(r.TimerPlazos, &QTimer::timeout, this, [] { red::Plazos(); });
    // A send that never completes: the link is as good as lost.
    r.TimerEnvio = unaVez(kEsperaEnvioMs, [this] {
        auto& e = red::Red();
        if (!e.EnviandoMensaje || !Reglas().Conectado) return;
        (e.ConexionServidor ? WSer : WCli)->Close();
        ErrorConexion(TextosIdioma[texto::ConexionPerdida]);
    });

    if (!::Mdi().DireccionLocal) ::Mdi().DireccionLocal = [] { return ConectorTcp::LocalIP(); };
}

// ---- Socket events --------------------------------------------------------------------

void Tavorin::WCli_Connect() { Enlazado(false); }

void Tavorin::WSer_ConnectionRequest(long peticion) {
    if (WSer->State() != ConectorTcp::Cerrado) {
        WSer->Close();
        WCli->Close();
    }
    if (WSer->Accept(peticion)) Enlazado(true);
}

void Tavorin::WCli_DataArrival(long bytes) {
    (void)bytes;
    if (red::Red().ConexionCliente) red::Recibir(WCli->GetData(), false);
}

void Tavorin::WSer_DataArrival(long bytes) {
    (void)bytes;
    if (red::Red().ConexionServidor) red::Recibir(WSer->GetData(), false);
}

void Tavorin::WCli_SendComplete() { EnvioCompleto(); }
void Tavorin::WSer_SendComplete() { EnvioCompleto(); }

void Tavorin::WCli_Error(int numero, const QString& descripcion) {
    (void)numero;
    red::FinDelSocket(*WCli, red::Red().ConexionCliente, red::Estado::Fin::Error, descripcion);
}

void Tavorin::WSer_Error(int numero, const QString& descripcion) {
    (void)numero;
    red::FinDelSocket(*WSer, red::Red().ConexionServidor, red::Estado::Fin::Error, descripcion);
}

void Tavorin::WCli_Close() { red::FinDelSocket(*WCli, red::Red().ConexionCliente, red::Estado::Fin::Cliente, {}); }

void Tavorin::WSer_Close() { red::FinDelSocket(*WSer, red::Red().ConexionServidor, red::Estado::Fin::Servidor, {}); }

// ---- Connection made, failed, closed -------------------------------------------------------

void Tavorin::AlConectar() {
    auto& g = Reglas();
    auto& r = red::Red();
    red::Olvidar();
    ++r.enlace;
    // A list of positions read before the link goes with the board it was read for:
    // the peer takes a position only from a list it agreed to.
    if (::fEpd().Visible()) ::fEpd().Unload();
    cola::Vaciar(ColaEnvio, NumColaEnvio);
    Shape1[0]->hide();
    Shape1[1]->hide();
    auto& c = ::Conexion();
    c.TerminarEspera();
    c.Hide();
    g.Turno = turno::Nadie;
    g.TipoPartida.clear();
    g.MiColor.clear();
    PosicionPreparada = false;
    ::Jugadas().BorrarContenedor();
    ::Reloj().Parar();
    red::RelojesACero();
    PonerFichas();
    PicBuffer->Imagen() = Fondo->Imagen().copy();
    PicBuffer->Refresh();
    red::Orientar(false);
    QuitaMarco();
    ::Nuevo().VariablesCero();
    MovimientoAnulado();
    auto& chat = ::Chat();
    chat.Borrar();
    chat.Anadir("*** " + TextosIdioma[texto::Conectado]);
    chat.Anadir("Tavorin " + TextosIdioma[texto::Version] + " " + kVersionPrograma);
    // The peer takes this side's version from the greeting's last word.
    EncolarMensaje(tvp::TextoChat(NickLocal + " " + TextosIdioma[texto::SeHaConectadoCon] + " Tavorin " +
                                  TextosIdioma[texto::Version] + " " + kVersionPrograma));
    EncolarMensaje(tvp::TextoVersion(kVersionPrograma));
    PaintStatusBar();
    TimerR->start();
    Ping->setInterval(r.ConexionServidor ? kPingServidorMs : kPingClienteMs);
    Ping->start();
    ReproducirSonido(1);
}

void Tavorin::ErrorConexion(const QString& descripcion) {
    ReproducirSonido(2);
    ::Conexion().TerminarEspera();
    EnlaceTerminado();
    ::Chat().Anadir("*** " + TextosIdioma[texto::Desconectado]);
    setCaption(SinRetardo(Caption()));
    PaintStatusBar();
    MostrarMensaje("Tavorin", descripcion, MB_ICONINFORMATION);
}

void Tavorin::ConexionCerrada() {
    ReproducirSonido(2);
    red::Atencion();
    EnlaceTerminado();
    ::Chat().Anadir("*** " + TextosIdioma[texto::Desconectado]);
    PaintStatusBar();
    setCaption(SinRetardo(Caption()));
}

bool Tavorin::ConectarCliente(const QString& ip) {
    WCli->LocalPort = kPuertoCliente;
    WCli->RemotePort = kPuertoServidor;
    if (WCli->Connect(ip, kPuertoServidor)) return true;
    WCli->Close();
    return false;
}

bool Tavorin::Escuchar() {
    WSer->LocalPort = kPuertoServidor;
    WSer->RemotePort = kPuertoCliente;
    return WSer->Bind(kPuertoServidor) && WSer->Listen();
}

void Tavorin::CerrarCliente() { WCli->Close(); }
void Tavorin::CerrarServidor() { WSer->Close(); }

void Tavorin::ArrancarEmisor() {
    if (!Timer2->isActive()) Timer2->start();
}

void Tavorin::Desconectar() {
    auto& r = red::Red();
    if (r.ConexionCliente) {
        EncolarMensaje(tvp::palabra::Close);
        return;
    }
    if (r.ConexionServidor) {
        WSer->Close();
        ConexionCerrada();
    }
}

// ---- The sender ---------------------------------------------------------------------------

void Tavorin::Timer2_Timer() {
    auto& g = Reglas();
    auto& r = red::Red();
    if (!g.Conectado) {
        cola::Vaciar(ColaEnvio, NumColaEnvio);
        Timer2->stop();
        return;
    }
    if (r.EnviandoMensaje) return;
    if (NumColaEnvio <= 0) {
        Timer2->stop();
        return;
    }
    OrdenarCola();
    r.EnviandoMensaje = true;
    const QString mensaje = ColaEnvio[1];
    if (g.TipoPartida == "R") {
        if (tvp::Empieza(mensaje, tvp::palabra::Movimiento)) r.RelojTrasMovimiento = true;
        if (tvp::Es(mensaje, tvp::palabra::RetrocesoAceptado)) r.RelojTrasRetroceso = true;
    }
    cola::QuitarPrimero(ColaEnvio, NumColaEnvio);
    if (tvp::Es(mensaje, tvp::palabra::Ping)) {
        r.HoraPing = reloj::AhoraMs();
        r.PingEnviado = true;
    }
    // The server answers a client's "Close" by closing; it gets a while to do so.
    if (tvp::Es(mensaje, tvp::palabra::Close) && r.ConexionCliente && !r.TimerCierre->isActive())
        r.TimerCierre->start();
    EnviarPorSocket(mensaje);
    if (NumColaEnvio == 0) Timer2->stop();
}

void Tavorin::OrdenarCola() { cola::Ordenar(ColaEnvio, NumColaEnvio); }

void Tavorin::EnviarPorSocket(const QString& texto) {
    auto& r = red::Red();
    ConectorTcp* s = r.ConexionServidor ? WSer : r.ConexionCliente ? WCli : nullptr;
    if (!s || !Reglas().Conectado) {
        // Nowhere to send it: nothing is in flight.
        r.EnviandoMensaje = false;
        return;
    }
    r.TimerEnvio->start();
    // A send the socket refuses is dropped; its close or error event follows. A chat
    // line or a position goes with its line ending, so that its text is never read as
    // messages; to a peer that ends no line of its own, without one, as such a peer
    // reads it.
    s->SendData(tvp::Enmarcar(texto, r.troceador.MarcoDelPar() != tvp::Marco::Sin));
}

void Tavorin::EnvioCompleto() {
    auto& g = Reglas();
    auto& r = red::Red();
    auto& reloj = ::Reloj();
    r.TimerEnvio->stop();
    auto pasarAlRival = [&] {
        if (g.MiColor == color_local::Negras) reloj.CorrenBlancas();
        if (g.MiColor == color_local::Blancas) reloj.CorrenNegras();
    };
    if (r.RelojTrasRetroceso) {
        pasarAlRival();
        r.RelojTrasRetroceso = false;
    }
    if (r.RelojTrasMovimiento) {
        pasarAlRival();
        r.RelojTrasMovimiento = false;
        // The mover reports its own stopped clock.
        if (g.MiColor == color_local::Negras) EncolarMensaje(tvp::TextoTime({MinutosNegras, SegundosNegras}));
        if (g.MiColor == color_local::Blancas) EncolarMensaje(tvp::TextoTime({MinutosBlancas, SegundosBlancas}));
    }
    r.EnviandoMensaje = false;
}

void Tavorin::Ping_Timer() {
    if (Reglas().Conectado)
        EncolarMensaje(tvp::palabra::Ping);
    else
        Ping->stop();
}

bool Tavorin::RankingPendiente() const { return TimerR->isActive(); }

void Tavorin::TimerR_Timer() {
    const auto& p = ::Ranking().RegPuntuacion;
    EncolarMensaje(tvp::TextoRanking({p[0], p[1], p[2], p[3], p[4]}));
    TimerR->stop();
}

// ---- Nick -----------------------------------------------------------------------------------

void Tavorin::CambiarNick() {
    QString nick;
    for (;;) {
        nick = PedirTexto(TextosIdioma[texto::PedirNick], TextosIdioma[texto::Nick]).trimmed();
        if (nick.size() > 9) {
            MostrarMensaje("Tavorin", MensajeNumero(texto::NickLargo), MB_ICONINFORMATION);
            continue;
        }
        if (nick.isEmpty() && NickLocal.isEmpty()) {
            MostrarMensaje("Tavorin", MensajeNumero(texto::FaltaNick), MB_ICONINFORMATION);
            continue;
        }
        break;
    }
    if (nick.isEmpty()) return;
    const QString aviso = "*** " + NickLocal + " " + TextosIdioma[texto::AhoraSeLlama] + " " + nick;
    if (!NickLocal.isEmpty()) ::Chat().Anadir(aviso);
    ::Chat().setCaption(LeerIni(FicheroIdioma, "Chat", "Titulo") + " - " + nick);
    if (Reglas().Conectado) EncolarMensaje(tvp::TextoChat(aviso));
    NickLocal = nick;
    // Kept at once: a program that ends without its exit sequence does not ask again.
    ajustes::Escribir(ajustes::Clave::Nick, nick);
}

}  // namespace forms
