#include "files/fEpd.h"

#include <QListWidget>

namespace forms {

fEpd::fEpd() : Forma(Hija, "fEpd") {
    Eventos = new QListWidget(this);
    Eventos->setObjectName("Eventos");
    Eventos->setGeometry(6, 6, 300, 200);
    resize(312, 212);
}

void fEpd::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

// Reading EPD lists comes with the game files.
void fEpd::LeerEPD(const QString& ruta) { (void)ruta; }

void fEpd::CancelarEPD() {}

}  // namespace forms

forms::fEpd& fEpd() {
    static forms::fEpd* f = nullptr;
    return InstanciaForma(f);
}
