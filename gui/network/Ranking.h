// Ranking: the window of the personal ranking record.
#pragma once

#include "platform/Forma.h"

#include <array>

class QGroupBox;
class QLabel;

namespace forms {

class Ranking : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Ranking();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Unload(bool& cancelar) override;

    // The ranking file Puntuacion.dat: read, written, shown.
    void LeerPuntuacion();
    void GrabarPuntuacion();
    void PrintPuntuacion();
    // Books one finished rated game: 2 the local player won, 1 lost, 3 draw.
    void SumaDePartidas(long resultado);

    // Local games, wins, losses, draws, points; then the opponent's five.
    std::array<long, 10> RegPuntuacion{0, 0, 0, 0, 1200, 0, 0, 0, 0, 1200};

    std::array<QGroupBox*, 2> Frame1{};
    std::array<QLabel*, 10> Label{};
};

}  // namespace forms

forms::Ranking& Ranking();
