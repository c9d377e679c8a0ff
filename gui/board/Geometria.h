// Geometry of the board picture, kept apart from the window.
//
// Three kinds of coordinates meet on the board and never mix:
// - board squares (file, rank), 1..8, as the game state keeps them;
// - display squares (col, row), 1..8, col counted from the left edge of the
//   picture and row from its bottom edge; with the board shown inverted a display
//   square is the mirror (9 - file, 9 - rank) of its board square;
// - pixels of the picture, from its top-left corner, S pixels per square side.
// 0 stands for "no square" in both square systems and is never mirrored.
#pragma once

#include <string>

namespace geometria {

// The display column of a pixel x: k + 1 for k * S <= x < (k + 1) * S, and 8 up to
// and including the right edge 8 * S; 0 outside the picture.
int Columna(double x, long lado);
// The display row of a pixel y: 8 on the top row, 1 on the bottom row (which takes
// the bottom edge 8 * S too); 0 outside the picture.
int Fila(double y, long lado);

// A pixel coordinate snapped to the first pixel of its square (7 * S for the last
// square and its far edge); a coordinate outside the picture is returned unchanged.
long Esquina(double v, long lado);

// The left and top pixel of display square (col, row); an index outside 1..8 gives
// pixel 0 on that axis.
long PixelX(int columna, long lado);
long PixelY(int fila, long lado);

// Display square to board square and back: the same mirror, applied only while the
// board is shown inverted and only to 1..8.
inline int Espejo(int v, bool invertido) { return (invertido && v >= 1 && v <= 8) ? 9 - v : v; }

// A square as two digits, file then rank ("52" is e2).
std::string CasillaTexto(int x, int y);
// The digits of a square text; false unless it is two digits 1..8.
bool LeerCasilla(const std::string& texto, int& x, int& y);

}  // namespace geometria
