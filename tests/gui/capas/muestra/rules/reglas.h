// The rules reaching up into the shared state: refused.
#pragma once
#include "app/Estado.h"
