// The shared state reaching up into a window: refused.
#include "rules/reglas.h"
#include "board/Ventana.h"
