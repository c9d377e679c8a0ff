// The program's one clock source for everything that counts time: the game clocks
// of network play, the engine-game clocks and the ping time. It reads the steady
// clock (a change of the wall clock moves nothing); tests replace it to drive time
// by hand.
#pragma once

#include <cstdint>
#include <functional>

namespace reloj {

// Milliseconds since an arbitrary fixed point; never goes back.
std::int64_t AhoraMs();

// For tests: when set, AhoraMs returns what it returns. An empty function restores
// the steady clock.
void FijarFuente(std::function<std::int64_t()> fuente);

// Counts the whole seconds elapsed on the clock source since it was started, so a
// clock that ticks late (a busy spell, a nested loop) loses no second: each call of
// SegundosNuevos hands out every whole second that has passed since the last one
// handed out, and keeps the remainder for the next call.
class ContadorSegundos {
public:
    void Iniciar();
    void Detener();
    bool Activo() const { return activo_; }
    // Whole seconds elapsed since Iniciar that no earlier call handed out; 0 when stopped.
    std::int64_t SegundosNuevos();

private:
    bool activo_ = false;
    std::int64_t inicio_ = 0;
    std::int64_t entregados_ = 0;
};

}  // namespace reloj
