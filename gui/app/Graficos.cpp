#include "app/Graficos.h"

#include "app/ColorRgb.h"
#include "platform/Controles.h"
#include "platform/Forma.h"
#include "platform/PictureBox.h"

#include <QApplication>
#include <QPainter>

#include <stdexcept>
#include <vector>

long ColorRojo = 0;
long ColorVerde = 0;
long ColorAzul = 0;
QColor ColorPestanas;

namespace {

std::vector<pintura::Ventana>& Registradas() {
    static std::vector<pintura::Ventana> ventanas(std::size_t(pintura::Orden::Fin));
    return ventanas;
}

void Colorear(const pintura::Ventana& v, const QColor& color, bool esquema) {
    if (v.colorear) v.colorear(color, esquema);
}

long Tope(long v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace

QColor ColorTope(long r, long g, long b) { return QColor(int(Tope(r)), int(Tope(g)), int(Tope(b))); }

QColor TonoClaro() { return ColorTope(ColorRojo + 200, ColorVerde + 200, ColorAzul + 200); }

QColor ColorSistema() { return QApplication::palette().color(QPalette::Button); }

bool EsquemaDeColor() { return !::ColorRgb().SistemaElegido(); }

void LeerColor(const QString& texto, long& r, long& g, long& b) {
    long* componentes[3] = {&r, &g, &b};
    int campo = 0;
    for (QChar c : texto) {
        if (c == u':') {
            ++campo;
            continue;
        }
        if (campo > 2) break;
        if (c < u'0' || c > u'9') continue;
        long& v = *componentes[campo];
        // Appending a digit to the decimal text of the value; large values stop growing.
        if (v < 100000) v = v * 10 + (c.unicode() - u'0');
    }
    r = Tope(r);
    g = Tope(g);
    b = Tope(b);
}

void PintarVentana(long n) {
    const QColor c = ColorSistema();
    for (const pintura::Ventana& v : pintura::Ventanas()) {
        if (n != 0 && v.numero != n) continue;
        Forma& ventana = v.ventana();
        if (::ColorRgb().SistemaElegido()) {
            PintarFondoSistema(ventana.ScaleWidth(), ventana.ScaleHeight(), ventana);
            Colorear(v, c, false);
        } else {
            PintarControles(ventana);
            PintarDegradado(ventana.ScaleWidth(), ventana.ScaleHeight(), ventana);
        }
    }
}

void PintarControles(Forma& ventana) {
    long k = ::ColorRgb().EsquemaElegido() ? 200 : 0;
    QColor t = ColorTope(ColorRojo + k, ColorVerde + k, ColorAzul + k);
    for (const pintura::Ventana& v : pintura::Ventanas()) {
        if (&v.ventana() != &ventana) continue;
        Colorear(v, t, true);
        break;
    }
    ventana.setBackColor(t);
    ventana.Refresh();
}

void PintarDegradado(int ancho, int alto, Forma& ventana) {
    QImage borde(std::max(1, ancho), std::max(1, alto), QImage::Format_RGB32);
    borde.fill(Qt::white);
    int y0 = 0;
    for (const pintura::Ventana& v : pintura::Ventanas())
        if (v.margenArriba > 0 && &v.ventana() == &ventana) y0 = v.margenArriba;
    if (y0 > 0) borde.fill(TonoClaro());
    DibujarDegradado(0, y0, borde.width() - 1, borde.height() - 1, borde);
    ventana.setPicture(borde);
}

void PintarFondoSistema(int ancho, int alto, Forma& ventana) {
    QImage borde(std::max(1, ancho), std::max(1, alto), QImage::Format_RGB32);
    borde.fill(ColorSistema());
    ventana.setPicture(borde);
    ventana.setBackColor(ColorSistema());
}

void DibujarDegradado(int x0, int y0, int x2, int y2, QImage& imagen) {
    if (!::ColorRgb().EsquemaElegido()) return;
    imagen.fill(TonoClaro());
    QPainter p(&imagen);
    auto color = [](int i) { return ColorTope(ColorRojo + 40 * i, ColorVerde + 40 * i, ColorAzul + 40 * i); };
    for (int i = 0; i <= 5; ++i) {
        p.setPen(color(i));
        p.drawLine(x0 + i, y0 + i, x2 - x0 - i, y0 + i);
    }
    for (int i = 0; i <= 5; ++i) {
        p.setPen(color(i));
        p.drawLine(x0 + i, y2 - i, x2 - x0 - i, y2 - i);
    }
    for (int i = 0; i <= 5; ++i) {
        p.setPen(color(i));
        p.drawLine(x0 + i, y0 + i, x0 + i, y2 - i);
    }
    for (int i = 0; i <= 5; ++i) {
        p.setPen(color(i));
        p.drawLine(x2 - i, y0 + i, x2 - i, y2 - i);
    }
}

namespace pintura {

Registro::Registro(Orden orden, const Ventana& ventana) {
    Ventana& v = Registradas().at(std::size_t(orden));
    if (v.ventana) throw std::logic_error("a painted window registered twice");
    v = ventana;
}

std::vector<Ventana> Ventanas() {
    std::vector<Ventana> v;
    for (const Ventana& r : Registradas())
        if (r.ventana) v.push_back(r);
    return v;
}

void ColorearControles(std::initializer_list<QWidget*> controles, const QColor& color) {
    for (QWidget* c : controles) {
        if (auto* p = qobject_cast<PictureBox*>(c))
            p->setBackColor(color);
        else
            controles::FijarColorFondo(c, color);
    }
}

}  // namespace pintura
