// Coronacion: the promotion chooser.
#pragma once

#include "platform/Forma.h"

class QGroupBox;
class QPushButton;

namespace forms {

class Coronacion : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Coronacion();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Unload(bool& cancelar) override;

    QGroupBox* Frame1;
    QPushButton* Command1;
};

}  // namespace forms

forms::Coronacion& Coronacion();
