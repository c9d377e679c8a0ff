#include "network/Ranking.h"

#include "app/Graficos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>

namespace forms {

Ranking::Ranking() : Forma(Hija, "Ranking") {
    for (int i = 0; i < 2; ++i) {
        Frame1[i] = new QGroupBox(this);
        Frame1[i]->setObjectName(QString("Frame1_%1").arg(i));
        Frame1[i]->setGeometry(6 + i * 150, 4, 144, 130);
    }
    for (int i = 0; i < 10; ++i) {
        Label[i] = new QLabel(Frame1[i / 5]);
        Label[i]->setObjectName(QString("Label_%1").arg(i));
        Label[i]->setGeometry(8, 18 + (i % 5) * 22, 128, 20);
    }
    resize(306, 140);
}

void Ranking::Form_Load() { PintarVentana(4); }

void Ranking::Form_Unload(bool& cancelar) {
    ::Mdi().mnuMostrarRanking->setChecked(false);
    cancelar = true;
    Hide();
}

// The ranking record arrives with network play.
void Ranking::LeerPuntuacion() {}
void Ranking::GrabarPuntuacion() {}
void Ranking::PrintPuntuacion() {}

}  // namespace forms

forms::Ranking& Ranking() {
    static forms::Ranking* f = nullptr;
    return InstanciaForma(f);
}
