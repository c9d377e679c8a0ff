// UCI dialogue commands.
#include "front/handlers.h"
#include "front/uci.h"

int uci_go(const std::string&) { return 0; }

int cmd_uci(const std::string&) { return 0; }
int cmd_debug(const std::string&) { return 0; }
int cmd_isready(const std::string&) { return 0; }
int cmd_setoption(const std::string&) { return 0; }
int cmd_position(const std::string&) { return 0; }
int cmd_stop(const std::string&) { return 0; }
