// The board editor behind the xboard "edit" command.
#pragma once

#include <string>

// Reads editing lines until a line beginning with "." (from `read_line`, or standard
// input when none is given); the edited position then starts a new game. A position that
// is not possible is refused with a message and the previous position stays. Returns 1
// when the new position was taken.
int edit_mode(bool (*read_line)(std::string& line) = nullptr);
