// A window may include the layers below it.
#include "app/Estado.h"
#include "rules/reglas.h"
