// Pixels, display squares and board squares of the board picture.
#include "board/Coronacion.h"
#include "board/Geometria.h"

#include <gtest/gtest.h>

namespace {

using namespace geometria;

TEST(Geometria, PixelsGiveSquaresUpToAndIncludingTheFarEdge) {
    struct Caso {
        double v;
        int columna, fila;
    };
    const Caso casos[] = {{0, 1, 8},   {39.9, 1, 8},   {40, 2, 7},    {279.9, 7, 2}, {280, 8, 1}, {319, 8, 1},
                          {320, 8, 1}, {320.01, 0, 0}, {-0.01, 0, 0}, {-40, 0, 0},   {1000, 0, 0}};
    for (const Caso& c : casos) {
        EXPECT_EQ(Columna(c.v, 40), c.columna) << c.v;
        EXPECT_EQ(Fila(c.v, 40), c.fila) << c.v;
    }
    // An odd square size.
    EXPECT_EQ(Columna(34.99, 35), 1);
    EXPECT_EQ(Columna(35, 35), 2);
    EXPECT_EQ(Fila(280, 35), 1);
    EXPECT_EQ(Fila(280.5, 35), 0);
}

TEST(Geometria, SnappingAndSquarePixels) {
    EXPECT_EQ(Esquina(0, 40), 0);
    EXPECT_EQ(Esquina(79, 40), 40);
    EXPECT_EQ(Esquina(320, 40), 280);
    EXPECT_EQ(Esquina(330, 40), 330);  // outside: unchanged
    EXPECT_EQ(PixelX(1, 30), 0);
    EXPECT_EQ(PixelX(8, 30), 210);
    EXPECT_EQ(PixelY(8, 30), 0);
    EXPECT_EQ(PixelY(1, 30), 210);
    EXPECT_EQ(PixelX(0, 30), 0);
    EXPECT_EQ(PixelY(9, 30), 0);
}

TEST(Geometria, TheMirrorTurnsDisplayAndBoardSquaresIntoEachOtherButNeverNoSquare) {
    EXPECT_EQ(Espejo(1, true), 8);
    EXPECT_EQ(Espejo(8, true), 1);
    EXPECT_EQ(Espejo(5, false), 5);
    EXPECT_EQ(Espejo(0, true), 0);
    EXPECT_EQ(Espejo(9, true), 9);
    for (int v = 1; v <= 8; ++v) EXPECT_EQ(Espejo(Espejo(v, true), true), v);
}

TEST(Geometria, SquareTexts) {
    EXPECT_EQ(CasillaTexto(5, 2), "52");
    int x = 0, y = 0;
    EXPECT_TRUE(LeerCasilla("81", x, y));
    EXPECT_EQ(x, 8);
    EXPECT_EQ(y, 1);
    for (const char* mal : {"", "0", "09", "90", "5a", "523"}) EXPECT_FALSE(LeerCasilla(mal, x, y)) << mal;
}

TEST(Coronacion, ThePicturesStandForQueenRookKnightBishopOfThePawnsSide) {
    const int blancas[] = {0, 5, 2, 3, 4};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(PiezaDeCoronacion(i, 1), blancas[i]);
        EXPECT_EQ(PiezaDeCoronacion(i, 7), blancas[i] + 6);
    }
    EXPECT_EQ(PiezaDeCoronacion(0, 1), 0);
    EXPECT_EQ(PiezaDeCoronacion(5, 1), 0);
    EXPECT_EQ(PiezaDeCoronacion(1, 2), 0);
}

}  // namespace
