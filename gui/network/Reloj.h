// Reloj: the clock window of network play. Two count-down clocks, one per colour,
// each driven by its own 200 ms timer; only one runs at a time. A running clock
// counts every whole second that passes on the program's clock source since it was
// switched on, so a busy spell costs the player no time and gives none away.
// The flag of this side's own clock ends a rated game here and the peer is told;
// the peer's, as counted here, waits for the peer's move or word (network/Red.h).
#pragma once

#include "platform/Forma.h"
#include "platform/FuenteReloj.h"
#include "platform/PantallaReloj.h"

class QGroupBox;
class QLabel;
class QTimer;

namespace forms {

class Reloj : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Reloj();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Unload(bool& cancelar) override;

    // Show White's (B) or Black's (N) clock as "mm:ss" and colour the two
    // displays for that side running.
    void PrintTimerB();
    void PrintTimerN();

    // Which clock runs: White's, Black's, or none. A clock already running goes on
    // counting from where it was.
    void CorrenBlancas();
    void CorrenNegras();
    void Parar();
    // Both displays emptied: no game on the clocks.
    void BorrarTiempos();
    // Both displays in the grey of clocks that have not started yet.
    void Atenuar();
    // What a display shows (true: White's) and whether that clock runs.
    QString Tiempo(bool blancas) const;
    bool Corriendo(bool blancas) const;

    void Timer1_Timer();
    void Timer2_Timer();

    // The flag of `lado` (1 White, 2 Black) fell: a rated game is booked for the side
    // that did not lose, the game ends, and the local player is told.
    void FinPorTiempo(int lado);

    QGroupBox* Frame1;
    QLabel *Label1, *Label2, *Label3, *Label4;  // 3 and 4 hold the clock texts
    QTimer* Timer1;                             // White's clock
    QTimer* Timer2;                             // Black's clock

private:
    void Encender(QTimer* t, reloj::ContadorSegundos& c);
    // One tick of a side's clock (true: White's).
    void Tick(bool blancas);
    reloj::ContadorSegundos cuenta1_, cuenta2_;
};

}  // namespace forms

forms::Reloj& Reloj();

// One counted second off a clock: false when the clock had already shown 00:00 for a
// whole second (its flag falls); the values are then unchanged.
bool DescontarSegundo(long& minutos, long& segundos);
