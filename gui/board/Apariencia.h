// A skin's pictures, read from its folder into the board window's picture sets.
#pragma once

#include <QImage>
#include <QString>

#include <array>

namespace apariencia {

// Reads the skin in `carpeta` (with its trailing "/"): the 12 pieces, then their 12
// masks ("<piece>f"), then the light and the dark square, each with the extension of
// the folder's first "peonb.*" file, names matched without regard to case. Stops at
// the first picture that cannot be read, which is left empty; the sets keep what was
// read before it. True when every picture was read and they follow the skin rules
// (AparienciaValida).
bool Leer(const QString& carpeta, std::array<QImage, 13>& fichas, std::array<QImage, 13>& mascaras,
          std::array<QImage, 3>& cuadros);

}  // namespace apariencia
