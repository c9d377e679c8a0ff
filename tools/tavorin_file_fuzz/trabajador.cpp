// The worker of the file fuzzer: Tavorin's windows offscreen, in a program folder of
// its own, opening each file it is given through the main window's open command as a
// user would, and then doing with it what a user does:
//   PGN  the browser lists and loads the games; some are chosen, the list is built by
//        another tag, and the buttons, the arrow and page keys, clicks on the move list
//        and autoplay ticks move through the game; after every step the board must be
//        the game's start followed by the moves up to the one shown;
//   EPD  the list previews some positions and loads one onto the board;
//   .tvp the replay runs to its end, tick by tick.
// The promotion chooser, message boxes and questions are answered at random.
//
// Protocol, one line each way per file: "<pgn|epd|tvp> <action seed> <path>" in;
// "ok <ms> <heap bytes>", "diff <what>" (a wrong board) or "end <status>" (the
// program wanted to end) out. The end of input ends the worker.
#include "trabajador.h"

#include "app/CMensaje.h"
#include "app/Variables.h"
#include "board/Coronacion.h"
#include "board/Tavorin.h"
#include "entorno.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "files/fEpd.h"
#include "network/Nuevo.h"
#include "pgn_comun.h"
#include "platform/ListaLineas.h"
#include "shell/Mdi.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace fuzz_ficheros {

namespace {

using Azar = std::mt19937_64;

// The board, castling rights, en-passant chance and move records of the PGN game on
// the board against its coded moves 0 to k played once from the start.
std::string DiferenciaNavegacion() {
    const auto& jugadas = Reglas().PgnJugadas;
    const int k = int(JugadaPgnActual);
    int rechazada = -1;
    const pgn_prueba::Estado r = pgn_prueba::Reproducir(jugadas, k, {}, &rechazada);
    if (rechazada >= 0)
        return "coded move " + std::to_string(rechazada) + " (" + jugadas[size_t(rechazada)] +
               ") refused on a fresh board";
    const pgn_prueba::Estado g = pgn_prueba::Actual();
    const std::string tras = " after move " + std::to_string(k);
    if (r.casillas != g.casillas) return "board" + tras;
    if (r.torres != g.torres) return "castling rights" + tras;
    if (r.alPaso != g.alPaso || r.casillaAlPaso != g.casillaAlPaso) return "en passant" + tras;
    if (r.registros != g.registros) return "move records" + tras;
    return {};
}

void Tecla(int tecla) {
    QKeyEvent e(QEvent::KeyPress, tecla, Qt::NoModifier);
    QApplication::sendEvent(::PgnMovimientos().List1, &e);
}

// With FUZZ_TRAZA set, each step of the worker on standard error.
void Traza(const std::string& paso) {
    static const bool traza = qEnvironmentVariableIsSet("FUZZ_TRAZA");
    if (traza)
        std::fprintf(stderr, "%s: game %d, move %ld of %zu, %s\n", paso.c_str(), ::ListaPgn().Eventos->currentRow(),
                     JugadaPgnActual, Reglas().PgnJugadas.size(), PgnConFen ? "from a FEN tag" : "from the start");
}

// The board is checked from a load of a game from the start until the list is built
// by another tag: that reads the tags of the game it selects (and sets up its FEN
// position) without loading it, and the board keeps what it had.
std::string Pgn(Azar& azar) {
    auto& l = ::ListaPgn();
    if (!NavegandoPgn()) return {};
    bool comprobar = false;
    auto cargar = [&] {
        if (!l.Timer->isActive()) return;
        l.Timer_Timer();
        comprobar = !PgnConFen;
    };
    cargar();
    Traza("loaded");
    for (int paso = 0, pasos = int(azar() % 40); paso < pasos; ++paso) {
        const int juegos = l.Eventos->count();
        const int lineas = ::PgnMovimientos().List1->count();
        const unsigned que = unsigned(azar() % 12);
        Traza("step " + std::to_string(que));
        switch (que) {
            case 0:
                if (juegos > 0) {
                    l.Eventos->setCurrentRow(int(azar() % unsigned(juegos)));
                    cargar();
                }
                break;
            case 1:
                l.Buscar->setCurrentIndex(int(azar() % unsigned(std::max(1, l.Buscar->count()))));
                l.Buscar_Click();
                comprobar = false;
                cargar();
                break;
            case 2:
            case 3: l.Command1_Click(1 + int(azar() % 4)); break;
            case 4:
                if (lineas > 0) ::PgnMovimientos().List1_MouseDown(int(azar() % unsigned(lineas + 1)) - 1);
                break;
            case 5: {
                static const int kTeclas[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,     Qt::Key_Down,
                                              Qt::Key_Home, Qt::Key_End,   Qt::Key_PageUp, Qt::Key_PageDown};
                Tecla(kTeclas[azar() % 8]);
                break;
            }
            case 6: l.SiguienteJugada(); break;
            case 7: l.Eventos_DblClick(); break;
            default: l.Command1_Click(2 + int(azar() % 2)); break;
        }
        Traza("after it");
        if (!comprobar) continue;
        if (std::string d = DiferenciaNavegacion(); !d.empty()) return d;
    }
    return {};
}

void Epd(Azar& azar) {
    auto& f = ::fEpd();
    if (!f.Visible()) return;
    for (int paso = 0, pasos = int(azar() % 6); paso < pasos; ++paso) {
        const int n = f.Eventos->count();
        if (n == 0) break;
        f.Eventos->setCurrentRow(int(azar() % unsigned(n)));
    }
    if (azar() % 4 != 0) f.Eventos_DblClick();
}

void Tvp() {
    auto& t = ::Tavorin();
    // The replay's two timers, tick by tick (a file gives at most one tick a token).
    for (long tick = 0; tick < 10000000 && (t.SendTvp->isActive() || t.TimerRetrasoTVP->isActive()); ++tick) {
        if (t.SendTvp->isActive())
            t.SendTvp_Timer();
        else
            t.TimerRetrasoTVP_Timer();
    }
}

// FUZZ_FALLO set: a fault of the kind named after every file, for the fuzzer's own
// tests ("senal" a crash, "cuelgue" no answer, "crece" 4 MB kept per file).
void Fallar() {
    static const QByteArray fallo = qgetenv("FUZZ_FALLO");
    static std::vector<std::string> guardados;
    if (fallo == "senal") std::raise(SIGSEGV);
    if (fallo == "cuelgue")
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
    if (fallo == "crece") guardados.emplace_back(4u << 20, 'x');
}

// Back to a fresh board with no file open, and what the event loop would have done.
void Recoger(Entorno& e) {
    if (::ListaPgn().Visible()) ::ListaPgn().Unload();
    if (::fEpd().Visible()) ::fEpd().Unload();
    auto& t = ::Tavorin();
    t.SendTvp->stop();
    t.TimerRetrasoTVP->stop();
    PartidaDeFichero = false;
    ::Nuevo().NuevoAceptado();
    e.mensajes.clear();
    e.respuestas.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

}  // namespace

int Trabajar(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Only the sanitizers and the fuzzer's own lines on the streams.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication aplicacion(argc, argv);
    IniciarRecursos();
    int estado = 0;
    {
        Entorno e;
        try {
            e.Arrancar();
        } catch (const FinDelPrograma& f) {
            std::printf("end %d\n", f.estado);
            return 0;
        }
        Azar respuestas(1);
        // Boxes and questions: a random button.
        ResponderMensaje = [&](const CMensaje& m) -> long {
            e.mensajes.push_back({m.TituloMensaje, m.TextoMensaje.left(200), m.IconoMensaje, m.BotonesMensaje, 0});
            if (m.BotonesMensaje == MB_YESNO) return respuestas() % 2 ? IDYES : IDNO;
            return IDOK;
        };
        ResponderTexto = [&](const QString&, const QString&) { return respuestas() % 2 ? QString("B") : QString("W"); };
        // The promotion chooser: a piece, or closed without one.
        QTimer coronacion;
        QObject::connect(&coronacion, &QTimer::timeout, [&respuestas] {
            auto& c = ::Coronacion();
            if (!c.Visible()) return;
            if (respuestas() % 5 == 0) {
                c.Unload();
                return;
            }
            c.PiezaSelec_Click(1 + int(respuestas() % 4));
            c.Command1_Click();
        });
        coronacion.start(0);

        for (std::string linea; std::getline(std::cin, linea);) {
            const size_t a = linea.find(' '), b = linea.find(' ', a + 1);
            if (a == std::string::npos || b == std::string::npos) continue;
            const std::string clase = linea.substr(0, a);
            Azar azar(std::stoull(linea.substr(a + 1, b - a - 1)));
            respuestas.seed(azar());
            const QString ruta = QString::fromStdString(linea.substr(b + 1));
            const auto inicio = std::chrono::steady_clock::now();
            std::string diferencia;
            try {
                ::Mdi().AbrirFichero(ruta);
                if (clase == "pgn")
                    diferencia = Pgn(azar);
                else if (clase == "epd")
                    Epd(azar);
                else
                    Tvp();
                Recoger(e);
            } catch (const FinDelPrograma& f) {
                std::printf("end %d\n", f.estado);
                std::fflush(stdout);
                estado = 1;
                break;
            }
            Fallar();
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio).count();
            if (!diferencia.empty())
                std::printf("diff %s\n", diferencia.c_str());
            else
                std::printf("ok %.1f %llu\n", ms, static_cast<unsigned long long>(MemoriaViva()));
            std::fflush(stdout);
        }
        coronacion.stop();
        Recoger(e);
        ResponderMensaje = nullptr;
        ResponderTexto = nullptr;
    }
    return estado;
}

}  // namespace fuzz_ficheros
