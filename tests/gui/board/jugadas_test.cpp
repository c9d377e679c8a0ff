// The move list: the four notations, the pop-up menu, copying, closing.
#include "partida.h"

#include "app/Variables.h"
#include "board/Jugadas.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

namespace {

// The one box of 1, 2, 3, 5 that is shown.
int CajaVisible() {
    int visible = 0;
    for (int i : {1, 2, 3, 5})
        if (!Jugadas().List[i]->isHidden()) visible = visible ? -1 : i;
    return visible;
}

TEST_F(Partida, TheMoveListShowsTheNotationChosenInTheMainWindow) {
    Jugar("g1f3 d7d5 b1c3 d5d4 e2e4 d4e3 f2e3 b8d7 f1b5");
    const QString esperado[6] = {
        "",
        "1. G1-F3\n                  D7-D5\n2. B1-C3\n                  D5-D4\n3. E2-E4\n                  D4-E3\n"
        "4. F2-E3\n                  B8-D7\n5. F1-B5",
        "1. Cf3\n                  d5\n2. Cc3\n                  d4\n3. e4\n                  dxe3ap\n"
        "4. fxe3\n                  Cd7\n5. Ab5",
        "1. Nf3\n                  d5\n2. Nc3\n                  d4\n3. e4\n                  dxe3ep\n"
        "4. fxe3\n                  Nd7\n5. Bb5",
        "",
        "1. f3\n                  d5\n2. c3\n                  d4\n3. e4\n                  dxe3\n"
        "4. fxe3\n                  d7\n5. b5",
    };
    struct Opcion {
        QAction* item;
        int caja;
        const char* clave;
    };
    auto& m = Mdi();
    const Opcion opciones[] = {{m.mnuCordenadas, 1, "3"},
                               {m.mnuAlgebraicoIng, 3, "2"},
                               {m.mnuAlgebraicoUsuario[0], 5, "4"},
                               {m.mnuAlgebraicoEsp, 2, "1"}};
    for (const Opcion& o : opciones) {
        o.item->trigger();
        EXPECT_TRUE(o.item->isChecked());
        EXPECT_EQ(CajaVisible(), o.caja);
        EXPECT_EQ(Caja(o.caja), esperado[o.caja]);
        EXPECT_EQ(e->Leer("Configuracion", "Check"), o.clave);
        // Scrolled to the last move.
        QPlainTextEdit* caja = Jugadas().List[o.caja];
        EXPECT_EQ(caja->textCursor().position(), caja->toPlainText().size());
    }
    EXPECT_EQ(Jugadas().List1->count(), 9);
    EXPECT_EQ(Jugadas().List1->item(5)->text(), "4453p54");
    EXPECT_TRUE(Jugadas().List[4]->isHidden());
}

TEST_F(Partida, ARightClickOnTheMoveListOpensItsMenuAndCopyTakesTheShownBox) {
    Jugar("e2e4 e7e5");
    Mdi().mnuAlgebraicoIng->trigger();
    QWidget* caja = Jugadas().List[3]->viewport();
    QMenu* abierto = nullptr;
    QTimer::singleShot(0, [&abierto] {
        abierto = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (abierto) abierto->close();
    });
    QTest::mouseClick(caja, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(abierto, Mdi().mnuJugadas);
    abierto = nullptr;
    QTimer::singleShot(0, [&abierto] { abierto = qobject_cast<QMenu*>(QApplication::activePopupWidget()); });
    QTest::mouseClick(caja, Qt::LeftButton, {}, QPoint(10, 10));
    QApplication::processEvents();
    EXPECT_EQ(abierto, nullptr);
    // The window system's context-menu request that follows a right click opens
    // nothing more: the program's menu is the only one.
    for (int i : {1, 2, 3, 5}) {
        QWidget* vista = Jugadas().List[i]->viewport();
        QTimer::singleShot(0, [&abierto] {
            abierto = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (abierto) abierto->close();
        });
        QContextMenuEvent pedido(QContextMenuEvent::Mouse, QPoint(10, 10), vista->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(vista, &pedido);
        QApplication::processEvents();
        EXPECT_EQ(abierto, nullptr) << i;
        abierto = nullptr;
    }

    Mdi().mnuCopiarJugadas->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "1. e4\n                  e5");
    QTextCursor c = Jugadas().List[3]->textCursor();
    c.setPosition(3);
    c.setPosition(5, QTextCursor::KeepAnchor);
    Jugadas().List[3]->setTextCursor(c);
    Mdi().mnuCopiarJugadas->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "e4");
}

TEST_F(Partida, ClosingTheMoveListHidesItAndReopeningShowsTheMovesMadeMeanwhile) {
    Jugar("e2e4");
    Jugadas().close();
    EXPECT_FALSE(Jugadas().Visible());
    EXPECT_FALSE(Mdi().mnuMovimientos->isChecked());
    Jugar("e7e5");
    Mdi().mnuMovimientos->trigger();
    EXPECT_TRUE(Jugadas().Visible());
    EXPECT_EQ(Caja(2), "1. e4\n                  e5");
    // A new game empties it.
    ReiniciarTablero();
    for (int i = 1; i <= 5; ++i) EXPECT_TRUE(Jugadas().List[i]->toPlainText().isEmpty());
    EXPECT_EQ(Jugadas().List1->count(), 0);
    EXPECT_TRUE(Reglas().Jugadas.List1.empty());
}

}  // namespace
