#include "uno/Ventana.h"

void Intencion() { ::Ventana().Borrar(); }
void Temporizador() { ::Ventana().Timer1->start(); }
// ::Ventana().Label1->clear(); in a comment is no use.
void Ajeno() {
    auto& v = ::Ventana();
    v.Label2->clear();
    v.Etiquetas[1]->hide();
}
