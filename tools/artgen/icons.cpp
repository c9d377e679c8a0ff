#include "icons.h"
namespace artgen { void writeIcons(const QString&) {} }
