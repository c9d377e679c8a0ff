// Log files and games files.
#include "front/handlers.h"
#include "front/logs.h"

FILE* games_file = nullptr;
int auto_log = 0;

void open_numbered_log() {}

int cmd_log(const std::string&) { return 0; }
int cmd_loga(const std::string&) { return 0; }
int cmd_log_path(const std::string&) { return 0; }
int cmd_sgames(const std::string&) { return 0; }
int cmd_nsgames(const std::string&) { return 0; }
