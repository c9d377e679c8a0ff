// The PGN browser's tab strip: where the tabs lie, what a click hits, how it is drawn.
#include "files/PgnPestanas.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

const QColor kFondo(0, 128, 0);

pgn::Pestanas Ejemplo() { return pgn::Pestanas({0, 40, 50, 60}, 13); }

TEST(PgnPestanas, Geometry) {
    const pgn::Pestanas p = Ejemplo();
    EXPECT_EQ(p.Izquierda(1), 3);
    EXPECT_EQ(p.Derecha(1), 59);
    EXPECT_EQ(p.Izquierda(2), 60);
    EXPECT_EQ(p.Derecha(2), 126);
    EXPECT_EQ(p.Izquierda(3), 127);
    EXPECT_EQ(p.Derecha(3), 203);
}

TEST(PgnPestanas, HitTest) {
    struct Caso {
        int x, y, tab;
    };
    for (const Caso& c : {
             Caso{70, 2, 0},
             Caso{70, 22, 0},
             Caso{70, 21, 2},
             Caso{70, 3, 2},
             Caso{0, 10, 1},
             Caso{59, 10, 1},
             Caso{60, 10, 2},
             Caso{126, 10, 2},
             Caso{127, 10, 3},
             Caso{203, 10, 3},
             Caso{204, 10, 0},
             Caso{500, 10, 0},
             Caso{-5, 10, 1},
         })
        EXPECT_EQ(Ejemplo().TabEn(c.x, c.y), c.tab) << c.x << "," << c.y;
}

// The strip as letters: W white, k black, g grey, . the back colour.
std::vector<std::string> Letras(const QImage& img) {
    std::vector<std::string> filas;
    for (int y = 0; y < img.height(); ++y) {
        std::string fila;
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            fila += c == Qt::white               ? 'W'
                    : c == Qt::black             ? 'k'
                    : c == QColor(128, 128, 128) ? 'g'
                    : c == kFondo                ? '.'
                                                 : '?';
        }
        filas.push_back(fila);
    }
    return filas;
}

QImage Dibujo(int seleccion, const pgn::Pestanas& p, int w = 220, int h = 40) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::red);
    p.Dibujar(img, seleccion, kFondo);
    return img;
}

// The colour of each listed pixel.
struct Pixel {
    int x, y;
    QColor color;
};
void Comprobar(const QImage& img, const std::vector<Pixel>& pixeles, const char* que) {
    for (const Pixel& p : pixeles) EXPECT_EQ(img.pixelColor(p.x, p.y), p.color) << que << " at " << p.x << "," << p.y;
}

TEST(PgnPestanas, LinesStopOnePixelBeforeTheirSecondPoint) {
    const pgn::Pestanas p({0, 40, 50, 60}, 13);
    const QColor gris(128, 128, 128);
    // Tab 3 selected: tab 1 as drawn unselected. Left edge x = 4 from y = 20 up to 3,
    // top edge y = 3 from 5 to 57, inner right edge x = 58 from 21 up to 4, outer
    // right edge x = 59 from 21 up to 5 (row 21 then carries the panel's edge).
    Comprobar(Dibujo(3, p),
              {
                  {4, 20, Qt::white},
                  {4, 3, Qt::white},
                  {4, 2, kFondo},
                  {5, 3, Qt::white},
                  {57, 3, Qt::white},
                  {58, 3, kFondo},
                  {58, 20, gris},
                  {58, 4, gris},
                  {58, 3, kFondo},
                  {59, 20, Qt::black},
                  {59, 21, Qt::white},  // the panel's top edge comes after the tabs
                  {59, 5, Qt::black},
                  {59, 4, kFondo},
              },
              "tab 3");
    // Tab 2 selected, from 57 to 129: it covers tab 1's right edges. Under it the
    // panel's top edge is gone; the panel frame is 220 x 40.
    const QImage img = Dibujo(2, p);
    Comprobar(
        img,
        {
            {57, 21, Qt::white},  {57, 2, Qt::white},  {57, 1, kFondo},    {58, 1, Qt::white},   {127, 1, Qt::white},
            {128, 1, kFondo},     {58, 10, kFondo},    {59, 10, kFondo},   {128, 21, gris},      {128, 2, gris},
            {129, 20, Qt::black}, {129, 3, Qt::black}, {129, 2, kFondo},   {90, 21, kFondo},     {129, 21, Qt::white},
            {140, 21, Qt::white}, {0, 38, Qt::white},  {0, 21, Qt::white}, {0, 39, Qt::black},   {219, 39, Qt::black},
            {219, 21, Qt::black}, {218, 38, gris},     {218, 22, gris},    {218, 21, Qt::white}, {1, 38, gris},
        },
        "tab 2");
    // Drawing the same tab twice gives the same strip.
    EXPECT_EQ(Dibujo(2, p), img);
}

TEST(PgnPestanas, SmallStripGolden) {
    const pgn::Pestanas p({0, 2, 2, 2}, 13);
    const std::vector<std::string> esperado = {
        "................................................", "....................WWWWWWWWWWWWWWWWWWWWWW......",
        "...................W......................g.....", "....WWWWWWWWWWWWWWWW......................gkWWWW",
        "....W..............W......................gk....", "....W..............W......................gk....",
        "....W..............W......................gk....", "....W..............W......................gk....",
        "....W..............W......................gk....", "....W..............W......................gk....",
        "....W..............W......................gk....", "....W..............W......................gk....",
        "....W..............W......................gk....", "....W..............W......................gk....",
        "....W..............W......................gk....", "....W..............W......................gk....",
        "....W..............W......................gk....", "....W..............W......................gk....",
        "....W..............W......................gk....", "....W..............W......................gk....",
        "....W..............W......................gk....", "WWWWWWWWWWWWWWWWWWWW......................gWWWWk",
        "W.............................................gk", "W.............................................gk",
        "Wggggggggggggggggggggggggggggggggggggggggggggggk", "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk",
    };

    EXPECT_EQ(Letras(Dibujo(2, p, 48, 26)), esperado);
}

TEST(PgnPestanas, CaptionWidthsComeFromTheFont) {
    QFont f;
    f.setBold(true);
    const pgn::Pestanas p({"", "List", "Game", "Autoplay"}, f);
    f.setBold(false);
    const QFontMetrics fm(f);
    EXPECT_EQ(p.Derecha(1), 3 + fm.horizontalAdvance("List") + 16);
    EXPECT_EQ(p.Izquierda(3), p.Derecha(2) + 1);
}

}  // namespace
