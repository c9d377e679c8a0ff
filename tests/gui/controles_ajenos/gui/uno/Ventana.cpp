#include "uno/Ventana.h"

namespace forms {

// The window's own file reaches its controls.
void Ventana::Borrar() { ::Ventana().Label1->clear(); }

}  // namespace forms
