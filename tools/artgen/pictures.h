// Larger pictures: splash and about picture, program and file icons,
// drag cursors and the PGN browser's header column.
#pragma once
#include <QString>
namespace artgen {
void writePictures(const QString& folder);
}
