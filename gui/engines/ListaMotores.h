// The engines installed under the program folder's Motor/: one per sub-folder.
#pragma once

#include <QString>

#include <vector>

struct MotorEncontrado {
    QString nombre;  // the entry of the engine lists
    QString ruta;    // full path of the program
};

// Per sub-folder of `carpetaMotor`, sorted by name, the first entry by name that is an
// executable regular file (links followed) or whose name ends in "exe" or "com" in any
// case. Its list entry is the name in lower case, without its last four characters
// for an "exe" or "com" name. Files lying in `carpetaMotor` itself are not engines; a
// missing or unreadable folder gives none.
std::vector<MotorEncontrado> MotoresEncontrados(const QString& carpetaMotor);
