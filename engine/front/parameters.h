// The parameter dump: the search settings as one text wrapped into lines.
#pragma once

#include <cstddef>
#include <string>

// Appends `item` under the wrapping rule; false when it no longer fits (the dump then
// ends). `line` and `total` are the running counters of the dump.
bool append_wrapped(std::string& text, const std::string& item, int width, size_t size, int& line, size_t& total);
// The dump: every item in order, lines shorter than `width` characters, at most
// size - 2 characters of items.
std::string print_parameters(size_t size = 400, int width = 80);
