// FormLevel2: the engine level dialog.
#pragma once

#include "platform/Forma.h"

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SweetButton;

namespace forms {

class FormLevel2 : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    FormLevel2();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Unload(bool& cancelar) override;

    // Builds the engine's level command from the dialog.
    void CargarLevel();
    // Shows the dialog's texts for level kind 0, 1 or 2.
    void MuestraDatos(long opcion);
    // Sets option button i from code.
    void FijarOpcion(int indice);
    // Index of the option button that is set, -1 when none.
    int OpcionElegida() const;

    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4, *Frame5;
    std::array<QRadioButton*, 3> Option1{};
    QLabel *Label3, *Label4, *Label5;
    QLineEdit *Text1, *Text2, *Text3;  // seconds per move, depth, minutes
    QComboBox* Combo1;                 // moves
    QPushButton *Command1, *Command2;
    SweetButton *Button1, *Button2, *SweetButton1, *SweetButton2, *SweetButton3, *SweetButton4;
};

}  // namespace forms

forms::FormLevel2& FormLevel2();
