// Board skins: twelve pieces with their masks and the two squares.
#pragma once

#include <QColor>
#include <QString>

namespace artgen {

enum class SquareLook { Flat, Wood, Marble };

struct SkinStyle {
    int size;                                 // side of every picture, pixels
    QColor whiteTop, whiteBottom, whiteInk;   // White pieces: body gradient, lines
    QColor blackTop, blackBottom, blackLine;  // Black pieces: body gradient, inner lines
    QColor blackEdge;                         // Black pieces: outline
    QColor lightSquare, darkSquare;
    SquareLook look;
    unsigned seed;
};

// Writes the 26 pictures of a skin ("peonb.png" ... "cuadron.png") into `folder`.
void writeSkin(const SkinStyle& style, const QString& folder);

// Writes the twelve pieces alone ("peonb.png" ... "reyn.png"), transparent around
// the piece, for small previews drawn over any square colour.
void writePieces(const SkinStyle& style, const QString& folder);

}  // namespace artgen
