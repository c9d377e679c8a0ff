#include "files/PgnMovimientos.h"

#include <QListWidget>

namespace forms {

PgnMovimientos::PgnMovimientos() : Forma(Hija, "PgnMovimientos") {
    List1 = new QListWidget(this);
    List1->setObjectName("List1");
    List1->setGeometry(6, 6, 168, 280);
    resize(180, 292);
}

void PgnMovimientos::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

}  // namespace forms

forms::PgnMovimientos& PgnMovimientos() {
    static forms::PgnMovimientos* f = nullptr;
    return InstanciaForma(f);
}
