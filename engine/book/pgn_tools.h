// Batch tools over PGN collections: conversion, ECO tagging, marks, the opening-name
// table's source, a filter, opening reports, EPD extraction and a plain SAN copy. Each
// replays the games into the game record and returns true when it ran (the files were
// opened): the commands then start a new game.
#pragma once

#include <string>

// pelvat_pgn: `mode` by its first letter (p normalise, j ECO tags, e opening-name table,
// x own ECO tags, w/b/n marks, h/s/other move lists).
bool pelvat_pgn(const std::string& in, const std::string& out, const std::string& mode, const std::string& option1,
                const std::string& option2, int blank_lines, int move_limit);
// ferrun_pgn: the winner's moves marked "!!".
bool ferrun_pgn(const std::string& in, const std::string& out);
// vadro_pgn and add_eco: n/other ECO tags, f filter, s performance, m statistics, j EPD.
bool vadro_pgn(const std::string& in, const std::string& out, const std::string& mode, int number);
// mq_pgn: a SAN copy.
bool mq_pgn(const std::string& in, const std::string& out);

// The time-control value of a TimeControl tag (seconds for 60 moves, at most 30000; -1
// when the text fits no known form).
int time_control_value(const std::string& text);
// Whether an ECO code is a letter A-E and two digits.
bool eco_code_valid(const std::string& code);
