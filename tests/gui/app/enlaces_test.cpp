// What the modules below the windows ask of the windows above them goes through
// bindings the windows set; a binding left unset does nothing.
#include "entorno.h"

#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "shell/Mdi.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(EnlacePrincipal, UnboundNothingClosesAndWindowsStayWhereTheyAre) {
    Entorno e;
    e.Arrancar();
    auto& o = Opciones();
    o.setLeft(450);
    o.setTop(600);
    const Principal enlazada = EnlazarPrincipal({});
    // A language file that cannot be found is told, and the main window stays.
    EXPECT_EQ(Estado([] { ExisteFichero(""); }), -1);
    EXPECT_EQ(e.mensajes.size(), 1u);
    CentrarVentana(o);
    EXPECT_EQ(o.Left(), 450);
    EXPECT_EQ(o.Top(), 600);

    int cerrada = 0;
    EnlazarPrincipal({[&] { ++cerrada; }, [] { return 12000.0; }, [] { return 9000.0; }});
    ExisteFichero("");
    EXPECT_EQ(cerrada, 1);
    CentrarVentana(o);
    EXPECT_NEAR(o.Left(), 6000 - o.Width() / 2, TwipsPorPixel);
    EXPECT_NEAR(o.Top(), 4500 - o.Height() / 2, TwipsPorPixel);

    // The main window's own binding runs the exit sequence, which ends the program.
    EnlazarPrincipal(enlazada);
    EXPECT_EQ(Estado([] { ExisteFichero(""); }), 0);
}

// The options dialog with no other window bound: its handlers reach nothing, and a
// skin nobody can read is refused.
TEST(EnlacesOpciones, UnboundTheBoardIsLeftAloneAndSkinsAreRefused) {
    Entorno e;
    e.Arrancar();
    Mdi().mnuOpciones_Click();
    auto& o = Opciones();
    auto& t = Tavorin();
    t.Timer1->stop();
    const opciones::Enlaces enlazadas = opciones::Enlazadas();
    opciones::Enlazadas() = {};
    struct Reponer {
        const opciones::Enlaces& e;
        ~Reponer() { opciones::Enlazadas() = e; }
    } reponer{enlazadas};

    for (int i = 1; i <= 3; ++i) {
        o.FijarCheck(i, 0);
        o.FijarCheck(i, 1);
    }
    o.Text1->setText("57");
    o.OpcionesAceptar();
    EXPECT_EQ(e.Leer("Configuracion", "Tamaño"), "57");
    EXPECT_FALSE(t.Timer1->isActive());

    o.SkinCombo->setCurrentIndex(o.SkinCombo->findText("marmol"));
    o.SkinCombo_Click();
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(e.mensajes[0].texto, TextosIdioma[25]);
    EXPECT_EQ(o.AparienciaElegida(), AparienciaActual);
    EXPECT_FALSE(t.Timer1->isActive());
}

}  // namespace
