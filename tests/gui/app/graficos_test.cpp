// The colour scheme's painting.
#include "entorno.h"

#include "app/ColorRgb.h"
#include "app/Graficos.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "files/ListaPgn.h"
#include "files/fEpd.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"

#include <QGroupBox>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

class Esquema : public ::testing::Test {
protected:
    void SetUp() override { e.Arrancar(); }
    void Base(long r, long g, long b) {
        ColorRojo = r;
        ColorVerde = g;
        ColorAzul = b;
    }
    Entorno e;
};

TEST_F(Esquema, TheBevelRunsFromTheBaseColourToItsLightTint) {
    Base(0, 64, 128);
    PintarVentana(0);
    const QImage& img = Reloj().Picture();
    const int w = img.width(), h = img.height();
    const QColor linea[6] = {{0, 64, 128},    {40, 104, 168},  {80, 144, 208},
                             {120, 184, 248}, {160, 224, 255}, {200, 255, 255}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(img.pixelColor(w / 2, h - 1 - i), linea[i]) << "bottom " << i;
        EXPECT_EQ(img.pixelColor(i, h / 2), linea[i]) << "left " << i;
        EXPECT_EQ(img.pixelColor(w - 1 - i, h / 2), linea[i]) << "right " << i;
        EXPECT_EQ(img.pixelColor(w / 2, i), linea[i]) << "top " << i;
    }
    EXPECT_EQ(img.pixelColor(w / 2, h / 2), QColor(200, 255, 255));
    EXPECT_EQ(controles::ColorFondo(Reloj().Frame1), QColor(200, 255, 255));
}

TEST_F(Esquema, AWhiteBaseGivesAWhiteWindow) {
    Base(255, 255, 255);
    PintarVentana(0);
    const QImage& img = Reloj().Picture();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(img.width() / 2, img.height() / 2), QColor(Qt::white));
}

TEST_F(Esquema, TheEngineWindowKeepsItsTop24RowsFree) {
    Base(0, 64, 128);
    PintarVentana(7);
    const QImage& img = Cpu().Picture();
    EXPECT_EQ(img.pixelColor(img.width() / 2, 10), QColor(200, 255, 255));
    EXPECT_EQ(img.pixelColor(img.width() / 2, 24), QColor(0, 64, 128));
    EXPECT_EQ(img.pixelColor(0, 10), QColor(200, 255, 255));
}

TEST_F(Esquema, WindowNumbersSelectOneWindow) {
    Base(0, 64, 128);
    PintarVentana(0);
    Base(10, 10, 10);
    PintarVentana(9);
    EXPECT_EQ(fEpd().Picture().pixelColor(0, 0), QColor(10, 10, 10));
    EXPECT_EQ(Reloj().Picture().pixelColor(0, 0), QColor(0, 64, 128));
    PintarVentana(5);  // no window has number 5
    EXPECT_EQ(Reloj().Picture().pixelColor(0, 0), QColor(0, 64, 128));
}

TEST_F(Esquema, TheSystemLookLeavesTheTabStripAsItWas) {
    Base(0, 64, 128);
    PintarVentana(0);
    const QColor pestanas = ListaPgn().picTab->BackColor();
    EXPECT_EQ(pestanas, QColor(200, 255, 255));
    ColorRgb().FijarOpcion(2);
    EXPECT_EQ(ListaPgn().picTab->BackColor(), pestanas);
    EXPECT_EQ(ColorPestanas, ColorSistema());
    EXPECT_EQ(controles::ColorFondo(ListaPgn().Frame1), ColorSistema());
}

// Each window registers its own painting; together they keep the painting order, the
// numbers that select one window and the engine panel's free rows.
TEST_F(Esquema, EveryWindowIsPaintedInItsPlace) {
    QStringList ventanas;
    for (const pintura::Ventana& v : pintura::Ventanas()) {
        QString t = QString::fromUtf8(v.ventana().metaObject()->className()).remove("forms::");
        if (v.numero) t += QString(" %1").arg(v.numero);
        if (v.margenArriba) t += QString(" +%1").arg(v.margenArriba);
        ventanas << t;
    }
    EXPECT_EQ(ventanas.join(", ").toStdString(),
              "ColorRgb, Ranking 4, PgnMovimientos, ListaPgn, Tavorin 1, Reloj, Cpu 7 +24, fEpd 9, FormLevel2, "
              "SetTableroF, Chat 3, Conexion, Coronacion, Ip, Jugadas 2, Opciones, Nuevo");
}

TEST_F(Esquema, BorderLinesSeparateTheSquares) {
    auto& t = Tavorin();
    t.RCuadro[1] = QImage(50, 50, QImage::Format_RGB32);
    t.RCuadro[1].fill(Qt::white);
    t.RCuadro[2] = t.RCuadro[1];
    t.Resice();
    t.PaintTablero();
    PintarBordeTablero();
    const QImage& img = t.PicBuffer->Imagen();
    for (int x = 50; x <= 350; x += 50) {
        EXPECT_EQ(img.pixelColor(x, 25), QColor(Qt::black));
        EXPECT_EQ(img.pixelColor(25, x), QColor(Qt::black));
    }
    EXPECT_EQ(img.pixelColor(25, 25), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(399, 399), QColor(Qt::white));
}

}  // namespace
