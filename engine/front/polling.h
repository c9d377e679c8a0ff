// Input polling during a search and waiting while pondering.
#pragma once

#include <string>

extern int pipe_flag;      // 1 when standard input is not a terminal
extern int stop_by_input;  // input ended the search

// Called by the search at its poll mark: 1 stops the search.
int search_poll();
// Called now and then by a long count (perftest): a waiting line is taken as during the
// engine's own search (in a batch run, see core/input.h); 1 when it stops the count.
int count_poll();
// Runs a line that arrives during a search: 1 when it stops the search.
int command_during_search(const std::string& line);
// Waits for the opponent's reply or a command while pondering: 1 stops the ponder search.
int wait_for_input();
// An analysis at its last depth reads commands here until one ends it.
void analysis_wait();
