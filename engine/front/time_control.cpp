// Time-control commands.
#include "front/handlers.h"

int cmd_time(const std::string&) { return 0; }
int cmd_xtime(const std::string&) { return 0; }
int cmd_otim(const std::string&) { return 0; }
int cmd_level(const std::string&) { return 0; }
int cmd_at(const std::string&) { return 0; }
