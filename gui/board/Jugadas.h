// Jugadas: the move-list window. Boxes 1 to 5 hold the moves in coordinates,
// Spanish letters, English algebraic, game-file tokens (never shown) and user
// letters; List1 holds one take-back record per move.
#pragma once

#include "platform/Forma.h"

#include <array>
#include <string>
#include <vector>

class QListWidget;
class QPlainTextEdit;

namespace forms {

class Jugadas : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Jugadas();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancelar) override;

    void JugadasResice();
    // Empties the move list: the game's move texts and records, and the boxes.
    void BorrarContenedor();
    // Shows the game's move texts and records (kept by the game state), each box
    // scrolled to its last move. What a move added or a take-back removed at the end
    // is added or removed alone; anything else shows anew.
    void ActualizarTextos();
    void List_MouseDown(int indice, int boton);
    // The box shown onto the clipboard (its selection, when there is one).
    void CopiarNotacion() const;

    std::array<QPlainTextEdit*, 6> List{};  // 1 to 5
    QListWidget* List1;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void MostrarTexto(int caja, const std::string& texto);
    void MostrarRegistros(const std::vector<std::string>& registros);

    // The game's text each box shows (1 to 5).
    std::array<std::string, 6> mostrado_;
};

}  // namespace forms

forms::Jugadas& Jugadas();

// Shows the box of the notation whose menu item carries the check mark.
void MostrarNotacion();
// Shows a menu of the main window as a pop-up at the mouse.
void MenuContextual(class QMenu* menu);
