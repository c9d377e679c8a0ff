// One side's clock of an engine game: minutes and seconds counting down on the
// program's clock source (reloj::AhoraMs). While it runs, each call of Contar takes
// off every whole second elapsed since the clock was started; the part of a second a
// side used when its clock stops is carried to its next turn, so short turns add up
// and no time is lost to a late tick.
#pragma once

#include <cstdint>

class RelojMotor {
public:
    // The clock keeps its time in the two variables it is given.
    RelojMotor(long& minutos, long& segundos) : minutos_(minutos), segundos_(segundos) {}

    // Sets the time and forgets any part of a second carried.
    void Poner(long minutos, long segundos);
    void Arrancar();
    void Parar();
    bool EnMarcha() const { return enMarcha_; }
    // Counts the whole seconds elapsed since the last call, down to 0:00 at most.
    // True when at least one second was taken off.
    bool Contar();
    bool Agotado() const { return minutos_ <= 0 && segundos_ <= 0; }

private:
    void UnSegundo();

    long& minutos_;
    long& segundos_;
    bool enMarcha_ = false;
    std::int64_t inicio_ = 0;    // clock-source time the count starts from
    std::int64_t contados_ = 0;  // whole seconds taken off since inicio_
    std::int64_t arrastre_ = 0;  // milliseconds of a second used on earlier turns
};
