#include "core/hooks.h"

engine_hooks hooks;
