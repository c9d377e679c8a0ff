// SetTableroF: the position set-up window.
#pragma once

#include "platform/Forma.h"

#include <array>

class PictureBox;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace forms {

class SetTableroF : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    SetTableroF();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Unload(bool& cancelar) override;

    // Repaints the piece palette with the current skin.
    void PaintImagenesSet();
    void ImprimeFichas();

    QPushButton *Command1, *Command2, *Command3, *Command4;
    QGroupBox *Frame1, *Frame2;
    QRadioButton *Option1, *Option2;
    QCheckBox *Check1, *Check2, *Check3, *Check4, *Check5;
    std::array<PictureBox*, 10> Picture1{};  // the palette
    QLineEdit* Text1;                        // en-passant square
};

}  // namespace forms

forms::SetTableroF& SetTableroF();
