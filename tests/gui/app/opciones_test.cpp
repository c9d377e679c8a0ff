// The options dialog and the colour dialog: their controls, their storage.
#include "entorno.h"

#include "app/ColorRgb.h"
#include "app/Graficos.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class DialogoOpciones : public ::testing::Test {
protected:
    void SetUp() override {
        e.Arrancar();
        Mdi().mnuOpciones_Click();
        ASSERT_TRUE(Opciones().Visible());
        Tavorin().Timer1->stop();
        TamanoCambiado = false;
    }
    Entorno e;
};

TEST_F(DialogoOpciones, TheSizeButtonsStepWithin30And100) {
    auto& o = Opciones();
    o.Text1->setText("100");
    o.Button1_MouseUp(controles::BotonIzquierdo);
    EXPECT_EQ(o.Text1->text(), "100");
    EXPECT_FALSE(Tavorin().Timer1->isActive());
    o.Text1->setText("30");
    o.Button2_MouseUp(controles::BotonIzquierdo);
    EXPECT_EQ(o.Text1->text(), "30");
    EXPECT_FALSE(Tavorin().Timer1->isActive());
    o.Text1->setText("15");
    o.Button1_MouseUp(controles::BotonIzquierdo);
    EXPECT_EQ(o.Text1->text(), "30");
    EXPECT_TRUE(Tavorin().Timer1->isActive());
    EXPECT_TRUE(TamanoCambiado);
    o.Text1->setText("150");
    o.Button2_MouseUp(controles::BotonIzquierdo);
    EXPECT_EQ(o.Text1->text(), "100");
    o.Text1->setText("50");
    o.Button1_MouseUp(controles::BotonDerecho);  // only the left button counts
    EXPECT_EQ(o.Text1->text(), "50");
}

TEST_F(DialogoOpciones, TheSizeBoxTakesDigitsOnlyAndEnterBringsItIntoRange) {
    auto& o = Opciones();
    EXPECT_FALSE(o.Text1_KeyPress('a'));
    EXPECT_TRUE(o.Text1_KeyPress('7'));
    EXPECT_TRUE(o.Text1_KeyPress(8));
    o.Text1->setText("");
    EXPECT_FALSE(o.Text1_KeyPress(13));
    EXPECT_EQ(o.Text1->text(), "30");
    o.Text1->setText("0045");
    EXPECT_EQ(o.Text1->text(), "45");
}

TEST_F(DialogoOpciones, OkStoresTheOptionsWithTheSizeClamped) {
    auto& o = Opciones();
    o.Text1->setText("");
    o.FijarCheck(1, 0);
    o.FijarCheck(3, 1);
    o.Command1_Click();
    EXPECT_EQ(e.Leer("Configuracion", QString::fromUtf8("Tamaño")), "30");
    EXPECT_EQ(o.Text1->text(), "30");
    EXPECT_EQ(e.Leer("Configuracion", "Check1"), "0");
    EXPECT_EQ(e.Leer("Configuracion", "Check3"), "1");
    EXPECT_FALSE(o.Visible());
    Mdi().mnuOpciones_Click();
    o.Text1->setText("250");
    o.Command1_Click();
    EXPECT_EQ(e.Leer("Configuracion", QString::fromUtf8("Tamaño")), "100");
}

TEST_F(DialogoOpciones, TheDeferredResizeLaysTheBoardOutAgain) {
    auto& o = Opciones();
    o.Text1->setText("60");
    o.Button1_MouseUp(controles::BotonIzquierdo);
    ASSERT_TRUE(Tavorin().Timer1->isActive());
    Tavorin().Timer1_Timer();
    EXPECT_FALSE(Tavorin().Timer1->isActive());
    EXPECT_EQ(Tavorin().PicBuffer->width(), 8 * 61);
    EXPECT_EQ(AnchoCasilla, 61);
    // Coordinates: one letter centred under each column, hidden with Check2.
    EXPECT_EQ(Tavorin().Letras[7]->text(), "H");
    EXPECT_EQ(Tavorin().Letras[1]->x() - Tavorin().Letras[0]->x(), 61);
    o.Check2->setChecked(false);
    o.Check2_Click();
    EXPECT_TRUE(Tavorin().Letras[0]->isHidden());
}

TEST_F(DialogoOpciones, CancelRestoresTheStoredSize) {
    auto& o = Opciones();
    o.Text1->setText("77");
    o.Command2_Click();
    EXPECT_EQ(o.Text1->text(), "40");
    EXPECT_TRUE(Tavorin().Timer1->isActive());
    EXPECT_FALSE(o.Visible());
}

TEST_F(DialogoOpciones, ASkinOfAnotherSizeAsksWhetherToTakeItsSize) {
    auto& o = Opciones();
    e.respuestas = {IDYES};
    o.SkinCombo->setCurrentIndex(o.SkinCombo->findText("marmol"));
    o.SkinCombo_Click();
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(e.mensajes[0].texto, TextosIdioma[64]);
    EXPECT_EQ(o.Text1->text(), "56");
    EXPECT_TRUE(TamanoCambiado);
    Tavorin().Timer1_Timer();
    EXPECT_EQ(Tavorin().RCuadro[1].width(), 56);
    EXPECT_EQ(Tavorin().RFichas[1].pixelColor(0, 0), Tavorin().SFichas[1].pixelColor(0, 0));
}

TEST_F(DialogoOpciones, ABrokenSkinIsRefusedWithText25) {
    auto& o = Opciones();
    QFile f(e.Carpeta() + "/apariencias/torneo/torrebf.png");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QImage(41, 48, QImage::Format_RGB32).save(&f, "PNG");
    f.close();
    o.SkinCombo->setCurrentIndex(o.SkinCombo->findText("torneo"));
    o.SkinCombo_Click();
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(e.mensajes[0].texto, TextosIdioma[25]);
    EXPECT_EQ(o.AparienciaElegida(), AparienciaActual);
    EXPECT_EQ(e.Leer("Configuracion", "Apariencia"), AparienciaActual);
}

TEST_F(DialogoOpciones, TheSkinListHoldsTheBuiltInEntryAndEveryFolder) {
    auto& o = Opciones();
    QStringList lista;
    for (int i = 0; i < o.SkinCombo->count(); ++i) lista << o.SkinCombo->itemText(i);
    EXPECT_EQ(lista, (QStringList{AparienciaActual, "marmol", "torneo"}));
}

class DialogoColor : public ::testing::Test {
protected:
    void SetUp() override {
        e.Arrancar();
        Mdi().mnuRgb_Click();
        ASSERT_TRUE(ColorRgb().Visible());
    }
    Entorno e;
};

TEST(DialogoColorAbierto, OpeningTheDialogShowsTheColourInForce) {
    Entorno e;
    e.Poner("Configuracion", "Color", "40:56:84");
    e.Arrancar();
    Mdi().mnuRgb_Click();
    auto& c = ColorRgb();
    EXPECT_EQ(c.Txt_RGB[0]->text(), "40");
    EXPECT_EQ(c.Txt_RGB[1]->text(), "56");
    EXPECT_EQ(c.Txt_RGB[2]->text(), "84");
    EXPECT_EQ(c.Scrl_RGB[1]->value(), 56);
    EXPECT_EQ(ColorVerde, 56);
    EXPECT_EQ(ColorAzul, 84);
}

TEST_F(DialogoColor, OkStoresTheColourAndTheLook) {
    auto& c = ColorRgb();
    c.Txt_RGB[0]->setText("0");
    c.Txt_RGB[1]->setText("64");
    c.Txt_RGB[2]->setText("128");
    EXPECT_EQ(c.Scrl_RGB[2]->value(), 128);
    c.Command1_Click();
    EXPECT_EQ(e.Leer("Configuracion", "Color"), "0:64:128");
    EXPECT_EQ(e.Leer("Configuracion", "Fondo"), "1");
    EXPECT_FALSE(c.Visible());
    EXPECT_EQ(Tavorin().Picture().pixelColor(Tavorin().width() / 2, Tavorin().height() - 1), QColor(0, 64, 128));
}

TEST_F(DialogoColor, TypingBeyond255BeepsAndKeepsTheSlider) {
    auto& c = ColorRgb();
    c.Txt_RGB[0]->setText("2");
    c.Txt_RGB[0]->setText("25");
    EXPECT_EQ(c.Scrl_RGB[0]->value(), 25);
    c.Txt_RGB[0]->setText("256");
    EXPECT_EQ(c.Txt_RGB[0]->text(), "25");
    EXPECT_EQ(c.Scrl_RGB[0]->value(), 25);
    EXPECT_EQ(c.Txt_RGB[0]->cursorPosition(), 2);
    c.Txt_RGB[0]->setText("");
    EXPECT_EQ(c.Scrl_RGB[0]->value(), 0);
    EXPECT_FALSE(c.Txt_RGB_KeyPress(0, 'x'));
}

TEST_F(DialogoColor, CancelRestoresTheStoredLookAndColour) {
    auto& c = ColorRgb();
    e.Poner("Configuracion", "Color", "7::9");
    c.FijarOpcion(2);
    EXPECT_FALSE(c.Scrl_RGB[0]->isEnabled());
    c.Command2_Click();
    EXPECT_TRUE(c.EsquemaElegido());
    EXPECT_TRUE(c.Scrl_RGB[0]->isEnabled());
    EXPECT_EQ(ColorRojo, 7);
    EXPECT_EQ(ColorVerde, 0);
    EXPECT_EQ(ColorAzul, 9);
}

TEST_F(DialogoColor, TheSystemLookPaintsEveryWindowInTheButtonColour) {
    auto& c = ColorRgb();
    c.FijarOpcion(2);
    c.Command1_Click();
    EXPECT_EQ(e.Leer("Configuracion", "Fondo"), "2");
    EXPECT_EQ(Tavorin().Picture().pixelColor(0, 0), ColorSistema());
    EXPECT_EQ(Opciones().BackColor(), ColorSistema());
}

// With the system look the number boxes are disabled, and they look it: another
// background than the white of an enabled box, and greyed digits.
TEST_F(DialogoColor, DisabledNumberBoxesLookDisabled) {
    auto& c = ColorRgb();
    auto fondo = [&](int i) {
        return c.Txt_RGB[i]->grab().toImage().pixelColor(c.Txt_RGB[i]->width() - 6, c.Txt_RGB[i]->height() / 2);
    };
    auto tinta = [&](int i) {
        // The darkest pixel of the digits.
        const QImage img = c.Txt_RGB[i]->grab().toImage();
        int oscuro = 255;
        for (int y = 4; y < img.height() - 4; ++y)
            for (int x = 4; x < img.width() - 4; ++x) oscuro = std::min(oscuro, qGray(img.pixel(x, y)));
        return oscuro;
    };
    const QColor activo = fondo(0);
    const int tintaActiva = tinta(0);
    EXPECT_EQ(activo, QColor(Qt::white));
    c.FijarOpcion(2);
    ASSERT_FALSE(c.Txt_RGB[0]->isEnabled());
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(fondo(i), activo) << i;
        EXPECT_GT(tinta(i), tintaActiva + 40) << i;
    }
    c.FijarOpcion(1);
    EXPECT_EQ(fondo(0), activo);
}

}  // namespace
