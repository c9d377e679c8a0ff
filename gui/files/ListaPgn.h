// ListaPgn: the PGN browser.
#pragma once

#include "platform/Forma.h"

#include <array>

class PictureBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace forms {

class ListaPgn : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    ListaPgn();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Unload(bool& cancelar) override;
    // Shows the side windows again by their settings (after the browser or the
    // engine panel closes).
    void MostrarVentanas();

    PictureBox* Picture1;                // header picture with the tag names
    std::array<QLineEdit*, 8> Text1{};   // tag values 0 to 7
    QComboBox* Combo1;                   // games of the file
    QComboBox* Combo2;                   // replay pace (AutoPlay)
    QComboBox* Buscar;                   // tag to search
    QGroupBox *Frame1, *Frame2;
    QLabel *Label2, *Label3;
    std::array<QPushButton*, 6> Command1{};  // 1 to 5
    std::array<QPushButton*, 3> Command2{};  // 1 save, 2 cancel
    std::array<PictureBox*, 4> picContainer{};  // 1 to 3
    PictureBox* picTab;
    QListWidget* PgnJugadas;  // hidden list of the moves of the loaded game
};

}  // namespace forms

forms::ListaPgn& ListaPgn();

// Opens a PGN file in the browser.
void AbrirPgn(const QString& ruta);
