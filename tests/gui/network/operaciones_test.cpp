// What the windows offer the rest of the program in place of their controls: each
// operation acts on the right control and leaves the others as they were.
#include "red_pruebas.h"

#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "engines/FormLevel2.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "files/SetTableroF.h"
#include "network/Chat.h"
#include "network/Reloj.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

namespace {

using Operaciones = Red;

QColor ColorTexto(const QLabel* l) { return l->palette().color(QPalette::WindowText); }

TEST_F(Operaciones, TheClocksAreReadByColourGreyedAndCleared) {
    auto& r = Reloj();
    MinutosBlancas = 4, SegundosBlancas = 7;
    MinutosNegras = 9, SegundosNegras = 30;
    r.PrintTimerB();
    r.PrintTimerN();
    EXPECT_EQ(r.Tiempo(true), "04:07");
    EXPECT_EQ(r.Tiempo(false), "09:30");
    r.CorrenNegras();
    EXPECT_TRUE(r.Corriendo(false));
    EXPECT_FALSE(r.Corriendo(true));
    r.CorrenBlancas();
    EXPECT_TRUE(r.Corriendo(true));
    EXPECT_FALSE(r.Corriendo(false));
    r.Parar();

    r.Atenuar();
    EXPECT_EQ(ColorTexto(r.Label3), QColor(153, 153, 153));
    EXPECT_EQ(ColorTexto(r.Label4), QColor(153, 153, 153));
    EXPECT_EQ(r.Tiempo(true), "04:07");
    r.BorrarTiempos();
    EXPECT_TRUE(r.Tiempo(true).isEmpty());
    EXPECT_TRUE(r.Tiempo(false).isEmpty());
}

TEST_F(Operaciones, TheConversationIsReadCopiedAndCleared) {
    auto& c = Chat();
    c.Borrar();
    c.Anadir("<Ana>hola");
    c.Anadir("<Luis>buenas");
    EXPECT_EQ(c.Conversacion(), "<Ana>hola\n<Luis>buenas\n");
    QApplication::clipboard()->clear();
    c.Copiar();
    EXPECT_EQ(QApplication::clipboard()->text(), "<Ana>hola\n<Luis>buenas\n");
    c.Borrar();
    EXPECT_TRUE(c.Conversacion().isEmpty());
}

TEST_F(Operaciones, ThePgnMoveListIsFilledHighlightedAndCleared) {
    auto& p = PgnMovimientos();
    p.Llenar({"1. e4", "1... e5", "2. Nf3"});
    EXPECT_EQ(p.Lineas(), (QStringList{"1. e4", "1... e5", "2. Nf3"}));
    EXPECT_EQ(p.List1->currentRow(), 2);
    p.Seleccionar(0);
    EXPECT_EQ(p.List1->currentRow(), 0);
    // A line outside the list leaves no highlight at all.
    for (int fuera : {-1, 3}) {
        p.Seleccionar(0);
        p.Seleccionar(fuera);
        EXPECT_EQ(p.List1->currentRow(), -1) << fuera;
        EXPECT_TRUE(p.List1->selectedItems().isEmpty()) << fuera;
    }
    // Filling again replaces the lines.
    p.Llenar({"1. d4"});
    EXPECT_EQ(p.Lineas(), QStringList{"1. d4"});
    p.Borrar();
    EXPECT_TRUE(p.Lineas().isEmpty());
}

TEST_F(Operaciones, TheGameListSelectsItsFirstGameOnlyWhenNoneIsSelected) {
    auto& l = ListaPgn();
    l.BorrarLista();
    l.EventosTag = -1;
    l.AnadirPartidas({});
    EXPECT_EQ(l.PartidaElegida(), -1);
    EXPECT_EQ(l.EventosTag, -1);
    l.AnadirPartidas({"Linares", "Wijk"});
    EXPECT_EQ(l.PartidaElegida(), 0);
    EXPECT_EQ(l.EventosTag, 0);
    // A later pass adds to the list and keeps the game chosen meanwhile.
    l.Eventos->setCurrentRow(1);
    l.AnadirPartidas({"Dortmund"});
    EXPECT_EQ(l.PartidaElegida(), 1);
    ASSERT_EQ(l.Eventos->count(), 3);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(l.Eventos->item(k)->data(Qt::UserRole).toInt(), k);

    l.PrintText(0, "Linares");
    l.PrintText(6, "1-0");
    l.BorrarEtiquetas();
    for (const QLineEdit* e : l.Text1) EXPECT_TRUE(e->text().isEmpty());
    EXPECT_TRUE(l.Combo1->currentText().isEmpty());

    l.FijarAutoPlay("750");
    EXPECT_EQ(l.TextoAutoPlay(), "750");
    EXPECT_EQ(l.IntervaloAutoPlay(), 750);
}

TEST_F(Operaciones, ThePgnHeaderPictureReachesTheTagFieldsAfterStartUp) {
    auto& l = ListaPgn();
    const QPoint cabecera = l.Picture1->mapTo(&l, QPoint(0, 0));
    EXPECT_EQ(cabecera.x() + l.Picture1->width(), l.Text1[0]->mapTo(&l, QPoint(0, 0)).x());
    EXPECT_GE(cabecera.y() + l.Picture1->height(), l.Combo1->mapTo(&l, QPoint(0, 0)).y() + l.Combo1->height() + 20);
}

TEST_F(Operaciones, TheOptionsAnswerForTheirBoxes) {
    auto& o = Opciones();
    const QString idioma = o.IdiomaElegido();
    ASSERT_FALSE(idioma.isEmpty());
    o.ElegirIdioma("no existe");
    EXPECT_EQ(o.IdiomaElegido(), idioma);
    o.ElegirIdioma(idioma.toUpper());
    EXPECT_EQ(o.IdiomaElegido(), idioma);

    for (int n = 1; n <= 3; ++n) {
        for (int valor : {0, 1}) {
            o.FijarCheck(n, valor);
            EXPECT_EQ(n == 1 ? o.MarcarJugada() : n == 2 ? o.Coordenadas() : o.Borde(), valor == 1) << n << valor;
        }
        o.FijarCheck(n, 1);
    }

    o.FijarTamano(55);
    EXPECT_EQ(o.Tamano(), 55);
    EXPECT_EQ(TamanoTablero(), 55);
    o.FijarTamano(250);
    EXPECT_EQ(o.Tamano(), 100);

    const QString apariencia = o.AparienciaElegida();
    o.RefrescarSkins();
    EXPECT_EQ(o.AparienciaElegida(), apariencia);
    EXPECT_FALSE(o.MarcarApariencia(apariencia));
    EXPECT_FALSE(o.MarcarApariencia("no existe"));
    EXPECT_EQ(o.AparienciaElegida(), apariencia);
}

TEST_F(Operaciones, TheLevelDialogsFieldsAreEachTheirOwn) {
    using Campo = forms::FormLevel2::Campo;
    auto& n = FormLevel2();
    n.FijarValor(Campo::Segundos, "7");
    n.FijarValor(Campo::Profundidad, "9");
    n.FijarValor(Campo::Minutos, "12");
    n.FijarValor(Campo::Jugadas, "40");
    EXPECT_EQ(n.Valor(Campo::Segundos), "7");
    EXPECT_EQ(n.Valor(Campo::Profundidad), "9");
    EXPECT_EQ(n.Valor(Campo::Minutos), "12");
    EXPECT_EQ(n.Valor(Campo::Jugadas), "40");
    n.FijarOpcion(2);
    n.CargarLevel();
    EXPECT_EQ(ComandoNivel, "level 40 12 0");
}

TEST_F(Operaciones, TheBoardWindowLabelsHidesAndCopiesItsPicture) {
    auto& t = Tavorin();
    t.RotularBordes(true);
    EXPECT_EQ(t.Letras[0]->text(), "H");
    EXPECT_EQ(t.Numeros[0]->text(), "8");
    t.RotularBordes(false);
    EXPECT_EQ(t.Letras[0]->text(), "A");
    EXPECT_EQ(t.Letras[7]->text(), "H");
    EXPECT_EQ(t.Numeros[7]->text(), "8");

    // The last-move frames hide where they are (a take-back's frames come back there).
    Opciones().FijarCheck(1, 1);
    Partida("R", 1);
    Mover("e2e4");
    ASSERT_FALSE(t.Shape1[0]->isHidden());
    const QPoint antes[2] = {t.Shape1[0]->pos(), t.Shape1[1]->pos()};
    t.OcultarMarcos();
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(t.Shape1[i]->isHidden()) << i;
        EXPECT_EQ(t.Shape1[i]->pos(), antes[i]) << i;
    }

    const QImage tablero = t.ImagenTablero();
    EXPECT_EQ(tablero.size(), t.PicBuffer->size());
    t.Instantanea(0);
    const QRect casillas(0, 0, int(8 * AnchoCasilla), int(8 * AltoCasilla));
    EXPECT_EQ(t.BoardTemp[0]->Imagen(), t.PicBuffer->Imagen().copy(casillas));
    t.MostrarTableroVacio();
    EXPECT_EQ(t.PicBuffer->Imagen(), t.Fondo->Imagen());
}

TEST_F(Operaciones, TheSetUpWindowStartsAfresh) {
    auto& s = SetTableroF();
    s.Option2->setChecked(true);
    s.Check2->setChecked(false);
    s.Check5->setChecked(true);
    s.Text1->setEnabled(true);
    s.Text1->setText("e3");
    s.Picture1_Click(3);
    ASSERT_NE(FichaPaleta, 0);
    s.Reiniciar();
    EXPECT_EQ(FichaPaleta, 0);
    EXPECT_TRUE(s.Option1->isChecked());
    EXPECT_FALSE(s.Option2->isChecked());
    for (const QCheckBox* c : {s.Check1, s.Check2, s.Check3, s.Check4}) EXPECT_TRUE(c->isChecked());
    EXPECT_FALSE(s.Check5->isChecked());
    EXPECT_TRUE(s.Text1->text().isEmpty());
    EXPECT_FALSE(s.Text1->isEnabled());

    s.Picture1_Click(3);
    s.LimpiarPaleta();
    EXPECT_EQ(FichaPaleta, 0);
    for (const PictureBox* p : s.Picture1) EXPECT_EQ(p->BackColor(), QColor(0, 128, 0));
}

TEST_F(Operaciones, TheViewMenusChecksAreReadForWhatTheyHold) {
    auto& m = Mdi();
    using Lateral = forms::Mdi::Lateral;
    const std::pair<Lateral, QAction*> ventanas[] = {{Lateral::Jugadas, m.mnuMovimientos},
                                                     {Lateral::Chat, m.mnuVentanaChat},
                                                     {Lateral::Reloj, m.mnuReloj},
                                                     {Lateral::Ranking, m.mnuMostrarRanking}};
    for (bool muestra : {true, false}) {
        for (const auto& [ventana, item] : ventanas) m.FijarMuestra(ventana, muestra);
        for (const auto& [ventana, item] : ventanas) {
            EXPECT_EQ(item->isChecked(), muestra) << item->objectName().toStdString();
            EXPECT_EQ(m.Muestra(ventana), muestra) << item->objectName().toStdString();
        }
    }
    // One window's check leaves the others'.
    m.FijarMuestra(Lateral::Reloj, true);
    EXPECT_TRUE(m.mnuReloj->isChecked());
    EXPECT_FALSE(m.mnuVentanaChat->isChecked() || m.mnuMovimientos->isChecked() || m.mnuMostrarRanking->isChecked());

    for (bool v : {true, false}) {
        m.FijarTableroInvertido(v);
        EXPECT_EQ(m.mnuInvertirTablero->isChecked(), v);
        EXPECT_EQ(m.TableroInvertido(), v);
        m.FijarSonido(v);
        EXPECT_EQ(m.mnuSonido->isChecked(), v);
        EXPECT_EQ(m.ConSonido(), v);
    }
    EXPECT_EQ(m.PointClick(), m.mnuPointClick->isChecked());

    const std::pair<int, QAction*> notaciones[] = {
        {1, m.mnuCordenadas}, {2, m.mnuAlgebraicoEsp}, {3, m.mnuAlgebraicoIng}, {5, m.mnuAlgebraicoUsuario[0]}};
    for (const auto& [caja, item] : notaciones) {
        item->trigger();
        for (int otra : {1, 2, 3, 4, 5}) EXPECT_EQ(m.NotacionMarcada(otra), otra == caja) << caja << " " << otra;
    }
}

}  // namespace
