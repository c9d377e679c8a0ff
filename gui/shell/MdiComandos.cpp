// The main window's game, file and connection commands: open, save, set-up,
// take-back, resign, draw offer, connect, address and disconnect. Each decides from
// the game state and the windows shown whether the action may start, asks what must
// be asked, and hands the action to the window that carries it out.
#include "shell/Mdi.h"

#include "app/CMensaje.h"
#include "app/CommonDialogs.h"
#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "files/Guardar.h"
#include "files/ListaPgn.h"
#include "files/SetTableroF.h"
#include "files/fEpd.h"
#include "network/Conexion.h"
#include "network/Ip.h"
#include "network/Nuevo.h"
#include "network/Palabras.h"
#include "network/Ranking.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/Retroceso.h"
#include "shell/Splash.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The oldest peer version without EPD lists and take-back.
constexpr double kVersionAntigua = 1.41;

// A message box with language text n.
void Aviso(int n) { MostrarMensaje("Tavorin", MensajeNumero(n), MB_ICONINFORMATION); }

// A Yes/No question; `noPorDefecto` makes No the default button.
bool Pregunta(const QString& texto, bool noPorDefecto) {
    return MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION, MB_YESNO, noPorDefecto ? MB_DEFBUTTON2 : 0) == IDYES;
}

// A request to the peer is still unanswered.
bool PeticionPendiente() { return !FicheroPendiente.isEmpty() || NuevoPendiente || RetrocesoPendiente; }

// A question about the game on the board. The peer's messages are read while the box
// is open: the answer acts only while the game it asked about is on, not one that
// ended or replaced it meanwhile. True on Yes in that game.
bool PreguntaDePartida(const QString& texto, bool noPorDefecto) {
    const long partida = red::Red().partida;
    const bool si = Pregunta(texto, noPorDefecto);
    const auto& g = Reglas();
    return si && g.Conectado && !g.TipoPartida.empty() && red::Red().partida == partida;
}

// A request to the peer about the game (resignation, draw offer); with the engine
// panel shown, the panel's command `orden` acts instead. True when the request may
// be made: a game with the peer, no file on the board, no request unanswered; the
// box says why it may not, but for the set-up, whose window is shown.
bool PeticionDePartida(forms::OrdenPanel orden) {
    if (::Cpu().Visible()) {
        ::Cpu().ToolboxComand(orden);
        return false;
    }
    if (::ListaPgn().Visible()) {
        Aviso(texto::NoConListaPgn);
        return false;
    }
    if (PartidaDeFichero) {
        Aviso(texto::NoConFichero);
        return false;
    }
    if (PeticionPendiente()) {
        Aviso(texto::EspereRespuesta);
        return false;
    }
    if (ModoPreparar) return false;
    const auto& g = Reglas();
    if (!g.Conectado || g.TipoPartida.empty()) {
        Aviso(texto::SinPartidaEnCurso);
        return false;
    }
    return true;
}

bool RivalAntiguo() { return controles::Val(VersionRival) <= kVersionAntigua; }

}  // namespace

namespace forms {

// ---- Files ------------------------------------------------------------------------

void Mdi::mnuAbrirPartida_Click() { AbrirFichero(QString()); }

void Mdi::AbrirFichero(const QString& nombre) {
    if (ModoPreparar) return;
    // The engine panel's game and a save under way in the PGN browser (it shows its
    // save button) stay on the board: the box says why nothing opens.
    if (::Cpu().Visible()) {
        Aviso(texto::NoConPartidaMotor);
        return;
    }
    const bool guardandoPgn = ::ListaPgn().Visible() && ::ListaPgn().BotonesGuardar();
    if (guardandoPgn || ::fEpd().Visible() || PartidaDeFichero) {
        Aviso(texto::NoConFichero);
        return;
    }
    if (PeticionPendiente()) {
        Aviso(texto::EspereRespuesta);
        return;
    }
    QString ruta = nombre;
    if (ruta.isEmpty()) {
        const QChar nul(u'\0');
        const QString filtro = TextosIdioma[texto::PartidasDe] + " " + "Tavorin" + nul + "*.tvp" + nul +
                               TextosIdioma[texto::Partidas] + " Pgn" + nul + "*.pgn" + nul +
                               TextosIdioma[texto::Posiciones] + " Epd" + nul + "*.epd" + nul + nul;
        QString carpeta;
        ruta = DialogoFichero(this, 1, TextosIdioma[texto::AbrirPartida], QString(), filtro, DirectorioFicheros,
                              TipoFichero, carpeta);
        if (ruta.isEmpty()) return;
    }
    if (!QFileInfo(ruta).isFile()) {
        Aviso(texto::FicheroNoExiste);
        return;
    }
    auto& g = Reglas();
    const QString tipo = ExtensionDe(ruta);
    if (tipo == "pgn") {
        if (g.Conectado)
            Aviso(texto::PgnConectado);
        else
            AbrirPgn(ruta);
        return;
    }
    if (tipo == "epd") {
        if (!g.Conectado) {
            if (::ListaPgn().Visible()) ::ListaPgn().Unload();
            ::fEpd().LeerEPD(ruta);
            return;
        }
        if (RivalAntiguo()) {
            Aviso(texto::RivalSinEpd);
            return;
        }
        if (!g.TipoPartida.empty()) {
            // The game goes on until the peer's answer: its clock runs, so its moves stay
            // open (the peer's Yes ends it unbooked on both sides).
            if (!PreguntaDePartida(MensajeNumero(texto::PedirCargaEnPartida), false)) return;
            if (::fEpd().Visible()) ::fEpd().Unload();
        } else {
            if (::fEpd().Visible()) ::fEpd().Unload();
            SinPartida();
            PartidaDeFichero = true;
        }
        FicheroPendiente = ruta;
        EncolarMensaje(tvp::palabra::AbrirPartidaEPD);
        return;
    }
    if (tipo != "tvp") return;
    if (g.Conectado) {
        // The peer takes a game file only after its Yes, with or without a game on.
        if (!g.TipoPartida.empty() && !PreguntaDePartida(MensajeNumero(texto::PedirCargaEnPartida), false)) return;
        FicheroPendiente = ruta;
        EncolarMensaje(tvp::palabra::AbrirPartida);
        return;
    }
    if (!g.Conectado && ::fEpd().Visible()) ::fEpd().Unload();
    SinPartida();
    ::Reloj().BorrarTiempos();
    ::Tavorin().AbrirTvp(ruta);
}

void Mdi::mnuGuardarPartida_Click() {
    // The game of the engine panel saves as any other. The PGN browser shows a file's
    // game, or a save already under way, which comes to the front.
    if (::ListaPgn().Visible()) {
        if (GuardandoPgn)
            ::ListaPgn().Show();
        else
            Aviso(texto::NoConFichero);
        return;
    }
    if (PartidaDeFichero)
        Aviso(texto::NoConFichero);
    else
        GuardarPartida();
}

void Mdi::mnuGuararChat_Click() { GuardarChat(); }

void Mdi::mnuGuararImagen_Click() {
    if (PartidaDeFichero)
        Aviso(texto::NoConFichero);
    else
        GuardarImagen();
}

void Mdi::mnuChatListGuardar_Click() { GuardarChat(); }

void Mdi::mnuGuardarComo_Click() { GuardarPartida(); }

// ---- Set-up -------------------------------------------------------------------------

void Mdi::mnuSetTablero_Click() {
    if (::ListaPgn().Visible()) {
        Aviso(texto::NoConListaPgn);
        return;
    }
    if (::SetTableroF().Visible() || ::fEpd().Visible()) return;
    // The engine panel's game stays on the board: the box says why nothing is set up.
    if (::Cpu().Visible()) {
        Aviso(texto::PrepararConMotor);
        return;
    }
    auto& g = Reglas();
    if (g.Conectado) {
        Aviso(texto::PrepararConectado);
        return;
    }
    if (!g.CasillasAtacantes.empty() || !g.Jugadas.List[1].empty()) {
        ::Tavorin().setMousePointer(0);
        QString texto = TextosIdioma[texto::PartidaEnCurso];
        texto.replace(" $ ", "\r\n");
        if (!Pregunta(texto, true)) return;
    }
    AplicarSetTablero();
}

void Mdi::AplicarSetTablero() {
    auto& t = ::Tavorin();
    ::Nuevo().VariablesCero();
    t.MovimientoAnulado();
    ::Jugadas().BorrarContenedor();
    t.PonerFichas();
    t.MostrarTableroVacio();
    red::Orientar(false);
    t.QuitaMarco();

    auto& s = ::SetTableroF();
    s.Reiniciar();
    s.Show();
}

// ---- Take-back ------------------------------------------------------------------------

void Mdi::mnuRetroceder_Click() {
    if (::Cpu().Visible()) {
        ::Cpu().ToolboxComand(forms::OrdenPanel::Retroceder);
        return;
    }
    auto& g = Reglas();
    if (ModoPreparar || PartidaDeFichero) return;
    if (g.Jugadas.List1.empty()) {
        Aviso(texto::SinJugadaAtras);
        return;
    }
    if (RetrocesoPendiente) {
        Aviso(texto::EspereRespuesta);
        return;
    }
    if (g.Conectado && g.Turno == turno::Nadie) {
        if (RivalAntiguo()) {
            Aviso(texto::RivalSinRetroceso);
            return;
        }
        RetrocesoPendiente = true;
        EncolarMensaje(tvp::palabra::Retroceso);
        return;
    }
    if (!g.Conectado && g.Turno != turno::Nadie) RetrocesoFuncion();
}

void Mdi::RetrocesoFuncion() {
    auto& g = Reglas();
    if (g.Jugadas.List1.empty()) return;
    const auto r = retroceso::Leer(g.Jugadas.List1.back());
    if (!r) return;
    RetrocesoEnCurso = true;
    // A game taken back goes on: it has no result any more.
    g.Jugadas.Resultado.clear();
    retroceso::DeshacerTablero(g, *r);
    BorrarUltimaJugada();
    RepintarTablero = false;
    ::Tavorin().Marco(r->x1, r->y1, r->x2, r->y2);
    RepintarTablero = false;
    RetrocesoEnCurso = false;
    retroceso::FijarAlPaso(g);
    retroceso::DevolverTurno(g);
}

void Mdi::BorrarUltimaJugada() {
    retroceso::BorrarTextos(Reglas());
    auto& t = ::Tavorin();
    t.OcultarMarcador();
    t.OcultarMarcos();
    t.PaintTablero();
    t.PaintFichasResice();
    ::Jugadas().ActualizarTextos();
}

// ---- Resign, draw offer ------------------------------------------------------------------

void Mdi::mnuRendirse_Click() {
    if (!PeticionDePartida(forms::OrdenPanel::Rendirse)) return;
    auto& g = Reglas();
    if (!PreguntaDePartida(MensajeNumero(texto::ConfirmarAbandono), true)) return;
    EncolarMensaje(tvp::palabra::Rendirse);
    if (g.TipoPartida == "R") ::Ranking().SumaDePartidas(puntuacion::Derrota);
    if (g.MiColor == color_local::Blancas || g.MiColor == color_local::Negras)
        AnotarResultado(g.MiColor == color_local::Blancas ? turno::Negras : turno::Blancas);
    SinPartida();
    Aviso(texto::AbandonoPropio);
}

void Mdi::mnuOfrecerTablas_Click() {
    if (!PeticionDePartida(forms::OrdenPanel::OfrecerTablas)) return;
    if (PreguntaDePartida(MensajeNumero(texto::ProponerTablas), true)) EncolarMensaje(tvp::palabra::OfrecerTablas);
}

// ---- Connection --------------------------------------------------------------------------

void Mdi::mnuObtenerIp_Click() {
    if (::ListaPgn().Visible()) return;
    if ((DireccionLocal ? DireccionLocal() : QString()) == "127.0.0.1") {
        Aviso(texto::SinRed);
        return;
    }
    CentrarVentana(::Ip());
    ::Ip().Show();
}

void Mdi::mnuEstablecerconexion_Click() {
    if (::fEpd().Visible() || ::ListaPgn().Visible() || ::Cpu().Visible() || ModoPreparar) return;
    if (Reglas().Conectado) {
        Aviso(texto::YaConectado);
        return;
    }
    CentrarVentana(::Conexion());
    ::Conexion().Show();
}

void Mdi::mnuDesconectar_Click() {
    auto& g = Reglas();
    if (!g.Conectado) {
        Aviso(texto::SinConexion);
        return;
    }
    if (g.TipoPartida == "R" && !Pregunta(MensajeNumero(texto::DesconectarPuntuada), true)) return;
    ::Tavorin().Desconectar();
}

void Mdi::mnuCambiarNick_Click() { ::Tavorin().CambiarNick(); }

void Mdi::mnuActualizar_Click() { ::Splash().Actualizar(); }

}  // namespace forms
