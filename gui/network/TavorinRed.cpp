// The board window's part in network play.
#include "board/Tavorin.h"

namespace forms {

void Tavorin::Desconectar() {}

}  // namespace forms
