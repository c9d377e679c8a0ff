// SetTableroF: the position set-up window. While it is open the main board is an
// editing surface: a click puts the palette's piece on a square, a right click
// empties it, and the kings can only be moved. OK starts play from the position
// with the side to move, castling and en-passant rights chosen here; cancel goes
// back to the start position with nobody to move.
#pragma once

#include "platform/Forma.h"
#include "rules/variables.h"

#include <QString>

#include <array>
#include <optional>

class PictureBox;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What the set-up window's controls say when OK is pressed.
struct AjustesPreparacion {
    int turno = ::turno::Blancas;    // side to move: turno::Blancas or turno::Negras
    std::array<bool, 4> enroques{};  // kept: White O-O, White O-O-O, Black O-O, Black O-O-O
    bool alPaso = false;             // the en-passant box is checked
    QString casillaAlPaso;           // its square as typed ("e3")
};

// The rights OK gives a position.
struct DerechosPreparados {
    bool torreA1Movida = true, torreH1Movida = true, torreA8Movida = true, torreH8Movida = true;
    bool alPasoPosible = false;
    int casillaAlPaso = 0;  // 10 x file + rank of the pawn that has just advanced two squares
};

// The rights of a set-up position, or nothing when the rules cannot play it (a
// pawn on the first or last rank, the side not to move in check). A castling right
// needs its king and rook on their squares; en passant needs the pawn beside the
// passed square and that square and the pawn's start square empty.
std::optional<DerechosPreparados> AplicarAjustes(const rules::Tablero& casillas, const AjustesPreparacion& a);

// The piece of a palette cell (0 to 9), 0 for any other number.
int PiezaDePaleta(int celda);

namespace forms {

class SetTableroF : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    SetTableroF();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancelar) override;
    // The window's frame follows its contents, which the captions size.
    void Form_Resize() override;
    QSize sizeHint() const override;

    // Repaints the piece palette with the current skin.
    void PaintImagenesSet();
    // The palette without a chosen piece, cleared and repainted (another skin or size).
    void LimpiarPaleta();
    // The controls as a fresh set-up finds them: no piece chosen, White to move,
    // every castling right, no en passant; the palette repainted.
    void Reiniciar();
    // Redraws the main board from the game's squares.
    void ImprimeFichas();
    // FichaPaleta from a palette cell; any other number leaves it.
    void MarcarPieza(int celda);

    void Picture1_Click(int celda);
    void Command1_Click();  // empty board with the kings
    void Command2_Click();  // start position
    void Command3_Click();  // OK
    void Command4_Click();  // cancel
    void Check5_Click();
    // The en-passant box takes a file letter, then 3 or 6. False discards the key.
    bool Text1_KeyPress(QChar tecla);

    QPushButton *Command1, *Command2, *Command3, *Command4;
    QGroupBox *Frame1, *Frame2;
    QRadioButton *Option1, *Option2;
    QCheckBox *Check1, *Check2, *Check3, *Check4, *Check5;
    std::array<PictureBox*, 10> Picture1{};  // the palette
    QLineEdit* Text1;                        // en-passant square

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void hideEvent(QHideEvent* evento) override;

private:
    // The window is closing through OK or cancel (not its close box).
    bool cerrando_ = false;
};

}  // namespace forms

forms::SetTableroF& SetTableroF();
