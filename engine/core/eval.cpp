#include "core/eval.h"

void eval_init() {}
