// Ip: shows this machine's address, selected, ready to be copied for the peer.
#pragma once

#include "platform/Forma.h"

class QGroupBox;
class QLineEdit;

namespace forms {

class Ip : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Ip();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancelar) override;

    QGroupBox* Frame1;
    QLineEdit* Text1;

private:
    void Mostrar();
};

}  // namespace forms

forms::Ip& Ip();
