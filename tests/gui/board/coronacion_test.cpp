// The promotion chooser on its own: its answers and what it shows.
#include "partida.h"

#include "board/Coronacion.h"
#include "board/Tavorin.h"
#include "shell/Mdi.h"

#include <QAction>
#include "platform/PictureBox.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Runs `accion` on the chooser once it is up, then asks for a piece.
int Preguntar(int color, std::function<void()> accion) {
    QTimer::singleShot(0, [accion] {
        ASSERT_TRUE(Coronacion().Visible());
        EXPECT_TRUE(Coronacion().isModal());
        accion();
    });
    return Coronacion().Preguntar(color);
}

TEST_F(Partida, TheChooserAnswersThePieceCodeOrZeroWhenClosedWithoutOk) {
    EXPECT_EQ(Preguntar(1, [] { QTest::keyClick(&Coronacion(), Qt::Key_Return); }), 5);
    EXPECT_EQ(Preguntar(2,
                        [] {
                            EXPECT_EQ(Coronacion().Marcada(), 1);  // the queen again
                            QTest::mouseClick(Coronacion().PiezaSelec[3], Qt::LeftButton);
                            EXPECT_EQ(Coronacion().Marcada(), 3);
                            QTest::mouseClick(Coronacion().Command1, Qt::LeftButton);
                        }),
              9);
    EXPECT_EQ(Preguntar(1,
                        [] {
                            QTest::mouseClick(Coronacion().PiezaSelec[2], Qt::LeftButton);
                            Coronacion().close();
                        }),
              0);
    EXPECT_EQ(Preguntar(2, [] { QTest::keyClick(&Coronacion(), Qt::Key_Escape); }), 0);
    EXPECT_EQ(Preguntar(2,
                        [] {
                            QTest::mouseClick(Coronacion().PiezaSelec[4], Qt::LeftButton);
                            QTest::keyClick(&Coronacion(), Qt::Key_Enter);
                        }),
              10);
    EXPECT_FALSE(Coronacion().Visible());
}

TEST_F(Partida, TheChooserShowsTheSidesPiecesOnGreenWithTheMarkedOneLight) {
    Preguntar(2, [] {
        auto& c = Coronacion();
        auto& t = Tavorin();
        for (int i = 1; i <= 4; ++i) {
            const QImage& img = c.PiezaSelec[i]->Imagen();
            EXPECT_EQ(QColor(img.pixel(0, 0)), i == 1 ? QColor(0x80, 0xFF, 0x80) : QColor(0x00, 0x80, 0x00));
            // Every pixel is the back colour through the mask, then the piece.
            const int codigo = PiezaDeCoronacion(i, 7);
            const QRgb fondo = img.pixel(0, 0);
            for (int y = 0; y < 40; y += 3)
                for (int x = 0; x < 40; x += 3)
                    ASSERT_EQ(img.pixel(x, y),
                              ((fondo & t.OMascara[codigo].pixel(x, y)) ^ t.OFichas[codigo].pixel(x, y)) | 0xFF000000u);
        }
        c.close();
    });
}

}  // namespace

namespace {

TEST_F(Partida, OnAFlippedBoardThePromotedPieceLandsOnItsSquareForEitherSide) {
    Posicion("8/P7/8/7k/8/8/7p/4K3 w - - 0 1");
    Mdi().mnuInvertirTablero->trigger();
    QTimer::singleShot(0, [] {
        QTest::mouseClick(Coronacion().PiezaSelec[2], Qt::LeftButton);
        QTest::mouseClick(Coronacion().Command1, Qt::LeftButton);
    });
    Arrastrar("a7", "a8");
    EXPECT_EQ(Pieza("a8"), 2);
    EXPECT_EQ(Pieza("a7"), 0);
    EXPECT_EQ(DibujoDistinto(), "");
    ClicAClic(true);
    QTimer::singleShot(0, [] { QTest::keyClick(&Coronacion(), Qt::Key_Return); });
    Jugar("h2h1", true);
    EXPECT_EQ(Pieza("h1"), 11);
    EXPECT_EQ(DibujoDistinto(), "");
    EXPECT_TRUE(Caja(3).endsWith("a8=R\n                  h1=Q+"));
}

}  // namespace

namespace {

// The chooser's preview frames the move not made: a cancel brings back the frames of
// the move before, by drag and by clicks, on a board seen from either side.
TEST_F(Partida, ACancelledPromotionLeavesTheFramesOnTheMoveBefore) {
    for (bool invertido : {false, true}) {
        ReiniciarTablero();
        if (invertido) Mdi().mnuInvertirTablero_Click();
        Jugar("h2h4 g7g5 h4g5 g8f6 g5f6 h8g8 f6e7 a7a6");
        const QPoint a = Marco(0), b = Marco(1);
        ASSERT_NE(a, QPoint(0, 0));
        ASSERT_NE(b, QPoint(0, 0));
        QTimer::singleShot(0, [] { Coronacion().close(); });
        Arrastrar("e7", "f8");
        EXPECT_EQ(Pieza("e7"), 1);
        EXPECT_EQ(Marco(0), a) << invertido;
        EXPECT_EQ(Marco(1), b) << invertido;
        ClicAClic(true);
        QTimer::singleShot(0, [] { Coronacion().close(); });
        Jugar("e7f8", true);
        EXPECT_EQ(Marco(0), a) << invertido;
        EXPECT_EQ(Marco(1), b) << invertido;
        // Made after all, the promotion frames its own move.
        QTimer::singleShot(0, [] { QTest::keyClick(&Coronacion(), Qt::Key_Return); });
        Jugar("e7f8", true);
        EXPECT_NE(Marco(0), a);
        ClicAClic(false);
        if (invertido) Mdi().mnuInvertirTablero_Click();
    }
}

}  // namespace
