// Ip: shows the local IP address.
#pragma once

#include "platform/Forma.h"

class QGroupBox;
class QLabel;

namespace forms {

class Ip : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Ip();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Unload(bool& cancelar) override;

    QGroupBox* Frame1;
    QLabel* Label1;
};

}  // namespace forms

forms::Ip& Ip();
