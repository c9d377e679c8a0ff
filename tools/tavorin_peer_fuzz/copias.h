// Two real copies of Tavorin linked over sockets (in a network namespace of the
// fuzzer's own where the system allows one, else on the machine's 127.0.0.1), driven
// through their test commands (shell/OrdenesPrueba.h) on the test clock. Each run links
// them (either side serving), plays games from the start position, from after a flag
// fall, after a mate and without clocks, makes moves in the mover's last second, and
// leaves questions of one side open while the other side's messages arrive; it ends
// every game on the clock. What counts as a finding: the two Puntuacion.dat files not
// telling one story (each win of one a loss of the other, draws on both), either
// copy's view of the other's ranking not being the other's own, boards that differ
// while both play one game, a protocol error between the two, a copy that crashes,
// reports a sanitizer error or stops answering.
#pragma once

#include <cstdint>
#include <string>

namespace peerfuzz {

struct OpcionesCopias {
    std::string programa;  // the program folder laid out by the build
    long ejecuciones = 4;
    long primera = 0;
    std::uint64_t semilla = 1;
    double segundos = 1e12;
    bool detalle = false;
};

// Gives the process a network of its own, with its loopback up, when the system
// allows it. Must run before any thread starts.
bool RedPropia();

// The runs; the exit status (1 when something was found).
int EjecutarCopias(const OpcionesCopias& o, bool redPropia);

}  // namespace peerfuzz
