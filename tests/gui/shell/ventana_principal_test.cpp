// The main window: menus, toolbar, status bar, splash and the window toggles.
#include "entorno.h"

#include "app/ColorRgb.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "network/Chat.h"
#include "network/Ip.h"
#include "network/Reloj.h"
#include "network/Ranking.h"
#include "platform/PictureBox.h"
#include "app/Opciones.h"
#include "shell/Lugares.h"
#include "platform/Forma.h"
#include "shell/MSatusBar.h"
#include "shell/Mdi.h"
#include "shell/Splash.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(BarraDeEstado, TheClockShowsHoursWithoutALeadingZero) {
    EXPECT_EQ(TextoHora(QTime(9, 5)), "9:05");
    EXPECT_EQ(TextoHora(QTime(10, 0)), "10:00");
    EXPECT_EQ(TextoHora(QTime(0, 7)), "0:07");
    EXPECT_EQ(TextoHora(QTime(23, 59)), "23:59");
}

TEST(BarraDeEstado, ATallBarShrinksBy34TwipsPerPaint) {
    EXPECT_EQ(AltoBarraEstado(24), 24);
    EXPECT_EQ(AltoBarraEstado(20), 20);
    EXPECT_EQ(AltoBarraEstado(30), 27);
}

TEST(BarraDeEstado, TheConnectionPanelShowsTexts78And39Or41) {
    Entorno e;
    e.Arrancar();
    PaintStatusBar();
    EXPECT_EQ(Mdi().StatusBar->height(), 24);
    const QImage& img = Mdi().StatusBar->Imagen();
    EXPECT_EQ(img.pixelColor(10, 0), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(10, 1), QColor(Qt::white));
    EXPECT_FALSE(TextosIdioma[78].isEmpty());
    EXPECT_FALSE(TextosIdioma[41].isEmpty());
}

// The C locale writes the month's name: the date panel grows to hold the whole date.
TEST(BarraDeEstado, TheDateFitsItsPanelInTheCLocale) {
    Entorno e;
    e.Arrancar();
    struct Volver {
        ~Volver() { QLocale::setDefault(QLocale::system()); }
    } volver;
    QLocale::setDefault(QLocale::c());
    const QDate hoy = QDate::currentDate();
    PaintStatusBar();
    ASSERT_EQ(hoy, QDate::currentDate());  // the day did not change meanwhile
    const QString fecha = QLocale::c().toString(hoy, QLocale::ShortFormat);
    const int ancho = QFontMetrics(Mdi().StatusBar->font()).horizontalAdvance(fecha);
    // The panel's grey top edge runs from its left (68) to its right edge less three
    // (then its white right edge).
    const QImage& img = Mdi().StatusBar->Imagen();
    const QColor gris(128, 128, 128);
    ASSERT_EQ(img.pixelColor(68, 4), gris);
    int x = 68;
    while (x + 1 < img.width() && img.pixelColor(x + 1, 4) == gris) ++x;
    const int derecha = x + 3;
    EXPECT_GE(derecha - (68 + 26), ancho) << fecha.toStdString();
    // A date that fits keeps the panel's own width.
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    PaintStatusBar();
    x = 68;
    while (x + 1 < img.width() && img.pixelColor(x + 1, 4) == gris) ++x;
    EXPECT_EQ(x + 3, 164);
}

TEST(Splash, LsizeShrinksALongTextButNotBelowTheSmallestSize) {
    Entorno e;
    e.Arrancar();
    auto& s = Splash();
    QLabel* l = s.Label2;
    QFont f = l->font();
    f.setPointSize(10);
    l->setFont(f);
    s.Lsize(l, "corto", 319);
    EXPECT_EQ(l->font().pointSize(), 10);
    s.Lsize(l, QString(400, u'W'), 319);
    EXPECT_EQ(l->font().pointSizeF(), forms::Splash::kPuntosMinimos);
    EXPECT_FALSE(l->isHidden());
    EXPECT_TRUE(s.Label1->text().endsWith("para Linux"));
}

TEST(Splash, TheAboutBoxShowsAndHidesOnAClick) {
    Entorno e;
    e.Arrancar();
    Mdi().mnuAcerca_Click();
    EXPECT_TRUE(Splash().Visible());
    EXPECT_FALSE(Splash().MostrandoProgreso());
    Splash().Trans_MouseDown(1);
    EXPECT_FALSE(Splash().Visible());
}

TEST(Menus, TheTreeHoldsEveryItemAndThePopUpsStayOffTheBar) {
    Entorno e;
    e.Arrancar();
    auto& m = Mdi();
    EXPECT_FALSE(m.mnuJugadas->menuAction()->isVisible());
    EXPECT_FALSE(m.mnuChatList->menuAction()->isVisible());
    EXPECT_FALSE(m.mnuAlgebraicoUsuario[0]->isVisible());
    QStringList ver;
    for (QAction* a : m.mnuVer->actions())
        if (!a->isSeparator()) ver << a->objectName();
    EXPECT_EQ(ver, (QStringList{"mnuMovimientos", "mnuVentanaChat", "mnuReloj", "mnuMostrarRanking",
                                "mnuInvertirTablero", "mnuSonido", "mnuPointClick", "mnuRgb", "mnuOpciones"}));
    int separadores = 0;
    for (int i = 1; i <= 27; ++i) separadores += m.Toolbar1[i]->isSeparator();
    EXPECT_EQ(separadores, 8);
    EXPECT_TRUE(m.Toolbar1[15]->isSeparator());
    EXPECT_FALSE(m.Toolbar1[25]->isSeparator());
    EXPECT_FALSE(m.ImageList1[17].isNull());
}

TEST(Menus, TheToolbarTipsFollowTheTipsTable) {
    Entorno e;
    e.Arrancar();
    auto& m = Mdi();
    auto tip = [&](int n) { return e.Leer("Tips", QString::number(n), QString::fromUtf8("Español.lng")); };
    EXPECT_EQ(m.Toolbar1[1]->toolTip(), tip(1));
    EXPECT_EQ(m.Toolbar1[11]->toolTip(), tip(8));
    EXPECT_EQ(m.Toolbar1[14]->toolTip(), tip(29));
    EXPECT_EQ(m.Toolbar1[16]->toolTip(), tip(17));
    EXPECT_EQ(m.Toolbar1[25]->toolTip(), tip(30));
    EXPECT_EQ(m.Toolbar1[27]->toolTip(), tip(16));
}

TEST(Menus, AWindowToggleShowsAndHidesAndWritesItsKey) {
    Entorno e;
    e.Poner("Configuracion", "Elo", "0");
    e.Arrancar();
    auto& m = Mdi();
    ASSERT_FALSE(m.mnuMostrarRanking->isChecked());
    m.mnuMostrarRanking->trigger();
    EXPECT_TRUE(m.mnuMostrarRanking->isChecked());
    EXPECT_TRUE(Ranking().Visible());
    EXPECT_EQ(e.Leer("Configuracion", "Elo"), "1");
    m.mnuMostrarRanking->trigger();
    EXPECT_FALSE(m.mnuMostrarRanking->isChecked());
    EXPECT_FALSE(Ranking().Visible());
    EXPECT_EQ(e.Leer("Configuracion", "Elo"), "0");
    // Closing the window by its close box removes the check.
    m.mnuMovimientos->setChecked(false);
    m.mnuMovimientos->trigger();
    ASSERT_TRUE(Jugadas().Visible());
    Jugadas().close();
    EXPECT_FALSE(Jugadas().Visible());
    EXPECT_FALSE(m.mnuMovimientos->isChecked());
}

TEST(Menus, SoundAndNotationItemsKeepTheirMarks) {
    Entorno e;
    e.Poner("Configuracion", "Sonido", "1");
    e.Arrancar();
    auto& m = Mdi();
    m.mnuSonido->trigger();
    EXPECT_FALSE(m.mnuSonido->isChecked());
    EXPECT_EQ(e.Leer("Configuracion", "Sonido"), "0");
    m.mnuCordenadas->trigger();
    EXPECT_TRUE(m.mnuCordenadas->isChecked());
    EXPECT_FALSE(m.mnuAlgebraicoEsp->isChecked());
    EXPECT_FALSE(Jugadas().List[1]->isHidden());
    EXPECT_TRUE(Jugadas().List[2]->isHidden());
}

TEST(Menus, ToolbarButton27EndsTheProgramLikeTheMenuItem) {
    Entorno e;
    e.Arrancar();
    EXPECT_EQ(Estado([] { Mdi().Toolbar1[27]->trigger(); }), 0);
    EXPECT_TRUE(e.mensajes.empty());
}

TEST(Menus, HelpOpensThePageBesideTheProgramOrSaysWhatWentWrong) {
    Entorno e;
    e.Arrancar();
    // The desktop's opener: a script in front of PATH that notes what it opens.
    const QByteArray camino = qgetenv("PATH");
    QDir().mkpath(e.Ruta("bin"));
    qputenv("PATH", e.Ruta("bin").toUtf8());
    QFile abridor(e.Ruta("bin/xdg-open"));
    ASSERT_TRUE(abridor.open(QIODevice::WriteOnly));
    abridor.write("#!/bin/sh\necho \"$1\" >> " + e.Ruta("abiertas").toUtf8() + "\n");
    abridor.close();
    abridor.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto terminado = [] { return QCoreApplication::instance()->findChildren<QProcess*>().isEmpty(); };
    // Missing: text 63 with the page's name.
    Mdi().mnuTemaAyuda_Click();
    ASSERT_EQ(e.mensajes.size(), 1u);
    QString esperado = TextosIdioma[63];
    EXPECT_EQ(e.mensajes[0].texto, esperado.replace("$", "Tavorin.html"));
    // Beside the program: opened, from the menu and from the toolbar.
    ASSERT_TRUE(QFile::copy(Entorno::Recursos() + "/Tavorin.html", e.Ruta("Tavorin.html")));
    e.mensajes.clear();
    Mdi().mnuTemaAyuda->trigger();
    Mdi().Toolbar1[22]->trigger();
    ASSERT_TRUE(QTest::qWaitFor(terminado, 30000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(e.mensajes.empty());
    EXPECT_EQ(e.Contenido("abiertas"), (e.Ruta("Tavorin.html") + "\n" + e.Ruta("Tavorin.html") + "\n").toUtf8());
    // Nothing on the desktop opens it: text 63 names the opener.
    QFile::remove(e.Ruta("bin/xdg-open"));
    Mdi().mnuTemaAyuda_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !e.mensajes.empty(); }, 30000));
    esperado = TextosIdioma[63];
    EXPECT_EQ(e.mensajes[0].texto, esperado.replace("$", "xdg-open"));
    qputenv("PATH", camino);
}

TEST(VentanaPrincipal, TheWindowKeepsItsSmallestSize) {
    Entorno e;
    e.Arrancar();
    Mdi().resize(100, 50);
    EXPECT_GE(Mdi().width(), 520);
    EXPECT_GE(Mdi().height(), 100);
}

TEST(VentanaPrincipal, LeavingTheMaximisedStateRestoresTheStoredPlacement) {
    Entorno e;
    e.Poner("Mdi", "Width", "9000");
    e.Arrancar();
    Mdi().resize(700, 500);
    Mdi().FijarEstadoVentana(forms::Mdi::EstadoVentana::Maximizada);
    Mdi().FijarEstadoVentana(forms::Mdi::EstadoVentana::Normal);
    EXPECT_EQ(Mdi().Width(), 9000);
}

// Started maximised, the window system is given the stored place as the one to
// restore the window to, not the size the window was made with: leaving the
// maximised state goes straight there, with no smaller area on the way that would
// push the side windows away.
TEST(VentanaPrincipal, StartedMaximisedTheStoredPlaceIsTheOneToRestoreTo) {
    Entorno e;
    e.Poner("Mdi", "Windows", "2");
    e.Poner("Mdi", "Left", "450");
    e.Poner("Mdi", "Top", "300");
    e.Poner("Mdi", "Width", "9000");
    e.Poner("Mdi", "Height", "7500");
    e.Arrancar();
    ASSERT_EQ(Mdi().WindowState(), forms::Mdi::EstadoVentana::Maximizada);
    // Placed before it was shown: no frame round it yet.
    EXPECT_EQ(Mdi().normalGeometry(), QRect(30, 20, 600, 500));
}

// Started with the shipped Default.ini at the shipped size, a new game shows the
// board, the engine panel and the move list side by side, none over another, all in
// the main window's area.
TEST(VentanaPrincipal, ANewGameShowsBoardPanelAndMoveListApartAtTheShippedSize) {
    Entorno e;
    e.Arrancar();
    // The test screen may be smaller than the shipped window, which start-up brings
    // within it: the shipped size again.
    Mdi().resize(14400 / 15, 10800 / 15);
    QApplication::processEvents();
    Mdi().mnuNuevaPartida->trigger();
    ASSERT_TRUE(Cpu().Visible());
    ASSERT_TRUE(Jugadas().Visible());
    const QRect area(QPoint(0, 0), Mdi().Area->viewport()->size());
    const std::pair<const char*, Forma*> ventanas[] = {{"board", &Tavorin()}, {"panel", &Cpu()}, {"moves", &Jugadas()}};
    for (const auto& [nombre, f] : ventanas) {
        const QRect r = f->Marco()->geometry();
        EXPECT_TRUE(area.contains(r)) << nombre << " " << r.x() << "," << r.y() << " " << r.width() << "x"
                                      << r.height();
        for (const auto& [otro, g] : ventanas)
            if (f != g) {
                EXPECT_FALSE(r.intersects(g->Marco()->geometry())) << nombre << " over " << otro;
            }
    }
}

// A dialog's place is relative to the main window's area: one placed while hidden
// reads back as placed and comes up there, however far the window manager has moved
// the main window meanwhile; once shown and hidden again it keeps the place it had.
TEST(VentanaPrincipal, AHiddenDialogKeepsItsPlaceWhenTheMainWindowMoves) {
    Entorno e;
    e.Arrancar();
    auto& d = Ip();
    d.setTop(300);
    d.setLeft(5490);
    Mdi().move(Mdi().pos() + QPoint(17, 70));
    QApplication::processEvents();
    EXPECT_EQ(d.Top(), 300);
    EXPECT_EQ(d.Left(), 5490);
    d.Show();
    EXPECT_EQ(d.frameGeometry().topLeft() - Mdi().Area->mapToGlobal(QPoint(0, 0)), QPoint(366, 20));
    d.Hide();
    Mdi().move(Mdi().pos() - QPoint(17, 70));
    QApplication::processEvents();
    EXPECT_EQ(d.Top(), 300);
    EXPECT_EQ(d.Left(), 5490);
}

// A Default.ini edited by hand or saved on a larger screen: every place is read as a
// number (the shipped one for anything else) and brought onto the screen; the exit
// stores what was used.
TEST(VentanaPrincipal, GarbagePlacesComeUpOnTheScreenAndAreStoredSane) {
    Entorno e;
    const char* const basura[][3] = {{"Mdi", "Width", "-500"},         {"Mdi", "Height", "99999999"},
                                     {"Mdi", "Left", "-99999"},        {"Mdi", "Top", "abc"},
                                     {"Jugadas", "Left", "-99999"},    {"Jugadas", "Top", "abc"},
                                     {"Jugadas", "Width", "99999999"}, {"Chat", "Height", "-3"},
                                     {"Chat", "Top", "1e999"}};
    for (const auto& [seccion, clave, valor] : basura) e.Poner(seccion, clave, valor);
    e.Arrancar();
    const QRect pantalla = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect r(int(Mdi().Left() / 15), int(Mdi().Top() / 15), int(Mdi().Width() / 15), int(Mdi().Height() / 15));
    // Its size within the screen, its whole title bar on it.
    EXPECT_TRUE(pantalla.contains(QRect(r.topLeft(), QSize(r.width(), 30))))
        << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    EXPECT_LE(r.height(), pantalla.height());
    EXPECT_GE(r.width(), 520);
    EXPECT_EQ(Mdi().Top(), 600);  // the shipped value stands in for "abc"
    // Brought to the left edge, the move list would cover the board: it opened below
    // it; wider than the area, at its left edge.
    ASSERT_GT(Jugadas().Width() / 15, Mdi().Area->viewport()->width());
    EXPECT_EQ(Jugadas().Left(), 0);
    EXPECT_EQ(Jugadas().Top(), Tavorin().Top() + Tavorin().Height());
    EXPECT_LE(Jugadas().Width(), pantalla.width() * 15);
    EXPECT_GE(Chat().Height(), 40 * 15);
    EXPECT_EQ(Chat().Top(), lugares::ValorDeFabrica("Chat", "Top").toDouble());
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    for (const char* clave : {"Left", "Top", "Width", "Height"}) {
        bool numero = false;
        e.Leer("Mdi", clave).toDouble(&numero);
        EXPECT_TRUE(numero) << clave;
    }
    EXPECT_EQ(e.Leer("Mdi", "Width").toDouble(), r.width() * 15.0);
    EXPECT_EQ(e.Leer("Mdi", "Top"), "600");
    EXPECT_EQ(e.Leer("Jugadas", "Left"), "0");
    EXPECT_EQ(e.Leer("Chat", "Top"), lugares::ValorDeFabrica("Chat", "Top"));
}

// ---- Side windows round the board --------------------------------------------------------

// The side windows shown, with their outer rectangles in pixels of the area.
std::vector<std::pair<std::string, QRect>> Laterales() {
    std::vector<std::pair<std::string, QRect>> v;
    for (Forma* f : std::initializer_list<Forma*>{&Jugadas(), &Chat(), &Reloj(), &Ranking()})
        if (f->Visible())
            v.emplace_back(f->objectName().toStdString(),
                           QRect(int(f->Left() / 15), int(f->Top() / 15), int(f->Width() / 15), int(f->Height() / 15)));
    return v;
}

QRect Tablero() {
    auto& t = Tavorin();
    return {int(t.Left() / 15), int(t.Top() / 15), int(t.Width() / 15), int(t.Height() / 15)};
}

// What is wrong with the side windows' places: over the board, over one another,
// unless `fuera`, out of the area's view, and with `junto`, away from the board:
// neither against it nor against a window that is, in turn.
std::string Desorden(bool junto, bool fuera = false) {
    const QRect vista(QPoint(0, 0), Mdi().Area->viewport()->size());
    const auto v = Laterales();
    std::string d;
    for (size_t i = 0; i < v.size(); ++i) {
        const auto& [nombre, r] = v[i];
        if (!fuera && !vista.contains(r)) d += nombre + " out of view; ";
        if (r.intersects(Tablero())) d += nombre + " over the board; ";
        for (size_t j = i + 1; j < v.size(); ++j)
            if (r.intersects(v[j].second)) d += nombre + " over " + v[j].first + "; ";
    }
    if (!junto) return d;
    std::vector<QRect> alcanzadas{Tablero()};
    std::vector<bool> junta(v.size(), false);
    for (bool mas = true; mas;) {
        mas = false;
        for (size_t i = 0; i < v.size(); ++i)
            for (size_t k = 0; !junta[i] && k < alcanzadas.size(); ++k)
                if (lugares::JuntoAlTablero(v[i].second, alcanzadas[k])) {
                    junta[i] = mas = true;
                    alcanzadas.push_back(v[i].second);
                }
    }
    for (size_t i = 0; i < v.size(); ++i)
        if (!junta[i]) d += v[i].first + " away from the board; ";
    return d;
}

// Runs the events that a start or a change left, the deferred ones included.
void Asentar() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void Tamano(int lado) {
    Opciones().FijarTamano(lado);
    Tavorin().Timer1_Timer();
    Asentar();
}

// Square sizes 40, 100 and 40 again with the move list, the chat, the clocks and the
// ranking shown: none over the board or another, in the view while there is room
// (at 100 beside the board past the view's edge), and back beside the board at 40;
// the exit stores those places.
TEST(VentanaPrincipal, SideWindowsStayInViewApartAndComeBackToAShrunkenBoard) {
    Entorno e;
    for (const char* clave : {"Jugadas", "Chat", "Reloj", "Elo"}) e.Poner("Configuracion", clave, "1");
    e.Arrancar();
    // The shipped size (start-up brings it within a smaller test screen).
    Mdi().resize(14400 / 15, 10800 / 15);
    Asentar();
    ASSERT_EQ(Laterales().size(), 4u);
    EXPECT_EQ(Desorden(false), "");
    Tamano(100);
    ASSERT_GT(Tablero().width(), Mdi().Area->viewport()->width() / 2);
    EXPECT_EQ(Desorden(false, true), "") << "at 100";
    Tamano(40);
    EXPECT_EQ(Desorden(true), "") << "at 40";
    const auto guardados = Laterales();
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    for (const auto& [nombre, r] : guardados) {
        const QString seccion = nombre == "Ranking" ? "Ranking" : QString::fromStdString(nombre);
        EXPECT_EQ(e.Leer(seccion, "Left").toInt(), r.x() * 15) << nombre;
        EXPECT_EQ(e.Leer(seccion, "Top").toInt(), r.y() * 15) << nombre;
    }
}

// Places stored at the screen's far corner, as a large board on a larger main window
// left them: the windows come up in the area's view, beside the board, none over
// another.
TEST(VentanaPrincipal, SideWindowsStoredOutOfViewComeUpBesideTheBoard) {
    Entorno e;
    for (const char* clave : {"Jugadas", "Chat", "Reloj", "Elo"}) e.Poner("Configuracion", clave, "1");
    const QRect pantalla = QGuiApplication::primaryScreen()->availableGeometry();
    const std::pair<const char*, QSize> tamanos[] = {{"Reloj", QSize(208, 112)},
                                                     {"Ranking", QSize(314, 178)},
                                                     {"Jugadas", QSize(240, 280)},
                                                     {"Chat", QSize(360, 180)}};
    for (const auto& [seccion, t] : tamanos) {
        e.Poner(seccion, "Left", QString::number((pantalla.width() - t.width()) * 15));
        e.Poner(seccion, "Top", QString::number((pantalla.height() - t.height()) * 15));
    }
    e.Arrancar();
    Asentar();
    ASSERT_EQ(Laterales().size(), 4u);
    EXPECT_EQ(Desorden(true), "");
}

}  // namespace
