// One run of the engine under test: a fresh folder, the lines of one input written to
// its standard input as fast as it reads them, and what became of it.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace fuzz {

// A line to send; with `wait_for` set, the next line goes out only once the output
// holds that text (or `wait` has passed), as a host waits for "bestmove" or "move".
// With `late_key` set too the answer is due within `wait`: one that does not come is a
// finding of that key (a search that overruns its clock or never ends). The awaited text
// counts from the line sent last without `keep_window`: the stop of a go is answered by
// a bestmove that came before the stop as well. A line with a `pause` goes out that long
// after the line before, as a host's isready or stop comes while a search runs.
struct input_line {
    std::string text;
    std::string wait_for;
    std::chrono::milliseconds wait{0};
    std::string late_key;
    bool keep_window = false;
    std::chrono::milliseconds pause{0};
};

struct run_limits {
    // The engine must take the next line within this time, and end within it after
    // the end of its input (generous: a sanitizer build on a busy machine is slow).
    std::chrono::milliseconds stall{std::chrono::seconds(60)};
};

struct run_outcome {
    size_t lines_sent = 0;
    size_t waits_missed = 0;  // awaited answers that did not come in time...
    std::string missed;       // ...the lines (numbered from 1) that awaited them
    double seconds = 0.0;
    bool finding = false;
    std::string kind;       // "sanitizer", "signal", "exit status", "early exit", "stall", "no exit", "late answer"
    std::string key;        // what tells one fault from another (the report's first line)
    std::string report;     // the engine's standard error (tail) and what was seen
    std::string late_line;  // the line whose answer did not come in time
};

// Files the input may name, written into the folder before the engine starts; with
// `link_to` set, a symbolic link to that file instead (the devices: what the engine
// writes, renames or removes under the link's name stays in the folder).
struct seed_file {
    std::string name;
    std::string content;
    std::string link_to;
};

// The command names of `program` in table order, as its "help" lists them (run in
// the folder `scratch`, made and removed again).
std::vector<std::string> command_table(const std::string& program, const std::string& scratch);

// Runs `program` in `folder` (it must exist and be empty) with `lines` as input.
run_outcome run_engine(const std::string& program, const std::string& folder, const std::vector<seed_file>& files,
                       const std::vector<input_line>& lines, const run_limits& limits);

}  // namespace fuzz
