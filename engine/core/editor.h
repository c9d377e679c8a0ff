// The board editor behind the xboard "edit" command.
#pragma once

// Reads editing lines from standard input until a line beginning with "."; the edited
// position then starts a new game. A position that is not possible is refused with a
// message and the previous position stays. Returns 1 when the new position was taken.
int edit_mode();
