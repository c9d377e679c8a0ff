// Reloj: the clock window of network play.
#pragma once

#include "platform/Forma.h"

class QGroupBox;
class QLabel;

namespace forms {

class Reloj : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Reloj();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Unload(bool& cancelar) override;

    // Show White's (B) or Black's (N) clock as "mm:ss" and colour the two
    // displays for that side running.
    void PrintTimerB();
    void PrintTimerN();

    QGroupBox* Frame1;
    QLabel *Label1, *Label2, *Label3, *Label4;  // 3 and 4 hold the clock texts
};

}  // namespace forms

forms::Reloj& Reloj();
