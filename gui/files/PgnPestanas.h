// The PGN browser's tab strip: where its three tabs lie, which tab a point hits, and
// its drawing. Lengths in pixels; a line runs from its first point up to, not
// including, its second.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <array>

namespace pgn {

class Pestanas {
public:
    // Captions of tabs 1 to 3 (element 0 unused) and the font they are drawn in.
    Pestanas(const std::array<QString, 4>& textos, const QFont& fuente);
    // With caption widths given directly (TW(1) to TW(3)) and caption height.
    Pestanas(const std::array<int, 4>& anchos, int alto);

    int Izquierda(int tab) const;  // L(i)
    int Derecha(int tab) const;    // R(i)
    // The tab under a point of the strip, 0 when none: the row runs from y = 3 to 21.
    int TabEn(int x, int y) const;

    // Draws the whole strip (the image's size) with tab `seleccion` raised.
    void Dibujar(QImage& imagen, int seleccion, const QColor& fondo) const;

private:
    std::array<QString, 4> textos_;
    QFont fuente_;
    std::array<int, 4> anchos_{};
    int alto_ = 0;
};

}  // namespace pgn
