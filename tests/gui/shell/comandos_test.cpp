// The main window's commands: which item each toolbar button runs, the guards and
// questions of the game, file and connection commands, what they queue for the peer,
// the open dialog, dropped files, the set-up and the take-back on the board.
#include "entorno.h"

#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "files/ListaPgn.h"
#include "files/SetTableroF.h"
#include "files/fEpd.h"
#include "juego.h"
#include "network/Chat.h"
#include "network/Conexion.h"
#include "network/Ip.h"
#include "network/Nuevo.h"
#include "network/Ranking.h"
#include "network/Reloj.h"
#include "app/ColorRgb.h"
#include "app/Opciones.h"
#include "pgn_partidas.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"
#include "shell/Splash.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

constexpr long kAviso = MB_ICONINFORMATION;
constexpr long kPregunta = MB_ICONINFORMATION + MB_YESNO;
constexpr long kPreguntaNo = MB_ICONINFORMATION + MB_YESNO + MB_DEFBUTTON2;

// Everything the commands read, back to a quiet board without a game.
void Reiniciar(Entorno& e) {
    ReiniciarPartida();
    auto& g = Reglas();
    g.Conectado = false;
    g.TipoPartida.clear();
    g.MiColor.clear();
    g.Turno = 0;
    PartidaDeFichero = ModoPreparar = NuevoPendiente = RetrocesoPendiente = SalirPendiente = false;
    FicheroPendiente.clear();
    VersionRival = "1.55";
    for (Forma* f : std::initializer_list<Forma*>{&ListaPgn(), &Cpu(), &fEpd(), &SetTableroF(), &Nuevo(), &Conexion(),
                                                  &Ip(), &ColorRgb(), &Opciones(), &Splash()})
        f->Hide();
    // The browser's save buttons show only while it saves.
    ListaPgn().Command2[1]->hide();
    ListaPgn().Command2[2]->hide();
    NumColaEnvio = 0;
    Mdi().DireccionLocal = [] { return QString("192.168.1.2"); };
    e.mensajes.clear();
    e.respuestas.clear();
}

// The queue for the peer, one message after the other ("|" between).
std::string Cola() {
    QStringList c;
    for (long i = 1; i <= NumColaEnvio; ++i) c << ColaEnvio[i];
    return c.join(u'|').toStdString();
}

// The messages shown, as "n/style" when the text is language text n ("|" between).
std::string Vistos(const Entorno& e) {
    QStringList v;
    for (const auto& m : e.mensajes) {
        QString n = m.texto;
        for (int i = 1; i < int(TextosIdioma.size()); ++i)
            if (!TextosIdioma[i].isEmpty() && TextosIdioma[i] == m.texto) n = QString::number(i);
        v << n + "/" + QString::number(m.icono + m.botones + m.defecto);
    }
    return v.join(u'|').toStdString();
}

// The one message shown, as "n/style" when it is language text n with `valor` where
// its "$" stands.
std::string Texto(const Entorno& e, int n, const QString& valor) {
    if (e.mensajes.size() != 1) return std::to_string(e.mensajes.size()) + " messages";
    const auto& m = e.mensajes[0];
    const QString texto = m.texto == QString(TextosIdioma[n]).replace("$", valor) ? QString::number(n) : m.texto;
    return (texto + "/" + QString::number(m.icono + m.botones + m.defecto)).toStdString();
}

// Plays a move on the game's board as a one-board game does.
void Jugada(const std::string& uci) { ASSERT_TRUE(rules_test::Jugar(Reglas(), uci).valido) << uci; }

// ---- Toolbar --------------------------------------------------------------------------

TEST(Botones, EachButtonRunsTheItemOfTheTable) {
    Entorno e;
    e.Arrancar();
    auto& m = Mdi();
    const std::pair<int, QAction*> tabla[] = {
        {1, m.mnuAbrirPartida}, {3, m.mnuGuardarPartida},     {4, m.mnuGuararChat},       {5, m.mnuGuararImagen},
        {7, m.mnuObtenerIp},    {8, m.mnuEstablecerconexion}, {9, m.mnuDesconectar},      {11, m.mnuNuevaPartida},
        {12, m.mnuRendirse},    {13, m.mnuOfrecerTablas},     {14, m.mnuRetroceder},      {16, m.mnuSetTablero},
        {18, m.mnuRgb},         {19, m.mnuOpciones},          {20, m.mnuInvertirTablero}, {22, m.mnuTemaAyuda},
        {23, m.mnuAcerca},      {25, m.mnuActualizar}};
    for (int i = 1; i <= 27; ++i) {
        QAction* esperado = nullptr;
        for (const auto& [boton, item] : tabla)
            if (boton == i) esperado = item;
        EXPECT_EQ(m.AccionDeBoton(i), esperado) << "button " << i;
        EXPECT_EQ(m.Toolbar1[i]->isSeparator(), esperado == nullptr && i != 27) << "button " << i;
        // A button shows its item's picture (the flip's item has none).
        if (esperado && i != 20) {
            EXPECT_EQ(m.Toolbar1[i]->icon().pixmap(16).toImage(), esperado->icon().pixmap(16).toImage()) << i;
        }
    }
    // Separators and menu heads do nothing.
    Reiniciar(e);
    for (int i : {0, 2, 6, 10, 15, 17, 21, 24, 26, 28}) m.Toolbar1_ButtonClick(i);
    for (QMenu* cabeza : {m.mnuArchivos, m.mnuConectar, m.mnuPartida, m.mnuVer, m.mnuAyuda})
        cabeza->menuAction()->trigger();
    EXPECT_TRUE(e.mensajes.empty());
}

// Every item whose handler shows its work on a quiet board without a game: the item,
// and its toolbar button where it has one, each reach that handler. (The commands
// that first test the game state are checked by their refusals below.)
TEST(Cableado, EveryItemAndItsButtonReachTheirHandler) {
    Entorno e;
    e.Arrancar();
    auto& m = Mdi();
    auto marca = [&](const char* clave) { return ("key " + e.Leer("Configuracion", clave)).toStdString(); };
    auto visible = [](Forma& f) { return std::string(f.Visible() ? "shown" : "hidden"); };
    auto portapapeles = [] { return QApplication::clipboard()->text().toStdString(); };
    struct Fila {
        QAction* forms::Mdi::*item;
        int boton;
        std::function<void()> preparar;
        std::function<std::string()> efecto;
        std::string esperado;
    };
    // clang-format off
    const Fila filas[] = {
        {&forms::Mdi::mnuMovimientos, 0, [] { Mdi().mnuMovimientos->setChecked(false); Jugadas().Hide(); },
         [&] { return visible(Jugadas()) + " " + marca("Jugadas"); }, "shown key 1"},
        {&forms::Mdi::mnuVentanaChat, 0, [] { Mdi().mnuVentanaChat->setChecked(true); Chat().Show(); },
         [&] { return visible(Chat()) + " " + marca("Chat"); }, "hidden key 0"},
        {&forms::Mdi::mnuReloj, 0, [] { Mdi().mnuReloj->setChecked(false); },
         [&] { return visible(Reloj()) + " " + marca("Reloj"); }, "shown key 1"},
        {&forms::Mdi::mnuMostrarRanking, 0, [] { Mdi().mnuMostrarRanking->setChecked(false); },
         [&] { return visible(Ranking()) + " " + marca("Elo"); }, "shown key 1"},
        {&forms::Mdi::mnuSonido, 0, [] { Mdi().mnuSonido->setChecked(true); }, [&] { return marca("Sonido"); }, "key 0"},
        {&forms::Mdi::mnuPointClick, 0, [] { Mdi().mnuPointClick->setChecked(false); },
         [&] { return marca("PointClick"); }, "key 1"},
        {&forms::Mdi::mnuInvertirTablero, 20, [] { Mdi().mnuInvertirTablero->setChecked(false); },
         [] { return Tavorin().Letras[0]->text().toStdString(); }, "H"},
        {&forms::Mdi::mnuRgb, 18, [] {}, [&] { return visible(ColorRgb()); }, "shown"},
        {&forms::Mdi::mnuOpciones, 19, [] {}, [&] { return visible(Opciones()); }, "shown"},
        {&forms::Mdi::mnuAcerca, 23, [] {}, [&] { return visible(Splash()); }, "shown"},
        {&forms::Mdi::mnuObtenerIp, 7, [] {}, [&] { return visible(Ip()); }, "shown"},
        {&forms::Mdi::mnuEstablecerconexion, 8, [] {}, [&] { return visible(Conexion()); }, "shown"},
        {&forms::Mdi::mnuTemaAyuda, 22, [] {}, [&] { return Texto(e, 63, "Tavorin.html"); }, "63/64"},
        {&forms::Mdi::mnuActualizar, 25, [&] { e.respuestas = {IDNO}; }, [&] { return Texto(e, 100, "\r\n"); },
         "100/68"},
        {&forms::Mdi::mnuCambiarNick, 0, [&] { e.textos = {"Nuevo"}; }, [] { return NickLocal.toStdString(); }, "Nuevo"},
        {&forms::Mdi::mnuCopiar, 0, [] { Chat().ChatList->setPlainText("hola"); }, portapapeles, "hola"},
        {&forms::Mdi::mnuChatListBorrar, 0, [] { Chat().ChatList->setPlainText("hola"); },
         [] { return Chat().Conversacion().toStdString(); }, ""},
        {&forms::Mdi::mnuCopiarJugadas, 0, [] { Jugada("e2e4"); Jugadas().ActualizarTextos(); }, portapapeles,
         "1. e4"},
        {&forms::Mdi::mnuCordenadas, 0, [] {}, [&] { return marca("Check"); }, "key 3"},
        {&forms::Mdi::mnuAlgebraicoIng, 0, [] {}, [&] { return marca("Check"); }, "key 2"},
        {&forms::Mdi::mnuAlgebraicoEsp, 0, [] {}, [&] { return marca("Check"); }, "key 1"},
    };
    // clang-format on
    for (const Fila& f : filas) {
        for (bool porBoton : {false, true}) {
            if (porBoton && f.boton == 0) continue;
            Reiniciar(e);
            Reglas().Turno = 1;
            QApplication::clipboard()->clear();
            f.preparar();
            e.mensajes.clear();
            if (porBoton)
                m.Toolbar1[f.boton]->trigger();
            else
                (m.*f.item)->trigger();
            EXPECT_EQ(f.efecto(), f.esperado)
                << (m.*f.item)->objectName().toStdString() << (porBoton ? " (button)" : "");
        }
    }
    // The user-letters item, hidden until letters are defined, writes its number too.
    m.mnuAlgebraicoUsuario[0]->trigger();
    EXPECT_EQ(marca("Check"), "key 4");
    // Exit, from the menu: no question, the end.
    Reiniciar(e);
    EXPECT_EQ(Estado([] { Mdi().mnuSalir->trigger(); }), 0);
    EXPECT_TRUE(e.mensajes.empty());
}

// ---- Guards, refusals and questions -----------------------------------------------------

struct Fila {
    const char* nombre;
    std::function<void()> preparar;
    QAction* forms::Mdi::*item;
    int boton;              // 0: no button
    std::string vistos;     // the messages, "text/style"
    std::string cola = {};  // what is queued for the peer
};

void Conectado(const char* tipo = "") {
    Reglas().Conectado = true;
    Reglas().TipoPartida = tipo;
}

TEST(Guardas, EachCommandRefusesAsksAndQueuesByTheGameState) {
    Entorno e;
    e.Arrancar();
    auto& m = Mdi();
    auto fichero = [] { PartidaDeFichero = true; };
    auto registro = [] { Reglas().Jugadas.List1 = {"5254"}; };
    // clang-format off
    const Fila filas[] = {
        // A game or position from a file is on the board.
        {"save", fichero, &forms::Mdi::mnuGuardarPartida, 3, "80/64"},
        {"image", fichero, &forms::Mdi::mnuGuararImagen, 5, "80/64"},
        {"options", fichero, &forms::Mdi::mnuOpciones, 19, "80/64"},
        {"new game", fichero, &forms::Mdi::mnuNuevaPartida, 11, "80/64"},
        {"open", fichero, &forms::Mdi::mnuAbrirPartida, 1, "80/64"},
        {"open, EPD list shown", [] { fEpd().Show(); }, &forms::Mdi::mnuAbrirPartida, 1, "80/64"},
        {"resign", fichero, &forms::Mdi::mnuRendirse, 12, "80/64"},
        {"draw", fichero, &forms::Mdi::mnuOfrecerTablas, 13, "80/64"},
        {"take-back", [&] { fichero(); registro(); }, &forms::Mdi::mnuRetroceder, 14, ""},
        // A request to the peer waits for its answer.
        {"new game, game pending", [] { NuevoPendiente = true; }, &forms::Mdi::mnuNuevaPartida, 11, "81/64"},
        {"open, file pending", [] { FicheroPendiente = "x.tvp"; }, &forms::Mdi::mnuAbrirPartida, 1, "81/64"},
        {"resign, take-back pending", [] { RetrocesoPendiente = true; }, &forms::Mdi::mnuRendirse, 12, "81/64"},
        {"draw, game pending", [] { NuevoPendiente = true; }, &forms::Mdi::mnuOfrecerTablas, 13, "81/64"},
        {"take-back, take-back pending", [&] { registro(); RetrocesoPendiente = true; Conectado("A"); },
         &forms::Mdi::mnuRetroceder, 14, "81/64"},
        // Connection.
        {"connect when connected", [] { Conectado(); }, &forms::Mdi::mnuEstablecerconexion, 8, "9/64"},
        {"address without a network", [] { Mdi().DireccionLocal = [] { return QString("127.0.0.1"); }; },
         &forms::Mdi::mnuObtenerIp, 7, "68/64"},
        {"set-up connected", [] { Conectado(); }, &forms::Mdi::mnuSetTablero, 16, "83/64"},
        {"disconnect, rated game", [] { Conectado("R"); }, &forms::Mdi::mnuDesconectar, 9, "53/324"},
        {"disconnect, unrated game", [] { Conectado("A"); }, &forms::Mdi::mnuDesconectar, 9, ""},
        {"disconnect, not connected", [] { Reglas().TipoPartida = "R"; }, &forms::Mdi::mnuDesconectar, 9, "115/64"},
        // Questions answered with their default button, No.
        {"resign, game", [] { Conectado("A"); }, &forms::Mdi::mnuRendirse, 12, "14/324"},
        {"resign, no game", [] { Conectado(); }, &forms::Mdi::mnuRendirse, 12, "113/64"},
        {"resign, not connected", [] { Reglas().TipoPartida = "A"; }, &forms::Mdi::mnuRendirse, 12, "113/64"},
        {"draw, no game", [] { Conectado(); }, &forms::Mdi::mnuOfrecerTablas, 13, "113/64"},
        {"resign, set-up", [] { Conectado("A"); ModoPreparar = true; }, &forms::Mdi::mnuRendirse, 12, ""},
        {"draw, game", [] { Conectado("R"); }, &forms::Mdi::mnuOfrecerTablas, 13, "17/324"},
        {"new game, connected with a game", [] { Conectado("A"); }, &forms::Mdi::mnuNuevaPartida, 11, "12/324"},
        // Take-back between peers.
        {"take-back, old peer", [&] { registro(); Conectado("A"); VersionRival = "1.41"; },
         &forms::Mdi::mnuRetroceder, 14, "106/64"},
        {"take-back, older peer", [&] { registro(); Conectado("A"); VersionRival = "1.3"; },
         &forms::Mdi::mnuRetroceder, 14, "106/64"},
        {"take-back, peer", [&] { registro(); Conectado("A"); }, &forms::Mdi::mnuRetroceder, 14, "", "Retroceso"},
        {"take-back, peer to move", [&] { registro(); Conectado("A"); Reglas().Turno = 1; },
         &forms::Mdi::mnuRetroceder, 14, ""},
        {"take-back, no move", [] { Conectado("A"); }, &forms::Mdi::mnuRetroceder, 14, "114/64"},
        {"take-back, no game", [] { Reglas().Turno = 1; }, &forms::Mdi::mnuRetroceder, 14, "114/64"},
        {"take-back, set-up", [&] { registro(); ModoPreparar = true; Reglas().Turno = 1; },
         &forms::Mdi::mnuRetroceder, 14, ""},
        // The engine panel takes resign, draw and take-back before any guard.
        {"panel, resign", [&] { Cpu().Show(); fichero(); }, &forms::Mdi::mnuRendirse, 12, ""},
        {"panel, draw", [&] { Cpu().Show(); fichero(); }, &forms::Mdi::mnuOfrecerTablas, 13, ""},
        {"panel, take-back", [&] { Cpu().Show(); RetrocesoPendiente = true; registro(); },
         &forms::Mdi::mnuRetroceder, 14, ""},
        // Save game is no silent no-op: the engine panel's game saves as any other. Open
        // and Options say why they do nothing while the panel or the browser is shown.
        {"panel, save", [&] { Cpu().Show(); fichero(); }, &forms::Mdi::mnuGuardarPartida, 3, "80/64"},
        {"panel, open", [&] { Cpu().Show(); }, &forms::Mdi::mnuAbrirPartida, 1, "111/64"},
        {"browser, options", [&] { ListaPgn().Show(); }, &forms::Mdi::mnuOpciones, 19, "80/64"},
        // The game commands and Colours say that the PGN browser stands in the way.
        {"browser, resign", [&] { ListaPgn().Show(); fichero(); }, &forms::Mdi::mnuRendirse, 12, "112/64"},
        {"browser, draw", [&] { ListaPgn().Show(); fichero(); }, &forms::Mdi::mnuOfrecerTablas, 13, "112/64"},
        {"browser, set-up", [] { ListaPgn().Show(); Conectado(); }, &forms::Mdi::mnuSetTablero, 16, "112/64"},
        {"browser, new game", [&] { ListaPgn().Show(); fichero(); }, &forms::Mdi::mnuNuevaPartida, 11, "112/64"},
        {"browser, colours", [] { ListaPgn().Show(); }, &forms::Mdi::mnuRgb, 18, "112/64"},
        // The PGN browser blocks these silently.
        {"browser, address", [] { ListaPgn().Show(); Mdi().DireccionLocal = [] { return QString("127.0.0.1"); }; },
         &forms::Mdi::mnuObtenerIp, 7, ""},
        {"browser, save", [&] { ListaPgn().Show(); }, &forms::Mdi::mnuGuardarPartida, 3, "80/64"},
        {"browser, connect", [] { ListaPgn().Show(); Conectado(); }, &forms::Mdi::mnuEstablecerconexion, 8, ""},
        {"EPD list, connect", [] { fEpd().Show(); Conectado(); }, &forms::Mdi::mnuEstablecerconexion, 8, ""},
        {"set-up, connect", [] { ModoPreparar = true; Conectado(); }, &forms::Mdi::mnuEstablecerconexion, 8, ""},
        {"EPD list, set-up", [] { fEpd().Show(); Conectado(); }, &forms::Mdi::mnuSetTablero, 16, ""},
        {"panel, set-up", [] { Cpu().Show(); }, &forms::Mdi::mnuSetTablero, 16, "116/64"},
        {"set-up shown, set-up", [] { SetTableroF().Show(); Conectado(); }, &forms::Mdi::mnuSetTablero, 16, ""},
        // Open, then save as from the move list, without the guards of the menu (a game
        // still coming from a file says so).
        {"open, set-up", [] { ModoPreparar = true; PartidaDeFichero = true; }, &forms::Mdi::mnuAbrirPartida, 1, ""},
        {"open, browser saving", [] { ListaPgn().Show(); ListaPgn().Command2[1]->show(); },
         &forms::Mdi::mnuAbrirPartida, 1, "80/64"},
        // A save button left shown in a closed browser blocks nothing.
        {"open, browser closed", [] { ListaPgn().Command2[1]->show(); PartidaDeFichero = true; },
         &forms::Mdi::mnuAbrirPartida, 1, "80/64"},
        {"save as", fichero, &forms::Mdi::mnuGuardarComo, 0, "80/64"},
    };
    // clang-format on
    for (const Fila& f : filas) {
        for (bool porBoton : {false, true}) {
            if (porBoton && f.boton == 0) continue;
            Reiniciar(e);
            f.preparar();
            if (porBoton)
                m.Toolbar1[f.boton]->trigger();
            else
                (m.*f.item)->trigger();
            const QString como = porBoton ? " (button)" : " (item)";
            EXPECT_EQ(Vistos(e), f.vistos) << f.nombre << como.toStdString();
            EXPECT_EQ(Cola(), f.cola) << f.nombre << como.toStdString();
        }
    }
}

TEST(Guardas, WithThePgnBrowserShownTheViewItemsDoNothing) {
    Entorno e;
    e.Arrancar();
    auto& m = Mdi();
    Reiniciar(e);
    ListaPgn().Show();
    const QString antes = e.Leer("Configuracion", "Chat");
    for (QAction* item : {m.mnuMovimientos, m.mnuVentanaChat, m.mnuReloj, m.mnuMostrarRanking}) {
        const bool marcado = item->isChecked();
        item->trigger();
        EXPECT_EQ(item->isChecked(), marcado) << item->objectName().toStdString();
    }
    m.mnuObtenerIp->trigger();
    EXPECT_FALSE(Ip().Visible());
    EXPECT_EQ(e.Leer("Configuracion", "Chat"), antes);
    EXPECT_TRUE(e.mensajes.empty());
    // Colours says why it does not open.
    m.mnuRgb->trigger();
    m.Toolbar1[18]->trigger();
    EXPECT_FALSE(ColorRgb().Visible());
    EXPECT_EQ(Vistos(e), "112/64|112/64");
    e.mensajes.clear();
    // Options says why it does not open.
    m.mnuOpciones->trigger();
    EXPECT_FALSE(Opciones().Visible());
    EXPECT_EQ(Vistos(e), "80/64");
}

TEST(Guardas, ConnectAndAddressShowTheirWindows) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    Mdi().Toolbar1[8]->trigger();
    EXPECT_TRUE(Conexion().Visible());
    Mdi().Toolbar1[7]->trigger();
    EXPECT_TRUE(Ip().Visible());
    EXPECT_TRUE(e.mensajes.empty());
}

TEST(Partida, ResignQueuesAndBooksALossOnlyWhenRated) {
    for (const char* tipo : {"R", "A"}) {
        Entorno e;
        e.Arrancar();
        Reiniciar(e);
        Conectado(tipo);
        Reglas().MiColor = "Blancas";
        Reglas().Turno = 1;
        const long derrotas = Ranking().RegPuntuacion[2];
        e.respuestas = {IDYES};
        Mdi().mnuRendirse->trigger();
        EXPECT_EQ(Vistos(e), "14/324|15/64") << tipo;
        EXPECT_EQ(Cola(), "Rendirse");
        EXPECT_EQ(Ranking().RegPuntuacion[2], derrotas + (tipo[0] == 'R' ? 1 : 0)) << tipo;
        EXPECT_TRUE(Reglas().TipoPartida.empty());
        EXPECT_TRUE(Reglas().MiColor.empty());
        EXPECT_EQ(Reglas().Turno, 0);
    }
}

TEST(Partida, ADrawIsOfferedOnlyWhileStillConnected) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    Conectado("R");
    e.respuestas = {IDYES};
    Mdi().mnuOfrecerTablas->trigger();
    EXPECT_EQ(Cola(), "OfrecerTablas");
    // The peer leaves while the question is open.
    Reiniciar(e);
    Conectado("R");
    ResponderMensaje = [](const CMensaje&) {
        Reglas().Conectado = false;
        return IDYES;
    };
    Mdi().mnuOfrecerTablas->trigger();
    EXPECT_EQ(Cola(), "");
}

// ---- Opening files ------------------------------------------------------------------------

// Answers the next open dialog: notes what it shows, then picks `eleccion` (or
// cancels when it is empty).
struct Dialogo {
    QString titulo, carpeta, filtro;
    QStringList filtros;
    bool visto = false;

    void Responder(const QString& eleccion) {
        auto* t = new QTimer;
        t->setInterval(5);
        QObject::connect(t, &QTimer::timeout, [this, t, eleccion] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* d = qobject_cast<QFileDialog*>(w);
                if (!d || !d->isVisible()) continue;
                visto = true;
                titulo = d->windowTitle();
                carpeta = d->directory().absolutePath();
                filtros = d->nameFilters();
                filtro = d->selectedNameFilter();
                t->stop();
                t->deleteLater();
                if (eleccion.isEmpty()) {
                    d->reject();
                } else {
                    d->selectFile(eleccion);
                    static_cast<QDialog*>(d)->accept();
                }
                return;
            }
        });
        t->start();
    }
};

TEST(Abrir, TheDialogShowsItsTitleFiltersFolderAndFilter) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    QDir().mkpath(e.Ruta("juegos"));
    e.Escribir("juegos/GAME.TVP", "");
    DirectorioFicheros = e.Ruta("juegos") + "/";
    TipoFichero = "2";
    Reglas().TipoPartida = "A";
    Reloj().Label3->setText("05:00");
    Dialogo d;
    d.Responder(e.Ruta("juegos/GAME.TVP"));
    Mdi().Toolbar1[1]->trigger();
    ASSERT_TRUE(d.visto);
    EXPECT_EQ(d.titulo.toStdString(), TextosIdioma[43].toStdString());
    EXPECT_EQ(d.filtros.join(u'|').toStdString(),
              "Partidas de Tavorin (*.tvp)|Partidas Pgn (*.pgn)|Posiciones Epd (*.epd)");
    EXPECT_EQ(d.carpeta.toStdString(), e.Ruta("juegos").toStdString());
    EXPECT_EQ(d.filtro.toStdString(), "Partidas Pgn (*.pgn)");
    // The capitals of the name do not hide its kind: the own game file opened.
    EXPECT_TRUE(e.mensajes.empty());
    EXPECT_TRUE(Reglas().TipoPartida.empty());
    EXPECT_TRUE(Reloj().Tiempo(true).isEmpty());
}

TEST(Abrir, ACancelledDialogOpensNothing) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    Reglas().TipoPartida = "A";
    Dialogo d;
    d.Responder({});
    Mdi().mnuAbrirPartida->trigger();
    EXPECT_TRUE(d.visto);
    EXPECT_EQ(Reglas().TipoPartida, "A");
    EXPECT_TRUE(e.mensajes.empty());
}

TEST(Abrir, EachKindOfFileGoesItsWay) {
    Entorno e;
    e.Arrancar();
    for (const char* n : {"a.pgn", "a.epd", "a.tvp", "B.EPD"}) e.Escribir(n, "");
    struct Caso {
        const char* nombre;
        std::function<void()> preparar;
        const char* fichero;
        std::vector<long> respuestas;
        std::string vistos;
        std::string cola;
        bool deFichero;
        QString pendiente;
    };
    // clang-format off
    const Caso casos[] = {
        {"missing file", [] {}, "no.tvp", {}, "26/64", "", false, ""},
        {"PGN connected", [] { Conectado(); }, "a.pgn", {}, "58/64", "", false, ""},
        {"PGN", [] {}, "a.pgn", {}, "", "", false, ""},
        {"EPD, old peer", [] { Conectado(); VersionRival = "1.41"; }, "a.epd", {}, "56/64", "", false, ""},
        {"EPD, peer", [] { Conectado(); }, "B.EPD", {}, "", "AbrirPartidaEPD", true, "B.EPD"},
        {"EPD during a game, No", [] { Conectado("A"); }, "a.epd", {IDNO}, "57/68", "", false, ""},
        // The game stays playable until the peer answers.
        {"EPD during a game, Yes", [] { Conectado("A"); }, "a.epd", {IDYES}, "57/68", "AbrirPartidaEPD", false,
         "a.epd"},
        {"own file during a game, No", [] { Conectado("R"); }, "a.tvp", {IDNO}, "57/68", "", false, ""},
        {"own file during a game, Yes", [] { Conectado("R"); }, "a.tvp", {IDYES}, "57/68", "AbrirPartida", false,
         "a.tvp"},
        {"own file connected, no game", [] { Conectado(); }, "a.tvp", {}, "", "AbrirPartida", false, "a.tvp"},
        {"EPD, not connected", [] {}, "a.epd", {}, "55/64", "", false, ""},
    };
    // clang-format on
    for (const Caso& c : casos) {
        Reiniciar(e);
        Reglas().MiColor = "Negras";
        Reglas().Turno = 2;
        c.preparar();
        for (long r : c.respuestas) e.respuestas.push_back(r);
        const QString ruta = e.Ruta(c.fichero);
        Mdi().AbrirFichero(ruta);
        EXPECT_EQ(Vistos(e), c.vistos) << c.nombre;
        EXPECT_EQ(Cola(), c.cola) << c.nombre;
        EXPECT_EQ(PartidaDeFichero, c.deFichero) << c.nombre;
        EXPECT_EQ(FicheroPendiente.toStdString(),
                  (c.pendiente.isEmpty() ? QString() : e.Ruta(c.pendiente)).toStdString())
            << c.nombre;
    }
    // A position file for the peer clears the game at once when none runs.
    Reiniciar(e);
    Conectado();
    Reglas().MiColor = "Blancas";
    Reglas().Turno = 1;
    Mdi().AbrirFichero(e.Ruta("a.epd"));
    EXPECT_TRUE(Reglas().MiColor.empty());
    EXPECT_EQ(Reglas().Turno, 0);
}

TEST(Abrir, DroppedFilesOpenByTheirKindWhateverTheCase) {
    Entorno e;
    e.Arrancar();
    for (const char* n : {"x.TVP", "x.txt", "GAME.PGN", "y.tvp"}) e.Escribir(n, "");
    struct Caso {
        const char* fichero;
        bool abre;
    };
    for (const Caso& c : {Caso{"x.TVP", true}, Caso{"y.tvp", true}, Caso{"x.txt", false}}) {
        Reiniciar(e);
        Reglas().TipoPartida = "A";
        QMimeData datos;
        datos.setUrls({QUrl::fromLocalFile(e.Ruta(c.fichero))});
        QDragEnterEvent entra(QPoint(10, 10), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Mdi(), &entra);
        EXPECT_TRUE(entra.isAccepted());
        QDropEvent suelta(QPointF(10, 10), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Mdi(), &suelta);
        EXPECT_EQ(Reglas().TipoPartida.empty(), c.abre) << c.fichero;
        EXPECT_TRUE(e.mensajes.empty()) << c.fichero;
    }
    // Through FileDrop as the board's drop hands it on: a PGN file while connected
    // reaches the open command, which refuses it.
    Reiniciar(e);
    Conectado();
    Mdi().FileDrop(e.Ruta("GAME.PGN"));
    EXPECT_EQ(Vistos(e), "58/64");
    // A drop without files does nothing.
    Reiniciar(e);
    QMimeData vacio;
    vacio.setText("e2e4");
    QDropEvent nada(QPointF(10, 10), Qt::CopyAction, &vacio, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Mdi(), &nada);
    EXPECT_TRUE(e.mensajes.empty());
}

// ---- Set-up --------------------------------------------------------------------------------

void ComprobarPreparar() {
    auto& s = SetTableroF();
    EXPECT_TRUE(s.Visible());
    for (PictureBox* celda : s.Picture1) EXPECT_EQ(celda->BackColor(), QColor(0, 128, 0));
    EXPECT_TRUE(s.Option1->isChecked());
    EXPECT_FALSE(s.Option2->isChecked());
    for (QCheckBox* c : {s.Check1, s.Check2, s.Check3, s.Check4}) EXPECT_TRUE(c->isChecked());
    EXPECT_FALSE(s.Check5->isChecked());
    EXPECT_TRUE(s.Text1->text().isEmpty());
    EXPECT_FALSE(s.Text1->isEnabled());
    EXPECT_EQ(FichaPaleta, 0);
    EXPECT_FALSE(Mdi().mnuInvertirTablero->isChecked());
    EXPECT_EQ(Tavorin().Letras[0]->text(), "A");
    EXPECT_EQ(Tavorin().Numeros[0]->text(), "1");
    EXPECT_EQ(rules_test::En(Reglas(), "e1"), rules::ReyBlanco);
    EXPECT_EQ(rules_test::En(Reglas(), "e2"), rules::PeonBlanco);
    EXPECT_TRUE(Reglas().Jugadas.List1.empty());
    EXPECT_TRUE(Jugadas().List[1]->toPlainText().isEmpty());
}

TEST(Preparar, AnUntouchedStartOpensTheWindowAtOnce) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    // Seen from Black before: the set-up shows White's view.
    Mdi().mnuInvertirTablero_Click();
    ASSERT_TRUE(Mdi().mnuInvertirTablero->isChecked());
    SetTableroF().Text1->setText("e3");
    SetTableroF().Text1->setEnabled(true);
    SetTableroF().Check5->setChecked(true);
    Mdi().Toolbar1[16]->trigger();
    EXPECT_TRUE(e.mensajes.empty());
    ComprobarPreparar();
}

TEST(Preparar, AGameUnderWayAsksFirst) {
    Entorno e;
    e.Arrancar();
    auto texto84 = [] {
        QString t = TextosIdioma[84];
        t.replace(" $ ", "\r\n");
        return t;
    };
    ASSERT_EQ(TextosIdioma[84].count(" $ "), 2);
    // A move listed, answered No: nothing changes.
    Reiniciar(e);
    Reglas().Turno = 1;
    Jugada("e2e4");
    Mdi().mnuSetTablero->trigger();
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(e.mensajes[0].texto, texto84());
    EXPECT_EQ(e.mensajes[0].icono + e.mensajes[0].botones + e.mensajes[0].defecto, kPreguntaNo);
    EXPECT_FALSE(SetTableroF().Visible());
    EXPECT_EQ(Reglas().Jugadas.List1.size(), 1u);
    // Yes: the set-up starts from the start position.
    Reiniciar(e);
    Reglas().Turno = 1;
    Jugada("e2e4");
    e.respuestas = {IDYES};
    Mdi().mnuSetTablero->trigger();
    EXPECT_EQ(e.mensajes.size(), 1u);
    ComprobarPreparar();
    // A king in check without a move listed asks too.
    SetTableroF().Hide();
    Reiniciar(e);
    Reglas().CasillasAtacantes = "58";
    Mdi().mnuSetTablero->trigger();
    EXPECT_EQ(e.mensajes.size(), 1u);
    EXPECT_FALSE(SetTableroF().Visible());
}

// Set-up, Cancel, Options, OK: when the main window is activated again (as the window
// system does once the options close), the hidden set-up window is not taken up again:
// New game, Open and Save each open their window, and a new game starts on the
// normal board.
TEST(Preparar, ACancelledSetUpStaysClosedWhenTheMainWindowIsActivatedAgain) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    auto& m = Mdi();
    auto activar = [&m] {
        QEvent activa(QEvent::WindowActivate);
        QApplication::sendEvent(&m, &activa);
        QApplication::processEvents();
    };
    m.mnuSetTablero->trigger();
    ASSERT_TRUE(ModoPreparar);
    SetTableroF().Command4->click();
    ASSERT_FALSE(ModoPreparar);
    m.mnuOpciones->trigger();
    ASSERT_TRUE(Opciones().Visible());
    Opciones().Command1->click();
    ASSERT_FALSE(Opciones().Visible());
    activar();
    // The area still names the hidden set-up window as its active one, or the board.
    ASSERT_TRUE(m.Area->activeSubWindow());
    EXPECT_FALSE(ModoPreparar);
    EXPECT_FALSE(SetTableroF().Visible());
    // The set-up opened and cancelled again shows the normal board.
    m.mnuSetTablero->trigger();
    ASSERT_TRUE(SetTableroF().Visible());
    SetTableroF().Command4->click();
    activar();
    EXPECT_FALSE(ModoPreparar);
    EXPECT_FALSE(m.mnuInvertirTablero->isChecked());
    EXPECT_EQ(Tavorin().Letras[0]->text(), "A");
    EXPECT_EQ(Tavorin().Numeros[0]->text(), "1");
    // Open and Save show their dialogs.
    Dialogo abrir;
    abrir.Responder({});
    m.mnuAbrirPartida->trigger();
    EXPECT_TRUE(abrir.visto);
    activar();
    Dialogo guardar;
    guardar.Responder({});
    m.mnuGuardarPartida->trigger();
    EXPECT_TRUE(guardar.visto);
    activar();
    // New game opens the engine panel; the board has White's king on e1, seen from White.
    m.mnuNuevaPartida->trigger();
    EXPECT_TRUE(Cpu().Visible());
    EXPECT_EQ(rules_test::En(Reglas(), "e1"), rules::ReyBlanco);
    EXPECT_FALSE(m.mnuInvertirTablero->isChecked());
    EXPECT_EQ(Tavorin().Letras[0]->text(), "A");
    EXPECT_EQ(Tavorin().Numeros[0]->text(), "1");
    EXPECT_TRUE(e.mensajes.empty()) << Vistos(e);
}

// Closed by any way, even by another window that hides it, the set-up window ends
// the set-up; a window hidden is never activated again.
TEST(Preparar, TheSetUpEndsWheneverItsWindowIsHidden) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    Mdi().mnuSetTablero->trigger();
    ASSERT_TRUE(ModoPreparar);
    SetTableroF().Hide();
    EXPECT_FALSE(ModoPreparar);
    SetTableroF().Form_Activate();
    EXPECT_FALSE(ModoPreparar);
}

// ---- Take-back on the board -------------------------------------------------------------------

TEST(Retroceder, AOneBoardGameTakesBackEveryTextAndTheTurn) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    Mdi().mnuMovimientos->setChecked(false);
    Mdi().mnuMovimientos_Click();
    Reglas().Turno = 1;
    Jugada("e2e4");
    Jugada("e7e5");
    ASSERT_EQ(Jugadas().List1->count(), 2);
    Tavorin().Shape->show();
    Mdi().Toolbar1[14]->trigger();
    EXPECT_EQ(rules_test::En(Reglas(), "e7"), rules::PeonNegro);
    EXPECT_EQ(rules_test::En(Reglas(), "e5"), rules::Vacia);
    EXPECT_EQ(Reglas().Turno, 2);
    EXPECT_EQ(Jugadas().List1->count(), 1);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(Reglas().Jugadas.List[i].find("\r\n"), Reglas().Jugadas.List[i].size() - 2) << i;
        EXPECT_EQ(Jugadas().List[i]->toPlainText().count(u'\n'), 0) << i;
    }
    EXPECT_TRUE(Tavorin().Shape->isHidden());
    Mdi().mnuRetroceder->trigger();
    EXPECT_EQ(rules_test::En(Reglas(), "e2"), rules::PeonBlanco);
    EXPECT_EQ(Reglas().Turno, 1);
    EXPECT_EQ(Reglas().NumeroJugada, 0);
    EXPECT_FALSE(Reglas().NotacionNegras);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_TRUE(Reglas().Jugadas.List[i].empty()) << i;
        EXPECT_TRUE(Jugadas().List[i]->toPlainText().isEmpty()) << i;
    }
    EXPECT_EQ(Jugadas().List1->count(), 0);
    // Nothing left: the item says so, and the take-back itself does nothing.
    Mdi().mnuRetroceder->trigger();
    Mdi().RetrocesoFuncion();
    EXPECT_EQ(Reglas().Turno, 1);
    EXPECT_EQ(Vistos(e), "114/64");
}

TEST(Retroceder, WhileAnEngineOrNobodyIsToMoveTheItemWaits) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    Reglas().Turno = 1;
    Jugada("e2e4");
    Reglas().Turno = 0;
    Mdi().mnuRetroceder->trigger();
    EXPECT_EQ(Reglas().Jugadas.List1.size(), 1u);
    // The peer and engine roads call the take-back itself, which keeps the turn 0.
    Mdi().RetrocesoFuncion();
    EXPECT_TRUE(Reglas().Jugadas.List1.empty());
    EXPECT_EQ(Reglas().Turno, 0);
    EXPECT_EQ(rules_test::En(Reglas(), "e2"), rules::PeonBlanco);
}

TEST(Retroceder, AnUnreadableRecordLeavesTheBoardAlone) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    Reglas().Turno = 1;
    for (const char* r : {"0000", "99", "5299", "9254x3"}) {
        Reglas().Jugadas.List1 = {r};
        const rules::Tablero antes = Reglas().Casillas;
        Mdi().RetrocesoFuncion();
        EXPECT_EQ(Reglas().Casillas, antes) << r;
        EXPECT_EQ(Reglas().Jugadas.List1.size(), 1u) << r;
        EXPECT_EQ(Reglas().Turno, 1) << r;
    }
}

// The take-back through the main window, for some games of the ECO file: every text
// box and the record list shown follow the game state back to the start.
TEST(Retroceder, EcoGamesGoBackThroughTheMainWindow) {
    Entorno e;
    e.Arrancar();
    Reiniciar(e);
    Mdi().mnuMovimientos->setChecked(false);
    Mdi().mnuMovimientos_Click();
    const auto partidas = rules_test::LeerPartidasPgn(std::string(TAVORIN_TEST_DATA) + "/eco.pgn");
    ASSERT_GT(partidas.size(), 200u);
    auto& g = Reglas();
    for (size_t n = 0; n < partidas.size(); n += 97) {
        ReiniciarPartida();
        g.Turno = 1;
        struct Paso {
            rules::Tablero casillas;
            std::array<std::string, 6> textos;
            int turno;
        };
        std::vector<Paso> pasos;
        for (const auto& token : partidas[n].tokens) {
            pasos.push_back({g.Casillas, g.Jugadas.List, g.Turno});
            const int lado = g.Turno;
            g.ComFicha(token, lado);
            g.MovimientoAnulado();
            ASSERT_FALSE(g.ErrorPgn) << token;
            g.Turno = lado == 1 ? 2 : 1;
        }
        for (size_t i = pasos.size(); i-- > 0;) {
            Mdi().mnuRetroceder->trigger();
            ASSERT_EQ(g.Casillas, pasos[i].casillas) << "game " << n << " move " << i;
            ASSERT_EQ(g.Jugadas.List, pasos[i].textos) << "game " << n << " move " << i;
            ASSERT_EQ(g.Turno, pasos[i].turno);
            ASSERT_EQ(Jugadas().List1->count(), int(i));
            for (int b = 1; b <= 5; ++b) {
                QString esperado = QString::fromStdString(pasos[i].textos[b]).replace("\r\n", "\n");
                if (esperado.endsWith(u'\n')) esperado.chop(1);
                ASSERT_EQ(Jugadas().List[b]->toPlainText(), esperado) << "game " << n << " box " << b;
            }
        }
    }
    EXPECT_TRUE(e.mensajes.empty());
}

}  // namespace
