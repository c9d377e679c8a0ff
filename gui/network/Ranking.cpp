#include "network/Ranking.h"

#include "app/Graficos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>

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

void Ranking::SumaDePartidas(long resultado) {
    auto& r = RegPuntuacion;
    const long p = r[4], q = r[9];
    if (resultado == 2) {
        r[0] += 1, r[1] += 1, r[5] += 1, r[7] += 1;
        r[4] += p > q ? 50 : 100;
        r[9] -= q < p ? 50 : 100;
    } else if (resultado == 1) {
        r[0] += 1, r[2] += 1, r[5] += 1, r[6] += 1;
        r[4] -= p < q ? 50 : 100;
        r[9] += q > p ? 50 : 100;
    } else if (resultado == 3) {
        r[0] += 1, r[3] += 1, r[5] += 1, r[8] += 1;
        if (p > q) r[4] -= 50, r[9] += 50;
        if (p < q) r[4] += 50, r[9] -= 50;
    } else {
        return;
    }
    r[4] = std::max(0L, r[4]);
    r[9] = std::max(0L, r[9]);
    PrintPuntuacion();
    GrabarPuntuacion();
}

}  // namespace forms

forms::Ranking& Ranking() {
    static forms::Ranking* f = nullptr;
    return InstanciaForma(f);
}
