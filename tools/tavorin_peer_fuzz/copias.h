// Two real copies of Tavorin linked over sockets, driven through their test commands
// (shell/OrdenesPrueba.h) on the test clock. Where the system allows it each copy has a
// network of its own and the two are joined by a veth pair (copias_red.h); else both
// share a network of the fuzzer's own, or the machine's 127.0.0.1. Each run links them
// (either side serving), plays games from the start position, from after a flag fall,
// after a mate and without clocks, makes moves in the mover's last second, and leaves
// questions of one side open while the other side's messages arrive; it ends every
// game on the clock.
//
// With faults (over the veth pair only), a run also takes the link down without a
// close for 8-20 s of both clocks and brings it back, or never does; stalls it for a
// moment; stops one copy (SIGSTOP) while the other plays on; and makes draw offers,
// new-game proposals, game-file and unreadable position-list requests in the mover's
// last second, the peer's Yes coming before or after the mover's flag falls. The
// scripted checks (--case) do the same on fixed schedules.
//
// What counts as a finding: the two Puntuacion.dat files not telling one story (each
// win of one a loss of the other, draws on both; only when the link never comes back
// may the side whose own flag fell book its loss alone), one copy left alone in a
// rated game once both have come to rest, a copy that keeps a rated game on for good
// over a lost link, either copy's view of the other's ranking not being the other's
// own, boards that differ while both play one game, a protocol error between the two,
// a cut of the link that does not take effect, a copy that crashes, reports a
// sanitizer error or stops answering.
#pragma once

#include <cstdint>
#include <string>

namespace peerfuzz {

// The exit status when faults of the link are asked for and this system cannot make
// them (no network namespaces or no veth pairs).
inline constexpr int kSinCortes = 77;

struct OpcionesCopias {
    std::string programa;  // the program folder laid out by the build
    long ejecuciones = 4;
    long primera = 0;
    std::uint64_t semilla = 1;
    double segundos = 1e12;
    bool detalle = false;
    bool fallos = false;  // faults of the link and of a copy
    std::string caso;     // a scripted check instead of random runs; "list" names them
};

// Gives the process a network of its own, with its loopback up, when the system
// allows it. Must run before any thread starts.
bool RedPropia();

// The runs; the exit status (1 when something was found).
int EjecutarCopias(const OpcionesCopias& o, bool redPropia);

}  // namespace peerfuzz
