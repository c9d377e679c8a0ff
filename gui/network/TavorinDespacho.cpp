// The receive dispatcher: what each message of the peer does to the game, the
// board, the clocks, the chat and the ranking, and which answer it queues.
//
// The peer is trusted with nothing: a move is played only with a piece of the
// peer's colour, in a game, while this side waits, and never during a file
// exchange; a game file or a position of the peer comes onto the board only after
// this side said Yes to it; an answer acts only on a request of its kind that this
// side made, and only while the board is the one it was asked about; the peer's word
// that this side's flag fell counts only in this side's last seconds; a field out of
// range makes the message void. What would leave the two boards apart is a protocol
// error: "Error interno." and the disconnect command.
#include "board/Tavorin.h"

#include "app/CMensaje.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Geometria.h"
#include "board/Jugadas.h"
#include "board/Sonidos.h"
#include "files/ListaPgn.h"
#include "files/fEpd.h"
#include "network/Campos.h"
#include "network/Chat.h"
#include "network/Nuevo.h"
#include "network/Palabras.h"
#include "network/Ranking.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/Mdi.h"
#include "shell/Retroceso.h"

#include <QAction>

#include <functional>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

namespace {

using red::Intercambio;
using red::Peticion;
namespace palabra = tvp::palabra;
namespace corriente = tvp::corriente;

// A claim of the peer that this side's flag fell is taken while this side's clock
// shows no more than this.
constexpr long kUltimosSegundos = 5;

enum class Respuesta { Si, No, Caducada };

// A Yes/No question about the peer's message. Caducada: the link it came on ended
// (or another began) while the box was open; then nothing is done or sent.
Respuesta Preguntar(const QString& texto) {
    const long enlace = red::Red().enlace;
    const long r = MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION, MB_YESNO);
    if (!Reglas().Conectado || red::Red().enlace != enlace) return Respuesta::Caducada;
    return r == IDYES ? Respuesta::Si : Respuesta::No;
}

// A message box with language text n.
void Aviso(int n) { MostrarMensaje("Tavorin", MensajeNumero(n), MB_ICONINFORMATION); }

bool EnPartida() { return !Reglas().TipoPartida.empty(); }

int LadoLocal() {
    const auto& c = Reglas().MiColor;
    return c == color_local::Blancas ? turno::Blancas : c == color_local::Negras ? turno::Negras : turno::Nadie;
}

void OcultarMarcos() {
    auto& t = ::Tavorin();
    t.Shape1[0]->hide();
    t.Shape1[1]->hide();
}

// Messages that change nothing on the board and open no box; all others end a
// piece drag or a point-and-click selection under way.
bool DejaLaEntrada(const QString& d) {
    for (const char* p : {palabra::Time, palabra::Mensaje, palabra::Ranking, palabra::VersionTV, palabra::Movimiento})
        if (tvp::Empieza(d, p)) return true;
    return false;
}

void CancelarEntrada() {
    auto& g = Reglas();
    auto& t = ::Tavorin();
    if (!::Mdi().PointClick()) {
        if (!t.Arrastrando()) return;
        // The piece goes back where it was lifted.
        ArrastreCancelado = true;
        t.CopiarTablero(t.PicBuffer, t.BoardTemp[0]);
        t.DragDro_Drag(0);
        t.BorrarTemporales();
        t.MovimientoAnulado();
        return;
    }
    if (g.Origen.empty() && g.CasillasAtacantes.empty()) return;
    g.Origen.clear();
    g.Destino.clear();
    t.Shape->hide();
    RepintarTablero = false;
    t.setMousePointer(0);
}

// A request of the peer that needs this side's Yes. While `posible` does not hold it
// is refused at once, unasked; it is asked otherwise, and refused after a Yes too
// when it no longer holds (the game may have ended behind the box). True: go on. A
// question whose link ended changes nothing and sends nothing.
bool Consentir(const QString& pregunta, const std::function<bool()>& posible, const char* negativa) {
    if (!posible()) {
        EncolarMensaje(negativa);
        return false;
    }
    const Respuesta r = Preguntar(pregunta);
    if (r == Respuesta::Caducada) return false;
    if (r == Respuesta::No || !posible()) {
        EncolarMensaje(negativa);
        return false;
    }
    return true;
}

// ---- Take-back, draw, resignation ------------------------------------------------------

// The side (1 White, 2 Black) that made the last move on the board, 0 when there is none.
int LadoUltimaJugada() {
    const auto& g = Reglas();
    if (g.Jugadas.List1.empty()) return 0;
    const auto r = retroceso::Leer(g.Jugadas.List1.back());
    if (!r) return 0;
    const int pieza = g.Casillas[size_t(r->x2)][size_t(r->y2)];
    return rules::EsBlanca(pieza) ? 1 : rules::EsNegra(pieza) ? 2 : 0;
}

// A take-back takes back the last move of the side that asks for it: the peer's
// while this side is to move.
bool RetrocesoPosible() {
    auto& g = Reglas();
    const int local = LadoLocal();
    return EnPartida() && g.Turno != turno::Nadie && !PartidaDeFichero && local != turno::Nadie &&
           LadoUltimaJugada() == turno::Otro(local);
}

void Retroceso() {
    if (!Consentir(MensajeNumero(texto::RetrocesoPedido), RetrocesoPosible, palabra::RetrocesoCancelado)) return;
    Reglas().Turno = turno::Nadie;
    EncolarMensaje(palabra::RetrocesoAceptado);
    ::Mdi().RetrocesoFuncion();
}

void RetrocesoAceptado() {
    auto& r = red::Red();
    auto& g = Reglas();
    if (r.peticion != Peticion::Retroceso) return;
    r.peticion = Peticion::Ninguna;
    RetrocesoPendiente = false;
    // The request is for this side's own last move, made while it waits, and goes when
    // a move of the peer comes or the game ends; an answer that finds another board
    // takes nothing back.
    if (!EnPartida() || g.Turno != turno::Nadie || PartidaDeFichero || LadoLocal() == turno::Nadie ||
        LadoUltimaJugada() != LadoLocal())
        return;
    ::Mdi().RetrocesoFuncion();
    g.Turno = LadoLocal();
    if (g.TipoPartida == "R") {
        if (g.Turno == turno::Blancas) ::Reloj().CorrenBlancas();
        if (g.Turno == turno::Negras) ::Reloj().CorrenNegras();
    }
    Aviso(texto::RetrocesoAceptado);
}

void RetrocesoCancelado() {
    auto& r = red::Red();
    if (r.peticion != Peticion::Retroceso) return;
    r.peticion = Peticion::Ninguna;
    RetrocesoPendiente = false;
    Aviso(texto::RetrocesoRechazado);
}

void Rendirse() {
    if (!EnPartida()) return;
    if (Reglas().TipoPartida == "R") ::Ranking().SumaDePartidas(puntuacion::Victoria);
    if (const int lado = LadoLocal()) AnotarResultado(lado);
    SinPartida();
    Aviso(texto::AbandonoRival);
}

void OfrecerTablas() {
    if (!Consentir(MensajeNumero(texto::OfertaTablasRival), EnPartida, palabra::TablasCancelado)) return;
    if (Reglas().TipoPartida == "R") ::Ranking().SumaDePartidas(puntuacion::Tablas);
    AnotarResultado(turno::Nadie);
    SinPartida();
    EncolarMensaje(palabra::TablasAceptadas);
}

void RespuestaTablas(bool aceptadas) {
    auto& r = red::Red();
    if (r.peticion != Peticion::Tablas) return;
    r.peticion = Peticion::Ninguna;
    RetrocesoPendiente = false;
    if (!aceptadas) {
        Aviso(texto::PeticionRechazada);
        return;
    }
    if (!EnPartida()) return;
    if (Reglas().TipoPartida == "R") ::Ranking().SumaDePartidas(puntuacion::Tablas);
    AnotarResultado(turno::Nadie);
    SinPartida();
    Aviso(texto::TablasAceptadas);
}

// ---- New game ------------------------------------------------------------------------------

QString PreguntaNuevoJuego(const tvp::Propuesta& p) {
    const QString color =
        p.color == turno::Blancas ? TextosIdioma[texto::ColorNegras] : TextosIdioma[texto::ColorBlancas];
    if (p.tipo == u'R') {
        // The proposal has two places: the minutes, then the colour; one minute is said
        // in the singular.
        const int n = p.minutos == 1 ? texto::PropuestaPuntuadaUno : texto::PropuestaPuntuada;
        const auto [antes, resto] = PartirEnDolar(TextosIdioma[n]);
        return antes + QString::number(p.minutos) + PartirEnDolar(resto).first + color + ".";
    }
    const auto [antes, despues] = PartirEnDolar(TextosIdioma[texto::PropuestaPartida]);
    return antes + TextosIdioma[texto::SinRelojes] + despues + " " + color + ".";
}

// A game agreed on both sides: this side plays White (lado 1) or Black (2).
void EmpezarPartida(const tvp::Propuesta& p, int lado) {
    auto& g = Reglas();
    auto& t = ::Tavorin();
    PosicionPreparada = false;
    OcultarMarcos();
    MinutosBlancas = MinutosNegras = p.minutos;
    SegundosBlancas = SegundosNegras = 0;
    ::Reloj().PrintTimerB();
    ::Reloj().PrintTimerN();
    g.TipoPartida = p.tipo.toStdString();
    g.MiColor = lado == turno::Blancas ? color_local::Blancas : color_local::Negras;
    g.Turno = lado == turno::Blancas ? turno::Blancas : turno::Nadie;
    ::Nuevo().NuevoAceptado();
    t.MovimientoAnulado();
    red::Orientar(lado == turno::Negras);
    t.QuitaMarco();
    if (p.tipo == u'R')
        ::Reloj().CorrenBlancas();
    else
        ::Reloj().Parar();
    red::Red().partidaJugada = true;
    // A request made in the game that this one replaces is void.
    red::PartidaTerminada();
}

// No proposal of this side waits (both would take one colour) and no file exchange runs.
bool NuevoPosible() { return !NuevoPendiente && !PartidaDeFichero && red::Red().intercambio == Intercambio::Ninguno; }

void NuevoJuego(const QString& d) {
    const auto p = tvp::LeerNuevoJuego(d);
    if (!p) {
        EncolarMensaje(palabra::NuevoCancelado);
        return;
    }
    if (!Consentir(PreguntaNuevoJuego(*p), NuevoPosible, palabra::NuevoCancelado)) return;
    EncolarMensaje(palabra::NuevoAceptado);
    EmpezarPartida(*p, p->color == turno::Blancas ? turno::Negras : turno::Blancas);
}

void NuevoCancelado() {
    if (!NuevoPendiente) return;
    NuevoPendiente = false;
    red::Red().propuesta.reset();
    Aviso(texto::NuevaPartidaRechazada);
}

void NuevoAceptado() {
    auto& r = red::Red();
    if (!NuevoPendiente || !r.propuesta) return;
    NuevoPendiente = false;
    const tvp::Propuesta p = *r.propuesta;
    r.propuesta.reset();
    EmpezarPartida(p, p.color);
    Aviso(texto::NuevaPartidaAceptada);
}

// ---- Version, chat, clock, ranking -------------------------------------------------------------

void VersionTV(const QString& d) {
    const qsizetype blanco = d.indexOf(u' ');
    const QString v = blanco < 0 ? QString() : d.mid(blanco + 1);
    if (d.endsWith(QLatin1String("eta"))) VersionRival = v.section(u' ', 0, 0);
    if (VersionRival.isEmpty()) VersionRival = v;
}

void Mensaje(QString d) {
    // The first message of a link is the peer's greeting.
    if (const QString nick = tvp::NickDeMensaje(d.mid(8), VersionRival.isEmpty()); !nick.isEmpty()) NickRival = nick;
    if (VersionRival.isEmpty()) {
        if (d.endsWith(QLatin1String("eta"))) d.chop(5);
        for (int k = 4; k >= 1; --k)
            if (d.size() > k && d[d.size() - 1 - k] == u' ') VersionRival = d.right(k);
    }
    auto& m = ::Mdi();
    auto& chat = ::Chat();
    if (!chat.Visible()) {
        m.FijarMuestra(forms::Mdi::Lateral::Chat, true);
        chat.Show();
    }
    chat.Anadir(d.mid(8));
    red::Red().DatosRecibidos.clear();
}

void Time(const QString& d) {
    const auto t = tvp::LeerTime(d);
    auto& g = Reglas();
    // No clock runs while a game file or a position comes: its game is not on yet.
    if (!t || g.TipoPartida != "R" || PartidaDeFichero || red::Red().intercambio != Intercambio::Ninguno) return;
    auto& reloj = ::Reloj();
    // The report corrects the opponent's clock; this side's clock starts only while
    // this side is to move (a quick reply of this side already passed the turn back).
    if (g.MiColor == color_local::Negras) {
        MinutosBlancas = t->minutos;
        SegundosBlancas = t->segundos;
        reloj.PrintTimerB();
        if (g.Turno == turno::Negras) reloj.CorrenNegras();
    } else if (g.MiColor == color_local::Blancas) {
        MinutosNegras = t->minutos;
        SegundosNegras = t->segundos;
        reloj.PrintTimerN();
        if (g.Turno == turno::Blancas) reloj.CorrenBlancas();
    }
}

void RankingRival(const QString& d) {
    const auto v = tvp::LeerRanking(d);
    if (!v) return;
    auto& r = ::Ranking();
    for (int i = 0; i < 5; ++i) r.RegPuntuacion[size_t(5 + i)] = (*v)[size_t(i)];
    r.PrintPuntuacion();
}

// ---- Moves ------------------------------------------------------------------------------------------

bool EsPeon(int pieza) { return pieza == rules::PeonBlanco || pieza == rules::PeonNegro; }

// The promotion code of a move of White (lado 1) or Black (2): a promotion must name
// a piece of the mover's colour; any other move may carry 0 or such a piece, and
// plays with 0. Nothing when the code does not fit.
std::optional<int> Coronacion(const tvp::Jugada& j, int lado) {
    const int pieza = Reglas().Casillas[j.x1][j.y1];
    const bool corona = EsPeon(pieza) && j.y2 == (lado == turno::Blancas ? 8 : 1);
    const int minimo = lado == turno::Blancas ? rules::TorreBlanca : rules::TorreNegra;
    const bool suya = j.pieza >= minimo && j.pieza <= minimo + 3;
    if (corona) return suya ? std::optional<int>(j.pieza) : std::nullopt;
    if (j.pieza != 0 && !suya) return std::nullopt;
    return 0;
}

bool PiezaDelLado(const tvp::Jugada& j, int lado) {
    const int pieza = Reglas().Casillas[j.x1][j.y1];
    return lado == turno::Blancas ? rules::EsBlanca(pieza) : rules::EsNegra(pieza);
}

void Movimiento(const QString& d) {
    auto& g = Reglas();
    auto& r = red::Red();
    auto& t = ::Tavorin();
    const auto j = tvp::LeerMovimiento(d);
    if (!j) return;
    if (!EnPartida()) {
        // A move that crossed the end of the game goes quietly.
        if (r.partidaJugada) return;
        red::JugadaIlegal();
        return;
    }
    const int local = LadoLocal();
    const int rival = local == turno::Blancas ? turno::Negras : turno::Blancas;
    const auto corona = local == turno::Nadie ? std::nullopt : Coronacion(*j, rival);
    if (local == turno::Nadie || g.Turno != turno::Nadie || PartidaDeFichero || r.intercambio != Intercambio::Ninguno ||
        !PiezaDelLado(*j, rival) || !corona) {
        red::JugadaIlegal();
        return;
    }
    g.Origen = geometria::CasillaTexto(j->x1, j->y1);
    g.Destino = geometria::CasillaTexto(j->x2, j->y2);
    g.PiezaCoronacion = *corona;
    g.Turno = rival;
    t.CopiarTablero(t.BoardTemp[0], t.PicBuffer);
    g.ValidarMovimiento();
    if (!g.MovimientoValido) {
        g.Turno = turno::Nadie;
        t.MovimientoAnulado();
        red::JugadaIlegal();
        return;
    }
    if (!g.CapturaAlPaso.empty()) t.SubComoFicha(QString::fromStdString(g.CapturaAlPaso));
    InvertirCoordenadas();
    ::RedibujarFichas();
    ReproducirSonido(3);
    // A take-back asked before this move would now take back the peer's.
    red::OlvidarRetroceso();
    if (red::Traza) red::Traza("JUGADA " + d.mid(11));
    if (g.JaqueMate) FinJaqueMate();
    if (g.Ahogado) FinAhogado();
    t.MovimientoAnulado();
    g.Turno = LadoLocal();
    // The move stops the mover's clock as it comes, and it counts: a fall of that
    // clock counted here meanwhile is void. This side's clock runs from now.
    if (g.TipoPartida == "R") {
        red::OlvidarBandera();
        if (g.Turno == turno::Blancas) ::Reloj().CorrenBlancas();
        if (g.Turno == turno::Negras) ::Reloj().CorrenNegras();
    }
}

// The peer's word that a flag fell: its own (it lost on time), or this side's as the
// peer counted it (it waited for this side's move in vain and booked its win). That
// one is taken only while this side's clock is at its last seconds.
void Bandera(const QString& d) {
    auto& g = Reglas();
    const auto lado = tvp::LeerBandera(d);
    const int local = LadoLocal();
    if (!lado || g.TipoPartida != "R" || local == turno::Nadie || PartidaDeFichero ||
        red::Red().intercambio != Intercambio::Ninguno)
        return;
    if (*lado == local) {
        const long minutos = local == turno::Blancas ? MinutosBlancas : MinutosNegras;
        const long segundos = local == turno::Blancas ? SegundosBlancas : SegundosNegras;
        if (minutos != 0 || segundos > kUltimosSegundos) return;
    }
    ::Reloj().FinPorTiempo(*lado);
}

// ---- Game files and positions from the peer ------------------------------------------------------

bool PendienteDe(const char* extension) {
    return !FicheroPendiente.isEmpty() && ExtensionDe(FicheroPendiente) == extension;
}

// No file exchange runs or waits: the peer may bring a game file or a position.
bool CargaPosible() {
    return !PartidaDeFichero && red::Red().intercambio == Intercambio::Ninguno && FicheroPendiente.isEmpty();
}

// This side said Yes to a game file or a position of the peer. The game on the board
// ends here, unbooked: while the exchange waits its moves are closed, and its clock
// would run on.
void AceptarCarga(bool posicion) {
    auto& r = red::Red();
    OcultarMarcos();
    SinPartida();
    ::Reloj().Parar();
    PartidaDeFichero = true;
    PosicionPreparada = posicion;
    if (!posicion) {
        r.intercambio = Intercambio::EsperandoPartida;
        red::EsperarCorriente();
        return;
    }
    ::Tavorin().CubrirTablero(true);
    r.intercambio = Intercambio::EsperandoPosicion;
}

void AbrirPartida(bool posicion) {
    if (!Consentir(MensajeNumero(texto::RivalQuiereCargar), CargaPosible,
                   posicion ? palabra::AbrirCanceladoEPD : palabra::AbrirCancelado))
        return;
    AceptarCarga(posicion);
    EncolarMensaje(posicion ? palabra::AbrirAceptadoEPD : palabra::AbrirAceptado);
}

void AbrirAceptado() {
    if (!PendienteDe("tvp")) {
        // Nothing to send: the peer, who waits for a game, is told the stream failed.
        EncolarMensaje(tvp::Tvp(corriente::Error));
        return;
    }
    auto& g = Reglas();
    PosicionPreparada = false;
    OcultarMarcos();
    g.TipoPartida.clear();
    g.MiColor.clear();
    g.Turno = turno::Nadie;
    ::Reloj().BorrarTiempos();
    const QString ruta = FicheroPendiente;
    ::Tavorin().AbrirTvp(ruta);
    FicheroPendiente.clear();
}

void AbrirCancelado() {
    if (!PendienteDe("tvp")) return;
    FicheroPendiente.clear();
    Aviso(texto::PeticionRechazada);
}

void AbrirAceptadoEPD() {
    if (!PendienteDe("epd")) return;
    const QString ruta = FicheroPendiente;
    ::fEpd().LeerEPD(ruta);
    PartidaDeFichero = false;
    FicheroPendiente.clear();
}

void AbrirCanceladoEPD() {
    if (!PendienteDe("epd")) return;
    FicheroPendiente.clear();
    PartidaDeFichero = false;
    Aviso(texto::PeticionRechazada);
}

void CancelarEPD() {
    auto& r = red::Red();
    if (r.intercambio != Intercambio::EsperandoPosicion) return;
    r.intercambio = Intercambio::Ninguno;
    ::fEpd().CancelarEPD();
    // The exchange is over, whatever the list left.
    PartidaDeFichero = false;
    Aviso(texto::ListaEpdCerrada);
}

// Clears the notation so that Black's first move goes in Black's column: an empty
// White move opens the list.
void EmpezarConNegras() {
    auto& g = Reglas();
    g.NotacionNegras = false;
    g.NumeroJugada = 0;
    g.XOrigen = g.YOrigen = g.XDestino = g.YDestino = 0;
    g.PiezaCoronacion = 0;
    g.AnotarJugada();
}

// A position the peer chose: taken only after this side's Yes to the peer's EPD
// list, and checked whole before anything changes.
void Epd(const QString& d) {
    auto& g = Reglas();
    auto& r = red::Red();
    auto& t = ::Tavorin();
    if (r.intercambio != Intercambio::EsperandoPosicion) return;
    const auto e = tvp::LeerEpd(d);
    const auto pos = e ? g.AnalizarFen(e->fen.toStdString()) : std::nullopt;
    // The digit is the side to move; the one who moves first has that colour: the
    // sender in the plain form, this side in the "T" form.
    const int ladoRemitente = e && e->color == u'B' ? turno::Blancas : turno::Negras;
    const int ladoPrimero = e && e->formaT ? turno::Otro(ladoRemitente) : ladoRemitente;
    if (!e || !pos || pos->Turno != e->lado || ladoPrimero != e->lado) {
        red::JugadaIlegal();
        return;
    }
    // The position replaces the game on the board.
    red::PartidaTerminada();
    g.TipoPartida.assign(1, 'A');
    g.MiColor.clear();
    g.Turno = turno::Nadie;
    if (::ListaPgn().Visible()) {
        FicheroPgn.clear();
        ::ListaPgn().Unload();
    }
    ::Jugadas().BorrarContenedor();
    ::Nuevo().VariablesCero();
    t.MovimientoAnulado();
    red::RelojesACero();
    g.TorreA1Movida = g.TorreH1Movida = g.TorreA8Movida = g.TorreH8Movida = true;
    DatosPartida.assign(2, QString());
    g.TurnoFichero = turno_fichero::Blancas;
    if (e->lado == turno::Negras) EmpezarConNegras();
    g.Turno = e->formaT ? e->lado : 0;
    g.MiColor = ladoRemitente == turno::Blancas ? color_local::Negras : color_local::Blancas;
    g.LeerFen(e->fen.toStdString());
    ::Tavorin().CubrirTablero(false);
    PartidaDeFichero = false;
    r.intercambio = Intercambio::Ninguno;
    red::Orientar(g.MiColor != color_local::Blancas);
    t.QuitaMarco();
    PosicionPreparada = true;
    r.partidaJugada = true;
}

// The end of a stream that stopped: a fresh game and the side windows back.
void PartidaAbortada() {
    auto& g = Reglas();
    auto& r = red::Red();
    DatosPartida.assign(2, QString());
    ::Tavorin().CubrirTablero(false);
    PartidaDeFichero = false;
    PosicionPreparada = false;
    SinPartida();
    g.TurnoFichero = turno_fichero::Blancas;
    r.intercambio = Intercambio::Ninguno;
    ::Nuevo().NuevoAceptado();
    VentanasLaterales();
    red::Orientar(false);
    ::Tavorin().QuitaMarco();
}

// A streamed move: played for the side the stream says is to move, with its piece.
bool JugadaTvp(const QString& d) {
    auto& g = Reglas();
    const auto j = tvp::LeerJugadaTvp(d);
    if (!j) return false;
    const int lado = g.LadoFichero();
    const auto corona = Coronacion(*j, lado);
    if (!PiezaDelLado(*j, lado) || !corona) return false;
    g.Turno = lado;
    g.Origen = geometria::CasillaTexto(j->x1, j->y1);
    g.Destino = geometria::CasillaTexto(j->x2, j->y2);
    g.PiezaCoronacion = *corona;
    g.ValidarMovimiento();
    return g.MovimientoValido;
}

void Tvp(const QString& d) {
    auto& g = Reglas();
    auto& r = red::Red();
    auto& t = ::Tavorin();
    // A stream is taken only after this side's Yes to the peer's game file, and
    // until it ends.
    if (tvp::EsTvp(d, corriente::Iniciar)) {
        if (r.intercambio == Intercambio::Ninguno && !r.corrienteRechazada) {
            // A peer of the old form streams its game file unasked when it has no game
            // on: it is taken only after this side's Yes, as its question would be.
            const long enlace = r.enlace;
            if (!Consentir(MensajeNumero(texto::RivalQuiereCargar), CargaPosible, palabra::AbrirCancelado)) {
                if (r.enlace == enlace) r.corrienteRechazada = true;
                return;
            }
            AceptarCarga(false);
        }
        if (r.intercambio != Intercambio::EsperandoPartida) return;
        r.limiteCorriente = 0;
        OcultarMarcos();
        PartidaDeFichero = true;
        r.intercambio = Intercambio::Partida;
        g.TurnoFichero = turno_fichero::Blancas;
        SinPartida();
        ::Tavorin().CubrirTablero(true);
        ::Jugadas().BorrarContenedor();
        ::Nuevo().VariablesCero();
        t.MovimientoAnulado();
        t.PonerFichas();
        ::Reloj().BorrarTiempos();
        SinPartida();
        red::RelojesACero();
        DatosPartida.assign(2, QString());
        DatosPartida[1] = "E";
        t.MovimientoAnulado();
        r.partidaJugada = true;
        return;
    }
    const bool enCurso = r.intercambio == Intercambio::Partida;
    const bool esperando = r.intercambio == Intercambio::EsperandoPartida;
    const bool fin = tvp::EsTvp(d, corriente::Error) || tvp::EsTvp(d, corriente::Terminado);
    if (fin) r.corrienteRechazada = false;
    if (tvp::EsTvp(d, corriente::Error)) {
        if (!enCurso && !esperando) return;
        r.limiteCorriente = 0;
        PartidaAbortada();
        Aviso(texto::NadaCargado);
        red::RelojesACero();
        return;
    }
    if (!enCurso) return;
    if (tvp::EsTvp(d, corriente::Terminado)) {
        DatosPartida.assign(2, QString());
        ::Tavorin().CubrirTablero(false);
        PartidaDeFichero = false;
        r.intercambio = Intercambio::Ninguno;
        red::Orientar(g.MiColor == color_local::Negras);
        t.QuitaMarco();
        return;
    }
    if (const auto x = tvp::LeerTvpT(d)) {
        if (*x == u'B') g.MiColor = color_local::Blancas;
        if (*x == u'N') g.MiColor = color_local::Negras;
        if (*x == u'A' || *x == u'R') g.TipoPartida = std::string(1, char(x->unicode()));
        if (x->isDigit()) g.Turno = x->digitValue();
        return;
    }
    if (const auto reloj = tvp::LeerTiempoTvp(d)) {
        if (d.startsWith(tvp::Tvp(corriente::RelojBlancas))) {
            g.Turno = turno::Nadie;
            MinutosBlancas = reloj->minutos;
            SegundosBlancas = reloj->segundos;
            ::Reloj().PrintTimerB();
        } else {
            MinutosNegras = reloj->minutos;
            SegundosNegras = reloj->segundos;
            ::Reloj().PrintTimerN();
        }
        return;
    }
    if (!d.startsWith(tvp::Tvp(corriente::Jugada) + u' ')) return;
    if (!JugadaTvp(d)) {
        // The boards would part: the stream stops here and the peer is told.
        t.MovimientoAnulado();
        PartidaAbortada();
        red::RelojesACero();
        red::JugadaIlegal();
        return;
    }
    g.SeguirTurnoFichero();
    if (g.JaqueMate || g.Ahogado) {
        const bool mate = g.JaqueMate;
        SinPartida();
        red::RelojesACero();
        mate ? FinJaqueMate() : FinAhogado();
    }
    t.MovimientoAnulado();
}

}  // namespace

namespace red {

void JugadaIlegal() {
    auto& r = Red();
    const long enlace = r.enlace;
    // What else came with it is not read.
    r.OlvidarRecibidos();
    MostrarMensaje("Tavorin", "Error interno.", MB_ICONSTOP);
    if (Reglas().Conectado && r.enlace == enlace) ::Mdi().mnuDesconectar_Click();
}

}  // namespace red

namespace forms {

void Tavorin::ProcesarDatos() {
    auto& r = red::Red();
    const QString d = r.DatosRecibidos;
    using tvp::Empieza;
    using tvp::Es;
    if (Es(d, palabra::Ping)) {
        EncolarMensaje(palabra::Pong);
        return;
    }
    if (Es(d, palabra::Pong)) {
        red::ResultadoPing();
        return;
    }
    if (!Empieza(d, palabra::Time)) red::Atencion();
    if (!DejaLaEntrada(d)) CancelarEntrada();

    if (Es(d, palabra::Retroceso)) return Retroceso();
    if (Es(d, palabra::RetrocesoAceptado)) return RetrocesoAceptado();
    if (Es(d, palabra::RetrocesoCancelado)) return RetrocesoCancelado();
    if (Es(d, palabra::Close)) return red::CierrePedido();
    if (Es(d, palabra::AbrirPartidaEPD)) return AbrirPartida(true);
    if (Es(d, palabra::AbrirAceptadoEPD)) return AbrirAceptadoEPD();
    if (Es(d, palabra::AbrirCanceladoEPD)) return AbrirCanceladoEPD();
    if (Es(d, palabra::CancelarEPD)) return CancelarEPD();
    if (Empieza(d, palabra::Epd)) return Epd(d);
    if (Es(d, palabra::AbrirPartida)) return AbrirPartida(false);
    if (Es(d, palabra::AbrirAceptado)) return AbrirAceptado();
    if (Es(d, palabra::AbrirCancelado)) return AbrirCancelado();
    if (Empieza(d, palabra::NuevoJuego)) return NuevoJuego(d);
    if (Es(d, palabra::NuevoCancelado)) return NuevoCancelado();
    if (Es(d, palabra::NuevoAceptado)) return NuevoAceptado();
    if (Es(d, palabra::Rendirse)) return Rendirse();
    if (Es(d, palabra::OfrecerTablas)) return OfrecerTablas();
    if (Es(d, palabra::TablasAceptadas)) return RespuestaTablas(true);
    if (Es(d, palabra::TablasCancelado)) return RespuestaTablas(false);
    if (Empieza(d, palabra::VersionTV)) return VersionTV(d);
    if (Empieza(d, palabra::Mensaje)) return Mensaje(d);
    if (Empieza(d, palabra::Time)) return Time(d);
    if (Empieza(d, palabra::Movimiento)) return Movimiento(d);
    if (Empieza(d, palabra::Ranking)) return RankingRival(d);
    if (Empieza(d, palabra::Tvp)) return Tvp(d);
    if (Empieza(d, palabra::Bandera)) return Bandera(d);
}

}  // namespace forms
