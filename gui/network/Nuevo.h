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

    // Starts a game on the local board: no game file, empty move list, start
    // position (shown from White's side while not connected), move state reset.
    // Turn, colour, game type and clocks are the caller's.
    void NuevoAceptado();
    // Clears the move in progress and the per-game rule flags (all castling rights
    // back, numbering from the start); leaves the board, the turn and the move list.
    void VariablesCero();

    QGroupBox *Frame1, *Frame2;
    PictureBox* Picture1;
    QRadioButton *Option1, *Option2, *Option3, *Option4;
    QLabel* Label1;
    QLineEdit* Text1;  // minutes of a rated game
    QPushButton *Command1, *Command2;
};

}  // namespace forms

forms::Nuevo& Nuevo();
