#include "uno/Ventana.h"

// A test that reaches the window's controls, twice, and through its method once.
void Prueba() {
    ::Ventana().Label1->setText("uno");
    ::Ventana().Etiquetas[0]->show();
    ::Ventana().Borrar();
}
