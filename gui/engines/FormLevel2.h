// FormLevel2: the engine level dialog. It limits the engines of an engine game by
// search depth, by time per move or by a time control, and keeps the command the
// engines get in ComandoNivel. Created once, only ever hidden.
#pragma once

#include "platform/Forma.h"

#include <array>

class PictureBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SweetButton;

// The level command every engine gets at its start ("sd 4", "st 10", "level 40 10 0").
extern QString ComandoNivel;

namespace forms {

class FormLevel2 : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    FormLevel2();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Unload(bool& cancelar) override;

    // Builds ComandoNivel from the selected mode; keeps it when none is selected.
    void CargarLevel();
    // Shows the panel, the help text and the title of mode 0, 1 or 2.
    void MuestraDatos(long opcion);
    // Selects option button i from code, which runs its click handler.
    void FijarOpcion(int indice);
    // Index of the option button that is set, -1 when none.
    int OpcionElegida() const;
    // True when the time-control mode is selected: the engine clocks run.
    bool ConReloj() const;
    // The level's values as their boxes hold them: seconds per move, depth, the
    // minutes and the moves of the time control.
    enum class Campo { Segundos, Profundidad, Minutos, Jugadas };
    QString Valor(Campo campo) const;
    void FijarValor(Campo campo, const QString& texto);

    void Option1_Click(int indice);
    void Command2_Click();
    // The six step buttons (Button: 1 left, 2 right).
    void Button1_MouseUp(int Button);
    void Button2_MouseUp(int Button);
    void SweetButton1_MouseUp(int Button);
    void SweetButton2_MouseUp(int Button);
    void SweetButton3_MouseUp(int Button);
    void SweetButton4_MouseUp(int Button);

    // Lays the controls out on the design's grid, widened where a text of the current
    // language needs it.
    void Encajar();

    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4, *Frame5;
    std::array<QRadioButton*, 3> Option1{};
    PictureBox* titulo;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    QLineEdit *Text1, *Text2, *Text3;  // seconds per move, depth, minutes
    QComboBox* Combo1;                 // moves of the time control
    QPushButton *Command1, *Command2;
    SweetButton *Button1, *Button2, *SweetButton1, *SweetButton2, *SweetButton3, *SweetButton4;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
};

}  // namespace forms

forms::FormLevel2& FormLevel2();
