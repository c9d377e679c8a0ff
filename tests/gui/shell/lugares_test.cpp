// Window places: stored values read as numbers, brought onto the screens, and the
// main window's place carried through the window system and read back unchanged.
#include "shell/Lugares.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using lugares::Colocacion;
using lugares::Lugar;

std::string Texto(const Lugar& l) {
    return std::to_string(l.left) + "," + std::to_string(l.top) + " " + std::to_string(l.width) + "x" +
           std::to_string(l.height);
}

TEST(Lugares, AStoredValueIsANumberOrTheShippedOne) {
    struct Caso {
        const char* texto;
        double esperado;
    };
    for (const Caso& c : {Caso{"14400", 14400}, Caso{" 905 ", 905}, Caso{"-500", -500}, Caso{"12.5", 12.5},
                          Caso{"abc", 600}, Caso{"", 600}, Caso{"12abc", 600}, Caso{"1e999", 600}})
        EXPECT_EQ(lugares::Numero(c.texto, 600), c.esperado) << c.texto;
    // The shipped Default.ini is built in.
    EXPECT_EQ(lugares::ValorDeFabrica("Mdi", "Width"), "14400");
    EXPECT_EQ(lugares::ValorDeFabrica("mdi", "top"), "600");
    EXPECT_EQ(lugares::ValorDeFabrica("Mdi", "Nada"), "");
}

// The main window's bounds: at least 520 x 100 pixels, a 30-pixel title bar.
const lugares::Medidas kPrincipal{QSize(520, 100), 30};

TEST(Lugares, APlaceIsBroughtOntoTheScreenAndItsSizeWithinIt) {
    const std::vector<QRect> una = {QRect(0, 0, 1280, 1024)};
    struct Caso {
        const char* nombre;
        Lugar guardado;
        Lugar esperado;
    };
    const Caso casos[] = {
        {"on the screen, unchanged", {905, 600, 14400, 10800}, {905, 600, 14400, 10800}},
        {"negative width", {900, 600, -500, 10800}, {900, 600, 7800, 10800}},
        {"huge height", {900, 600, 14400, 99999999}, {900, 600, 14400, 15360}},
        {"far left", {-99999, 600, 14400, 10800}, {0, 600, 14400, 10800}},
        {"below the screen", {900, 50000, 14400, 10800}, {900, 14910, 14400, 10800}},
        {"past the right edge", {30000, 600, 14400, 10800}, {4800, 600, 14400, 10800}},
        {"far away on both axes", {999999, -999999, 14400, 10800}, {4800, 0, 14400, 10800}},
        {"wider than the screen", {0, 0, 30000, 10800}, {0, 0, 19200, 10800}},
        {"tiny", {900, 600, 15, 15}, {900, 600, 7800, 1500}},
        {"bottom part off the screen is kept", {900, 14000, 14400, 10800}, {900, 14000, 14400, 10800}},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(Texto(lugares::Ajustar(c.guardado, una, kPrincipal)), Texto(c.esperado)) << c.nombre;
}

TEST(Lugares, WithSeveralScreensThePlaceStaysOnTheOneItOverlapsMostOrTheNearest) {
    // A 1280 x 1024 screen, a 1920 x 1080 one right of it, and one above-left of both.
    const std::vector<QRect> tres = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080),
                                     QRect(-1024, -768, 1024, 768)};
    struct Caso {
        const char* nombre;
        Lugar guardado;
        Lugar esperado;
    };
    const Caso casos[] = {
        {"on the second screen", {1500 * 15, 15000, 14400, 10800}, {1500 * 15, 15000, 14400, 10800}},
        {"mostly on the second", {1000 * 15, 0, 14400, 10800}, {1280 * 15, 0, 14400, 10800}},
        {"mostly on the first", {700 * 15, 0, 14400, 10800}, {320 * 15, 0, 14400, 10800}},
        {"past the second", {5000 * 15, 0, 14400, 10800}, {(3200 - 960) * 15, 0, 14400, 10800}},
        {"on the third", {-900 * 15, -700 * 15, 1500, 1500}, {-900 * 15, -700 * 15, 7800, 1500}},
        {"wider than the first, on it", {0, 0, 1500 * 15, 1000}, {0, 0, 1280 * 15, 1500}},
        {"above the first, nearest the third",
         {100 * 15, -5000 * 15, 14400, 10800},
         {-960 * 15, -768 * 15, 14400, 10800}},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(Texto(lugares::Ajustar(c.guardado, tres, kPrincipal)), Texto(c.esperado)) << c.nombre;
}

// A window as a window manager shows it: the frame's corner, the inside's size and
// the frame round it. When the frame changes, a manager keeps either the frame's
// corner where it was or the inside's.
struct Ventana {
    QPoint marco;
    QSize cliente;
    QMargins borde;
    QRect Dentro() const { return {marco + QPoint(borde.left(), borde.top()), cliente}; }
    void Poner(const Colocacion::Geometria& g) {
        marco = g.marco;
        cliente = g.cliente;
    }
    void NuevoBorde(const QMargins& nuevo, bool guardaDentro) {
        if (guardaDentro) marco += QPoint(borde.left() - nuevo.left(), borde.top() - nuevo.top());
        borde = nuevo;
    }
};

TEST(Colocacion, WhatWasAppliedIsReadBackWhateverTheFrame) {
    const Lugar guardado{900, 600, 14400, 10800};
    for (bool guardaDentro : {false, true}) {
        for (const QMargins& marco : {QMargins(0, 0, 0, 0), QMargins(1, 24, 1, 4), QMargins(4, 30, 4, 4)}) {
            Colocacion c;
            Ventana v;
            v.Poner(c.Aplicar(guardado, v.borde));
            EXPECT_EQ(v.marco, QPoint(60, 40));
            EXPECT_EQ(v.cliente, QSize(960, 720));
            // Read before the frame is known, after it is known, and after the window
            // was placed again for it: always the place applied.
            EXPECT_EQ(c.Leer(v.Dentro(), v.borde), guardado);
            v.NuevoBorde(marco, guardaDentro);
            EXPECT_EQ(c.Leer(v.Dentro(), v.borde), guardado);
            if (auto g = c.Corregir(v.Dentro(), v.borde)) v.Poner(*g);
            EXPECT_EQ(v.marco, QPoint(60, 40)) << guardaDentro;
            EXPECT_EQ(v.cliente, QSize(960 - marco.left() - marco.right(), 720 - marco.top() - marco.bottom()));
            EXPECT_EQ(c.Leer(v.Dentro(), v.borde), guardado);
            EXPECT_FALSE(c.Corregir(v.Dentro(), v.borde));
        }
    }
}

// Leaving the maximised state, the window is placed with the maximised frame (a
// title bar only); the usual frame comes back afterwards, with no move of the inside.
TEST(Colocacion, TheFrameThatComesBackAfterMaximisingIsTakenIntoAccount) {
    const Lugar guardado{900, 600, 14400, 10800};
    Colocacion c;
    Ventana v{{}, {}, QMargins(0, 19, 0, 0)};
    v.Poner(c.Aplicar(guardado, v.borde));
    v.NuevoBorde(QMargins(1, 20, 1, 5), true);
    EXPECT_EQ(c.Leer(v.Dentro(), v.borde), guardado);
    auto g = c.Corregir(v.Dentro(), v.borde);
    ASSERT_TRUE(g);
    v.Poner(*g);
    EXPECT_EQ(QRect(v.marco, v.cliente + QSize(2, 25)), QRect(60, 40, 960, 720));
    EXPECT_EQ(c.Leer(v.Dentro(), v.borde), guardado);
}

TEST(Colocacion, AMovedOrResizedWindowReadsAsItsOuterRectangle) {
    Colocacion c;
    Ventana v;
    v.Poner(c.Aplicar({900, 600, 14400, 10800}, {}));
    v.NuevoBorde(QMargins(2, 20, 2, 2), false);
    v.cliente = QSize(800, 500);
    EXPECT_EQ(Texto(c.Leer(v.Dentro(), v.borde)), Texto({900, 600, 804 * 15, 522 * 15}));
    // The window is not placed again once the user has changed it.
    EXPECT_FALSE(c.Corregir(v.Dentro(), v.borde));
    v.marco = QPoint(10, 12);
    EXPECT_EQ(Texto(c.Leer(v.Dentro(), v.borde)), Texto({150, 180, 804 * 15, 522 * 15}));
}

// Start and exit again and again: whenever the frame comes, and whether or not the
// window is placed again before the exit, the stored place never changes; a place
// the user chose comes back as the user left it.
TEST(Colocacion, StartAndExitCyclesKeepThePlace) {
    std::mt19937 azar(7);
    const QMargins marco(1, 24, 1, 4);
    Lugar guardado{900, 600, 14400, 10800};
    auto ciclo = [&](bool usuario) {
        Colocacion c;
        Ventana v;
        v.Poner(c.Aplicar(guardado, v.borde));
        if (azar() % 3 != 0) v.NuevoBorde(marco, azar() % 2 == 0);
        if (azar() % 2 == 0)
            if (auto g = c.Corregir(v.Dentro(), v.borde)) v.Poner(*g);
        if (usuario) {
            v.NuevoBorde(marco, false);
            v.cliente = QSize(700, 500);
        }
        guardado = c.Leer(v.Dentro(), v.borde);
    };
    for (int i = 0; i < 20; ++i) {
        ciclo(false);
        ASSERT_EQ(Texto(guardado), Texto({900, 600, 14400, 10800})) << i;
    }
    ciclo(true);
    const Lugar elegido = guardado;
    EXPECT_EQ(Texto(elegido), Texto({900, 600, 702 * 15, 528 * 15}));
    for (int i = 0; i < 20; ++i) {
        ciclo(false);
        ASSERT_EQ(Texto(guardado), Texto(elegido)) << i;
    }
}

// Side windows and the board window, in pixels of the main window's area.
TEST(Apartar, AWindowInViewAndClearOfTheBoardStaysAnyOtherGoesBesideIt) {
    const QSize area(900, 640);
    const QRect tablero(0, 0, 487, 507);
    struct Caso {
        const char* nombre;
        QRect ventana;
        QRect esperado;
    };
    const Caso casos[] = {
        {"clear of the board: kept", QRect(500, 10, 240, 280), QRect(500, 10, 240, 280)},
        {"over its right files: to the right, same height", QRect(366, 324, 240, 280), QRect(487, 324, 240, 280)},
        {"to the right, brought up into the area", QRect(366, 500, 240, 280), QRect(487, 360, 240, 280)},
        {"over its bottom ranks, too wide for the right: below", QRect(0, 383, 420, 100), QRect(0, 507, 420, 100)},
        {"touching it is no overlap", QRect(487, 0, 100, 100), QRect(487, 0, 100, 100)},
        {"a few pixels below the area", QRect(500, 550, 100, 100), QRect(500, 550, 100, 100)},
        {"further below the area", QRect(500, 560, 100, 100), QRect(486, 507, 100, 100)},
        {"inside it: the nearest side", QRect(100, 430, 60, 60), QRect(100, 507, 60, 60)},
        // Out of view, clear of the board: back beside it, where it still meets its side.
        {"partly outside the area", QRect(850, 20, 100, 100), QRect(487, 20, 100, 100)},
        {"wholly outside the area", QRect(950, 700, 100, 100), QRect(487, 506, 100, 100)},
        {"left of the area", QRect(-300, 100, 100, 100), QRect(0, 507, 100, 100)},
    };
    for (const Caso& c : casos) EXPECT_EQ(lugares::Apartar(c.ventana, tablero, area), c.esperado) << c.nombre;
    // A window in view that covers another one moves; the one it covered stays.
    const QRect reloj(487, 0, 150, 120);
    EXPECT_EQ(lugares::Apartar(QRect(500, 30, 200, 150), tablero, area, {reloj}), QRect(487, 120, 200, 150));
    EXPECT_EQ(lugares::Apartar(reloj, tablero, area, {QRect(487, 120, 200, 150)}), reloj);
}

TEST(Apartar, TheAreaShowsTheWindowThenTheBoardIsLeftClearThenTheOthers) {
    // A board in the middle: left of it there is room as well.
    const QRect medio(300, 100, 300, 300);
    EXPECT_EQ(lugares::Apartar(QRect(320, 150, 100, 100), medio, QSize(900, 640)), QRect(200, 150, 100, 100));
    // The nearest sides are taken by other windows: the next one.
    EXPECT_EQ(lugares::Apartar(QRect(320, 150, 100, 100), medio, QSize(900, 640), {QRect(150, 100, 150, 300)}),
              QRect(320, 0, 100, 100));
    // Both taken: below it, against the board rather than only against a window.
    EXPECT_EQ(lugares::Apartar(QRect(320, 150, 100, 100), medio, QSize(900, 640),
                               {QRect(150, 100, 150, 300), QRect(300, 0, 300, 100)}),
              QRect(320, 400, 100, 100));
    // Along the side, next to a window already there rather than over it.
    EXPECT_EQ(
        lugares::Apartar(QRect(700, 0, 150, 190), QRect(0, 0, 839, 859), QSize(1280, 900), {QRect(839, 0, 380, 250)}),
        QRect(839, 250, 150, 190));
    // A board larger than the area: the window goes beside it past the area's edge,
    // off the other windows; the area scrolls to it.
    const QRect grande(0, 0, 839, 859);
    EXPECT_EQ(lugares::Apartar(QRect(100, 100, 240, 280), grande, QSize(900, 640)), QRect(839, 100, 240, 280));
    EXPECT_EQ(lugares::Apartar(QRect(100, 100, 240, 280), grande, QSize(900, 640), {QRect(700, 0, 200, 300)}),
              QRect(839, 300, 240, 280));
    // Wherever it was: clear of the board, and in view where there is room beside it.
    for (const QSize& area : {QSize(0, 0), QSize(100, 100), QSize(900, 640), QSize(2000, 2000)})
        for (int x = -350; x < 1500; x += 70)
            for (int y = -350; y < 1500; y += 70) {
                const QRect r = lugares::Apartar(QRect(x, y, 200, 150), grande, area);
                ASSERT_EQ(r.size(), QSize(200, 150));
                ASSERT_FALSE(r.intersects(grande)) << x << "," << y;
                if (area.width() >= 839 + 200 && area.height() >= 150) {
                    ASSERT_TRUE(QRect(QPoint(0, 0), area).contains(r)) << x << "," << y;
                }
            }
}

// The board changed size: the windows that stood against it or over it go beside it
// again; a shrunken board brings them back, stacked as they were.
TEST(Acompanar, WindowsBesideTheBoardFollowItsSize) {
    const QSize area(950, 620);
    const QRect grande(0, 0, 830, 850), pequeno(0, 0, 330, 350);
    const QRect reloj(830, 0, 110, 100), ranking(830, 100, 110, 160), lejos(870, 500, 60, 60);
    EXPECT_TRUE(lugares::JuntoAlTablero(reloj, grande));
    EXPECT_TRUE(lugares::JuntoAlTablero(QRect(700, 0, 100, 100), grande));
    EXPECT_FALSE(lugares::JuntoAlTablero(QRect(831, 0, 100, 100), grande));
    EXPECT_FALSE(lugares::JuntoAlTablero(QRect(830, 850, 100, 100), grande));  // a corner alone
    EXPECT_FALSE(lugares::JuntoAlTablero(lejos, pequeno));
    const QRect r1 = lugares::Acompanar(reloj, grande, pequeno, area, {lejos});
    EXPECT_EQ(r1, QRect(330, 0, 110, 100));
    const QRect r2 = lugares::Acompanar(ranking, grande, pequeno, area, {lejos, r1});
    EXPECT_EQ(r2, QRect(330, 100, 110, 160));
    // One the area showed over the board, at its right edge, comes back as well.
    EXPECT_EQ(lugares::Acompanar(QRect(700, 260, 250, 300), grande, pequeno, area, {lejos, r1, r2}),
              QRect(330, 260, 250, 300));
    // Grown past the area: beside it past the area's edge, and not over each other.
    const QRect g1 = lugares::Acompanar(r1, pequeno, grande, area, {});
    const QRect g2 = lugares::Acompanar(r2, pequeno, grande, area, {g1});
    const QRect g3 = lugares::Acompanar(QRect(330, 260, 250, 300), pequeno, grande, area, {g1, g2});
    EXPECT_EQ(g1, QRect(830, 0, 110, 100));
    EXPECT_EQ(g2, QRect(830, 100, 110, 160));
    EXPECT_EQ(g3.x(), 830);
    for (const QRect& r : {g1, g2, g3}) EXPECT_FALSE(r.intersects(grande));
    EXPECT_FALSE(g3.intersects(g1) || g3.intersects(g2));
}

// The user steps the square size from 30 to 100 and back, then skins ask for theirs:
// at every size the board and every title bar (24 pixels) stay clear, and back at
// the shipped size the shipped main window's area (940 x 615) shows every window.
TEST(Disponer, AtEverySizeTheBoardAndTheTitleBarsStayClear) {
    auto tablero = [](int lado) { return QRect(0, 0, 8 * lado + 39, 8 * lado + 59); };
    // The move list, chat, clocks and ranking at their shipped places; an engine game
    // (the engine panel and the move list) in a main window of 500 x 420.
    const std::vector<QRect> enviados = {QRect(366, 324, 240, 280), QRect(0, 383, 360, 180), QRect(614, 304, 208, 112),
                                         QRect(614, 424, 314, 178)};
    const std::pair<QSize, std::vector<QRect>> casos[] = {
        {QSize(940, 615), enviados}, {QSize(484, 312), {QRect(366, 0, 418, 320), QRect(366, 324, 240, 280)}}};
    std::vector<int> lados;
    for (int lado = 30; lado <= 100; lado += 2) lados.push_back(lado);
    for (int lado = 100; lado >= 30; lado -= 2) lados.push_back(lado);
    lados.insert(lados.end(), {100, 56, 48, 40});
    for (const auto& [area, inicio] : casos) {
        std::vector<QRect> v = inicio;
        for (size_t n = 0; n < lados.size(); ++n) {
            const QRect t = tablero(lados[n]);
            v = lugares::Disponer(t, area, v, tablero(n ? lados[n - 1] : 40));
            for (size_t i = 0; i < v.size(); ++i) {
                ASSERT_FALSE(v[i].intersects(t) || v[i].x() < 0 || v[i].y() < 0) << i << " at " << lados[n];
                for (size_t j = 0; j < v.size(); ++j)
                    ASSERT_FALSE(j != i && v[i].intersects(QRect(v[j].topLeft(), QSize(v[j].width(), 24))))
                        << i << " over " << j << " at " << lados[n];
            }
        }
        for (const QRect& r : v) EXPECT_TRUE(area.width() < 900 || QRect(QPoint(0, 0), area).contains(r));
    }
    // The shipped places at the shipped size stay as they are.
    EXPECT_EQ(lugares::Disponer(tablero(40), QSize(940, 615), enviados, tablero(40)), enviados);
}

// A window of a task opens where the area has no room: it stands off the board and
// clear of the other windows, whole in the area once the main window has grown as far
// as it takes (no further than its screen allows); a window of its own stands whole on
// the screen's free part.
TEST(Disponer, AWindowThatOpensShowsWholeOffTheBoardWhereTheScreenHasRoom) {
    auto tablero = [](int lado) { return QRect(0, 0, 8 * lado + 39, 8 * lado + 59); };
    const QSize area(958, 607), crecer(320, 304);  // the shipped main window on a 1280 x 1024 screen
    const QRect guardar(277, 161, 406, 285), preparar(317, 108, 324, 390), epd(147, 180, 667, 249);
    const std::vector<QRect> cuatro = lugares::Disponer(
        tablero(56), area,
        {QRect(366, 324, 240, 280), QRect(0, 383, 360, 180), QRect(614, 304, 208, 112), QRect(614, 424, 314, 178)},
        tablero(40));
    const std::vector<QRect> panel = {QRect(366, 0, 418, 320), QRect(366, 324, 240, 280)};
    struct Caso {
        const char* nombre;
        int lado;
        std::vector<QRect> abiertas;
        QRect ventana;
        bool propia;
        QSize crecer;
        QRect pantalla;  // the screen's free part, in the area's pixels
    };
    const QRect grande(-61, -130, 1280, 1024), pequena(-61, -130, 1024, 768);
    const Caso casos[] = {
        {"save form beside the engine panel", 40, panel, guardar, false, crecer, grande},
        {"save form beside every side window", 56, cuatro, guardar, false, crecer, grande},
        {"set-up palette beside every side window", 56, cuatro, preparar, false, crecer, grande},
        {"EPD list on a large screen", 40, {panel[1]}, epd, true, crecer, grande},
        {"EPD list on a small screen", 40, {panel[1]}, epd, true, QSize(64, 48), pequena},
    };
    for (const Caso& c : casos) {
        std::vector<lugares::Lateral> v;
        for (const QRect& r : c.abiertas) v.push_back({r, false});
        v.push_back({c.ventana, c.propia});
        const QRect t = tablero(c.lado);
        const lugares::Disposicion d = lugares::Disponer({t, area, c.crecer, c.pantalla}, v, int(v.size()) - 1, t);
        const QRect r = d.lugares.back();
        const QSize crecida = area + d.crecimiento;
        EXPECT_TRUE(d.crecimiento.width() >= 0 && d.crecimiento.height() >= 0 &&
                    d.crecimiento.width() <= c.crecer.width() && d.crecimiento.height() <= c.crecer.height())
            << c.nombre;
        EXPECT_TRUE(c.propia ? c.pantalla.contains(r) : QRect(QPoint(0, 0), crecida).contains(r)) << c.nombre;
        EXPECT_FALSE(r.intersects(t)) << c.nombre;
        for (size_t i = 0; i + 1 < v.size(); ++i) {
            EXPECT_FALSE(r.intersects(d.lugares[i])) << c.nombre << " over " << i;
            EXPECT_TRUE(QRect(QPoint(0, 0), crecida).contains(d.lugares[i])) << c.nombre << " hides " << i;
        }
        // A window of its own is no reason to grow the main window.
        if (c.propia) {
            EXPECT_EQ(d.crecimiento, QSize(0, 0)) << c.nombre;
        }
    }
    // With no room on the screen the layout is the one the area alone gives.
    std::vector<lugares::Lateral> v{{panel[0], false}, {panel[1], false}, {guardar, false}};
    const lugares::Disposicion d = lugares::Disponer({tablero(40), area, QSize(0, 0), grande}, v, 2, tablero(40));
    EXPECT_EQ(d.crecimiento, QSize(0, 0));
    EXPECT_EQ(d.lugares, lugares::Disponer(tablero(40), area, {panel[0], panel[1], guardar}, tablero(40)));
}

}  // namespace
