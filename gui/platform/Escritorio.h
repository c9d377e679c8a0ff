// Opening a file with the desktop's program for it (xdg-open), the stand-in for the
// shell's "Open" action. The opener runs as a child process that nobody waits on; a
// failure is told once it is known, from the event loop. A viewer it leaves behind, in a
// process that reaps its descendants' orphans, is reaped once the user has closed it.
#pragma once

#include <QString>

#include <functional>

namespace escritorio {

// Why the desktop did not open a file.
struct Fallo {
    bool sinAbridor = false;  // the opener itself could not be started
    QString motivo;           // else its last line of error output, or its exit status
};

// Opens the file. `alFallar` runs when the opener could not be started or ended with
// an error; nothing is told when it opened the file.
void Abrir(const QString& ruta, std::function<void(const Fallo&)> alFallar);

}  // namespace escritorio
