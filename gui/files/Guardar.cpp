#include "files/Guardar.h"

void GuardarPartida() {}

void GuardarChat() {}

void GuardarImagen() {}
