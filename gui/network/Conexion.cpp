#include "network/Conexion.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace forms {

Conexion::Conexion() : Forma(Dialogo, "Conexion") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(6, 4, 288, 170);
    Frame2 = new QGroupBox(Frame1);
    Frame2->setObjectName("Frame2");
    Frame2->setGeometry(8, 16, 272, 70);
    Frame3 = new QGroupBox(Frame1);
    Frame3->setObjectName("Frame3");
    Frame3->setGeometry(8, 92, 272, 70);
    Option1 = new QRadioButton(Frame2);
    Option1->setObjectName("Option1");
    Option1->setGeometry(10, 20, 250, 20);
    Option1->setChecked(true);
    Option2 = new QRadioButton(Frame2);
    Option2->setObjectName("Option2");
    Option2->setGeometry(10, 44, 250, 20);
    Label1 = new QLabel(Frame3);
    Label1->setObjectName("Label1");
    Label1->setGeometry(10, 18, 120, 20);
    Text1 = new QLineEdit(Frame3);
    Text1->setObjectName("Text1");
    Text1->setGeometry(134, 18, 128, 20);
    Label2 = new QLabel(Frame3);
    Label2->setObjectName("Label2");
    Label2->setGeometry(10, 42, 120, 20);
    Text2 = new QLineEdit(Frame3);
    Text2->setObjectName("Text2");
    Text2->setGeometry(134, 42, 128, 20);
    Command1 = new QPushButton(this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(30, 182, 110, 26);
    Command2 = new QPushButton(this);
    Command2->setObjectName("Command2");
    Command2->setGeometry(160, 182, 110, 26);
    setFixedSize(300, 216);
}

void Conexion::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

}  // namespace forms

forms::Conexion& Conexion() {
    static forms::Conexion* f = nullptr;
    return InstanciaForma(f);
}

// Nothing to close until the sockets of network play exist.
void CerrarConexionesPendientes() {}
