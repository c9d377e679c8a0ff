#include "network/Reloj.h"

#include "shell/Mdi.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>

namespace forms {

Reloj::Reloj() : Forma(Hija, "Reloj") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(6, 4, 188, 74);
    auto etiqueta = [this](const char* nombre, int x, int y, int w) {
        auto* l = new QLabel(Frame1);
        l->setObjectName(nombre);
        l->setGeometry(x, y, w, 22);
        return l;
    };
    Label1 = etiqueta("Label1", 8, 16, 88);
    Label2 = etiqueta("Label2", 8, 42, 88);
    Label3 = etiqueta("Label3", 100, 16, 80);
    Label4 = etiqueta("Label4", 100, 42, 80);
    QFont f = Label3->font();
    f.setBold(true);
    f.setPointSize(11);
    Label3->setFont(f);
    Label4->setFont(f);
    Label3->setText("0:00:00");
    Label4->setText("0:00:00");
    resize(200, 84);
}

void Reloj::Form_Unload(bool& cancelar) {
    ::Mdi().mnuReloj->setChecked(false);
    cancelar = true;
    Hide();
}

}  // namespace forms

forms::Reloj& Reloj() {
    static forms::Reloj* f = nullptr;
    return InstanciaForma(f);
}
