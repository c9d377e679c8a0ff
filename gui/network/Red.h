// The state of the link with the peer that the board window's network part keeps
// between events: which socket carries the link, the message in flight, the ping,
// the requests this side made and waits on, the file exchange under way, and the
// messages that arrived and wait for the dispatcher.
#pragma once

#include "network/Campos.h"
#include "network/Troceador.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

class ConectorTcp;
class QTimer;

namespace red {

// The request of this side that waits for the peer's answer (a take-back or a draw
// offer: both set RetrocesoPendiente).
enum class Peticion { Ninguna, Retroceso, Tablas };

// A game file or position the peer sends to this side.
enum class Intercambio {
    Ninguno,
    EsperandoPartida,   // this side said Yes to "AbrirPartida"
    Partida,            // the peer streams its game ("TVP Iniciar" came)
    EsperandoPosicion,  // this side said Yes to "AbrirPartidaEPD"
};

struct Estado {
    bool ConexionCliente = false;
    bool ConexionServidor = false;
    bool EnviandoMensaje = false;
    bool RelojTrasMovimiento = false;
    bool RelojTrasRetroceso = false;

    // Ping: when the last "Ping" went out, on the clock source; whether its "Pong"
    // is still due.
    std::int64_t HoraPing = 0;
    bool PingEnviado = false;
    long RetardoPing = 0;

    QString DatosRecibidos;

    Peticion peticion = Peticion::Ninguna;
    // The proposal this side sent, as sent.
    std::optional<tvp::Propuesta> propuesta;
    Intercambio intercambio = Intercambio::Ninguno;
    // This side said No to a stream the peer began unasked: the rest of it is passed
    // over, and not asked about again, until it ends.
    bool corrienteRechazada = false;
    // A game ran on this link: a move of the peer that crossed its end is dropped.
    bool partidaJugada = false;
    // Counts the links; a question asked on one link acts only while it lasts.
    long enlace = 0;
    // Counts the ends of games on the board (a game that begins ends the one before):
    // a question about the game acts only while the same number holds.
    long partida = 0;

    // The peer's clock fell as counted here (1 White, 2 Black; 0 none): the fall waits
    // for the peer's move or its word until `finGracia` on the clock source, in game
    // `partidaBandera`.
    int banderaRival = 0;
    std::int64_t finGracia = 0;
    long partidaBandera = 0;
    // The stream of a game file this side agreed to must begin by then.
    std::int64_t limiteCorriente = 0;

    // Arrivals: the splitter, the whole messages waiting for the dispatcher, and
    // whether the dispatcher is at work (a box may be open inside it).
    tvp::Troceador troceador;
    std::deque<QByteArray> recibidos;
    qsizetype bytesRecibidos = 0;  // what `recibidos` holds
    void OlvidarRecibidos() {
        recibidos.clear();
        bytesRecibidos = 0;
    }
    bool despachando = false;
    bool despachoPedido = false;
    // The peer broke the framing: nothing more is read from this link.
    bool errorProtocolo = false;
    bool errorPorAvisar = false;
    // The link ended while messages waited: it is closed once they are read.
    enum class Fin { Ninguno, Cliente, Servidor, Error } fin = Fin::Ninguno;
    QString descripcionFin;

    QTimer* TimerCorte = nullptr;   // a cut message waits this long for its rest
    QTimer* TimerCierre = nullptr;  // a client's "Close" unanswered
    QTimer* TimerEnvio = nullptr;   // a send that does not complete
    QTimer* TimerPlazos = nullptr;  // the waits above that run on the clock source
};

Estado& Red();

// Notes the requests this side makes as they are queued.
void AlEncolar(const QString& texto);

// The link went: no request, exchange or message waits any more.
void Olvidar();
// A move of the peer came: a take-back this side asked for before it is void.
void OlvidarRetroceso();
// The game on the board ended or was replaced: a take-back or draw offer this side
// made in it is void, and so is a question about it.
void PartidaTerminada();

// Each copy judges its own player's clock; the peer's, as counted here, runs a little
// ahead of the peer's own count (it starts when this side's move leaves and stops
// when the peer's arrives). The peer's flag fell here (`lado` 1 White, 2 Black): the
// game waits a few seconds for the peer's move, which counts, or its word that its
// own flag fell; then this side wins on time and tells the peer ("Bandera").
void BanderaDelRival(int lado);
// A move of the peer came: the fall counted here is void.
void OlvidarBandera();
// This side agreed to the peer's game file: the stream must begin within a while, or
// the exchange is given up with a message.
void EsperarCorriente();
// The two waits above, looked at every few tenths of a second on the clock source.
void Plazos();

// Arrivals: what a socket read goes to the splitter; whole messages wait for the
// dispatcher, which runs outside the socket's event. `final`: nothing more will
// come for a cut message.
void Recibir(const QByteArray& datos, bool final);
// A socket's error or close event: the link ended (closed by the client's or the
// server's side, or failed). What came before the end is read first, unless a box of
// the dispatcher is open. `enlazado`: the socket carries the link.
void FinDelSocket(ConectorTcp& socket, bool enlazado, Estado::Fin fin, const QString& descripcion);
// The client's side of the link is closed (and a pending exit goes on).
void CierreCliente();
// "Close" from the peer.
void CierrePedido();
// "Pong" from the peer: the round trip in the board window's caption.
void ResultadoPing();
// A message of the peer that breaks the protocol: "Error interno." and the main
// window's disconnect command (TavorinDespacho.cpp).
void JugadaIlegal();

// Small steps both the link and the dispatcher take.
// All four clock values 0, both displays drawn.
void RelojesACero();
// The board shown with Black (true) or White at the bottom.
void Orientar(bool invertido);
// The main window flashes once unless it is the foreground window.
void Atencion();

// The window system's side of the dispatcher: whether the main window is the
// foreground window, and its flash. Tests replace them.
extern std::function<bool()> EnPrimerPlano;
extern std::function<void()> Parpadear;
// For tests and measurements: told of what the link does ("JUGADA 52540" when a
// move of the peer is on the board).
extern std::function<void(const QString&)> Traza;
// For tests and the fuzzer: told of each message of the peer once the dispatcher has
// taken it.
extern std::function<void(const QByteArray&)> Despachado;

}  // namespace red

// Queues one message for the peer while connected (ColaEnvio, in the order and
// within the limits of gui/network/Cola.h) and starts the board window's sender;
// does nothing without a connection.
void EncolarMensaje(const QString& texto);
