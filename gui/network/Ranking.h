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

    std::array<QGroupBox*, 2> Frame1{};
    std::array<QLabel*, 10> Label{};
};

}  // namespace forms

forms::Ranking& Ranking();
