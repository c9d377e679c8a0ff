// Nuevo: the new-game dialog of network play.
#pragma once

#include "platform/Forma.h"

class PictureBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace forms {

class Nuevo : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Nuevo();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Unload(bool& cancelar) override;

    QGroupBox *Frame1, *Frame2;
    PictureBox* Picture1;
    QRadioButton *Option1, *Option2, *Option3, *Option4;
    QLabel* Label1;
    QLineEdit* Text1;  // minutes of a rated game
    QPushButton *Command1, *Command2;
};

}  // namespace forms

forms::Nuevo& Nuevo();
