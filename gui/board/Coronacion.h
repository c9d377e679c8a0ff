// Coronacion: the promotion chooser. Shown modally while a pawn move to its last
// rank is validated without a promotion piece given in advance: queen, rook,
// knight and bishop of the pawn's side, the queen marked; OK takes the marked
// piece, any other way of closing the window cancels the move.
#pragma once

#include "platform/Forma.h"

#include <array>

class PictureBox;
class QEventLoop;
class QGroupBox;
class QPushButton;

namespace forms {

class Coronacion : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Coronacion();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancelar) override;

    // Asks for the piece of a pawn of colour 1 (White) or 2 (Black). Returns the
    // chosen piece code (White 2..5, Black 8..11), or 0 when the window was closed
    // without OK.
    int Preguntar(int color);

    void PiezaSelec_Click(int indice);
    void Command1_Click();
    void DibujarPiezas();
    // The picture marked (light green), 1..4; 0 when none is.
    int Marcada() const;

    QGroupBox* Frame1;
    std::array<PictureBox*, 5> PiezaSelec{};  // 1 queen, 2 rook, 3 knight, 4 bishop
    QPushButton* Command1;

protected:
    void keyPressEvent(QKeyEvent* evento) override;

private:
    int pieza_ = 1;    // the pawn's code: 1 White, 7 Black
    int elegida_ = 0;  // the answer of the question under way
    QEventLoop* bucle_ = nullptr;
};

}  // namespace forms

forms::Coronacion& Coronacion();

// The piece a picture of the chooser stands for: picture 1..4 (queen, rook, knight,
// bishop) for a pawn of code 1 (White) or 7 (Black); 0 for anything else.
int PiezaDeCoronacion(int imagen, int peon);
