// Input polling during a search.
#include "front/polling.h"

int pipe_flag = 0;
int stop_by_input = 0;

int search_poll() { return 0; }
int command_during_search(const std::string&) { return 0; }
int wait_for_input() { return 0; }
