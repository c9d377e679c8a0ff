// fEpd: the EPD list window (a dialog of the main window, so the board does not
// cover it). Lists the positions of an EPD file, previews the
// one selected on a small board and, on a double click, sets it up on the main
// board as a game without clock.
#pragma once

#include "platform/Forma.h"

#include <QImage>
#include <QString>

#include <array>
#include <vector>

class ListaLineas;
class PictureBox;

// The FEN/EPD line last read, previewed or about to be loaded.
extern QString LineaEpd;

namespace forms {

class fEpd : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    fEpd();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancelar) override;
    // Loads the positions of an EPD file into the list: several are listed with
    // the first previewed, a single one is set up at once.
    void LeerEPD(const QString& ruta);
    // The peer left its EPD list, or the list closed without a position: a fresh game.
    void CancelarEPD();
    // Draws CasillasEpd on the preview.
    void PaintEpd();
    // The selected line onto the preview (and into the game state).
    void Eventos_Click();
    // The selected line onto the main board.
    void Eventos_DblClick();
    // Position line i of the list, whole (the list may show it short).
    QString Linea(int i) const;

    ListaLineas* Eventos;
    // The index of the item on the preview, "-1" after a position was loaded.
    QString EventosTag = "-1";
    PictureBox* picBoard;
    // The preview's piece pictures, 1 to 12 (see epd::ImagenDePieza).
    std::array<QImage, 13> imlBoard;
    // The squares of the preview being drawn (rank 8 first); empty otherwise.
    std::vector<int> CasillasEpd;
    // A double click is loading a position: the unload that follows is no cancel.
    bool CargandoEpd = false;
};

}  // namespace forms

forms::fEpd& fEpd();
