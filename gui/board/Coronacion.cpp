#include "board/Coronacion.h"

#include <QGroupBox>
#include <QPushButton>

namespace forms {

Coronacion::Coronacion() : Forma(Dialogo, "Coronacion") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(8, 4, 200, 64);
    Command1 = new QPushButton(this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(64, 76, 88, 26);
    setFixedSize(216, 110);
}

void Coronacion::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

}  // namespace forms

forms::Coronacion& Coronacion() {
    static forms::Coronacion* f = nullptr;
    return InstanciaForma(f);
}
