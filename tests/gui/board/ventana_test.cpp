// The board window itself: it cannot be closed, files dropped on it open, and after
// a size change the main window's area shows it from its top-left corner.
#include "partida.h"

#include "app/ColorRgb.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "files/SetTableroF.h"
#include "files/fEpd.h"
#include "network/Chat.h"
#include "network/Ranking.h"
#include "network/Reloj.h"
#include "board/Jugadas.h"
#include "shell/Mdi.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>

#include <map>
#include <vector>

namespace {

QMdiSubWindow* Ventana() { return qobject_cast<QMdiSubWindow*>(Tavorin().Forma::Marco()); }

TEST_F(Partida, TheBoardWindowCanBeMinimisedButNotClosed) {
    QMdiSubWindow* v = Ventana();
    ASSERT_NE(v, nullptr);
    EXPECT_FALSE(v->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(v->windowFlags() & Qt::WindowMinimizeButtonHint);
    // Whatever asks it to close (a shortcut, the window menu): it stays.
    v->close();
    EXPECT_TRUE(Tavorin().Visible());
    Tavorin().close();
    EXPECT_TRUE(Tavorin().Visible());
    v->showMinimized();
    EXPECT_TRUE(v->isMinimized());
    v->showNormal();
    EXPECT_FALSE(v->isMinimized());
}

TEST_F(Partida, AFileDroppedOnTheBoardOpensAsOnTheMainWindow) {
    e->Escribir("GAME.PGN", "");
    e->Escribir("notas.txt", "");
    Cpu().Hide();
    // The PGN browser's save button shows only while it saves.
    ListaPgn().Command2[1]->hide();
    Reglas().Conectado = true;
    for (const char* fichero : {"notas.txt", "GAME.PGN"}) {
        QMimeData datos;
        datos.setUrls({QUrl::fromLocalFile(e->Ruta(fichero))});
        QDragEnterEvent entra(QPoint(10, 10), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Tavorin(), &entra);
        EXPECT_TRUE(entra.isAccepted());
        QDropEvent suelta(QPointF(10, 10), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Tavorin(), &suelta);
    }
    // The text file is ignored; the PGN file reaches the open command, which refuses
    // it while connected.
    ASSERT_EQ(e->mensajes.size(), 1u);
    EXPECT_EQ(e->mensajes[0].texto, TextosIdioma[58]);
}

// The size is chosen in the options and applied by the deferred resize.
void Tamano(int lado) {
    Opciones().FijarTamano(lado);
    Tavorin().Timer1_Timer();
    QApplication::processEvents();
}

TEST_F(Partida, AfterASizeChangeTheAreaShowsTheBoardFromItsTopLeftCorner) {
    QMdiArea* area = Mdi().Area;
    const QSize vista = area->viewport()->size();
    // Placed far right and down: brought back whole where it fits.
    Ventana()->move(vista.width() - 50, vista.height() - 40);
    Tamano(30);
    EXPECT_TRUE(QRect(QPoint(0, 0), vista).contains(Ventana()->geometry())) << Ventana()->x() << "," << Ventana()->y();
    // Too large to fit: its top-left corner in the corner of the area, the rest reached
    // with the scroll bars.
    Ventana()->move(200, 100);
    Tamano(100);
    ASSERT_GT(Ventana()->height(), vista.height());
    EXPECT_EQ(Ventana()->pos(), QPoint(0, 0));
    EXPECT_EQ(area->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_TRUE(area->verticalScrollBar()->isVisibleTo(area));
    EXPECT_GT(area->verticalScrollBar()->maximum(), 0);
    // A board already in view stays where it is.
    Tamano(30);
    Ventana()->move(20, 10);
    Tamano(31);
    EXPECT_EQ(Ventana()->pos(), QPoint(20, 10));
    Tamano(40);
}

// A window's outer rectangle in pixels of the main window's area.
QRect Rect(const Forma& f) {
    return {int(f.Left() / 15), int(f.Top() / 15), int(f.Width() / 15), int(f.Height() / 15)};
}

std::vector<Forma*> Laterales() {
    return {&Jugadas(),  &Chat(),           &Reloj(),       &Ranking(), &Cpu(),
            &ListaPgn(), &PgnMovimientos(), &SetTableroF(), &fEpd(),    &ColorRgb()};
}

// Which of the side windows shown covers the board window, and where.
std::string Tapan() {
    std::string tapan;
    const QRect tablero = Rect(Tavorin());
    for (Forma* f : Laterales())
        if (f->Visible() && Rect(*f).intersects(tablero))
            tapan += f->objectName().toStdString() + " " + std::to_string(Rect(*f).x()) + "," +
                     std::to_string(Rect(*f).y()) + "; ";
    return tapan;
}

// Which of the side windows shown the main window's area does not show whole.
std::string Fuera() {
    const QRect vista(QPoint(0, 0), Mdi().Area->viewport()->size());
    std::string fuera;
    for (Forma* f : Laterales())
        if (f->Visible() && !vista.contains(Rect(*f))) fuera += f->objectName().toStdString() + "; ";
    return fuera;
}

// Which of the side windows shown covers another.
std::string Solapan() {
    std::string solapan;
    for (Forma* f : Laterales())
        for (Forma* g : Laterales())
            if (f < g && f->Visible() && g->Visible() && Rect(*f).intersects(Rect(*g)))
                solapan += f->objectName().toStdString() + " over " + g->objectName().toStdString() + "; ";
    return solapan;
}

// Whether the area has room for the window beside the board, right of it or below it.
bool HayHueco(const QRect& ventana) {
    const QSize vista = Mdi().Area->viewport()->size();
    const QRect tablero = Rect(Tavorin());
    return tablero.width() + ventana.width() <= vista.width() || tablero.height() + ventana.height() <= vista.height();
}

// The shipped places with the board window in the corner; nothing shown.
void LugaresGuardados() {
    for (Forma* f : Laterales()) f->Hide();
    Tamano(40);
    Tavorin().SituarVentanas();
}

constexpr int kTamanos[] = {30, 40, 48, 56, 64, 72, 80, 90, 100};

// The board changes size under the move list, the chat, the clocks, the ranking and
// the engine panel: none covers the board or another (where the area has no room
// they stand past its edge); one that stood clear of the board and of the others, in
// view and away from the board's edges, stays put.
TEST_F(Partida, WhenTheBoardChangesSizeTheSideWindowsStayInViewBesideIt) {
    const QRect vista(QPoint(0, 0), Mdi().Area->viewport()->size());
    for (int lado : kTamanos) {
        LugaresGuardados();
        for (Forma* f : std::vector<Forma*>{&Jugadas(), &Chat(), &Reloj(), &Ranking(), &Cpu()}) f->Show();
        std::map<Forma*, QRect> antes;
        for (Forma* f : Laterales()) antes[f] = Rect(*f);
        const QRect tableroAntes = Rect(Tavorin());
        Tamano(lado);
        EXPECT_EQ(Tapan(), "") << lado;
        EXPECT_EQ(Solapan(), "") << lado;
        for (Forma* f : Laterales()) {
            if (!f->Visible()) continue;
            const QRect r = antes[f];
            bool tapa = false;
            for (Forma* g : Laterales())
                if (g != f && g->Visible() && antes[g].intersects(r)) tapa = true;
            if (!tapa && vista.contains(r) && !r.intersects(Rect(Tavorin())) &&
                !r.intersects(tableroAntes.adjusted(-1, -1, 1, 1))) {
                EXPECT_EQ(Rect(*f), r) << f->objectName().toStdString() << " moved at " << lado;
            }
        }
    }
    // At the shipped size the stored places stand.
    LugaresGuardados();
    Chat().Show();
    Tamano(40);
    EXPECT_EQ(Chat().Top(), e->Leer("Chat", "Top").toDouble());
    EXPECT_EQ(Chat().Left(), e->Leer("Chat", "Left").toDouble());
}

// A side window that would open over the board opens beside it, within the area's
// view while the area has room there.
TEST_F(Partida, ASideWindowOpensBesideTheBoard) {
    for (int lado : kTamanos) {
        LugaresGuardados();
        Tamano(lado);
        for (Forma* f : Laterales()) {
            f->Show();
            EXPECT_EQ(Tapan(), "") << lado << " " << f->objectName().toStdString();
            if (HayHueco(Rect(*f))) {
                EXPECT_EQ(Fuera(), "") << lado << " " << f->objectName().toStdString();
            }
            f->Hide();
        }
    }
}

// The EPD list centres itself again each time it is activated: it still goes beside
// the board rather than over it, in view where there is room.
TEST_F(Partida, TheEpdListActivatedAgainStaysBesideTheBoard) {
    for (int lado : kTamanos) {
        LugaresGuardados();
        Tamano(lado);
        fEpd().Show();
        fEpd().Form_Activate();
        EXPECT_EQ(Tapan(), "") << lado;
        if (HayHueco(Rect(fEpd()))) {
            EXPECT_EQ(Fuera(), "") << lado;
        }
        fEpd().Hide();
    }
}

}  // namespace
