#include "network/Ip.h"

#include <QGroupBox>
#include <QLabel>

namespace forms {

Ip::Ip() : Forma(Dialogo, "Ip") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(6, 4, 200, 52);
    Label1 = new QLabel(Frame1);
    Label1->setObjectName("Label1");
    Label1->setGeometry(10, 20, 180, 22);
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFixedSize(212, 62);
}

void Ip::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

}  // namespace forms

forms::Ip& Ip() {
    static forms::Ip* f = nullptr;
    return InstanciaForma(f);
}
