// The set-up window: the rights OK gives a position and the positions it refuses,
// then whole set-ups made with clicks on the real board and keys in its boxes.
#include "ficheros_prueba.h"

#include "app/Idioma.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Geometria.h"
#include "board/Tavorin.h"
#include "files/SetTableroF.h"
#include "juego.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// The squares of a FEN placement, read square by square (the reader would refuse
// some of them).
rules::Tablero Tablero(const std::string& fen) {
    rules::Tablero t{};
    int x = 1, y = 8;
    for (char c : fen) {
        if (c == '/') {
            --y;
            x = 1;
        } else if (c >= '1' && c <= '8') {
            x += c - '0';
        } else {
            t[size_t(x++)][size_t(y)] = int(std::string("PRNBQKprnbqk").find(c)) + 1;
        }
    }
    return t;
}

TEST(Ajustes, RightsFollowTheBoxesAndThePiecesOnTheirSquares) {
    struct Caso {
        const char* nombre;
        const char* fen;
        AjustesPreparacion a;
        std::optional<DerechosPreparados> esperado;
    };
    const std::array<bool, 4> todos{true, true, true, true};
    auto derechos = [](bool a1, bool h1, bool a8, bool h8, int alPaso = 0) {
        DerechosPreparados d;
        d.torreA1Movida = a1;
        d.torreH1Movida = h1;
        d.torreA8Movida = a8;
        d.torreH8Movida = h8;
        d.alPasoPosible = alPaso != 0;
        d.casillaAlPaso = alPaso;
        return std::optional<DerechosPreparados>(d);
    };
    const Caso casos[] = {
        {"start, all boxes",
         "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",
         {1, todos, false, ""},
         derechos(0, 0, 0, 0)},
        {"start, no box", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", {1, {}, false, ""}, derechos(1, 1, 1, 1)},
        {"rooks moved", "r3k3/8/8/8/8/8/8/4K2R", {2, todos, false, ""}, derechos(1, 0, 0, 1)},
        {"king off e1", "r3k2r/8/8/8/8/8/8/R5KR", {1, todos, false, ""}, derechos(1, 1, 0, 0)},
        {"e6 after e7-e5", "4k3/8/8/4p3/8/8/8/4K3", {1, {}, true, "e6"}, derechos(1, 1, 1, 1, 55)},
        {"E3 after e2-e4", "4k3/8/8/8/4P3/8/8/4K3", {2, {}, true, "E3"}, derechos(1, 1, 1, 1, 54)},
        {"e3, White to move", "4k3/8/8/8/4P3/8/8/4K3", {1, {}, true, "e3"}, derechos(1, 1, 1, 1)},
        {"e6, e7 taken", "4k3/4n3/8/4p3/8/8/8/4K3", {1, {}, true, "e6"}, derechos(1, 1, 1, 1)},
        {"e6, box unchecked", "4k3/8/8/4p3/8/8/8/4K3", {1, {}, false, "e6"}, derechos(1, 1, 1, 1)},
        {"pawn on the last rank", "4k2P/8/8/8/8/8/8/4K3", {1, {}, false, ""}, std::nullopt},
        {"side to move in check", "4k3/8/8/8/8/8/8/K3R3", {2, {}, false, ""}, derechos(1, 1, 1, 1)},
        {"side not to move in check", "4k3/8/8/8/8/8/8/K3R3", {1, {}, false, ""}, std::nullopt},
    };
    for (const Caso& c : casos) {
        const auto d = AplicarAjustes(Tablero(c.fen), c.a);
        ASSERT_EQ(d.has_value(), c.esperado.has_value()) << c.nombre;
        if (!d) continue;
        const auto& e = *c.esperado;
        EXPECT_EQ(std::make_tuple(d->torreA1Movida, d->torreH1Movida, d->torreA8Movida, d->torreH8Movida),
                  std::make_tuple(e.torreA1Movida, e.torreH1Movida, e.torreA8Movida, e.torreH8Movida))
            << c.nombre;
        EXPECT_EQ(d->alPasoPosible, e.alPasoPosible) << c.nombre;
        EXPECT_EQ(d->casillaAlPaso, e.casillaAlPaso) << c.nombre;
    }
}

class Preparar : public Ficheros {
protected:
    void SetUp() override {
        Ficheros::SetUp();
        Mdi().mnuSetTablero->trigger();
        ASSERT_TRUE(SetTableroF().Visible());
        ASSERT_TRUE(ModoPreparar);
    }
    static void Clic(const std::string& casilla, Qt::MouseButton boton = Qt::LeftButton) {
        const long s = AnchoCasilla;
        const QPoint p(int(geometria::PixelX(casilla[0] - 'a' + 1, s) + s / 2),
                       int(geometria::PixelY(casilla[1] - '0', s) + s / 2));
        QTest::mouseClick(Tavorin().PicBuffer, boton, {}, p);
    }
    static void Pieza(int celda, const std::string& casillas) {
        QTest::mouseClick(SetTableroF().Picture1[size_t(celda)], Qt::LeftButton);
        for (size_t i = 0; i + 1 < casillas.size(); i += 3) Clic(casillas.substr(i, 2));
    }
    static int En(const char* c) { return rules_test::En(Reglas(), c); }
    // A check or option box clicked on its mark.
    static void Marcar(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); }
};

TEST_F(Preparar, ARookEndingWithBlackToMove) {
    auto& s = SetTableroF();
    QTest::mouseClick(s.Command1, Qt::LeftButton);
    EXPECT_FALSE(s.Check1->isChecked() || s.Check4->isChecked());
    Pieza(1, "a1");
    EXPECT_EQ(FichaPaleta, rules::TorreBlanca);
    EXPECT_EQ(s.Picture1[1]->BackColor(), QColor(128, 255, 128));
    EXPECT_EQ(s.Picture1[0]->BackColor(), QColor(0, 128, 0));
    // The board picture shows what was set up.
    EXPECT_NE(Tavorin().PicBuffer->Imagen().pixelColor(20, 8 * int(AnchoCasilla) - 20),
              Tavorin().Fondo->Imagen().pixelColor(20, 8 * int(AnchoCasilla) - 20));
    Marcar(s.Option2);
    QTest::mouseClick(s.Command3, Qt::LeftButton);
    const auto& g = Reglas();
    EXPECT_EQ(g.Turno, 2);
    EXPECT_TRUE(g.TorreA1Movida && g.TorreH1Movida && g.TorreA8Movida && g.TorreH8Movida);
    EXPECT_EQ(En("a1"), rules::TorreBlanca);
    EXPECT_EQ(En("d1"), rules::Vacia);
    EXPECT_TRUE(PosicionPreparada);
    EXPECT_FALSE(ModoPreparar || s.Visible());
    EXPECT_EQ(Reloj().Tiempo(false), "00:00");
    // The position plays on: Black's king moves.
    Jugar("e8d7");
    EXPECT_EQ(En("d7"), rules::ReyNegro);
}

TEST_F(Preparar, AnEnPassantSquareTypedInTheBox) {
    auto& s = SetTableroF();
    QTest::mouseClick(s.Command1, Qt::LeftButton);
    Pieza(9, "e5");
    Marcar(s.Check5);
    EXPECT_TRUE(s.Text1->isEnabled());
    // A digit first, a letter after a letter, a letter beyond h: refused.
    QTest::keyClicks(s.Text1, "3xeE6");
    EXPECT_EQ(s.Text1->text(), "e6");
    QTest::keyClick(s.Text1, Qt::Key_Backspace);
    QTest::keyClick(s.Text1, Qt::Key_Backspace);
    QTest::keyClicks(s.Text1, "E6");
    EXPECT_EQ(s.Text1->text(), "E6");
    QTest::mouseClick(s.Command3, Qt::LeftButton);
    const auto& g = Reglas();
    EXPECT_EQ(g.CasillaAlPaso, 55);
    EXPECT_TRUE(g.AlPasoPosible && g.AlPasoCaduca);
    EXPECT_EQ(g.AlPasoTexto, "E6");
    EXPECT_EQ(g.Turno, 1);
}

TEST_F(Preparar, KingsAreMovedButNeverRemovedOrOverwritten) {
    auto& s = SetTableroF();
    Pieza(0, "e1");               // the queen does not replace the king: the king is picked up
    Clic("e1");                   // and put down again
    Clic("e8", Qt::RightButton);  // a right click does not remove it either
    Clic("e8");
    Clic("d2", Qt::RightButton);
    EXPECT_EQ(En("e1"), rules::ReyBlanco);
    EXPECT_EQ(En("e8"), rules::ReyNegro);
    EXPECT_EQ(En("d2"), rules::Vacia);
    Clic("e1");
    Clic("d2");
    EXPECT_EQ(En("d2"), rules::ReyBlanco);
    EXPECT_EQ(En("e1"), rules::Vacia);
    // With the king off e1 the White castling boxes grant nothing.
    QTest::mouseClick(s.Command3, Qt::LeftButton);
    EXPECT_TRUE(Reglas().TorreA1Movida && Reglas().TorreH1Movida);
    EXPECT_FALSE(Reglas().TorreA8Movida || Reglas().TorreH8Movida);
}

TEST_F(Preparar, UnplayablePositionsKeepTheWindowOpenAndCancelRestoresTheStart) {
    auto& s = SetTableroF();
    Pieza(4, "a8");  // a White pawn on the last rank
    QTest::mouseClick(s.Command3, Qt::LeftButton);
    EXPECT_EQ(Vistos(), "61");
    EXPECT_TRUE(s.Visible() && ModoPreparar);
    QTest::mouseClick(s.Command4, Qt::LeftButton);
    EXPECT_EQ(En("a8"), rules::TorreNegra);
    EXPECT_EQ(Reglas().Turno, 0);
    EXPECT_FALSE(PosicionPreparada || ModoPreparar || s.Visible());
    // Closed by its close box, an edited position is left on the board but not played.
    Mdi().mnuSetTablero->trigger();
    Reglas().Turno = 1;
    Clic("d2", Qt::RightButton);
    s.Unload();
    EXPECT_EQ(En("d2"), rules::Vacia);
    EXPECT_EQ(Reglas().Turno, 0);
}

TEST_F(Preparar, EveryCaptionShowsWholeInEachLanguage) {
    auto& s = SetTableroF();
    // The palette: two columns of five.
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(s.Picture1[size_t(k)]->geometry(), QRect(k < 5 ? 9 : 60, 9 + 42 * (k % 5), 40, 40)) << k;
    for (const char* idioma : {"English", "Español"}) {
        ASSERT_TRUE(controles::FijarTextoLista(Opciones().Combo1, idioma) || Opciones().IdiomaElegido() == idioma);
        Opciones().Combo1_Click();
        // The window stays open while the language changes.
        QApplication::processEvents();
        QWidget* marco = s.Marco();
        for (QWidget* w : s.findChildren<QWidget*>()) {
            if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QGroupBox*>(w)) continue;
            EXPECT_GE(w->width(), w->sizeHint().width()) << idioma << " " << w->objectName().toStdString();
            const QRect r(w->mapTo(marco, QPoint(0, 0)), w->size());
            EXPECT_TRUE(marco->rect().contains(r)) << idioma << " " << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(s.Check5->text(), "Captura al paso en:");
}

}  // namespace
