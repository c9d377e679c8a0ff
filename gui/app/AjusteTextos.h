// Windows laid out by hand with fixed widths: after a language is applied, every
// label, check box, option button, push button and frame title that is narrower
// than its text grows to fit it. What stands to its right on the same row moves
// right by as much, and the frames and the window holding it grow with it, so
// nothing overlaps and nothing is cut off. Widgets with a layout of their own and
// composite controls (lists, boxes, pictures) are left alone.
#pragma once

class QWidget;

// The width, in pixels, that the control needs to show its whole text; 0 for a
// widget that is not a text control or has no text.
int AnchoNecesario(const QWidget* control);

// Fits the texts of one window (and of the frames in it). Returns how many pixels
// wider the window became. Running it again changes nothing.
int AjustarTextos(QWidget* ventana);
