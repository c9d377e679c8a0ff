// Parameter dump.
#include "front/handlers.h"

int cmd_parameters(const std::string&) { return 0; }
