#include "network/Nuevo.h"

#include "app/Variables.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace forms {

Nuevo::Nuevo() : Forma(Dialogo, "Nuevo") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(8, 6, 170, 76);
    Frame2 = new QGroupBox(this);
    Frame2->setObjectName("Frame2");
    Frame2->setGeometry(8, 88, 170, 76);
    auto opcion = [](QWidget* padre, const char* nombre, int y) {
        auto* o = new QRadioButton(padre);
        o->setObjectName(nombre);
        o->setGeometry(10, y, 150, 22);
        return o;
    };
    Option1 = opcion(Frame1, "Option1", 20);
    Option2 = opcion(Frame1, "Option2", 46);
    Option3 = opcion(Frame2, "Option3", 20);
    Option4 = opcion(Frame2, "Option4", 46);
    Option1->setChecked(true);
    Option3->setChecked(true);
    Picture1 = new PictureBox(this, "Picture1");
    Picture1->setGeometry(186, 10, 64, 64);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(186, 92, 90, 20);
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Text1->setGeometry(186, 114, 50, 22);
    Command1 = new QPushButton(this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(8, 172, 110, 26);
    Command2 = new QPushButton(this);
    Command2->setObjectName("Command2");
    Command2->setGeometry(128, 172, 110, 26);
    setFixedSize(286, 206);
}

void Nuevo::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

void Nuevo::NuevoAceptado() {
    DatosPartida.assign(2, QString());
    PartidaDeFichero = false;
    ::Jugadas().BorrarContenedor();
    auto& t = ::Tavorin();
    t.PonerFichas();
    if (!Reglas().Conectado) {
        t.PicBuffer->Imagen() = t.Fondo->Imagen().copy();
        t.PicBuffer->Refresh();
        ::Mdi().mnuInvertirTablero->setChecked(true);
        ::Mdi().mnuInvertirTablero_Click();
    }
    VariablesCero();
    t.MovimientoAnulado();
    ModoPreparar = false;
}

void Nuevo::VariablesCero() { Reglas().VariablesCero(); }

}  // namespace forms

forms::Nuevo& Nuevo() {
    static forms::Nuevo* f = nullptr;
    return InstanciaForma(f);
}
