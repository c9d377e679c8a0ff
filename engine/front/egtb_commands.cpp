// Endgame tables and bitbases.
#include "front/handlers.h"

int cmd_tbldir(const std::string&) { return 0; }
int cmd_egtb_cache(const std::string&) { return 0; }
int cmd_create_bitbases(const std::string&) { return 0; }
int cmd_bbpath(const std::string&) { return 0; }
int cmd_tbb(const std::string&) { return 0; }
