// Standard input through the engine's own line buffer: poll() tells whether input is
// waiting without blocking, so the search can look for it between nodes.
#pragma once

#include <cstddef>
#include <string>

// Whether a line or any data waits (buffered, or readable on the descriptor). Never blocks.
bool stdin_input_waiting();
// Whether a complete line is buffered or the input has ended. Never blocks.
bool stdin_line_ready();
// Reads one line without its line end; a line longer than `max_len` is returned in
// pieces. Blocks until a line (or the end of input) arrives. False at the end of input.
bool stdin_read_line(std::string& line, size_t max_len = 8191);
// Text of the last read error ("Success" when input simply ended).
const char* stdin_error_text();
// Reads from another descriptor instead of 0 (tests).
void stdin_use_descriptor(int fd);
