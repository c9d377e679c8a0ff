// PgnMovimientos: the move window of the PGN browser.
#pragma once

#include "platform/Forma.h"

class QListWidget;

namespace forms {

class PgnMovimientos : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    PgnMovimientos();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Unload(bool& cancelar) override;

    QListWidget* List1;
};

}  // namespace forms

forms::PgnMovimientos& PgnMovimientos();
