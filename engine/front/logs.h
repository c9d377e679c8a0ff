// Log files and games files.
#pragma once

#include <cstdio>
#include <string>

extern FILE* games_file;          // games file of sgames
extern int auto_log;              // every new game opens the next numbered log
extern std::string log_path;      // prefix of numbered log names
extern int log_number;            // number of the present numbered log (0 before the first)
extern int log_used;              // a move was played while the numbered log was open
extern std::string games_suffix;  // nsgames: suffix of the per-opponent game files

// "<log_path>orvik<nnnn>.log"
std::string numbered_log_name(int number);
// Opens the next free numbered log file (keeps an unused one).
void open_numbered_log();
