// ColorRgb: the colour dialog. Its two option buttons are the live store of the
// look (1 colour scheme, 2 system colours); it is never unloaded.
#pragma once

#include "platform/Forma.h"

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace forms {

class ColorRgb : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    ColorRgb();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancelar) override;

    bool Txt_RGB_KeyPress(int indice, int tecla);
    void Txt_RGB_Change(int indice);
    void Scrl_RGB_Change(int indice);
    void Option1_Click();
    void Option2_Click();
    void Command1_Click();
    void Command2_Click();

    // Sets an option button from code; runs its click handler when it was not set.
    void FijarOpcion(int cual);
    // Which option button is set: the colour scheme (1), the system's colours (2).
    bool EsquemaElegido() const;
    bool SistemaElegido() const;

    QGroupBox* Frame1;
    QLabel *Lbl_Red, *Lbl_Green, *Lbl_Blue, *Lbl_RGBValues;
    std::array<QScrollBar*, 3> Scrl_RGB{};
    std::array<QLineEdit*, 3> Txt_RGB{};
    QRadioButton *Option1, *Option2;
    QPushButton *Command1, *Command2;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};

}  // namespace forms

forms::ColorRgb& ColorRgb();
