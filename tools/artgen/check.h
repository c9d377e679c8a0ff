// Checks a skin folder against the board's rules and draws a preview board
// with the board's own raster operations (mask by AND, piece by XOR).
#pragma once
#include <QString>
namespace artgen {
// Returns the number of faults found (each is printed); writes the preview
// picture when `preview` is not empty.
int checkSkin(const QString& folder, const QString& preview);
}
