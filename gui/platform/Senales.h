// The signals that ask Tavorin to end: SIGTERM (a desktop's logout, a service manager)
// and SIGINT (Ctrl-C in the terminal it was started from). The handler does no more
// than write the signal's number into a pipe of its own; the event loop reads it there
// and runs what the program gave, as it runs any other event, nested loops (an open
// message box) included.
#pragma once

#include <functional>

namespace senales {

// From now on SIGTERM and SIGINT run `alTerminar` with the signal's number, from the
// event loop, once: a signal that comes while it runs is dropped. False when the
// signals could not be taken (they then end the program as before).
bool AlTerminar(std::function<void(int senal)> alTerminar);

}  // namespace senales
