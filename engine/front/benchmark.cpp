// Speed benchmark and ending tests.
#include "front/handlers.h"

int cmd_speed(const std::string&) { return 0; }
int cmd_kbpk(const std::string&) { return 0; }
int cmd_xtest(const std::string&) { return 0; }
