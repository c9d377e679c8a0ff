// The move list: the four notations, the pop-up menu, copying, closing.
#include "partida.h"

#include "app/Variables.h"
#include "board/Jugadas.h"
#include "shell/Mdi.h"
#include "shell/Retroceso.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <random>

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

// What box n shows for the game's text: lines without their CR, no empty line after
// the last one.
QString Mostrado(const std::string& texto) {
    QString t = QString::fromStdString(texto);
    t.replace("\r\n", "\n");
    if (t.endsWith(u'\n')) t.chop(1);
    return t;
}

void ComprobarCajas(const std::string& donde) {
    const auto& lista = Reglas().Jugadas;
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(Jugadas().List[i]->toPlainText(), Mostrado(lista.List[i])) << donde << ", box " << i;
    QStringList registros;
    for (int i = 0; i < Jugadas().List1->count(); ++i) registros << Jugadas().List1->item(i)->text();
    QStringList esperados;
    for (const auto& r : lista.List1) esperados << QString::fromStdString(r);
    EXPECT_EQ(registros, esperados) << donde;
}

// A move adds its own line to each box and its record to the list, a take-back takes
// them off again: nothing shown before is written again, so the list of a long game
// costs each move the same.
TEST_F(Partida, TheMoveListGrowsByAppending) {
    long filas = 0, escritos = 0;
    QObject::connect(Jugadas().List1->model(), &QAbstractItemModel::rowsInserted, Jugadas().List1,
                     [&filas](const QModelIndex&, int desde, int hasta) { filas += hasta - desde + 1; });
    for (int i = 1; i <= 5; ++i)
        QObject::connect(Jugadas().List[i]->document(), &QTextDocument::contentsChange, Jugadas().List[i],
                         [&escritos](int, int, int anadidos) { escritos += anadidos; });
    std::string ida;
    for (int i = 0; i < 10; ++i) ida += "g1f3 g8f6 f3g1 f6g8 ";
    Jugar(ida);
    ASSERT_EQ(Reglas().Jugadas.List1.size(), 40u);
    ComprobarCajas("40 half-moves");
    long mostrados = 0;
    for (int i = 1; i <= 5; ++i) mostrados += Jugadas().List[i]->document()->characterCount();
    EXPECT_EQ(filas, 40);
    EXPECT_LE(escritos, mostrados);

    // Two take-backs and a move: two lines off, one on.
    filas = escritos = 0;
    Mdi().RetrocesoFuncion();
    Mdi().RetrocesoFuncion();
    ComprobarCajas("two take-backs");
    Jugar("f3e5");
    ComprobarCajas("a move after them");
    EXPECT_EQ(filas, 1);
    EXPECT_LE(escritos, 5 * 30);
    ReiniciarTablero();
    ComprobarCajas("a new game");
}

// Whatever happened to the game's texts and records between two updates (moves, take-
// backs, a game put back whole, a text that does not end a line), the boxes show them.
TEST_F(Partida, TheMoveListShowsTheGameAfterAnyChange) {
    std::mt19937 azar(4711);
    auto& lista = Reglas().Jugadas;
    auto linea = [&azar](int i) { return "l" + std::to_string(i) + "-" + std::to_string(azar() % 1000) + "\r\n"; };
    std::vector<rules::ListaJugadas> guardadas{lista};
    for (int paso = 0; paso < 300; ++paso) {
        std::string que;
        switch (azar() % 7) {
            case 0:
            case 1:
            case 2:
                que = "append";
                for (int i = 1; i <= 5; ++i) lista.List[i] += linea(i);
                lista.List1.push_back("r" + std::to_string(paso));
                break;
            case 3:
                que = "take back";
                for (int i = 1; i <= 5; ++i) retroceso::QuitarUltimaLinea(lista.List[i]);
                if (!lista.List1.empty()) lista.List1.pop_back();
                break;
            case 4:
                que = "put back a saved game";
                lista = guardadas[azar() % guardadas.size()];
                break;
            case 5:
                que = "a text without its line end, the last record changed";
                lista.List[1 + azar() % 5] += "x";
                if (!lista.List1.empty()) lista.List1.back() += "y";
                break;
            default:
                que = "save";
                guardadas.push_back(lista);
                break;
        }
        Jugadas().ActualizarTextos();
        ComprobarCajas("step " + std::to_string(paso) + ", " + que);
        if (HasFailure()) return;
    }
}

}  // namespace
