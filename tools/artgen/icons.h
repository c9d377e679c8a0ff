// Toolbar and menu pictures, status-bar pictures and the picture buttons.
#pragma once
#include <QString>
namespace artgen {
void writeIcons(const QString& folder);
}
