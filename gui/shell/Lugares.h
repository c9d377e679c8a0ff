// Window places as Default.ini keeps them: left, top, width and height in twips
// (15 per pixel) of the window's outer rectangle. On start-up each stored value is
// read as a number (the shipped value stands in for anything else) and the place is
// brought onto a screen; the main window's place then goes through the window
// system and comes back at exit as it was applied, whatever frame the window
// manager puts round it and whenever it reports that frame.
#pragma once

#include "app/Ajustes.h"

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace lugares {

struct Lugar {
    double left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Lugar&) const = default;
};

// The value of a key of the shipped Default.ini (built into the program); "" when
// it has none.
QString ValorDeFabrica(const QString& seccion, const QString& clave);

// A stored value as a number: `defecto` when it is missing or not a number.
double Numero(const QString& texto, double defecto);

// The key of Default.ini as a number, the shipped value standing in for anything
// else (0 when there is none either).
double Leer(const QString& fichero, const QString& seccion, const QString& clave);
// The same for a key of the program's own Default.ini.
double Leer(ajustes::Clave clave);

// What a place must keep on the screen, in pixels: its smallest size and the height
// of its title bar.
struct Medidas {
    QSize minimo;
    int altoTitulo = 0;
};

// The place with its size brought within the smallest size and the screen, and its
// title bar onto the screen: the screen (available rectangles in pixels) that the
// place overlaps most, or the nearest one when it overlaps none. Values that need no
// change come back exactly as they were.
Lugar Ajustar(const Lugar& lugar, const std::vector<QRect>& pantallas, const Medidas& medidas);

// A side window's place beside the board window. Rectangles in pixels relative to
// the main window's area; `area` is the size the area shows. A window that the area
// shows whole (but for at most kHolguraAbajo pixels at its foot) and that covers
// neither the board nor any of the `otras` windows keeps its place. Any other moves:
// its places are cornered against a side of the board (at its own coordinate along
// that side, brought to where it meets it), against one of the other windows or
// against the area's edges, each also moved into the area as far as its size
// allows. Of them the one that covers least of the board wins, then the one that
// covers least of the other windows, then the one the area shows most of, then one
// against the board before one against another window before one apart, then the
// one nearest its own place. Places above or left of both the area and the board,
// where the area does not scroll, come last. So the board is never covered and
// windows do not cover one another: where the area has no room for them they
// stand beside the board past its edge, and the area scrolls to them.
QRect Apartar(const QRect& ventana, const QRect& tablero, const QSize& area, const std::vector<QRect>& otras = {});
// How far below the area a window that keeps its place may reach, in pixels.
constexpr int kHolguraAbajo = 16;

// A side window that stood against the board or over it (`JuntoAlTablero`) once the
// board has changed size from `tableroAntes`: it goes beside the board again, as
// Apartar places a window that must move, at the place nearest to where it would
// stand had it moved with the board's right and bottom edges. So windows come back
// to a board that shrank, in the order they stood.
QRect Acompanar(const QRect& ventana, const QRect& tableroAntes, const QRect& tablero, const QSize& area,
                const std::vector<QRect>& otras = {});

// Every side window shown laid out at once around the board (which was
// `tableroAntes` before a change of its size), as start-up lays them out one by one:
// first those that may keep their places (as Apartar keeps one) in the order given,
// each clear of those kept before it; those that stood against a board that changed
// size, and any other that may not stay, then go beside the board (Acompanar) in
// order, clear of every window already placed. Where that leaves a window past the
// area's edge, all are laid out afresh, the largest (or tallest, or widest) first,
// when that shows them all. The places come back in the order of `ventanas`.
std::vector<QRect> Disponer(const QRect& tablero, const QSize& area, const std::vector<QRect>& ventanas,
                            const QRect& tableroAntes);

// The main window's area for a layout, in its pixels: the board, what the area shows,
// how much more it can show once the main window has grown as far as its screen
// allows, and the screen's free rectangle (empty when no screen is known).
struct Escena {
    QRect tablero;
    QSize area;
    QSize crecer;
    QRect pantalla;
};

// A side window shown: its place, and whether it is a window of its own, seen on the
// screen and not in the area.
struct Lateral {
    QRect lugar;
    bool propia = false;
};

struct Disposicion {
    std::vector<QRect> lugares;  // in the order of the windows
    QSize crecimiento{0, 0};     // how much more the area must show: the main window grows by it
};

// The side windows laid out as Disponer above lays them out, with a window of its own
// kept whole on the screen's free rectangle, where it never scrolls, instead of in the
// area. When the window `abierta` (an index, or -1), one that has just opened in the
// area, would be left past the area's edge, the layout is made for the most the area
// can show, and the main window grows as far as that layout takes, where it shows
// that window whole; else the layout stays as Disponer makes it.
Disposicion Disponer(const Escena& escena, const std::vector<Lateral>& ventanas, int abierta,
                     const QRect& tableroAntes);

// The window meets the rectangle (the board, or another window) or lies over it.
bool JuntoAlTablero(const QRect& ventana, const QRect& tablero);

// The main window's place through the window system. A top-level window is placed
// by its frame's top-left corner but sized by its inside, and the frame is known only
// once the window manager has put it round the shown window; it changes when the
// window leaves the maximised state. A window counts as standing where it was put
// while its inside has the size given and either its frame's corner or its inside's
// corner is where it was put.
class Colocacion {
public:
    struct Geometria {
        QPoint marco;   // the frame's top-left corner, in pixels
        QSize cliente;  // the size inside the frame, in pixels
        bool operator==(const Geometria&) const = default;
    };

    // Where and how big the window is to be for `lugar` with a frame of `borde`
    // (zero while the frame is not known).
    Geometria Aplicar(const Lugar& lugar, const QMargins& borde);
    // The place of the window whose inside is `dentro` (in pixels) with a frame of
    // `borde`: the place applied last while the window stands where it was put, else
    // its outer rectangle.
    Lugar Leer(const QRect& dentro, const QMargins& borde) const;
    // Another frame round a window that stands where it was put: where and how big
    // it is to be now for the applied place. Nothing when no change is due.
    std::optional<Geometria> Corregir(const QRect& dentro, const QMargins& borde);

private:
    bool ComoSePuso(const QRect& dentro, const QMargins& borde) const;

    std::optional<Lugar> lugar_;
    Geometria puesta_;
    QMargins borde_;
};

}  // namespace lugares
