// Log files and games files.
#pragma once

#include <cstdio>

extern FILE* games_file;   // games file of sgames
extern int auto_log;       // every new game opens the next numbered log

// Opens the next free numbered log file.
void open_numbered_log();
