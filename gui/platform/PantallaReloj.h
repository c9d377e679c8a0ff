// How a count-down clock is shown, for the clock window of network play and the two
// clock boxes of the engine panel: its text, and the colours of a side's display and
// of the other side's when that side's clock is drawn.
#pragma once

#include <QColor>
#include <QString>

// The display of a clock that runs, and of one that does not.
inline const QColor kRelojEnMarcha(255, 255, 255);
inline const QColor kRelojParado(153, 153, 153);

// A clock as the windows show it: minutes and seconds with two digits at least
// ("05:07", "120:00").
QString TextoReloj(long minutos, long segundos);

// The colours of both displays after one side's clock was drawn, from the colours they
// have: while that side's seconds are not 0 its display turns from the stopped colour
// to the running one and the other's from the running colour to the stopped one; at
// 0:00 both show the stopped colour. Any other colour (a display still in the colour
// it had at load) stays until then, and a clock drawn at 0 seconds keeps both colours.
struct ColoresReloj {
    QColor propio, otro;
};
ColoresReloj ColoresAlMostrar(long minutos, long segundos, const QColor& propio, const QColor& otro);
