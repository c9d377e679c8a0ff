#include "ejecucion.h"

#include "entorno.h"

#include "app/CMensaje.h"
#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Geometria.h"
#include "board/Tavorin.h"
#include "files/fEpd.h"
#include "network/Chat.h"
#include "network/Cola.h"
#include "network/Nuevo.h"
#include "network/Puntuacion.h"
#include "network/Ranking.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "network/Troceador.h"
#include "platform/FuenteReloj.h"
#include "platform/Sonido.h"
#include "shell/Mdi.h"
#include "shell/Retroceso.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>

#include <array>
#include <atomic>
#include <cstdio>

namespace peerfuzz {

namespace {

std::atomic<std::size_t> g_latido{0};

bool Prob(std::mt19937_64& a, int porMil) { return std::uniform_int_distribution<int>(0, 999)(a) < porMil; }

// A message as a finding quotes it: printable, and short.
std::string Citar(const QByteArray& m) {
    std::string r;
    for (unsigned char c : m.left(80)) {
        if (c >= 32 && c < 127) {
            r += char(c);
        } else {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            r += b;
        }
    }
    return m.size() > 80 ? r + "... (" + std::to_string(m.size()) + " bytes)" : r;
}

// Messages that may end a rated game with a booking.
bool Reserva(const QByteArray& m) {
    return m == "Rendirse" || m == "TablasAceptadas" || m == "OfrecerTablas" || m.startsWith("Movimiento") ||
           m.startsWith("Bandera");
}

// What the answer to a question of this side sends when it acts on the game.
bool DeLaPregunta(const QString& m) {
    return m == QLatin1String("Rendirse") || m == QLatin1String("OfrecerTablas") ||
           m.startsWith(QLatin1String("AbrirPartida"));
}

std::vector<QString> EnCola() {
    std::vector<QString> v;
    for (long i = 1; i <= NumColaEnvio; ++i) v.push_back(ColaEnvio[size_t(i)]);
    return v;
}

// What must not hold back a move of this side in the queue: the answers to requests
// turned down, pings, pongs and chat.
bool NoAntesDeUnaJugada(const QString& m) {
    return m == QLatin1String("NuevoCancelado") || m == QLatin1String("RetrocesoCancelado") ||
           m == QLatin1String("TablasCancelado") || m == QLatin1String("TVP ERROR") || m == QLatin1String("Ping") ||
           m == QLatin1String("Pong") || m.startsWith(QLatin1String("Mensaje"));
}

// A game message, which keeps its place before a later move: anything but a move, a
// clock report and what must not hold a move back.
bool EsDeJuego(const QString& m) {
    return !NoAntesDeUnaJugada(m) && !m.startsWith(QLatin1String("Movimiento")) && !m.startsWith(QLatin1String("TIME"));
}

int LadoDe(const std::string& color) { return color == "Blancas" ? 1 : color == "Negras" ? 2 : 0; }

}  // namespace

struct Banco::Foto {
    std::array<std::int32_t, 5> local{};
    std::string tipo, color;
    int turno = 0;
    rules::Tablero casillas{};
    std::size_t plies = 0;
    bool nuevoPendiente = false, retrocesoPendiente = false, partidaDeFichero = false, conectado = false;
    int ultima = 0;  // the colour (1 White, 2 Black) of the last move on the board, 0 none
};

struct Banco::Impl {
    std::unique_ptr<Entorno> entorno;
    std::int64_t reloj = 1'000'000;
    std::mt19937_64* azar = nullptr;
    int siPorMil = 500;
    int respuestaPaso = 0;
    Estado estado = Estado::Enlazado;
    int enlaces = 0;
    // While one message or step runs: a question was answered Yes; the question of a
    // file or position of the peer was.
    bool si = false, siFichero = false;
    // What this side agreed to: a stream of the peer's game file, a position of its
    // EPD list, the rated game on the board.
    bool corriente = false, posicion = false, acordada = false;
    bool empezada = false;  // the stream agreed to has begun
    Foto antes;
    std::vector<Hallazgo> hallazgos;
    QString rutaTvp, rutaEpd;
    rules::Reglas prueba;  // a board of its own for finding legal moves
    // The peer's arrivals the open question of this step waits for, and what they left:
    // whether the game changed meanwhile, the queue and the ranking then.
    const std::vector<std::string>* durante = nullptr;
    bool cambioDurante = false;
    std::vector<QString> colaDurante;
    std::array<std::int32_t, 10> rankingDurante{};
};

std::size_t Banco::Latido() { return g_latido.load(); }

Banco::Banco() : d_(std::make_unique<Impl>()) {
    d_->entorno = std::make_unique<Entorno>();
    sonido::Reproductor = [](const QString&) {};
    red::EnPrimerPlano = [] { return true; };
    red::Parpadear = [] {};
    reloj::FijarFuente([this] { return d_->reloj; });
    d_->entorno->Arrancar();
    FicheroIdioma = d_->entorno->Ruta("Español.lng");
    // A game file of this side (1.e4 e5, no clock) and an EPD list of one position.
    d_->rutaTvp = d_->entorno->Ruta("partida.tvp");
    d_->entorno->Escribir("partida.tvp", "0500\r\n0500\r\nA\r\n5254\r\n5755\r\n\r\n");
    d_->rutaEpd = d_->entorno->Ruta("lista.epd");
    d_->entorno->Escribir("lista.epd", "4k3/8/8/8/8/8/8/R3K3 w Q - id Close\r\n");
    ResponderMensaje = [this](const CMensaje& m) {
        return Responder(m.BotonesMensaje, m.DefectoMensaje, m.TextoMensaje);
    };
    // The colour asked when a position is loaded: one of the two letters text 59 offers.
    ResponderTexto = [this](const QString&, const QString&) {
        const QString t = TextosIdioma[59];
        if (t.size() < 4) return QString();
        return QString(t[t.size() - (Prob(*d_->azar, 500) ? 4 : 2)]);
    };
    red::Despachado = [this](const QByteArray& m) { TrasMensaje(m); };
}

Banco::~Banco() {
    red::Despachado = nullptr;
    red::EnPrimerPlano = nullptr;
    red::Parpadear = nullptr;
    sonido::Reproductor = nullptr;
    reloj::FijarFuente({});
}

long Banco::Responder(long botones, long defecto, const QString& texto) {
    (void)defecto;
    if (botones != MB_YESNO) return IDOK;
    if (const auto* durante = d_->durante) {
        // The peer's messages come while the box is open, then it is answered.
        d_->durante = nullptr;
        const long partida = red::Red().partida;
        for (const std::string& m : *durante) {
            red::Recibir(QByteArray::fromStdString(m), false);
            Bombear();
        }
        d_->cambioDurante = red::Red().partida != partida;
        d_->colaDurante = EnCola();
        d_->rankingDurante = ::Ranking().RegPuntuacion;
    }
    long r = d_->respuestaPaso;
    if (r == 0) r = Prob(*d_->azar, d_->siPorMil) ? IDYES : IDNO;
    if (r == IDYES) {
        d_->si = true;
        if (texto == TextosIdioma[35]) d_->siFichero = true;
    }
    return r;
}

Banco::Foto Banco::Tomar() const {
    Foto f;
    const auto& g = Reglas();
    const auto& r = ::Ranking().RegPuntuacion;
    for (size_t i = 0; i < 5; ++i) f.local[i] = r[i];
    f.tipo = g.TipoPartida;
    f.color = g.MiColor;
    f.turno = g.Turno;
    f.casillas = g.Casillas;
    f.plies = g.Jugadas.List1.size();
    f.nuevoPendiente = NuevoPendiente;
    f.retrocesoPendiente = RetrocesoPendiente;
    f.partidaDeFichero = PartidaDeFichero;
    f.conectado = g.Conectado;
    if (!g.Jugadas.List1.empty())
        if (const auto r = retroceso::Leer(g.Jugadas.List1.back())) {
            const int pieza = g.Casillas[size_t(r->x2)][size_t(r->y2)];
            f.ultima = rules::EsBlanca(pieza) ? 1 : rules::EsNegra(pieza) ? 2 : 0;
        }
    return f;
}

void Banco::Hallar(const std::string& tipo, const std::string& detalle) { d_->hallazgos.push_back({tipo, detalle}); }

// A fresh link, as a connection makes it, with a fresh ranking.
void Banco::Enlazar() {
    auto& g = Reglas();
    auto& r = red::Red();
    auto& t = ::Tavorin();
    if (g.Conectado) t.ConexionCerrada();
    t.SendTvp->stop();
    t.TimerRetrasoTVP->stop();
    if (::fEpd().Visible()) ::fEpd().Unload();
    cola::Vaciar(ColaEnvio, NumColaEnvio);
    NuevoPendiente = RetrocesoPendiente = PartidaDeFichero = PosicionPreparada = false;
    FicheroPendiente.clear();
    SinPartida();
    ::Reloj().Parar();
    // A fresh ranking, written only when the file holds another (a write waits for the disk).
    ::Ranking().RegPuntuacion = puntuacion::kRegistroNuevo;
    if (d_->entorno->Contenido("Puntuacion.dat") != puntuacion::Bytes(puntuacion::kRegistroNuevo))
        ::Ranking().GrabarPuntuacion();
    r.ConexionServidor = true;
    r.ConexionCliente = false;
    g.Conectado = true;
    t.AlConectar();
    t.Timer2->stop();
    d_->corriente = d_->empezada = d_->posicion = d_->acordada = false;
    d_->antes = Tomar();
}

// The message loop runs until the dispatcher has read what waits for it.
void Banco::Bombear() {
    auto& r = red::Red();
    auto& t = ::Tavorin();
    for (int i = 0; i < 20000; ++i) {
        ++g_latido;
        QCoreApplication::processEvents();
        // The fuzzer's sender: a send completes at once, and sends go as the run says.
        t.Timer2->stop();
        if (r.EnviandoMensaje) t.EnvioCompleto();
        if ((r.recibidos.empty() || !Reglas().Conectado) && !r.despachoPedido && !r.despachando) return;
    }
    Hallar("stops answering",
           "the dispatcher does not take the " + std::to_string(r.recibidos.size()) + " messages that wait");
}

// A legal move of `lado` (1 White, 2 Black) on the board, at random; promotions to a
// queen only when `promociones`.
bool Banco::JugadaLegal(int lado, bool promociones, int& x1, int& y1, int& x2, int& y2, int& pieza) {
    const auto& g = Reglas();
    auto& p = d_->prueba;
    std::vector<std::array<int, 5>> legales;
    for (int a = 1; a <= 8; ++a)
        for (int b = 1; b <= 8; ++b) {
            const int f = g.Casillas[a][b];
            if (lado == 1 ? !rules::EsBlanca(f) : !rules::EsNegra(f)) continue;
            const bool rey = f == rules::ReyBlanco || f == rules::ReyNegro;
            for (int c = 1; c <= 8; ++c)
                for (int e = 1; e <= 8; ++e) {
                    const bool enroque = rey && e == b && std::abs(c - a) == 2;
                    if (!enroque && !rules::tablero::MovimientoPieza(g.Casillas, a, b, c, e, 0)) continue;
                    const bool corona = (f == rules::PeonBlanco && e == 8) || (f == rules::PeonNegro && e == 1);
                    if (corona && !promociones) continue;
                    p.Estado() = g.Estado();
                    p.SoloComprobar = true;
                    p.Turno = lado;
                    p.Origen = geometria::CasillaTexto(a, b);
                    p.Destino = geometria::CasillaTexto(c, e);
                    p.PiezaCoronacion = corona ? (lado == 1 ? rules::DamaBlanca : rules::DamaNegra) : 0;
                    p.ValidarMovimiento();
                    if (p.MovimientoValido) legales.push_back({a, b, c, e, p.PiezaCoronacion});
                }
        }
    if (legales.empty()) return false;
    const auto& j = legales[std::uniform_int_distribution<size_t>(0, legales.size() - 1)(*d_->azar)];
    x1 = j[0], y1 = j[1], x2 = j[2], y2 = j[3], pieza = j[4];
    return true;
}

void Banco::Dar(const Paso& p) {
    using T = Paso::Tipo;
    auto& g = Reglas();
    auto& t = ::Tavorin();
    auto& m = ::Mdi();
    d_->durante = p.durante.empty() ? nullptr : &p.durante;
    d_->cambioDurante = false;
    switch (p.tipo) {
        case T::Llegada:
            // A peer whose link went connects again and goes on, as a hostile one would.
            if (!g.Conectado && d_->estado != Estado::SinConexion && d_->enlaces < 20) {
                ++d_->enlaces;
                Enlazar();
            }
            red::Recibir(QByteArray::fromStdString(p.texto), false);
            break;
        case T::Corte: red::Recibir({}, true); break;
        case T::JugadaRival: {
            const int local = LadoDe(g.MiColor);
            if (!g.Conectado || g.TipoPartida.empty() || g.Turno != 0 || PartidaDeFichero || local == 0) break;
            int x1, y1, x2, y2, pieza;
            if (!JugadaLegal(local == 1 ? 2 : 1, true, x1, y1, x2, y2, pieza)) break;
            red::Recibir(QString("Movimiento %1%2%3%4%5").arg(x1).arg(y1).arg(x2).arg(y2).arg(pieza).toUtf8(), false);
            break;
        }
        case T::JugadaLocal: {
            const int local = LadoDe(g.MiColor);
            if (!g.Conectado || g.TipoPartida.empty() || g.Turno == 0 || g.Turno != local || PartidaDeFichero) break;
            int x1, y1, x2, y2, pieza;
            if (!JugadaLegal(local, false, x1, y1, x2, y2, pieza)) break;
            const std::size_t plies = g.Jugadas.List1.size();
            const char uci[] = {char('a' + x1 - 1), char('0' + y1), char('a' + x2 - 1), char('0' + y2), 0};
            ArrastrarPieza(uci);
            if (g.Jugadas.List1.size() <= plies) break;
            // The move is in the queue, behind nothing that should let it pass.
            const QString texto = QString("Movimiento %1%2%3%4%5").arg(x1).arg(y1).arg(x2).arg(y2).arg(0);
            cola::Slots copia = ColaEnvio;
            cola::Ordenar(copia, NumColaEnvio);
            long k = 0;
            for (long i = 1; i <= NumColaEnvio && k == 0; ++i)
                if (copia[size_t(i)] == texto) k = i;
            if (k == 0) {
                Hallar("local move dropped",
                       texto.toStdString() + " is not in the queue of " + std::to_string(NumColaEnvio));
                break;
            }
            // Back to the nearest game message, which it may not pass.
            for (long i = k - 1; i >= 1 && !EsDeJuego(copia[size_t(i)]); --i)
                if (NoAntesDeUnaJugada(copia[size_t(i)])) {
                    Hallar("local move held back",
                           texto.toStdString() + " waits behind " + copia[size_t(i)].toStdString());
                    break;
                }
            break;
        }
        case T::Retroceso: m.mnuRetroceder_Click(); break;
        case T::Tablas: m.mnuOfrecerTablas_Click(); break;
        case T::Rendirse: m.mnuRendirse_Click(); break;
        case T::Proponer: {
            if (!g.Conectado) break;
            auto& n = ::Nuevo();
            (p.a == 1 ? n.Option1 : n.Option2)->click();
            (p.b ? n.Option3 : n.Option4)->click();
            if (p.b) n.Text1->setText(QString::number(p.c));
            n.Command1_Click();
            break;
        }
        case T::Abrir: m.AbrirFichero(p.a ? d_->rutaEpd : d_->rutaTvp); break;
        case T::Chat: {
            auto& c = ::Chat();
            c.Texto->setText(QString::fromStdString(p.texto));
            int tecla = 13;
            c.Texto_KeyPress(tecla);
            break;
        }
        case T::Reloj: {
            d_->reloj += p.a;
            auto& r = ::Reloj();
            if (r.Timer1->isActive()) r.Timer1_Timer();
            if (r.Timer2->isActive()) r.Timer2_Timer();
            red::Plazos();
            break;
        }
        case T::Arrastrar:
            if (g.Conectado && !g.TipoPartida.empty() && g.Turno != 0 && g.Turno == LadoDe(g.MiColor))
                ArrastrarPieza(p.texto);
            break;
        case T::Enviar:
            for (int i = 0; i < p.a && g.Conectado && NumColaEnvio > 0; ++i) {
                if (red::Red().EnviandoMensaje) t.EnvioCompleto();
                t.Timer2_Timer();
                t.EnvioCompleto();
            }
            t.Timer2->stop();
            break;
        case T::Desconectar: m.mnuDesconectar_Click(); break;
    }
    d_->durante = nullptr;
    // A question answered after the game it asked about ended or was replaced acts on
    // nothing: neither a booking nor a message of its own.
    if (d_->cambioDurante) {
        const std::vector<QString> ahora = EnCola();
        for (size_t i = d_->colaDurante.size(); i < ahora.size(); ++i)
            if (DeLaPregunta(ahora[i]))
                Hallar("answer on another game",
                       ahora[i].toStdString() + " went out after the game asked about ended or was replaced");
        if (::Ranking().RegPuntuacion != d_->rankingDurante)
            Hallar("answer on another game", "the answer booked a game after the one asked about ended");
        d_->antes = Tomar();
    }
    Bombear();
}

// The checks after each message of the peer, against the state before it.
void Banco::TrasMensaje(const QByteArray& m) {
    ++despachados_;
    ++g_latido;
    auto& d = *d_;
    const Foto& a = d.antes;
    const Foto b = Tomar();
    const bool tablero = a.casillas != b.casillas || a.tipo != b.tipo || a.partidaDeFichero != b.partidaDeFichero;
    const std::string cita = std::string(1, '"').append(Citar(m)).append(1, '"');

    if (b.local != a.local) {
        const bool cerrada = a.tipo == "R" && d.acordada && b.tipo.empty() && b.local[0] == a.local[0] + 1;
        if (!cerrada || !Reserva(m))
            Hallar("ranking changed unasked", cita + " changed the ranking (" + a.tipo + " game before, " +
                                                  (d.acordada ? "agreed" : "never agreed") + ")");
    }
    if (b.local[2] > a.local[2] && a.partidaDeFichero)
        Hallar("loss that could not be played", cita + " booked a loss while the game's commands were closed");
    if (a.tipo != "R" && b.tipo == "R") {
        const bool acuerdo = (m.startsWith("NuevoJuego") && d.si) || (m == "NuevoAceptado" && a.nuevoPendiente) ||
                             (m.startsWith("TVP") && d.corriente);
        if (!acuerdo) Hallar("rated game unasked", cita + " started a rated game this side never agreed to");
        d.acordada = acuerdo;
    }
    if (b.tipo != "R") d.acordada = false;
    // An unasked stream is asked about: the Yes is this side's agreement.
    if (m == "TVP Iniciar" && d.siFichero) d.corriente = true;
    if (m.startsWith("EPD") && tablero && !d.posicion)
        Hallar("position unasked", cita + " put a position on the board this side never agreed to");
    if (m == "TVP Iniciar" && tablero && !d.corriente)
        Hallar("stream unasked", cita + " started a stream this side never agreed to");
    if (m == "RetrocesoAceptado" && a.casillas != b.casillas &&
        !(a.retrocesoPendiente && a.turno == 0 && !a.tipo.empty() && a.ultima != 0 && a.ultima == LadoDe(a.color)))
        Hallar("wrong take-back", cita + " took back a move that was not this side's last");
    if (red::Red().bytesRecibidos > tvp::Troceador::kMaximoPendiente)
        Hallar("memory grows",
               "the messages waiting for the dispatcher hold " + std::to_string(red::Red().bytesRecibidos) + " bytes");
    if (::Chat().ChatList->document()->characterCount() > 2'000'000)
        Hallar("memory grows",
               "the chat holds " + std::to_string(::Chat().ChatList->document()->characterCount()) + " characters");

    if (traza)
        std::printf("  message %s: game %s%s, turn %d, agreed: stream %d position %d game %d%s\n", cita.c_str(),
                    b.tipo.c_str(), b.color.c_str(), b.turno, d.corriente, d.posicion, d.acordada,
                    b.conectado ? "" : ", link down");
    // What this side agreed to, for the messages that follow.
    if (m == "AbrirPartida" && d.siFichero) d.corriente = true;
    if (m == "AbrirPartidaEPD" && d.siFichero) d.posicion = true;
    if (m == "TVP Iniciar" && tablero && d.corriente) d.empezada = true;
    // An end before the start ends nothing; an error ends what was agreed to.
    if ((m == "TVP Terminado" && d.empezada) || m == "TVP ERROR") d.corriente = d.empezada = false;
    if (m == "CancelarEPD" || (m.startsWith("EPD") && tablero)) d.posicion = false;
    if (!b.conectado) d.corriente = d.empezada = d.posicion = false;
    d.si = d.siFichero = false;
    d.antes = b;
}

// The checks after a step, for what changed since the last message: the commands of
// this side and the timers.
void Banco::TrasPaso(const Paso& p) {
    auto& d = *d_;
    const Foto& a = d.antes;
    const Foto b = Tomar();
    const std::string paso = "step " + std::to_string(int(p.tipo));
    if (traza && p.tipo != Paso::Tipo::Llegada)
        std::printf("%s: game %s%s, turn %d\n", paso.c_str(), b.tipo.c_str(), b.color.c_str(), b.turno);
    if (b.local != a.local) {
        const bool cerrada = a.tipo == "R" && d.acordada && b.tipo.empty() && b.local[0] == a.local[0] + 1;
        if (!cerrada) Hallar("ranking changed unasked", paso + " changed the ranking");
    }
    // While a file exchange waits, this side cannot move, resign or offer a draw.
    if (b.local[2] > a.local[2] && a.partidaDeFichero)
        Hallar("loss that could not be played", paso + " booked a loss while the game's commands were closed");
    if (a.tipo != "R" && b.tipo == "R") Hallar("rated game unasked", paso + " started a rated game");
    if (b.tipo != "R") d.acordada = false;
    if (!b.conectado) d.corriente = d.empezada = d.posicion = false;
    d.si = d.siFichero = false;
    d.antes = b;
}

std::vector<Hallazgo> Banco::Ejecutar(const Ejecucion& e, std::mt19937_64& azar) {
    d_->azar = &azar;
    d_->siPorMil = e.siPorMil;
    d_->estado = e.estado;
    d_->enlaces = 0;
    d_->hallazgos.clear();
    d_->respuestaPaso = 0;
    Enlazar();
    for (const Paso& p : e.pasos) {
        ++g_latido;
        d_->respuestaPaso = p.respuesta;
        Dar(p);
        TrasPaso(p);
        d_->respuestaPaso = 0;
    }
    return d_->hallazgos;
}

}  // namespace peerfuzz
