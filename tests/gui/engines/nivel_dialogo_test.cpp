// The engine level dialog in a started program: the settings it starts from, its
// boxes, keys and step buttons, the command its OK builds, its panels, and room for
// the texts of each shipped language (the engine panel's too).
#include "entorno.h"

#include "app/Variables.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "engines/FormLevel2.h"
#include "platform/IniFile.h"
#include "platform/PictureBox.h"
#include "platform/SweetButton.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(NivelDialogo, StoredSettingsChooseTheModeAndAListEntry) {
    struct Fila {
        const char* opcion;
        const char* jugadas;
        int modo;
        const char* combo;
        const char* comando;
    };
    const Fila filas[] = {
        {"1", "50", 1, "50", "st 10"}, {"2", "0", 2, "0", "level 0 10 0"}, {"7", "40", 0, "40", "sd 4"},
        {"", "35", 0, "40", "sd 4"},   {"x", "", 0, "40", "sd 4"},
    };
    Entorno e;
    e.Arrancar();
    auto& n = FormLevel2();
    EXPECT_EQ(ComandoNivel, "sd 4");
    for (const Fila& f : filas) {
        // The settings as start-up reads them; a value off the list keeps the entry shown.
        e.Poner("CPU", "Option", f.opcion);
        e.Poner("CPU", "Jugadas", f.jugadas);
        Tavorin().LeerOpciones();
        EXPECT_EQ(n.OpcionElegida(), f.modo) << f.opcion;
        EXPECT_EQ(n.Combo1->currentText().toStdString(), f.combo) << f.jugadas;
        EXPECT_EQ(ComandoNivel.toStdString(), f.comando) << f.opcion;
        EXPECT_FALSE(n.Visible());
    }
}

TEST(NivelDialogo, WithoutSettingsEveryBoxIsOneAndTheDepthIsOne) {
    Entorno e;
    // A Default.ini without section CPU.
    QString ini = QString::fromUtf8(e.Contenido("Default.ini"));
    const qsizetype i = ini.indexOf("[CPU]");
    ASSERT_GE(i, 0);
    const qsizetype fin = ini.indexOf("\n[", i + 1);
    ini.remove(i, fin < 0 ? ini.size() - i : fin + 1 - i);
    e.Escribir("Default.ini", ini.toUtf8());
    e.Arrancar();
    auto& n = FormLevel2();
    EXPECT_EQ(n.Text1->text(), "1");
    EXPECT_EQ(n.Text2->text(), "1");
    EXPECT_EQ(n.Text3->text(), "1");
    EXPECT_EQ(n.Combo1->currentText(), "30");
    EXPECT_EQ(n.OpcionElegida(), 0);
    EXPECT_EQ(ComandoNivel, "sd 1");
}

class Dialogo : public ::testing::Test {
protected:
    void SetUp() override {
        e.Arrancar();
        Cpu().Toolbar1[12]->trigger();
        ASSERT_TRUE(FormLevel2().Visible());
    }
    Entorno e;
};

TEST_F(Dialogo, BoxesTakeDigitsOnlyAndKeepTheirRange) {
    auto& n = FormLevel2();
    QTest::keyClick(n.Text2, Qt::Key_End);
    QTest::keyClick(n.Text2, Qt::Key_Backspace);
    EXPECT_EQ(n.Text2->text(), "1");  // an emptied box
    n.Text1->selectAll();
    QTest::keyClicks(n.Text1, "75");
    EXPECT_EQ(n.Text1->text(), "60");
    n.Text2->selectAll();
    QTest::keyClicks(n.Text2, "25");
    EXPECT_EQ(n.Text2->text(), "20");
    n.Text3->selectAll();
    QTest::keyClicks(n.Text3, "a-5.");
    EXPECT_EQ(n.Text3->text(), "5");
    n.Text1->selectAll();
    QTest::keyClicks(n.Text1, "1234");
    EXPECT_EQ(n.Text1->text(), "60");  // three characters at most, then the range
    const QString antes = n.Combo1->currentText();
    QTest::keyClicks(n.Combo1, "5");
    EXPECT_EQ(n.Combo1->currentText(), antes);
    EXPECT_FALSE(n.Combo1->isEditable());
}

TEST_F(Dialogo, ABoxIsRetypedAfterSelectingAllAndTheRangeStillHolds) {
    auto& n = FormLevel2();
    n.Option1[2]->click();
    struct Fila {
        QLineEdit* caja;
        const char* antes;
        std::vector<Qt::Key> teclas;  // after select-all
        const char* despues;
    };
    const Fila filas[] = {
        {n.Text3, "10", {Qt::Key_Delete, Qt::Key_3}, "3"},
        {n.Text3, "10", {Qt::Key_Backspace, Qt::Key_4, Qt::Key_5}, "45"},
        {n.Text3, "10", {Qt::Key_7}, "7"},
        {n.Text3, "10", {Qt::Key_Delete}, "1"},
        {n.Text3, "10", {Qt::Key_Delete, Qt::Key_0, Qt::Key_8}, "8"},  // 0 is below the range: "1" again
        {n.Text3, "10", {Qt::Key_Delete, Qt::Key_7, Qt::Key_5}, "60"},
        {n.Text2, "4", {Qt::Key_Delete, Qt::Key_1, Qt::Key_2}, "12"},
    };
    for (const Fila& f : filas) {
        f.caja->setText(f.antes);
        f.caja->parentWidget()->show();
        f.caja->setFocus();
        QTest::keyClick(f.caja, Qt::Key_A, Qt::ControlModifier);
        for (Qt::Key k : f.teclas) QTest::keyClick(f.caja, k);
        EXPECT_EQ(f.caja->text().toStdString(), f.despues)
            << f.caja->objectName().toStdString() << " " << f.teclas.size();
    }
    n.Command2->click();
    EXPECT_EQ(ComandoNivel, "level " + n.Combo1->currentText() + " 60 0");
}

TEST_F(Dialogo, StepButtonsMoveByOneWithinTheLimitsOnTheLeftButtonOnly) {
    auto& n = FormLevel2();
    struct Fila {
        SweetButton* boton;
        QLineEdit* caja;
        const char* desde;
        const char* hasta;
    };
    const Fila filas[] = {
        {n.Button1, n.Text1, "59", "60"},      {n.Button1, n.Text1, "60", "60"},
        {n.Button2, n.Text1, "1", "1"},        {n.Button2, n.Text1, "10", "9"},
        {n.SweetButton2, n.Text2, "20", "20"}, {n.SweetButton1, n.Text2, "2", "1"},
        {n.SweetButton4, n.Text3, "9", "10"},  {n.SweetButton3, n.Text3, "60", "59"},
    };
    for (const Fila& f : filas) {
        f.caja->setText(f.desde);
        f.boton->parentWidget()->show();
        QTest::mouseClick(f.boton, Qt::RightButton, {}, QPoint(5, 5));
        EXPECT_EQ(f.caja->text(), f.desde) << f.boton->objectName().toStdString();
        QTest::mouseClick(f.boton, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(f.caja->text(), f.hasta) << f.boton->objectName().toStdString();
    }
    // Increase buttons show the first picture set, decrease buttons the second.
    for (SweetButton* b : {n.Button1, n.SweetButton2, n.SweetButton4}) EXPECT_TRUE(b->LoadImage());
    for (SweetButton* b : {n.Button2, n.SweetButton1, n.SweetButton3}) EXPECT_FALSE(b->LoadImage());
}

TEST_F(Dialogo, EachModeShowsItsPanelAndOkBuildsTheCommand) {
    auto& n = FormLevel2();
    n.Option1[2]->click();
    EXPECT_TRUE(n.Frame5->isVisible());
    EXPECT_FALSE(n.Frame3->isVisible() || n.Frame4->isVisible());
    EXPECT_EQ(n.Label2->text(), QString::fromUtf8("El motor juega las jugadas indicadas en los minutos indicados; 0 "
                                                  "jugadas es toda la partida en esos minutos."));
    EXPECT_EQ(n.Label1->text(), n.Option1[2]->text());
    n.Combo1->setCurrentText("0");
    n.Text3->setText("10");
    n.Command2->click();
    EXPECT_EQ(ComandoNivel, "level 0 10 0");
    EXPECT_FALSE(n.Visible());
    EXPECT_TRUE(n.ConReloj());

    Cpu().Toolbar1[12]->trigger();
    n.Option1[1]->click();
    EXPECT_TRUE(n.Frame3->isVisible());
    EXPECT_EQ(n.Label2->text(), TextosNivel[2]);
    n.Option1[0]->click();
    EXPECT_TRUE(n.Frame4->isVisible());
    EXPECT_EQ(n.Label2->text(), TextosNivel[1]);
    n.Text2->setText("7");
    // Closing without OK keeps the command; the boxes keep what was typed.
    n.close();
    EXPECT_FALSE(n.Visible());
    EXPECT_EQ(ComandoNivel, "level 0 10 0");
    EXPECT_EQ(n.Text2->text(), "7");
    // While an engine game runs the level button does nothing.
    Motor1.Activo = true;
    Cpu().Toolbar1[12]->trigger();
    EXPECT_FALSE(n.Visible());
    Motor1.Activo = false;
}

// ---- Room for the texts ----------------------------------------------------------------

// The controls of a window whose text does not show whole.
QStringList Cortados(QWidget* ventana) {
    QStringList cortados;
    auto mira = [&](QWidget* w, QSize necesario) {
        if (w->isVisibleTo(ventana) && (w->width() < necesario.width() || w->height() < necesario.height()))
            cortados << w->objectName();
    };
    for (auto* l : ventana->findChildren<QLabel*>()) {
        if (l->text().isEmpty()) continue;
        if (l->wordWrap())
            mira(l, {0, l->heightForWidth(l->width())});
        else
            mira(l, l->sizeHint());
    }
    for (auto* b : ventana->findChildren<QAbstractButton*>())
        if (!b->text().isEmpty()) mira(b, {b->sizeHint().width(), 0});
    for (auto* g : ventana->findChildren<QGroupBox*>())
        if (!g->title().isEmpty()) mira(g, {g->minimumSizeHint().width(), 0});
    return cortados;
}

class Textos : public ::testing::TestWithParam<const char*> {};

TEST_P(Textos, EveryTextOfTheLevelDialogAndTheEnginePanelShowsWhole) {
    Entorno e;
    e.Poner("Configuracion", "Idioma", QString::fromUtf8(GetParam()));
    e.Arrancar();
    auto& n = FormLevel2();
    for (int modo = 0; modo < 3; ++modo) {
        n.FijarOpcion(modo);
        n.Show();
        EXPECT_EQ(Cortados(&n), QStringList()) << GetParam() << " mode " << modo;
        // The panels lie inside the dialog, one above the other.
        EXPECT_TRUE(n.rect().contains(n.Command2->geometry()));
        EXPECT_LE(n.Frame1->geometry().bottom(), n.titulo->geometry().top());
        EXPECT_LE(n.Frame4->geometry().bottom(), n.Frame2->geometry().top());
    }
    auto& c = Cpu();
    c.Show();
    EXPECT_EQ(Cortados(&c), QStringList()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Idiomas, Textos, ::testing::Values("Español", "English"),
                         [](const ::testing::TestParamInfo<const char*>& i) {
                             return i.index == 0 ? "Espanol" : "English";
                         });

}  // namespace
