#include "core/hooks.h"

engine_hooks hooks;
int egtb_max_men = 0;
