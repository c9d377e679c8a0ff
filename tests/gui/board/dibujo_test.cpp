// The board picture: pieces through their masks, the flip, square sizes 30 to 100,
// coordinates and the move frames.
#include "partida.h"

#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "files/ListaPgn.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace {

QString Etiquetas(const std::array<QLabel*, 8>& l) {
    QString t;
    for (QLabel* e : l) t += e->text();
    return t;
}

// The deferred resize to a square size, as the options dialog asks for it.
void Tamano(int lado) {
    Opciones().FijarTamano(lado);
    TamanoCambiado = true;
    Tavorin().Timer1_Timer();
}

TEST_F(Partida, APieceIsTheSquareAndedWithItsMaskThenXoredWithItsPicture) {
    auto& t = Tavorin();
    const long s = AnchoCasilla;
    // e1: the White king on a light square.
    const QRect r(int(4 * s), int(7 * s), int(s), int(s));
    const QImage cuadro = t.Fondo->Imagen().copy(r);
    const QImage dibujado = t.PicBuffer->Imagen().copy(r);
    int piezaVista = 0;
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            const QRgb esperado =
                ((cuadro.pixel(x, y) & t.RMascara[6].pixel(x, y)) ^ t.RFichas[6].pixel(x, y)) | 0xFF000000u;
            ASSERT_EQ(dibujado.pixel(x, y), esperado) << x << "," << y;
            piezaVista += dibujado.pixel(x, y) != cuadro.pixel(x, y);
        }
    EXPECT_GT(piezaVista, int(s * s / 8));
    // Square colours: a1 dark, h1 light, in both orientations.
    EXPECT_EQ(t.Fondo->Imagen().pixel(1, int(7 * s) + 1), t.RCuadro[2].pixel(1, 1));
    EXPECT_EQ(t.Fondo->Imagen().pixel(int(7 * s) + 1, int(7 * s) + 1), t.RCuadro[1].pixel(1, 1));
}

class PartidaConPiel : public Partida, public ::testing::WithParamInterface<const char*> {
    void Preparar() override { e->Poner("Configuracion", "Apariencia", GetParam()); }
};

TEST_P(PartidaConPiel, DrawsTheGameWithItsPictures) {
    EXPECT_EQ(Opciones().AparienciaElegida(), GetParam());
    EXPECT_EQ(DibujoDistinto(), "");
    Jugar("d2d4 g8f6 c1g5 f6e4");
    EXPECT_EQ(DibujoDistinto(), "");
    EXPECT_EQ(Pieza("e4"), 9);
}

INSTANTIATE_TEST_SUITE_P(Pieles, PartidaConPiel, ::testing::Values("marmol", "torneo"));

TEST_F(Partida, FlippingTurnsPiecesLabelsAndFramesAndFlippingBackRestoresThem) {
    Jugar("e2e4");
    const QImage normal = Dibujo();
    EXPECT_EQ(Etiquetas(Tavorin().Letras), "ABCDEFGH");
    EXPECT_EQ(Marco(0), QPoint(5, 2));
    EXPECT_EQ(Marco(1), QPoint(5, 4));
    Mdi().Toolbar1[20]->trigger();
    EXPECT_TRUE(Mdi().mnuInvertirTablero->isChecked());
    EXPECT_EQ(Etiquetas(Tavorin().Letras), "HGFEDCBA");
    EXPECT_EQ(Etiquetas(Tavorin().Numeros), "87654321");
    EXPECT_EQ(DibujoDistinto(), "");
    // e2-e4 is framed where e2 and e4 are shown: fourth column, seventh and fifth rows.
    EXPECT_EQ(Marco(0), QPoint(4, 7));
    EXPECT_EQ(Marco(1), QPoint(4, 5));
    Mdi().Toolbar1[20]->trigger();
    EXPECT_FALSE(Mdi().mnuInvertirTablero->isChecked());
    EXPECT_EQ(Etiquetas(Tavorin().Letras), "ABCDEFGH");
    EXPECT_EQ(Etiquetas(Tavorin().Numeros), "12345678");
    EXPECT_EQ(Dibujo(), normal);
    EXPECT_EQ(Marco(1), QPoint(5, 4));
}

TEST_F(Partida, FlippingInCheckHidesTheSelectionAndDoesNothingElseDuringAReplay) {
    ClicAClic(true);
    Clic("e2");
    ASSERT_FALSE(Tavorin().Shape->isHidden());
    Reglas().CasillasAtacantes = "84";
    PartidaDeFichero = true;
    Mdi().mnuInvertirTablero_Click();
    EXPECT_TRUE(Tavorin().Shape->isHidden());
    EXPECT_FALSE(Mdi().mnuInvertirTablero->isChecked());
    EXPECT_EQ(DibujoDistinto(), "");
}

TEST_F(Partida, RepaintingAFlippedBoardMirrorsItWhetherOrNotThePgnBrowserIsShown) {
    Jugar("e2e4 c7c5");
    Mdi().mnuInvertirTablero->trigger();
    auto& t = Tavorin();
    t.PaintTablero();
    t.PaintFichas();
    EXPECT_EQ(DibujoDistinto(), "");
    // The PGN browser reads the board from BoardTemp(1).
    ListaPgn().Show();
    t.BoardTemp[1]->Imagen() = t.Fondo->Imagen().copy();
    t.PaintFichas();
    EXPECT_EQ(t.BoardTemp[1]->Imagen().copy(Dibujo().rect()), Dibujo());
    ListaPgn().Hide();
}

TEST_F(Partida, SquareSizesFrom30To100KeepPiecesFramesAndLabelsOnTheirSquares) {
    Jugar("g1f3 d7d5");
    for (int lado : {30, 100, 35, 40}) {
        Tamano(lado);
        EXPECT_EQ(AnchoCasilla, lado);
        EXPECT_EQ(Tavorin().PicBuffer->width(), 8 * lado);
        EXPECT_EQ(Tavorin().Shape1[1]->width(), lado);
        EXPECT_EQ(DibujoDistinto(), "") << lado;
        EXPECT_EQ(Marco(0), QPoint(4, 7)) << lado;
        EXPECT_EQ(Marco(1), QPoint(4, 5)) << lado;
        // Labels centred under their columns, numbers on their rows.
        const QLabel* h = Tavorin().Letras[7];
        EXPECT_NEAR(h->x() + h->width() / 2.0 - Tavorin().PicBuffer->x(), 7.5 * lado, 1.0) << lado;
        const QLabel* uno = Tavorin().Numeros[0];
        EXPECT_NEAR(uno->y() + uno->height() / 2.0 - Tavorin().PicBuffer->y(), 7.5 * lado, 1.0) << lado;
    }
    // Inverted, then a new size: still mirrored.
    Mdi().mnuInvertirTablero->trigger();
    Tamano(50);
    EXPECT_EQ(DibujoDistinto(), "");
    EXPECT_EQ(Marco(1), QPoint(5, 4));
    EXPECT_EQ(Etiquetas(Tavorin().Letras), "HGFEDCBA");
}

TEST_F(Partida, FramesFollowTheOptionAndAreNotDrawnWhileAGameFileIsShown) {
    Opciones().FijarCheck(1, 0);
    Jugar("e2e4");
    EXPECT_TRUE(Tavorin().Shape1[0]->isHidden());
    Opciones().FijarCheck(1, 1);
    Jugar("e7e5");
    EXPECT_EQ(Marco(1), QPoint(5, 5));
    Tavorin().QuitaMarco();
    EXPECT_EQ(Marco(0), QPoint(0, 0));
    // Hidden frames stay hidden through a size change.
    Tamano(45);
    EXPECT_EQ(Marco(0), QPoint(0, 0));
    PartidaDeFichero = true;
    Tavorin().Marco(1, 1, 2, 2);
    EXPECT_EQ(Marco(0), QPoint(0, 0));
}

TEST_F(Partida, BorderLinesStayInTheEmptyBoardSoAMoveKeepsThem) {
    Opciones().FijarCheck(3, 1);
    const long s = AnchoCasilla;
    const QRgb linea = Tavorin().Fondo->Imagen().pixel(int(s), int(s) / 2);
    EXPECT_EQ(linea, qRgb(0, 0, 0));
    Jugar("g1f3");
    EXPECT_EQ(Pieza("g1"), 0);
    EXPECT_EQ(Tavorin().PicBuffer->Imagen().pixel(int(6 * s), int(7 * s) + int(s) / 2), qRgb(0, 0, 0));
    EXPECT_EQ(DibujoDistinto(), "");
    Opciones().FijarCheck(3, 0);
}

}  // namespace
