// Standard input through the engine's own line buffer: poll() tells whether input is
// waiting without blocking, so the search can look for it between nodes.
#pragma once

#include <cstddef>
#include <string>

// Whether a line or any data waits (buffered, or readable on the descriptor). Never blocks.
bool stdin_input_waiting();
// Whether the input has ended and every line of it has been read.
bool stdin_at_end();
// Whether a complete line is buffered or the input has ended. Never blocks.
bool stdin_line_ready();
// Reads one line without its line end; a line longer than `max_len` is returned in
// pieces. Blocks until a line (or the end of input) arrives. False at the end of input.
bool stdin_read_line(std::string& line, size_t max_len = 8191);
// Text of the last read error ("Success" when input simply ended).
const char* stdin_error_text();
// Reads from another descriptor instead of 0 (tests).
void stdin_use_descriptor(int fd);

// One command that searches or counts many times (perftest, test, epdtest, cooktest,
// annotate) holds a batch_run for its whole work. While one runs, the input poll holds
// back the lines that would break off a single search; they are read after the run, in
// the order they came. Only "?" (the present search) and "quit" (the whole run) stop
// it, and the end of the input lets it finish. Runs nest: the outermost decides.
class batch_run {
public:
    batch_run();
    ~batch_run();
    batch_run(const batch_run&) = delete;
    batch_run& operator=(const batch_run&) = delete;

    static bool active();
    // A line to be read after the run.
    static void hold(const std::string& line);
    // Whether as many lines are held as a run keeps: the rest waits unread.
    static bool full();
    // "quit" arrived: the run ends as soon as it can (the line itself is held).
    static void ask_quit();
    static bool quitting();
};
