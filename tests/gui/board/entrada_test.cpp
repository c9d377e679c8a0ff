// The board's input state machine: sequences of mouse events and what they leave.
#include "partida.h"

#include "app/Variables.h"
#include "board/Tavorin.h"
#include "files/SetTableroF.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QFrame>
#include <QTest>
#include <QTimer>

namespace {

// One step of a sequence: press, move or release at a square ("--" = outside the
// board), or a click (press and release).
struct Paso {
    char tipo;  // 'p' press, 'm' move, 'h' move with no button, 'r' release, 'c' left click, 'd' right click
    const char* casilla;
};

struct Secuencia {
    const char* nombre;
    bool porClic;
    std::vector<Paso> pasos;
    const char* movida;  // the square that must then hold the moved piece, "" none
    bool seleccion;      // the selection marker is shown afterwards
    int turno;
};

QPoint Punto(const char* c) { return std::string(c) == "--" ? QPoint(-20, 60) : Partida::Centro(c); }

class Entrada : public Partida {};

TEST_F(Entrada, SequencesOfMouseEventsAndTheirOutcome) {
    const std::vector<Secuencia> tabla = {
        {"drag e2-e4", false, {{'p', "e2"}, {'m', "e3"}, {'r', "e4"}}, "e4", false, 2},
        {"drop on its own square", false, {{'p', "e2"}, {'m', "e3"}, {'r', "e2"}}, "", false, 1},
        {"press on an empty square", false, {{'p', "e4"}, {'m', "e5"}, {'r', "e5"}}, "", false, 1},
        {"press on the other side's piece", false, {{'p', "e7"}, {'m', "e6"}, {'r', "e5"}}, "", false, 1},
        {"right button", false, {{'d', "e2"}}, "", false, 1},
        {"off the board and back", false, {{'p', "e2"}, {'m', "--"}, {'m', "e4"}, {'r', "e4"}}, "", false, 1},
        {"button released unseen", false, {{'p', "e2"}, {'m', "e3"}, {'h', "e4"}, {'r', "--"}}, "e4", false, 2},
        {"click, click", true, {{'c', "g1"}, {'c', "f3"}}, "f3", false, 2},
        {"first click selects", true, {{'c', "g1"}}, "", true, 1},
        {"illegal second click ends the selection", true, {{'c', "g1"}, {'c', "g3"}}, "", false, 1},
        {"then it starts again", true, {{'c', "g1"}, {'c', "g3"}, {'c', "g1"}, {'c', "h3"}}, "h3", false, 2},
        {"second click on the piece itself", true, {{'c', "g1"}, {'c', "g1"}}, "", false, 1},
        {"first click on an empty square", true, {{'c', "e4"}}, "", false, 1},
        {"first click on the other side", true, {{'c', "e7"}, {'c', "e5"}}, "", false, 1},
    };
    PictureBox* p = Tavorin().PicBuffer;
    for (const Secuencia& s : tabla) {
        ReiniciarTablero(s.porClic);
        const QImage antes = Dibujo();
        for (const Paso& paso : s.pasos) {
            switch (paso.tipo) {
                case 'p': QTest::mousePress(p, Qt::LeftButton, {}, Punto(paso.casilla)); break;
                case 'm': QTest::mouseMove(p, Punto(paso.casilla)); break;
                case 'h': Sobre(Punto(paso.casilla)); break;
                case 'r': QTest::mouseRelease(p, Qt::LeftButton, {}, Punto(paso.casilla)); break;
                case 'c': Clic(Punto(paso.casilla)); break;
                case 'd': Clic(Punto(paso.casilla), Qt::RightButton); break;
            }
        }
        EXPECT_EQ(Reglas().Turno, s.turno) << s.nombre;
        EXPECT_EQ(!Tavorin().Shape->isHidden(), s.seleccion) << s.nombre;
        EXPECT_FALSE(Tavorin().Arrastrando()) << s.nombre;
        EXPECT_EQ(DibujoDistinto(), "") << s.nombre;
        if (*s.movida) {
            EXPECT_NE(Pieza(s.movida), 0) << s.nombre;
            EXPECT_TRUE(Reglas().Origen.empty()) << s.nombre;
        } else {
            EXPECT_EQ(Dibujo(), antes) << s.nombre;
            EXPECT_TRUE(Caja(1).isEmpty()) << s.nombre;
            if (!s.seleccion) {
                EXPECT_TRUE(Reglas().Origen.empty()) << s.nombre;
            }
        }
    }
}

TEST_F(Entrada, TheFarEdgePixelsBelongToTheLastFileAndTheFirstRank) {
    ClicAClic(true);
    const int borde = int(8 * AnchoCasilla);
    Clic(QPoint(borde, borde));  // h1
    EXPECT_FALSE(Tavorin().Shape->isHidden());
    EXPECT_EQ(Reglas().Origen, "81");
    EXPECT_EQ(Tavorin().Shape->pos(), QPoint(borde - int(AnchoCasilla), borde - int(AnchoCasilla)));
    Clic(QPoint(borde, borde));  // the same square again: deselected
    EXPECT_TRUE(Tavorin().Shape->isHidden());
    Clic(QPoint(borde + 1, borde));  // one pixel further: outside
    EXPECT_TRUE(Tavorin().Shape->isHidden());
    EXPECT_TRUE(Reglas().Origen.empty());
}

TEST_F(Entrada, OnAFlippedBoardTheTopLeftSquareIsH1AndMovesLandOnTheirSquares) {
    Mdi().mnuInvertirTablero->trigger();
    ASSERT_TRUE(Mdi().mnuInvertirTablero->isChecked());
    ClicAClic(true);
    Clic(QPoint(5, 5));
    EXPECT_EQ(Reglas().Origen, "81");
    Clic(QPoint(5, 5));
    ClicAClic(false);
    Jugar("e2e4 e7e5 g1f3");
    EXPECT_EQ(Pieza("e4"), 1);
    EXPECT_EQ(Pieza("e5"), 7);
    EXPECT_EQ(Pieza("f3"), 3);
    EXPECT_EQ(DibujoDistinto(), "");
    // f3 shows at the third column from the left, sixth row from the bottom.
    EXPECT_EQ(Marco(1), QPoint(3, 6));
    EXPECT_EQ(Marco(0), QPoint(2, 8));
}

TEST_F(Entrada, ConnectedMovesGoToThePeerNamingBoardSquares) {
    Reglas().Conectado = true;
    Mdi().mnuInvertirTablero->trigger();
    Arrastrar("e2", "e4");
    EXPECT_EQ(Reglas().Turno, 0);
    ASSERT_EQ(NumColaEnvio, 1);
    EXPECT_EQ(ColaEnvio[1], "Movimiento 52540");
    EXPECT_TRUE(Tavorin().Timer2->isActive());
    Tavorin().Timer2->stop();
    // The peer's turn: the board takes nothing.
    Arrastrar("e7", "e5");
    EXPECT_EQ(Pieza("e7"), 7);
    EXPECT_EQ(NumColaEnvio, 1);
}

TEST_F(Entrada, ThePointerShowsWhatMayBeTakenAndWhere) {
    Sobre(Centro("e2"));
    EXPECT_EQ(Tavorin().MousePointer(), 99);
    Sobre(Centro("e7"));
    EXPECT_EQ(Tavorin().MousePointer(), 0);
    Sobre(Centro("e4"));
    EXPECT_EQ(Tavorin().MousePointer(), 0);
    ClicAClic(true);
    Clic("g1");
    Sobre(Centro("f3"));
    EXPECT_EQ(Tavorin().MousePointer(), 99);
    Sobre(Centro("g3"));
    EXPECT_EQ(Tavorin().MousePointer(), 12);
    Sobre(Centro("g1"));
    EXPECT_EQ(Tavorin().MousePointer(), 99);
    // The hover test changed nothing.
    EXPECT_EQ(Reglas().Origen, "71");
    EXPECT_TRUE(Reglas().Destino.empty());
    EXPECT_EQ(DibujoDistinto(), "");
}

TEST_F(Entrada, SetUpClicksLandOnTheSquareClickedEvenOnAFlippedBoard) {
    Mdi().mnuInvertirTablero->trigger();
    ModoPreparar = true;
    FichaPaleta = 5;
    Clic(Centro("c3"));
    EXPECT_EQ(Pieza("c3"), 5);
    Clic(Centro("a2"), Qt::RightButton);
    EXPECT_EQ(Pieza("a2"), 0);
    // A king is picked up and put down on an empty square.
    Clic(Centro("e1"));
    EXPECT_FALSE(Tavorin().Shape->isHidden());
    EXPECT_EQ(ReySeleccionado, "51");
    Clic(Centro("d4"));
    EXPECT_EQ(Pieza("d4"), 6);
    EXPECT_EQ(Pieza("e1"), 0);
    EXPECT_TRUE(Tavorin().Shape->isHidden());
    // A right click on a king changes nothing; the flip does nothing while setting up.
    Clic(Centro("e8"), Qt::RightButton);
    EXPECT_EQ(Pieza("e8"), 12);
    Mdi().mnuInvertirTablero_Click();
    EXPECT_TRUE(Mdi().mnuInvertirTablero->isChecked());
    ModoPreparar = false;
    FichaPaleta = 0;
}

}  // namespace
