// The main window: menus, toolbar, status bar, splash and the window toggles.
#include "entorno.h"

#include "app/ColorRgb.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "network/Ranking.h"
#include "platform/PictureBox.h"
#include "shell/MSatusBar.h"
#include "shell/Mdi.h"
#include "shell/Splash.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
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
    EXPECT_TRUE(Splash().Label2->isHidden());
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

TEST(Menus, HelpWithoutItsFileNamesTheFile) {
    Entorno e;
    e.Arrancar();
    Mdi().mnuTemaAyuda_Click();
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_TRUE(e.mensajes[0].texto.contains("Tavorin.html"));
    EXPECT_FALSE(e.mensajes[0].texto.contains(u'$'));
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
    Mdi().setWindowState(2);
    Mdi().setWindowState(0);
    EXPECT_EQ(Mdi().Width(), 9000);
}

}  // namespace
