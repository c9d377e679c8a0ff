// Shared set-up of the interpreter tests: tables built once, output captured through
// the log file, command lines run as the reader runs them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/output.h"

// Geometry, ray and key tables, once per process.
void front_tables();
// The same and the evaluation tables, for the tests that search.
void front_search_tables();

// While it lives, nothing reaches standard output and every message goes to a
// temporary log file that text() and lines() read back.
class output_capture {
public:
    output_capture();
    ~output_capture();
    output_capture(const output_capture&) = delete;
    output_capture& operator=(const output_capture&) = delete;
    std::string text();
    std::vector<std::string> lines();
    void clear();

private:
    FILE* saved_log_;
    int saved_levels_[OUTPUT_LEVELS];
    FILE* file_;
};

// Whether `lines` hold `line` as one of them.
bool has_line(const std::vector<std::string>& lines, const std::string& line);

// Runs one command line through the table as the reader does; the handler's code.
int run_line(const std::string& line);
