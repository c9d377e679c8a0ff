// PgnMovimientos: the move list of the PGN browser, one half-move a line. The arrow
// keys step one half-move forward or back, a click jumps to the half-move clicked, and
// every other key that moves the highlight (Home, End, the page keys) jumps to the
// half-move it lands on: the highlight and the board never differ.
#pragma once

#include "platform/Forma.h"

#include <string>
#include <vector>

class QListWidget;

namespace forms {

class PgnMovimientos : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    PgnMovimientos();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Unload(bool& cancelar) override;

    // Right and Down step forward, Left and Up back; a handled key comes back as 0.
    void List1_KeyDown(int& KeyCode, int Shift);
    // A press on line `linea` (-1: below the lines) jumps to that half-move; a line
    // past the last coded move shows that move, with the highlight on it.
    void List1_MouseDown(int linea);

    // The game's half-move lines: emptied; filled, the last one highlighted (a line too
    // long to show is shown cut short); as listed.
    void Borrar();
    void Llenar(const std::vector<std::string>& lineas);
    QStringList Lineas() const;
    // Half-move line i as read: a move shown cut short comes back whole ("" past the
    // last line).
    std::string Linea(int i) const;
    // The highlight on line `linea`; none for a line outside the list.
    void Seleccionar(int linea);
    // The list scrolled to its first line.
    void IrAlPrincipio();

    QListWidget* List1;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};

}  // namespace forms

forms::PgnMovimientos& PgnMovimientos();
