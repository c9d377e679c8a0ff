// xboard dialogue and ICS commands.
#include "front/handlers.h"

int cmd_xboard(const std::string&) { return 0; }
int cmd_protover(const std::string&) { return 0; }
int cmd_use_book(const std::string&) { return 0; }
int cmd_resign(const std::string&) { return 0; }
int cmd_random(const std::string&) { return 0; }
int cmd_result(const std::string&) { return 0; }
int cmd_rating(const std::string&) { return 0; }
int cmd_ics(const std::string&) { return 0; }
int cmd_rem(const std::string&) { return 0; }
int cmd_name(const std::string&) { return 0; }
int cmd_comment(const std::string&) { return 0; }
int cmd_echo(const std::string&) { return 0; }
int cmd_event(const std::string&) { return 0; }
int cmd_whisper(const std::string&) { return 0; }
int cmd_version(const std::string&) { return 0; }
int cmd_announce_mate(const std::string&) { return 0; }
int cmd_say(const std::string&) { return 0; }
int cmd_ping(const std::string&) { return 0; }
