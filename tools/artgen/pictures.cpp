#include "pictures.h"
namespace artgen { void writePictures(const QString&) {} }
