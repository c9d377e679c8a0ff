// The worker of the file fuzzer: Tavorin's windows offscreen, in a program folder of
// its own, opening each file it is given through the main window's open command as a
// user would, and then doing with it what a user does:
//   PGN  the browser lists and loads the games; some are chosen, the list is built by
//        another tag, and the buttons, the arrow and page keys, clicks on the move list
//        and autoplay ticks move through the game; after every step the board must be
//        the game's start followed by the moves up to the one shown;
//   EPD  the list previews some positions and loads one onto the board;
//   .tvp the replay runs to its end, tick by tick;
//   a writer on a disk that fills at a random byte (a random game saved through the
//        save dialog in each format, the PGN one through the browser's save button,
//        the chat log, the board picture, a ranking booking): the file holds the bytes
//        it had, or, when the program said it wrote it, every byte a write with room
//        gives, and nothing else is left in the folder.
// The promotion chooser, message boxes and questions are answered at random.
// Started with --alone it takes one case with a start and an exit of its own: one of
// the program's own files replaced as the case says (or the exit on a disk that fills),
// Tavorin started and ended in a fresh program folder; then nothing that stood there
// changed its kind, no FIFO was waited on, and every good file keeps its bytes (the
// settings may change their values, never lose a key).
//
// Protocol, one line each way per case: "<word> <action seed> <path>" in (the word as
// mutador.h's Palabra); "ok <ms> <heap bytes>", "diff <what>" (a wrong board), "lost
// <what>" (a file that lost bytes, a FIFO waited on, a kind changed) or "end <status>"
// (the program wanted to end) out. The end of input ends the worker.
#include "trabajador.h"

#include "app/Ajustes.h"
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/ColorRgb.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Coronacion.h"
#include "board/Tavorin.h"
#include "engines/FormLevel2.h"
#include "entorno.h"
#include "ficheros_prueba.h"
#include "ficheros_raros.h"
#include "files/Guardar.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "files/fEpd.h"
#include "mutador.h"
#include "network/Chat.h"
#include "network/Nuevo.h"
#include "network/Ranking.h"
#include "partida_aleatoria.h"
#include "pgn_comun.h"
#include "platform/IniFile.h"
#include "platform/ListaLineas.h"
#include "platform/Nombres.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QXmlStreamReader>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace fuzz_ficheros {

namespace {

using Azar = std::mt19937_64;
namespace fs = std::filesystem;

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

// FUZZ_FALLO=pierde: a good file of the program folder cut short while a case runs,
// for the fuzzer's own tests of its file check.
void Perder(const QString& carpeta) {
    if (qgetenv("FUZZ_FALLO") != "pierde") return;
    QFile f(carpeta + "/English.lng");
    if (f.open(QIODevice::ReadWrite)) f.resize(f.size() / 2);
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

// ---- Files that keep their bytes ------------------------------------------------------

std::string Nativa(const QString& ruta) { return QFile::encodeName(ruta).toStdString(); }

QByteArray Bytes(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What stands at a name: its kind (testsupport::Clase), and the bytes of a regular file.
struct Entrada {
    std::string clase;
    QByteArray bytes;
};

// Every entry of a folder and below it. Nothing but a regular file is opened.
std::map<QString, Entrada> Arbol(const QString& carpeta) {
    std::map<QString, Entrada> arbol;
    const QDir d(carpeta);
    for (const QString& n : d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString ruta = carpeta + "/" + n;
        Entrada e{testsupport::Clase(Nativa(ruta)), {}};
        if (e.clase == "d")
            for (auto& [m, x] : Arbol(ruta)) arbol[n + "/" + m] = x;
        if (e.clase == "f" || e.clase == "l:f") e.bytes = Bytes(ruta);
        arbol[n] = std::move(e);
    }
    return arbol;
}

// A settings file rewritten keeps every key it had (the values may change).
bool ClavesGuardadas(const QByteArray& antes, const QByteArray& despues) {
    const ini::Documento a(antes), d(despues);
    QString valor;
    for (const QString& seccion : a.Secciones())
        for (const QString& clave : a.Claves(seccion))
            if (!d.Buscar(seccion, clave, valor)) return false;
    return true;
}

// What changed in the folder that should not have ("" nothing): an entry gone, new or
// of another kind, a file with other bytes (a settings file that lost a key). The
// entries in `libres` may change.
std::string Perdidos(const std::map<QString, Entrada>& antes, const std::map<QString, Entrada>& despues,
                     const std::vector<QString>& libres) {
    auto libre = [&libres](const QString& n) { return std::find(libres.begin(), libres.end(), n) != libres.end(); };
    std::string p;
    for (const auto& [n, a] : antes) {
        if (libre(n)) continue;
        const auto d = despues.find(n);
        const std::string nombre = n.toStdString();
        if (d == despues.end())
            p += nombre + " is gone; ";
        else if (d->second.clase != a.clase)
            p += nombre + " was " + a.clase + " and is " + d->second.clase + "; ";
        else if (a.bytes != d->second.bytes && !(n.endsWith(".ini") && ClavesGuardadas(a.bytes, d->second.bytes)))
            p += nombre + " held " + std::to_string(a.bytes.size()) + " bytes and holds " +
                 std::to_string(d->second.bytes.size()) + " other ones; ";
    }
    for (const auto& [n, d] : despues)
        if (!antes.count(n) && !libre(n)) p += n.toStdString() + " is new; ";
    return p;
}

// A disk that fills at the case's byte, or room enough.
std::unique_ptr<testsupport::DiscoLleno> Lleno(const Caso& c) {
    return c.sitio < 0 ? nullptr : std::make_unique<testsupport::DiscoLleno>(rlim_t(c.sitio));
}

// With FUZZ_TRAZA set, the messages a case brought on standard error.
void TrazaMensajes(const Entorno& e, const std::string& caso) {
    if (!qEnvironmentVariableIsSet("FUZZ_TRAZA")) return;
    std::fprintf(stderr, "%s: %zu messages\n", caso.c_str(), e.mensajes.size());
    for (const auto& m : e.mensajes) std::fprintf(stderr, "  %s\n", m.texto.left(120).toLocal8Bit().constData());
}

bool Dicho(const Entorno& e, int texto) {
    for (const auto& m : e.mensajes)
        if (m.texto == TextosIdioma[size_t(texto)].left(200)) return true;
    return false;
}

// Text 28 naming `nombre`.
bool NoEscrito(const Entorno& e, const QString& nombre) {
    const QString prefijo = TextosIdioma[28].section(u'$', 0, 0);
    for (const auto& m : e.mensajes)
        if (!prefijo.isEmpty() && m.texto.startsWith(prefijo) && m.texto.contains(nombre)) return true;
    return false;
}

// ---- Writers on a disk that fills ----------------------------------------------------------

// The file each writer writes, and good bytes of its kind to stand there before.
struct Guardable {
    const char* extension;
    const char* viejo;
};
// clang-format off
const Guardable kGuardables[kEscritores] = {
    {"tvp", "0000\r\n0000\r\nA\r\n5254\r\n\r\n"},
    {"pgn", "[Event \"Vieja\"]\r\n[Site \"?\"]\r\n[Date \"2020.01.01\"]\r\n[Round \"?\"]\r\n[White \"?\"]\r\n"
            "[Black \"?\"]\r\n[Result \"*\"]\r\n\r\n1. e4 *\r\n"},
    {"epd", "8/8/8/8/8/8/8/K1k5 w - - 0 1\r\n"},
    {"txt", "Tavorin. ayer\r\nAna: hola\r\n"},
    {"bmp", "BM viejo"},
    {"dat", ""},
    {"ini", ""},
    {"ini", ""},
    {"ini", ""},
    {"ini", ""},
    {"ini", ""},
};
// clang-format on

// Runs the writer of the case to `nombre` of the program folder; with `lleno`, the disk
// fills while it writes (a PGN game is written by the browser's save button, after the
// dialog).
void Guardar(Entorno& e, const Caso& c, const QString& nombre, bool lleno) {
    auto d = ResponderDialogo(e.Ruta(nombre));
    if (c.escritor == Escritor::Pgn) {
        GuardarPartida();
        {
            auto disco = lleno ? Lleno(c) : nullptr;
            if (::ListaPgn().Visible()) ::ListaPgn().Command2_Click(1);
        }
        if (::ListaPgn().Visible()) ::ListaPgn().Command2_Click(2);
        return;
    }
    auto disco = lleno ? Lleno(c) : nullptr;
    if (c.escritor == Escritor::Chat)
        GuardarChat();
    else if (c.escritor == Escritor::Imagen)
        GuardarImagen();
    else
        GuardarPartida();
}

// A game saved in each format, the chat log, the board picture: first with room (what
// a write gives), then over good bytes (or to a new name) on the disk that fills.
std::string Guardado(Entorno& e, const Caso& c, Azar& azar) {
    const Guardable& escrito = kGuardables[size_t(c.escritor)];
    const QString nombre = QString("escrito.") + escrito.extension, referencia = QString("ref.") + escrito.extension;
    if (c.escritor == Escritor::Chat) {
        QStringList lineas;
        for (int i = 0, n = int(azar() % 20); i < n; ++i) lineas << QString("Ana: %1").arg(azar());
        ::Chat().ChatList->setPlainText(lineas.join(u'\n'));
    } else {
        // A game from the start (an EPD list of an earlier case set up no position now).
        auto& g = Reglas();
        PosicionPreparada = false;
        std::mt19937 juego{unsigned(azar())};
        g.Turno = 1;
        pgngen::Jugar(g, juego, int(azar() % 60));
    }
    Guardar(e, c, referencia, false);
    const QByteArray nuevo = Bytes(e.Ruta(referencia));
    QFile::remove(e.Ruta(referencia));
    if (c.existe) e.Escribir(nombre, escrito.viejo);
    e.mensajes.clear();
    const auto antes = Arbol(e.Carpeta());
    Guardar(e, c, nombre, true);
    Perder(e.Carpeta());
    TrazaMensajes(e, Palabra(c));
    const bool dicho = Dicho(e, c.escritor == Escritor::Chat ? 33 : c.escritor == Escritor::Imagen ? 37 : 34);
    std::string p = Perdidos(antes, Arbol(e.Carpeta()), {nombre});
    const bool esta = QFileInfo::exists(e.Ruta(nombre));
    const QByteArray despues = Bytes(e.Ruta(nombre));
    if (dicho && despues != nuevo)
        p += "said written and holds " + std::to_string(despues.size()) + " of " + std::to_string(nuevo.size()) +
             " bytes; ";
    if (!dicho && (esta != c.existe || (c.existe && despues != escrito.viejo)))
        p += std::string("not said written and ") + (esta ? "holds other bytes" : "gone") + "; ";
    QFile::remove(e.Ruta(nombre));
    return p.empty() ? p : Extension(c.clase) + std::string(" ") + escrito.extension + ": " + p;
}

// A booking: the record's 20 bytes (and what a longer file holds after them) stay, and
// text 28 says so, or the booked record stands there without a word.
std::string Reserva(Entorno& e, const Caso& c, Azar& azar) {
    auto& r = ::Ranking();
    const QByteArray sano = QByteArray::fromStdString(PropioBase(Clase::Puntuacion, azar));
    r.RegPuntuacion = puntuacion::kRegistroNuevo;
    puntuacion::DesdeBytes(sano, r.RegPuntuacion);
    r.RegPuntuacion[9] = std::int32_t(azar() % 3000);
    QByteArray cola;
    for (int i = 0, n = azar() % 3 == 0 ? int(azar() % 40) : 0; i < n; ++i) cola += char(azar());
    const QString ruta = RutaPuntuacion();
    QFile::remove(ruta);
    if (c.existe) e.Escribir("Puntuacion.dat", sano + cola);
    e.mensajes.clear();
    const auto antes = Arbol(e.Carpeta());
    {
        auto disco = Lleno(c);
        r.SumaDePartidas(puntuacion::Resultado(1 + azar() % 3));
    }
    Perder(e.Carpeta());
    TrazaMensajes(e, Palabra(c));
    const QByteArray nuevo = puntuacion::Bytes(r.RegPuntuacion) + (c.existe ? cola : QByteArray());
    const bool dicho = NoEscrito(e, "Puntuacion.dat");
    const bool esta = QFileInfo::exists(ruta);
    const QByteArray despues = Bytes(ruta);
    std::string p = Perdidos(antes, Arbol(e.Carpeta()), {"Puntuacion.dat"});
    if (dicho && (esta != c.existe || (esta && despues != sano + cola))) p += "told not written, and changed; ";
    if (!dicho && despues != nuevo) p += "written without a word, and not the booked record; ";
    return p.empty() ? p : "booking: " + p;
}

// ---- Settings writers on a disk that fills ---------------------------------------------

// The lines of an INI-like file (Default.ini, a desktop entry, mimeapps.list) that are
// not one key, one section, a comment or blank; "" none. A desktop entry holds one
// Exec at most.
std::string LineasRotas(const QByteArray& datos, const QString& nombre) {
    std::string p;
    int exec = 0;
    for (QByteArray linea : datos.split('\n')) {
        if (linea.endsWith('\r')) linea.chop(1);
        const QByteArray t = linea.trimmed();
        if (t.isEmpty() || t.startsWith(';') || t.startsWith('#') || (t.startsWith('[') && t.endsWith(']'))) continue;
        const qsizetype igual = t.indexOf('=');
        bool control = false;
        for (char c : t) control = control || (static_cast<unsigned char>(c) < 0x20 && c != '\t');
        if (igual <= 0 || control || t.contains('\r')) p += "a line of no key \"" + t.left(60).toStdString() + "\"; ";
        if (t.startsWith("Exec=")) ++exec;
    }
    if (exec > 1) p += std::to_string(exec) + " Exec keys; ";
    return p.empty() ? p : nombre.toStdString() + ": " + p;
}

// Every desktop entry, MIME package and default-application list under the data folder
// `xdg`: one key a line, and XML that reads to its end.
std::string Escritorio(const QString& xdg) {
    std::string p;
    for (const auto& [n, e] : Arbol(xdg)) {
        if (n.endsWith(".desktop") || n.endsWith(".list")) p += LineasRotas(e.bytes, n);
        if (!n.endsWith(".xml")) continue;
        QXmlStreamReader xml(e.bytes);
        while (!xml.atEnd()) xml.readNext();
        if (xml.hasError()) p += n.toStdString() + ": " + xml.errorString().toStdString() + "; ";
    }
    return p;
}

// A dialog that writes settings as the user leaves it, or a file-type registration, on
// the disk that fills: Default.ini keeps every key it had and stays one key a line, no
// other file of the program folder changes, and what the desktop was given reads.
std::string Ajuste(Entorno& e, const Caso& c, Azar& azar) {
    testsupport::TempDir xdg;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(xdg.path()));
    e.mensajes.clear();
    const auto antes = Arbol(e.Carpeta());
    const QByteArray iniAntes = Bytes(e.Ruta("Default.ini"));
    {
        auto disco = Lleno(c);
        switch (c.escritor) {
            case Escritor::Opciones: {
                auto& o = ::Opciones();
                o.FijarTamano(30 + int(azar() % 71));
                for (int i = 1; i <= 3; ++i) o.FijarCheck(i, int(azar() % 2));
                if (azar() % 3 == 0) o.ElegirIdioma(azar() % 2 ? "English" : QString::fromUtf8("Español"));
                if (azar() % 3 == 0) o.MarcarApariencia(azar() % 2 ? QString("marmol") : AparienciaActual);
                o.OpcionesAceptar();
                break;
            }
            case Escritor::Colores:
                ::ColorRgb().FijarOpcion(1 + int(azar() % 2));
                ::ColorRgb().Command1_Click();
                break;
            case Escritor::Nivel: {
                auto& n = ::FormLevel2();
                using Campo = forms::FormLevel2::Campo;
                for (Campo campo : {Campo::Segundos, Campo::Profundidad, Campo::Minutos, Campo::Jugadas})
                    n.FijarValor(campo, QString::number(azar() % 100));
                n.FijarOpcion(int(azar() % 3));
                n.Command2_Click();
                ajustes::Guardar();
                break;
            }
            default: {
                static const char* const tipos[] = {"", ".tvp", ".pgn", ".epd"};
                const int tipo = 1 + int(azar() % 3);
                RegistrarExtension(tipo, tipos[tipo], "", "", "Tavorin", "");
                break;
            }
        }
    }
    Perder(e.Carpeta());
    TrazaMensajes(e, Palabra(c));
    const QByteArray iniDespues = Bytes(e.Ruta("Default.ini"));
    std::string p = Perdidos(antes, Arbol(e.Carpeta()), {"Default.ini"});
    if (!ClavesGuardadas(iniAntes, iniDespues)) p += "Default.ini lost a key; ";
    p += LineasRotas(iniDespues, "Default.ini") + Escritorio(QString::fromStdString(xdg.path()));
    return p.empty() ? p : Palabra(c) + ": " + p;
}

// ---- A start and an exit of their own -------------------------------------------------------

// The program's file that a case puts something else in place of.
QString Objetivo(Clase clase) {
    switch (clase) {
        case Clase::Ajustes: return "Default.ini";
        case Clase::Idioma: return QString::fromUtf8("Español.lng");
        case Clase::Piel: return "apariencias/marmol/peonb.png";
        default: return "Puntuacion.dat";
    }
}

// Puts the case's odd thing at `nombre`: the names that may change come back in `libres`.
void PonerRaro(const Caso& c, Entorno& e, const QString& nombre, std::unique_ptr<testsupport::VigiaFifo>& vigia,
               std::vector<QString>& libres) {
    const QString ruta = e.Ruta(nombre);
    const QString carpeta = QFileInfo(ruta).path(), hoja = QFileInfo(ruta).fileName();
    auto fifo = [&](const QString& r) {
        vigia = std::make_unique<testsupport::VigiaFifo>(Nativa(r));
        return vigia->Hecha();
    };
    // A device node where the system lets one be made, else a FIFO.
    auto nodo = [&](const QString& r) { return testsupport::NodoNulo(Nativa(r)) || fifo(r); };
    auto enlazar = [&](const QString& destino) { ::symlink(Nativa(destino).c_str(), Nativa(ruta).c_str()); };
    switch (c.forma) {
        case Forma::Mutada:
            e.Escribir(nombre, QByteArray::fromStdString(c.contenido));
            libres.push_back(nombre);
            return;
        case Forma::Enlace:
            // A good file, written through its link (the settings keep their keys).
            QFile::rename(ruta, carpeta + "/guardado-" + hoja);
            enlazar("guardado-" + hoja);
            return;
        default: break;
    }
    QFile::remove(ruta);
    switch (c.forma) {
        case Forma::Fifo: fifo(ruta); break;
        case Forma::Dispositivo: nodo(ruta); break;
        case Forma::Carpeta: QDir().mkpath(ruta); break;
        case Forma::EnlaceFifo:
            fifo(carpeta + "/fifo-" + hoja);
            enlazar("fifo-" + hoja);
            break;
        case Forma::EnlaceDispositivo:
            nodo(carpeta + "/nodo-" + hoja);
            enlazar("nodo-" + hoja);
            break;
        case Forma::EnlaceRoto: enlazar("no-" + hoja); break;
        default:
            enlazar("bucle-" + hoja);
            ::symlink(Nativa(hoja).c_str(), Nativa(carpeta + "/bucle-" + hoja).c_str());
            break;
    }
}

// One case with a start and an exit of its own, in a fresh program folder.
std::string Aparte(const Caso& c, Azar& azar) {
    testsupport::TempDir xdg;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(xdg.path()));
    Entorno e;
    ResponderMensaje = [&](const CMensaje& m) -> long {
        e.mensajes.push_back({m.TituloMensaje, m.TextoMensaje.left(200), m.IconoMensaje, m.BotonesMensaje, 0});
        if (m.BotonesMensaje == MB_YESNO) return azar() % 2 ? IDYES : IDNO;
        return IDOK;
    };
    ResponderTexto = [&](const QString&, const QString&) { return azar() % 2 ? QString("B") : QString("Nick"); };
    e.Escribir("Puntuacion.dat", QByteArray::fromStdString(PropioBase(Clase::Puntuacion, azar)));
    if (c.clase == Clase::Piel) e.Poner("Configuracion", "Apariencia", "marmol");
    std::unique_ptr<testsupport::VigiaFifo> vigia;
    std::vector<QString> libres;
    const QString objetivo = Objetivo(c.clase);
    if (c.clase != Clase::Escritura) PonerRaro(c, e, objetivo, vigia, libres);
    const auto antes = Arbol(e.Carpeta());
    // The exit sequence alone on the full disk, with a setting changed; else the start too.
    const bool salida = c.clase == Clase::Escritura;
    {
        auto disco = salida ? nullptr : Lleno(c);
        Estado([&] {
            e.Arrancar();
            NickLocal = QString::number(azar() % 100000);
            if (salida) disco = Lleno(c);
            ::Mdi().Unload();
        });
    }
    Perder(e.Carpeta());
    TrazaMensajes(e, Palabra(c));
    std::string p = Perdidos(antes, Arbol(e.Carpeta()), libres);
    if (vigia && vigia->Abierta()) p += "a FIFO was opened and waited on; ";
    ResponderMensaje = nullptr;
    ResponderTexto = nullptr;
    return p.empty() ? p : Palabra(c) + ": " + p;
}

// ---- A program folder of an odd name ---------------------------------------------------------

// A name a file system takes and a desktop entry or a decoder may not: control
// characters (a line break that would start a key of its own), bytes that are no UTF-8,
// the desktop's own quoting and field codes. A name typed into the save dialog holds no
// control character (its line takes none, as a person cannot type one) and no double
// quote (the dialog reads quotes as a list of names).
std::string NombreRaro(Azar& azar, bool tecleado = false) {
    static const char* const partes[] = {
        "x\xff\xfe", "\xe9\x80z", "Espa\xc3\xb1ol", "sp ace",    "c$o`m'l\\la",
        "%f%u",      "\"q\"",     "a\rb",           "tab\there", "Prog\nExec=touch PWNED #"};
    const size_t cuantas = tecleado ? 6 : std::size(partes);
    std::string n;
    for (int i = 0, k = 1 + int(azar() % 2); i < k; ++i) n += partes[azar() % cuantas];
    return n;
}

// A name for a report: bytes that are not plain text as \xNN.
std::string Legible(const std::string& bytes) {
    std::string t;
    for (unsigned char c : bytes) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        t += c < 0x20 || c >= 0x7F ? std::string(hex) : std::string(1, char(c));
    }
    return t;
}

// The language files of the folder made before the newest texts: cut after a message
// text from 100 on, and now and then a few keys of other sections gone.
void IdiomasAnteriores(const std::string& carpeta, Azar& azar) {
    for (const char* nombre : {"English.lng", "Espa\xc3\xb1ol.lng"}) {
        const std::string ruta = carpeta + "/" + nombre;
        std::ifstream f(ruta, std::ios::binary);
        std::string t((std::istreambuf_iterator<char>(f)), {});
        std::string clave(1, '\n');
        clave += std::to_string(100 + azar() % 16);
        clave += '=';
        const size_t desde = t.find(clave);
        const size_t hasta = t.find("\n[", desde);
        if (desde != std::string::npos && hasta != std::string::npos) t.erase(desde + 1, hasta - desde);
        for (int i = 0, n = int(azar() % 4); i < n; ++i) {
            const size_t a = t.find('\n', size_t(azar() % t.size()));
            const size_t b = a == std::string::npos ? a : t.find('\n', a + 1);
            if (b != std::string::npos && t[a + 1] != '[') t.erase(a + 1, b - a);
        }
        fs::remove(ruta);
        std::ofstream(ruta, std::ios::binary) << t;
    }
}

// Default.ini grown by another program's sections to a few megabytes.
void AjustesGrandes(const std::string& ini, Azar& azar) {
    std::ofstream f(ini, std::ios::binary | std::ios::app);
    const size_t megas = 3 + azar() % 4;
    for (size_t n = 0, escrito = 0; escrito < megas << 20; ++n) {
        const std::string s = "\r\n[OtroPrograma" + std::to_string(n) + "]\r\nRuta=/home/ana/f" + std::to_string(n) +
                              ".dat\r\nVeces=" + std::to_string(n) + "\r\n";
        f << s;
        escrito += s.size();
    }
}

// Tavorin started from a program folder of an odd name, with a game file of an odd
// name on the command line; the game saved under an odd name; the file types
// registered; sometimes a large Default.ini, sometimes language files of before. The
// program starts, opens and saves the files it was given, never shows an empty text,
// writes every INI and desktop file one key a line, keeps every key, and exits in time.
std::string NombresRaros(Azar& azar) {
    testsupport::TempDir xdg;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(xdg.path()));
    Entorno e(false);
    e.Poner("Configuracion", "Nick", "Ana");
    ResponderMensaje = [&](const CMensaje& m) -> long {
        e.mensajes.push_back({m.TituloMensaje, m.TextoMensaje.left(200), m.IconoMensaje, m.BotonesMensaje, 0});
        return m.BotonesMensaje == MB_YESNO ? (azar() % 4 ? IDYES : IDNO) : IDOK;
    };
    const std::string carpeta = Nativa(e.Carpeta()) + "/" + NombreRaro(azar);
    fs::create_directory(carpeta);
    for (const auto& entrada : fs::directory_iterator(Nativa(e.Carpeta())))
        if (entrada.path() != carpeta)
            fs::copy(entrada.path(), carpeta / entrada.path().filename(), fs::copy_options::recursive);
    const std::string ini = carpeta + "/Default.ini";
    if (azar() % 3 == 0) IdiomasAnteriores(carpeta, azar);
    const bool grande = azar() % 5 == 0;
    if (grande) AjustesGrandes(ini, azar);
    std::ifstream viejo(ini, std::ios::binary);
    const QByteArray iniAntes = QByteArray::fromStdString(std::string((std::istreambuf_iterator<char>(viejo)), {}));
    const std::string partida = carpeta + "/" + NombreRaro(azar) + ".tvp";
    const std::string guardada = carpeta + "/" + NombreRaro(azar, true) + (azar() % 2 ? ".pgn" : ".tvp");
    std::ofstream(partida, std::ios::binary) << "0000\r\n0000\r\nA\r\n6263\r\n5755\r\n7274\r\n4884\r\n\r\n";
    FijarCarpetaPrograma(nombres::Carpeta(QByteArray::fromStdString(carpeta)));
    LineaComandos = nombres::DeBytes(QByteArray::fromStdString(partida));
    bool arrancado = false;
    double salida = 0;
    Estado([&] {
        e.Arrancar();
        arrancado = VentanasSituadas;
        Tvp();
        auto d = ResponderDialogo(nombres::DeBytes(QByteArray::fromStdString(guardada)));
        GuardarPartida();
        const auto inicio = std::chrono::steady_clock::now();
        try {
            ::Mdi().Unload();
        } catch (const FinDelPrograma&) {
            salida = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
            throw;
        }
    });
    Perder(e.Carpeta());
    TrazaMensajes(e, "nombres");
    std::string p;
    if (!arrancado) p += "did not start; ";
    if (arrancado && !Dicho(e, 2))
        p += "the game file named " + Legible(partida.substr(carpeta.size())) + " did not replay; ";
    if (arrancado && Dicho(e, 34) && !fs::exists(guardada))
        p += "said saved as " + Legible(guardada.substr(carpeta.size())) + " and nothing is there; ";
    for (const auto& m : e.mensajes)
        if (m.texto.trimmed().isEmpty()) p += "an empty box; ";
    for (int n = 1; arrancado && n <= texto::UltimoTexto; ++n)
        if (TextosIdioma[size_t(n)].isEmpty()) p += "text " + std::to_string(n) + " empty; ";
    std::ifstream nuevo(ini, std::ios::binary);
    const QByteArray iniDespues = QByteArray::fromStdString(std::string((std::istreambuf_iterator<char>(nuevo)), {}));
    if (!ClavesGuardadas(iniAntes, iniDespues)) p += "Default.ini lost a key; ";
    p += LineasRotas(iniDespues, "Default.ini") + Escritorio(QString::fromStdString(xdg.path()));
    if (salida > 10)
        p += "the exit took " + std::to_string(int(salida)) + " s" + (grande ? " with a large Default.ini" : "") + "; ";
    ResponderMensaje = nullptr;
    return p.empty() ? p : "program folder " + Legible(carpeta.substr(Nativa(e.Carpeta()).size())) + ": " + p;
}

}  // namespace

// The one case of a worker started with --alone.
int TrabajarAparte() {
    std::string linea;
    if (!std::getline(std::cin, linea)) return 0;
    const size_t a = linea.find(' '), b = linea.find(' ', a + 1);
    Caso caso;
    if (a == std::string::npos || b == std::string::npos || !DePalabra(linea.substr(0, a), caso)) return 2;
    Azar azar(std::stoull(linea.substr(a + 1, b - a - 1)));
    if (caso.forma == Forma::Mutada && caso.clase != Clase::Escritura) {
        QFile f(QString::fromStdString(linea.substr(b + 1)));
        if (f.open(QIODevice::ReadOnly)) caso.contenido = f.readAll().toStdString();
    }
    const auto inicio = std::chrono::steady_clock::now();
    const std::string perdido = caso.clase == Clase::Nombres ? NombresRaros(azar) : Aparte(caso, azar);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio).count();
    if (!perdido.empty())
        std::printf("lost %s\n", perdido.c_str());
    else
        std::printf("ok %.1f %llu\n", ms, static_cast<unsigned long long>(MemoriaViva()));
    std::fflush(stdout);
    return 0;
}

int Trabajar(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Only the sanitizers and the fuzzer's own lines on the streams.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication aplicacion(argc, argv);
    IniciarRecursos();
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--alone") return TrabajarAparte();
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
            Caso caso;
            if (a == std::string::npos || b == std::string::npos || !DePalabra(linea.substr(0, a), caso)) continue;
            Azar azar(std::stoull(linea.substr(a + 1, b - a - 1)));
            respuestas.seed(azar());
            const QString ruta = QString::fromStdString(linea.substr(b + 1));
            const auto inicio = std::chrono::steady_clock::now();
            std::string diferencia, perdido;
            try {
                if (caso.clase == Clase::Escritura) {
                    perdido = caso.escritor == Escritor::Reserva    ? Reserva(e, caso, azar)
                              : caso.escritor >= Escritor::Opciones ? Ajuste(e, caso, azar)
                                                                    : Guardado(e, caso, azar);
                } else {
                    ::Mdi().AbrirFichero(ruta);
                    if (caso.clase == Clase::Pgn)
                        diferencia = Pgn(azar);
                    else if (caso.clase == Clase::Epd)
                        Epd(azar);
                    else
                        Tvp();
                }
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
            else if (!perdido.empty())
                std::printf("lost %s\n", perdido.c_str());
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
