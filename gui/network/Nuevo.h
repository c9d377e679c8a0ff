// Nuevo: the new-game dialog of network play (colour, game type and minutes, sent
// to the peer as a proposal), and the two resets every road into a fresh game runs.
#pragma once

#include "platform/Forma.h"

#include <array>

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
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancelar) override;

    // Starts a game on the local board: no game file, empty move list, start
    // position (shown from White's side while not connected), move state reset.
    // Turn, colour, game type and clocks are the caller's.
    void NuevoAceptado();
    // Clears the move in progress and the per-game rule flags (all castling rights
    // back, numbering from the start); leaves the board, the turn and the move list.
    void VariablesCero();
    // Queues the proposal the dialog's controls make.
    void EnviarNuevoJuego();
    // The minutes of a rated game as the box holds them; setting them.
    QString Minutos() const;
    void FijarMinutos(const QString& texto);

    void Option3_Click();
    void Option4_Click();
    // The minutes box: a key (0 swallows it), a change of its text.
    void Text1_KeyPress(int& tecla);
    void Text1_Change();
    // 0 raises the minutes by one, 1 lowers them.
    void Command4_Click(int indice);
    void Command1_Click();
    void Command2_Click();

    QGroupBox *Frame1, *Frame2;
    PictureBox* Picture1;
    QRadioButton *Option1, *Option2, *Option3, *Option4;
    QLabel* Label1;
    QLineEdit* Text1;  // minutes of a rated game
    std::array<QPushButton*, 2> Command4{};
    QPushButton *Command1, *Command2;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    bool cambiando_ = false;
};

}  // namespace forms

forms::Nuevo& Nuevo();

// The minutes box's rules, without the window.
namespace minutos {
constexpr long kMaximo = 180;
// The box after a change: over the maximum it holds the maximum; any other
// non-empty text becomes the number it starts with ("007" gives "7").
QString Corregidos(const QString& texto);
// The box after a step button: 0 raises by one (the change rule holds the
// maximum), 1 lowers by one but not below 1; an empty box counts as 0.
QString Paso(const QString& texto, int indice);
// What OK sends for a rated game: at least 1.
QString ParaEnviar(const QString& texto);
}  // namespace minutos
