#include "engines/FormLevel2.h"

#include "shell/SweetButton.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace forms {

FormLevel2::FormLevel2() : Forma(Dialogo, "FormLevel2") {
    auto marco = [](QWidget* padre, const char* nombre, int x, int y, int w, int h) {
        auto* g = new QGroupBox(padre);
        g->setObjectName(nombre);
        g->setGeometry(x, y, w, h);
        return g;
    };
    Frame1 = marco(this, "Frame1", 6, 4, 300, 96);
    Frame2 = marco(this, "Frame2", 6, 104, 300, 44);
    Frame3 = marco(this, "Frame3", 6, 152, 300, 44);
    Frame4 = marco(this, "Frame4", 6, 200, 300, 44);
    Frame5 = marco(this, "Frame5", 6, 248, 300, 44);
    for (int i = 0; i < 3; ++i) {
        Option1[i] = new QRadioButton(Frame1);
        Option1[i]->setObjectName(QString("Option1_%1").arg(i));
        Option1[i]->setGeometry(10, 18 + i * 24, 280, 22);
    }
    Option1[0]->setChecked(true);
    auto fila = [](QGroupBox* g, QLabel*& etiqueta, const char* nombre) {
        etiqueta = new QLabel(g);
        etiqueta->setObjectName(nombre);
        etiqueta->setGeometry(10, 16, 150, 22);
    };
    fila(Frame2, Label3, "Label3");
    fila(Frame3, Label4, "Label4");
    fila(Frame4, Label5, "Label5");
    Text1 = new QLineEdit(Frame2);
    Text1->setObjectName("Text1");
    Text1->setGeometry(170, 16, 60, 22);
    Text2 = new QLineEdit(Frame3);
    Text2->setObjectName("Text2");
    Text2->setGeometry(170, 16, 60, 22);
    Text3 = new QLineEdit(Frame4);
    Text3->setObjectName("Text3");
    Text3->setGeometry(170, 16, 60, 22);
    Combo1 = new QComboBox(Frame5);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(true);
    Combo1->setGeometry(170, 14, 80, 24);
    auto boton = [](QGroupBox* g, const char* nombre, int x, bool subir) {
        auto* b = new SweetButton(g, nombre);
        b->move(x, 17);
        b->setLoadImage(subir);
        return b;
    };
    Button1 = boton(Frame2, "Button1", 236, true);
    Button2 = boton(Frame2, "Button2", 260, false);
    SweetButton1 = boton(Frame3, "SweetButton1", 236, true);
    SweetButton2 = boton(Frame3, "SweetButton2", 260, false);
    SweetButton3 = boton(Frame4, "SweetButton3", 236, true);
    SweetButton4 = boton(Frame4, "SweetButton4", 260, false);
    Command1 = new QPushButton(this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(314, 10, 90, 26);
    Command2 = new QPushButton(this);
    Command2->setObjectName("Command2");
    Command2->setGeometry(314, 42, 90, 26);
    setFixedSize(412, 300);
}

void FormLevel2::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

void FormLevel2::FijarOpcion(int indice) {
    if (indice >= 0 && indice < 3) Option1[indice]->setChecked(true);
}

int FormLevel2::OpcionElegida() const {
    for (int i = 0; i < 3; ++i)
        if (Option1[i]->isChecked()) return i;
    return -1;
}

// Engine play fills these in.
void FormLevel2::CargarLevel() {}
void FormLevel2::MuestraDatos(long opcion) { (void)opcion; }

}  // namespace forms

forms::FormLevel2& FormLevel2() {
    static forms::FormLevel2* f = nullptr;
    return InstanciaForma(f);
}
