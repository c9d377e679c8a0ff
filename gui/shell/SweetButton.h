// The picture button is a control of the forms runtime (platform/SweetButton.h); this
// name stays for the painter, which still includes it from here.
#pragma once

#include "platform/SweetButton.h"
