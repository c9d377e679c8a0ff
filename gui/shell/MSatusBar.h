// Module MSatusBar: the status bar of the main window, drawn by hand: the time of
// day, the date, and the connection state.
#pragma once

#include <QPixmap>
#include <QString>
#include <QTime>

#include <array>

class PictureBox;

// Redraws the whole status bar.
void PaintStatusBar();
// The drawing of the bar, on its picture box, with the main window's pictures.
void DibujarBarraEstado(PictureBox* barra, const std::array<QPixmap, 27>& iconos);

// The clock panel's text: the hour without a leading zero, ":" and two-digit minutes.
QString TextoHora(const QTime& hora);
// The status bar's next height in pixels: a bar whose inner height exceeds 24 is made
// 34 twips lower on each paint.
int AltoBarraEstado(int altoActual);
