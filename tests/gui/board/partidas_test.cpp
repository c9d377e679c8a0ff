// Whole games for two people by mouse: by drag and drop, by two clicks, with
// castling, en passant and promotion, and moves that do not happen.
#include "partida.h"

#include "app/Variables.h"
#include "board/Coronacion.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

TEST_F(Partida, TheRoadThroughTheEnginePanelSetsUpTheBoardForTwoPeople) {
    EXPECT_TRUE(Cpu().Visible());
    EXPECT_TRUE(Jugadas().Visible());
    EXPECT_EQ(Cpu().SMotor1->currentText(), TextoSinMotor);
    EXPECT_EQ(Cpu().SMotor2->currentText(), TextoSinMotor);
    EXPECT_FALSE(Mdi().mnuInvertirTablero->isChecked());
    EXPECT_TRUE(Reglas().TipoPartida.empty());
    EXPECT_EQ(Pieza("e1"), 6);
    EXPECT_EQ(Pieza("d8"), 11);
    EXPECT_EQ(DibujoDistinto(), "");
    EXPECT_TRUE(Caja(1).isEmpty());
    EXPECT_TRUE(Tavorin().Shape1[0]->isHidden());
}

TEST_F(Partida, AWholeGameByDragEndsInMateWithTextOneAndTheWinSound) {
    const char* jugadas[] = {"e2e4", "e7e5", "f1c4", "b8c6", "d1h5", "g8f6", "h5f7"};
    int n = 0;
    for (const char* j : jugadas) {
        const std::string m = j;
        Arrastrar(m.substr(0, 2), m.substr(2, 2));
        ++n;
        ASSERT_EQ(Pieza(m.substr(0, 2)), 0) << m;
        ASSERT_EQ(DibujoDistinto(), "") << m;
        const QPoint o = Centro(m.substr(0, 2)), d = Centro(m.substr(2, 2));
        const long s = AnchoCasilla;
        EXPECT_EQ(Marco(0), QPoint(o.x() / s + 1, 8 - o.y() / s)) << m;
        EXPECT_EQ(Marco(1), QPoint(d.x() / s + 1, 8 - d.y() / s)) << m;
        if (n < 7) {
            EXPECT_EQ(Reglas().Turno, n % 2 == 1 ? 2 : 1) << m;
        }
    }
    EXPECT_EQ(Pieza("f7"), 5);
    EXPECT_EQ(Reglas().Turno, 0);
    ASSERT_EQ(e->mensajes.size(), 1u);
    EXPECT_EQ(e->mensajes[0].texto, TextosIdioma[1]);
    EXPECT_EQ(e->mensajes[0].titulo, "Tavorin");
    EXPECT_EQ(sonidos.count("Mueve.wav"), 7);
    EXPECT_EQ(sonidos.last(), "Gana.wav");
    EXPECT_EQ(Caja(3),
              "1. e4\n                  e5\n2. Bc4\n                  Nc6\n3. Qh5\n                  Nf6\n4. Qxf7++");
    // The game is over: the board takes no more moves.
    Arrastrar("e8", "f7");
    EXPECT_EQ(Pieza("e8"), 12);
}

TEST_F(Partida, AWholeGameByClicksEndsInMateWithTextTwo) {
    ClicAClic(true);
    Jugar("f2f3 e7e5 g2g4 d8h4", true);
    EXPECT_EQ(Pieza("h4"), 11);
    EXPECT_EQ(DibujoDistinto(), "");
    ASSERT_EQ(e->mensajes.size(), 1u);
    EXPECT_EQ(e->mensajes[0].texto, TextosIdioma[2]);
    EXPECT_EQ(sonidos.last(), "Gana.wav");
    EXPECT_EQ(Caja(1), "1. F2-F3\n                  E7-E5\n2. G2-G4\n                  D8-H4");
    EXPECT_TRUE(Tavorin().Shape->isHidden());
    EXPECT_EQ(Marco(0), QPoint(4, 8));
    EXPECT_EQ(Marco(1), QPoint(8, 4));
}

TEST_F(Partida, CastlingOnBothWingsMovesTheRooksOnTheBoardAndThePicture) {
    Jugar("e2e4 d7d5 g1f3 d8d6 f1e2 c8d7 e1g1 b8c6");
    EXPECT_EQ(Pieza("g1"), 6);
    EXPECT_EQ(Pieza("f1"), 2);
    EXPECT_EQ(Pieza("h1"), 0);
    ClicAClic(true);
    Jugar("d2d3 e8c8", true);
    EXPECT_EQ(Pieza("c8"), 12);
    EXPECT_EQ(Pieza("d8"), 8);
    EXPECT_EQ(Pieza("a8"), 0);
    EXPECT_EQ(DibujoDistinto(), "");
    EXPECT_TRUE(Caja(3).endsWith("O-O\n                  Nc6\n5. d3\n                  O-O-O"));
    EXPECT_EQ(Marco(1), QPoint(3, 8));
}

TEST_F(Partida, EnPassantTakesThePawnOffTheBoardAndThePicture) {
    Jugar("e2e4 a7a6 e4e5 d7d5 e5d6");
    EXPECT_EQ(Pieza("d5"), 0);
    EXPECT_EQ(Pieza("d6"), 1);
    EXPECT_EQ(DibujoDistinto(), "");
    EXPECT_TRUE(Caja(3).endsWith("3. exd6ep"));
    EXPECT_TRUE(Caja(2).endsWith("3. exd6ap"));
    EXPECT_EQ(Reglas().Jugadas.List1.back().substr(0, 7), "5546p45");
}

TEST_F(Partida, ARefusedEnPassantCaptureLeavesThePawnOnTheBoardAndInThePicture) {
    Posicion("4k3/2p5/8/KP5r/8/8/8/8 b - - 0 1");
    Jugar("c7c5");
    const QImage antes = Dibujo();
    Arrastrar("b5", "c6");  // would uncover the rook's check along the fifth rank
    EXPECT_EQ(Pieza("c5"), 7);
    EXPECT_EQ(Pieza("b5"), 1);
    EXPECT_EQ(Dibujo(), antes);
    EXPECT_EQ(Reglas().Turno, 1);
    EXPECT_EQ(Reglas().Jugadas.List1.size(), 1u);
}

namespace {
// Clicks a picture of the promotion chooser and OK once the chooser is up.
void ElegirCoronacion(int imagen) {
    QTimer::singleShot(0, [imagen] {
        ASSERT_TRUE(Coronacion().Visible());
        QTest::mouseClick(Coronacion().PiezaSelec[imagen], Qt::LeftButton);
        QTest::mouseClick(Coronacion().Command1, Qt::LeftButton);
    });
}
}  // namespace

TEST_F(Partida, APromotionToAKnightGoesThroughTheChooser) {
    Jugar("h2h4 g7g5 h4g5 g8f6 g5f6 h8g8 f6e7 a7a6");
    ElegirCoronacion(3);
    Arrastrar("e7", "f8");
    EXPECT_FALSE(Coronacion().Visible());
    EXPECT_EQ(Pieza("f8"), 3);
    EXPECT_EQ(Pieza("e7"), 0);
    EXPECT_EQ(Reglas().Turno, 2);
    EXPECT_EQ(DibujoDistinto(), "");
    EXPECT_TRUE(Caja(3).endsWith("5. exf8=N"));
    EXPECT_EQ(Reglas().Jugadas.List[4].substr(Reglas().Jugadas.List[4].size() - 7), "57683\r\n");
}

TEST_F(Partida, ClosingTheChooserWithoutOkLeavesEverythingAsItWas) {
    Jugar("h2h4 g7g5 h4g5 g8f6 g5f6 h8g8 f6e7 a7a6");
    const QImage antes = Dibujo();
    const QString lista = Caja(1);
    const int movimientos = sonidos.count();
    QTimer::singleShot(0, [] { Coronacion().close(); });
    Arrastrar("e7", "f8");
    EXPECT_EQ(Pieza("e7"), 1);
    EXPECT_EQ(Pieza("f8"), 10);
    EXPECT_EQ(Reglas().Turno, 1);
    EXPECT_EQ(Caja(1), lista);
    EXPECT_EQ(sonidos.count(), movimientos);
    EXPECT_EQ(Dibujo(), antes);
    // By clicks, the same; then the promotion is made after all, to a queen by Enter.
    ClicAClic(true);
    QTimer::singleShot(0, [] { Coronacion().close(); });
    Jugar("e7f8", true);
    EXPECT_EQ(Pieza("e7"), 1);
    EXPECT_EQ(Dibujo(), antes);
    QTimer::singleShot(0, [] { QTest::keyClick(&Coronacion(), Qt::Key_Return); });
    Jugar("e7d8", true);
    EXPECT_EQ(Pieza("d8"), 5);
    EXPECT_EQ(DibujoDistinto(), "");
}

TEST_F(Partida, ARefusedMoveSnapsBackAndChangesNothing) {
    const QImage antes = Dibujo();
    Arrastrar("e2", "e5");
    Arrastrar("g1", "g3");
    Arrastrar("e7", "e5");  // not Black's turn
    EXPECT_EQ(Dibujo(), antes);
    EXPECT_EQ(Reglas().Turno, 1);
    EXPECT_TRUE(Reglas().Origen.empty());
    EXPECT_TRUE(Caja(1).isEmpty());
    EXPECT_TRUE(sonidos.isEmpty());
    EXPECT_FALSE(Tavorin().Arrastrando());
}

namespace {
bool MismoCursor(const QCursor& a, const QCursor& b) { return a.pixmap().toImage() == b.pixmap().toImage(); }
}  // namespace

TEST_F(Partida, ADragOffTheBoardIsCancelled) {
    PictureBox* p = Tavorin().PicBuffer;
    const QImage antes = Dibujo();
    QTest::mousePress(p, Qt::LeftButton, {}, Centro("e2"));
    QTest::mouseMove(p, Centro("e3"));
    EXPECT_TRUE(Tavorin().Arrastrando());
    EXPECT_NE(Dibujo(), antes);  // the piece follows the pointer
    // The hand over a square the piece may go to, the stop sign elsewhere.
    EXPECT_TRUE(MismoCursor(p->cursor(), Tavorin().DragMano));
    QTest::mouseMove(p, Centro("e5"));
    EXPECT_TRUE(MismoCursor(p->cursor(), Tavorin().DragStop));
    QTest::mouseMove(p, Centro("e2"));
    EXPECT_TRUE(MismoCursor(p->cursor(), Tavorin().DragMano));
    QTest::mouseMove(p, QPoint(-10, 50));
    EXPECT_FALSE(Tavorin().Arrastrando());
    EXPECT_EQ(Dibujo(), antes);
    QTest::mouseMove(p, Centro("e4"));
    QTest::mouseRelease(p, Qt::LeftButton, {}, Centro("e4"));
    EXPECT_EQ(Pieza("e2"), 1);
    EXPECT_EQ(Pieza("e4"), 0);
    EXPECT_EQ(Dibujo(), antes);
    EXPECT_TRUE(Reglas().Origen.empty());
    EXPECT_EQ(Reglas().Turno, 1);
    // Released outside without a move in between: cancelled too.
    QTest::mousePress(p, Qt::LeftButton, {}, Centro("d2"));
    QTest::mouseRelease(p, Qt::LeftButton, {}, QPoint(400, 400));
    EXPECT_EQ(Dibujo(), antes);
    EXPECT_FALSE(Tavorin().Arrastrando());
    // A piece dropped back on its own square.
    Arrastrar("g1", "g1");
    EXPECT_EQ(Dibujo(), antes);
    EXPECT_EQ(Reglas().Turno, 1);
}

}  // namespace
