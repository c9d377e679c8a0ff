// Windows laid out by hand with fixed widths: after a language is applied, every
// label, check box, option button, push button and frame title that is narrower
// than its text grows to fit it. What stands to its right on the same row moves
// right by as much, and the frames and the window holding it grow with it, so
// nothing overlaps and nothing is cut off. Composite controls (lists, boxes,
// pictures) are left alone.
//
// A window with a layout is laid out by it, at once: Qt runs the layouts of a hidden
// window only when it shows, so without this a window not yet shown would keep the
// places its texts had in the language before.
#pragma once

class QWidget;

// The width, in pixels, that the control needs to show its whole text; 0 for a
// widget that is not a text control or has no text.
int AnchoNecesario(const QWidget* control);

// Fits the texts of one window (and of the frames in it). Returns how many pixels
// wider the window became. Running it again changes nothing.
int AjustarTextos(QWidget* ventana);

// Runs the layouts of a window and of the frames in it now, from the window down,
// with the sizes its texts ask for now; a window smaller than its layout's minimum
// grows to it. Nothing for a window without a layout.
void DisponerAhora(QWidget* ventana);
