// The board window's part in the game files: opening an own game file and setting
// up an EPD position.
#include "board/Tavorin.h"

namespace forms {

void Tavorin::AbrirTvp(const QString& ruta) { (void)ruta; }

void Tavorin::AbrirEpd(const QString& linea) { (void)linea; }

}  // namespace forms
