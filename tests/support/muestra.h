// Tests that repeat one check over many random games or a whole data file run it
// in full only in their copies labelled slow (the release tree), which set
// PRUEBAS_LARGAS; elsewhere, the sanitizer tree among them, they check a small
// sample, which finds there what the full run would.
#pragma once

#include <cstdlib>

inline bool PruebaLarga() {
    const char* v = std::getenv("PRUEBAS_LARGAS");
    return v && *v && *v != '0';
}

// The full count in a long run, else the sample's.
inline int Muestra(int completa, int muestra) { return PruebaLarga() ? completa : muestra; }
