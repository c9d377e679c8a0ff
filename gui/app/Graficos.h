// Module Graficos: the colour scheme of all windows. Look 1 paints a window's
// background as a six-pixel bevel from the base colour at the edge to its light
// tint inside; look 2 uses the system's button-face colour. The look in force is
// the state of the colour dialog's two option buttons.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <initializer_list>
#include <vector>

class Forma;
class QWidget;

extern long ColorRojo;
extern long ColorVerde;
extern long ColorAzul;
extern QColor ColorPestanas;  // back colour of the PGN browser's tab strip

// RGB with every component capped at 255.
QColor ColorTope(long r, long g, long b);
// The light tint of the base colour.
QColor TonoClaro();
QColor ColorSistema();
// Parses a stored "r:g:b" colour onto r, g and b as the program always has: digits
// are appended to the current component, ":" moves to the next, anything after the
// third component is ignored. Characters that are not digits are skipped.
void LeerColor(const QString& texto, long& r, long& g, long& b);
// True when look 1 (the colour scheme) is in force.
bool EsquemaDeColor();

// Paints window n of the table (0: all of them) in the current look.
void PintarVentana(long n);
void PintarControles(Forma& ventana);
void PintarDegradado(int ancho, int alto, Forma& ventana);
void PintarFondoSistema(int ancho, int alto, Forma& ventana);
// Draws the bevel into an image (look 1 only).
void DibujarDegradado(int x0, int y0, int x2, int y2, QImage& imagen);

// ---- The painted windows ------------------------------------------------------------
// Each window registers how it is painted, from its own source file, through a static
// pintura::Registro; PintarVentana paints them in the order below.
namespace pintura {

enum class Orden {
    Color,
    Ranking,
    PgnMovimientos,
    ListaPgn,
    Tablero,
    Reloj,
    Cpu,
    Epd,
    Nivel,
    SetTablero,
    Chat,
    Conexion,
    Coronacion,
    Ip,
    Jugadas,
    Opciones,
    Nuevo,
    Fin
};

struct Ventana {
    // Its number for PintarVentana (0: painted only with all windows).
    long numero = 0;
    Forma& (*ventana)() = nullptr;
    // Gives the controls that take the look's colour that colour: the colour scheme's
    // (`esquema`) or the system's.
    void (*colorear)(const QColor& color, bool esquema) = nullptr;
    // Rows at the top that the bevel leaves in the light tint.
    int margenArriba = 0;
};

class Registro {
public:
    Registro(Orden orden, const Ventana& ventana);
};

// The registered windows in painting order.
std::vector<Ventana> Ventanas();

// The back colour of each control: a picture box's own, any other's background.
void ColorearControles(std::initializer_list<QWidget*> controles, const QColor& color);

}  // namespace pintura
