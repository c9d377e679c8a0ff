#include "sounds.h"
namespace artgen { void writeSounds(const QString&) {} }
