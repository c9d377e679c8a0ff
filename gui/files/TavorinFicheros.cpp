// The board window's part in the game files: opening an own game file and its
// paced replay, setting up an EPD position, and files dropped on the board.
#include "board/Tavorin.h"

#include "app/CMensaje.h"
#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Jugadas.h"
#include "files/EpdLista.h"
#include "files/ListaPgn.h"
#include "files/TvpReproduccion.h"
#include "files/TvpTexto.h"
#include "files/fEpd.h"
#include "network/Nuevo.h"
#include "network/Palabras.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/Mdi.h"
#include "shell/Splash.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QTimer>
#include <QUrl>

namespace {

// The replay's program around it: the board window, the clocks, the queue.
class EntornoTablero final : public tvp::Entorno {
public:
    rules::Reglas& Juego() override { return Reglas(); }
    long EnCola() const override { return NumColaEnvio; }
    void Encolar(const QString& mensaje) override { EncolarMensaje(mensaje); }
    bool RelojVacio(int lado) const override { return ::Reloj().Tiempo(lado == turno::Blancas).isEmpty(); }
    void FijarReloj(int lado, long minutos, long segundos) override {
        if (lado == turno::Blancas) {
            MinutosBlancas = minutos;
            SegundosBlancas = segundos;
            ::Reloj().PrintTimerB();
        } else {
            MinutosNegras = minutos;
            SegundosNegras = segundos;
            ::Reloj().PrintTimerN();
        }
    }
    void FinJaqueMate() override { ::FinJaqueMate(); }
    void FinAhogado() override { ::FinAhogado(); }
    void MovimientoAnulado() override { ::Tavorin().MovimientoAnulado(); }
    QString Texto(int n) const override {
        return (n >= 0 && n < int(TextosIdioma.size())) ? TextosIdioma[n] : QString();
    }
    void Aviso(int n) override { MostrarMensaje("Tavorin", MensajeNumero(n), MB_ICONINFORMATION); }
    QString PedirTexto(const QString& pregunta, const QString& titulo) override {
        return ::PedirTexto(pregunta, titulo);
    }
    void TableroVacio() override { ::Tavorin().CubrirTablero(false); }
    void NuevaPartida() override { ::Nuevo().NuevoAceptado(); }
    void VentanasLaterales() override { ::VentanasLaterales(); }
    void MostrarDesde(bool negras) override { red::Orientar(negras); }
    void QuitaMarco() override { ::Tavorin().QuitaMarco(); }
    void FijarPartidaDeFichero(bool valor) override { PartidaDeFichero = valor; }
    void FijarPosicionPreparada(bool valor) override { PosicionPreparada = valor; }
};

EntornoTablero& Entorno() {
    static EntornoTablero entorno;
    return entorno;
}

tvp::Reproduccion& Reproduccion() {
    static tvp::Reproduccion reproduccion(Entorno(), DatosPartida);
    return reproduccion;
}

void CerrarListaPgn() {
    if (!::ListaPgn().Visible()) return;
    FicheroPgn.clear();
    ::ListaPgn().Unload();
}

// Files dragged over the board picture go to the board window's drop handler.
class SoltarEnTablero : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        switch (evento->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* e = static_cast<QDragMoveEvent*>(evento);
                if (e->mimeData()->hasUrls())
                    e->acceptProposedAction();
                else
                    e->ignore();
                return true;
            }
            case QEvent::Drop: {
                auto* e = static_cast<QDropEvent*>(evento);
                e->acceptProposedAction();
                ::Tavorin().Form_OLEDragDrop(e->mimeData());
                return true;
            }
            default: return QObject::eventFilter(objeto, evento);
        }
    }
};

}  // namespace

namespace forms {

void Tavorin::PrepararFicheros() {
    SendTvp = new QTimer(this);
    SendTvp->setInterval(100);
    connect(SendTvp, &QTimer::timeout, this, [this] { SendTvp_Timer(); });
    TimerRetrasoTVP = new QTimer(this);
    TimerRetrasoTVP->setInterval(100);
    connect(TimerRetrasoTVP, &QTimer::timeout, this, [this] { TimerRetrasoTVP_Timer(); });
    setAcceptDrops(true);
    PicBuffer->setAcceptDrops(true);
    PicBuffer->installEventFilter(new SoltarEnTablero(this));
}

void Tavorin::CubrirTablero(bool aviso) {
    PicBuffer->Cls();
    {
        QPainter p(&PicBuffer->Imagen());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, Fondo->Imagen());
    }
    if (aviso) {
        const QString texto = TextosIdioma[texto::EsperePorFavor];
        QFont letra = PicBuffer->font();
        letra.setPointSizeF(16);
        const int ancho = QFontMetrics(letra).horizontalAdvance(texto);
        PicBuffer->Print((PicBuffer->ScaleWidth() - ancho) / 2, PicBuffer->ScaleHeight() / 2, texto, 16);
    }
    PicBuffer->Refresh();
}

// ---- Own game file ------------------------------------------------------------------

void Tavorin::AbrirTvp(const QString& ruta) {
    auto& g = Reglas();
    // The file is read whole before anything changes: a file that cannot be read
    // leaves the game as it is.
    const auto datos = tvp::LeerFicheroEntero(ruta);
    if (!datos) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::FicheroIlegible), MB_ICONINFORMATION);
        // A peer that accepted the file waits for it: it resets on this.
        if (g.Conectado) EncolarMensaje(tvp::Tvp(tvp::corriente::Error));
        ::Reloj().PrintTimerB();
        ::Reloj().PrintTimerN();
        return;
    }
    SendTvp->stop();
    TimerRetrasoTVP->stop();
    CerrarListaPgn();
    ::Jugadas().BorrarContenedor();
    ::Nuevo().VariablesCero();
    MovimientoAnulado();
    g.Turno = turno::Nadie;
    PonerFichas();
    // The start position: no en-passant chance, and a game that saves as a game.
    g.AlPasoPosible = false;
    g.CasillaAlPaso = 0;
    PosicionPreparada = false;
    if (g.Conectado) EncolarMensaje(tvp::Tvp(tvp::corriente::Iniciar));
    auto& m = ::Mdi();
    m.FijarTableroInvertido(false);
    // The replay knows the clock tokens by these empty captions.
    ::Reloj().BorrarTiempos();
    DatosPartida.assign(1, QString());
    for (const QString& token : tvp::Tokens(*datos)) DatosPartida.push_back(token);
    DatosPartida.push_back(QString());
    Shape1[0]->hide();
    Shape1[1]->hide();
    Reproduccion().Empezar();
    m.FijarTableroInvertido(false);
    CubrirTablero(true);
    SendTvp->setInterval(100);
    SendTvp->start();
    PartidaDeFichero = true;
}

void Tavorin::SendTvp_Timer() {
    // Stopped while the tick runs: a box or the promotion chooser it opens runs a
    // loop of its own, and no token may be taken behind it.
    SendTvp->stop();
    // A fresh game started meanwhile (a lost connection, a new game) ends the replay.
    if (!PartidaDeFichero) return;
    switch (Reproduccion().Tick()) {
        case tvp::Reproduccion::Paso::Sigue:
        case tvp::Reproduccion::Paso::Espera: SendTvp->start(Reproduccion().IntervaloActual()); break;
        case tvp::Reproduccion::Paso::Fin: TimerRetrasoTVP->start(); break;
        case tvp::Reproduccion::Paso::Abortada: break;
    }
}

void Tavorin::TimerRetrasoTVP_Timer() {
    // Stopped while the colour question is open, as above.
    TimerRetrasoTVP->stop();
    SendTvp->stop();
    if (!PartidaDeFichero) return;
    if (Reproduccion().TickCierre() == tvp::Reproduccion::Cierre::Espera) TimerRetrasoTVP->start();
}

// ---- EPD position -----------------------------------------------------------------------

void Tavorin::AbrirEpd(const QString& linea) {
    LineaEpd = linea;
    auto& g = Reglas();
    PartidaDeFichero = true;
    Shape1[0]->hide();
    Shape1[1]->hide();
    g.TipoPartida.clear();
    g.MiColor.clear();
    g.Turno = turno::Nadie;
    CerrarListaPgn();
    if (!::fEpd().Visible()) CubrirTablero(true);
    ::Jugadas().BorrarContenedor();
    ::Nuevo().VariablesCero();
    MovimientoAnulado();
    red::RelojesACero();
    // The position replaces the game on the board.
    red::PartidaTerminada();
    // No castling right until the line grants it.
    g.TorreA1Movida = g.TorreH1Movida = g.TorreA8Movida = g.TorreH8Movida = true;
    DatosPartida.assign(2, QString());
    g.TipoPartida.assign(1, 'A');
    if (!g.LeerFen(LineaEpd.toStdString())) {
        // A line the rules cannot play: a fresh game, and a peer waiting for the
        // position leaves its list.
        if (g.Conectado) EncolarMensaje(tvp::palabra::CancelarEPD);
        g.TipoPartida.clear();
        ::Nuevo().NuevoAceptado();
        PosicionPreparada = false;
        CubrirTablero(false);
        red::Orientar(false);
        QuitaMarco();
        VentanasLaterales();
        MostrarMensaje("Tavorin", MensajeNumero(texto::NadaCargado), MB_ICONINFORMATION);
        return;
    }
    if (::Splash().Visible()) ::Splash().Unload();
    if (g.Conectado) {
        if (const int color = tvp::PreguntarColor(Entorno(), g.TurnoFichero)) g.Turno = color;
    }
    CubrirTablero(false);
    if (g.TurnoFichero == turno::Negras) {
        // An empty White entry, so that Black's first move is written in Black's column.
        g.NotacionNegras = false;
        g.NumeroJugada = 0;
        g.XOrigen = g.YOrigen = g.XDestino = g.YDestino = 0;
        g.PiezaCoronacion = 0;
        g.AnotarJugada();
    }
    if (!g.Conectado) g.Turno = g.TurnoFichero;
    g.MiColor = g.Turno == turno::Blancas ? color_local::Blancas : color_local::Negras;
    if (g.Turno != g.TurnoFichero) g.Turno = turno::Nadie;
    PartidaDeFichero = false;
    red::Orientar(g.Conectado && g.MiColor == color_local::Negras);
    QuitaMarco();
    if (g.Conectado) EncolarMensaje(epd::MensajeEpd(g.Turno, g.TurnoFichero, g.MiColor, LineaEpd));
    PosicionPreparada = true;
    if (g.CasillaAlPaso != 0 && g.AlPasoPosible) g.AlPasoCaduca = true;
    VentanasLaterales();
}

// ---- Dropped files ------------------------------------------------------------------------

void Tavorin::Form_OLEDragDrop(const QMimeData* datos) {
    if (!datos || !datos->hasUrls()) return;
    for (const QUrl& url : datos->urls()) {
        if (!url.isLocalFile()) continue;
        ::Mdi().FileDrop(url.toLocalFile());
        return;
    }
}

void Tavorin::dragEnterEvent(QDragEnterEvent* evento) {
    if (evento->mimeData()->hasUrls())
        evento->acceptProposedAction();
    else
        evento->ignore();
}

void Tavorin::dropEvent(QDropEvent* evento) {
    evento->acceptProposedAction();
    Form_OLEDragDrop(evento->mimeData());
}

}  // namespace forms
