#include "app/Graficos.h"

#include "app/ColorRgb.h"
#include "app/Opciones.h"
#include "board/Coronacion.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "engines/FormLevel2.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "files/SetTableroF.h"
#include "files/fEpd.h"
#include "network/Chat.h"
#include "network/Conexion.h"
#include "network/Ip.h"
#include "network/Nuevo.h"
#include "network/Ranking.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"
#include "shell/SweetButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <vector>

long ColorRojo = 0;
long ColorVerde = 0;
long ColorAzul = 0;
QColor ColorPestanas;

namespace {

using Controles = std::vector<QWidget*>;
using Botones = std::vector<SweetButton*>;

// One window of the colour scheme: its number (0: painted only with all windows),
// the window, and the controls that take the look's colour.
struct VentanaPintada {
    long numero;
    Forma& (*ventana)();
    Controles (*controles)();
    Botones (*botones)();
};

template <class F>
Forma& Como(F& f) {
    return f;
}

Botones Ninguno() { return {}; }

const std::vector<VentanaPintada>& Tabla() {
    static const std::vector<VentanaPintada> tabla = {
        {0, [] () -> Forma& { return Como(::ColorRgb()); },
         [] { auto& f = ::ColorRgb(); return Controles{f.Frame1, f.Option1, f.Option2}; }, Ninguno},
        {4, [] () -> Forma& { return Como(::Ranking()); },
         [] { auto& f = ::Ranking(); return Controles{f.Frame1[0], f.Frame1[1]}; }, Ninguno},
        {0, [] () -> Forma& { return Como(::PgnMovimientos()); }, [] { return Controles{}; }, Ninguno},
        {0, [] () -> Forma& { return Como(::ListaPgn()); },
         [] {
             auto& f = ::ListaPgn();
             return Controles{f.Frame1, f.Frame2, f.picContainer[1], f.picContainer[2], f.picContainer[3]};
         },
         Ninguno},
        {1, [] () -> Forma& { return Como(::Tavorin()); }, [] { return Controles{}; }, Ninguno},
        {0, [] () -> Forma& { return Como(::Reloj()); }, [] { return Controles{::Reloj().Frame1}; }, Ninguno},
        {7, [] () -> Forma& { return Como(::Cpu()); },
         [] { auto& f = ::Cpu(); return Controles{f.Frame1, f.Frame2, f.Frame3, f.Frame4, f.Picture1}; }, Ninguno},
        {9, [] () -> Forma& { return Como(::fEpd()); }, [] { return Controles{}; }, Ninguno},
        {0, [] () -> Forma& { return Como(::FormLevel2()); },
         [] {
             auto& f = ::FormLevel2();
             return Controles{f.Frame1,     f.Frame2,     f.Frame3,     f.Frame4,  f.Frame5,
                              f.Option1[0], f.Option1[1], f.Option1[2], f.Command1};
         },
         [] {
             auto& f = ::FormLevel2();
             return Botones{f.Button1, f.Button2, f.SweetButton1, f.SweetButton2, f.SweetButton3, f.SweetButton4};
         }},
        {0, [] () -> Forma& { return Como(::SetTableroF()); },
         [] {
             auto& f = ::SetTableroF();
             return Controles{f.Frame1, f.Frame2, f.Option1, f.Option2, f.Check1, f.Check2, f.Check3, f.Check4, f.Check5};
         },
         Ninguno},
        {3, [] () -> Forma& { return Como(::Chat()); }, [] { return Controles{}; }, Ninguno},
        {0, [] () -> Forma& { return Como(::Conexion()); },
         [] {
             auto& f = ::Conexion();
             return Controles{f.Frame1, f.Frame2, f.Frame3, f.Option1, f.Option2};
         },
         Ninguno},
        {0, [] () -> Forma& { return Como(::Coronacion()); }, [] { return Controles{::Coronacion().Frame1}; }, Ninguno},
        {0, [] () -> Forma& { return Como(::Ip()); }, [] { return Controles{::Ip().Frame1}; }, Ninguno},
        {2, [] () -> Forma& { return Como(::Jugadas()); }, [] { return Controles{}; }, Ninguno},
        {0, [] () -> Forma& { return Como(::Opciones()); },
         [] {
             auto& f = ::Opciones();
             return Controles{f.Frame1, f.Frame2, f.Frame3, f.Check1, f.Check2, f.Check3};
         },
         [] { auto& f = ::Opciones(); return Botones{f.Button1, f.Button2}; }},
        {0, [] () -> Forma& { return Como(::Nuevo()); },
         [] {
             auto& f = ::Nuevo();
             return Controles{f.Frame1, f.Frame2, f.Picture1, f.Option1, f.Option2, f.Option3, f.Option4};
         },
         Ninguno},
    };
    return tabla;
}

void Colorear(const VentanaPintada& v, const QColor& color) {
    for (QWidget* c : v.controles()) {
        if (auto* p = qobject_cast<PictureBox*>(c))
            p->setBackColor(color);
        else
            controles::FijarColorFondo(c, color);
    }
    for (SweetButton* b : v.botones()) b->setColorB(color);
}

long Tope(long v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace

QColor ColorTope(long r, long g, long b) { return QColor(int(Tope(r)), int(Tope(g)), int(Tope(b))); }

QColor TonoClaro() { return ColorTope(ColorRojo + 200, ColorVerde + 200, ColorAzul + 200); }

QColor ColorSistema() { return QApplication::palette().color(QPalette::Button); }

bool EsquemaDeColor() { return !::ColorRgb().Option2->isChecked(); }

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
    for (const VentanaPintada& v : Tabla()) {
        if (n != 0 && v.numero != n) continue;
        Forma& ventana = v.ventana();
        if (::ColorRgb().Option2->isChecked()) {
            PintarFondoSistema(ventana.ScaleWidth(), ventana.ScaleHeight(), ventana);
            Colorear(v, c);
            if (&ventana == &Como(::ListaPgn())) ColorPestanas = c;
        } else {
            PintarControles(ventana);
            PintarDegradado(ventana.ScaleWidth(), ventana.ScaleHeight(), ventana);
        }
    }
}

void PintarControles(Forma& ventana) {
    long k = ::ColorRgb().Option1->isChecked() ? 200 : 0;
    QColor t = ColorTope(ColorRojo + k, ColorVerde + k, ColorAzul + k);
    for (const VentanaPintada& v : Tabla()) {
        if (&v.ventana() != &ventana) continue;
        Colorear(v, t);
        if (&ventana == &Como(::ListaPgn())) {
            ::ListaPgn().picTab->setBackColor(t);
            ColorPestanas = t;
        }
        break;
    }
    ventana.setBackColor(t);
    ventana.Refresh();
}

void PintarDegradado(int ancho, int alto, Forma& ventana) {
    QImage borde(std::max(1, ancho), std::max(1, alto), QImage::Format_RGB32);
    borde.fill(Qt::white);
    int y0 = &ventana == &Como(::Cpu()) ? 24 : 0;
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
    if (!::ColorRgb().Option1->isChecked()) return;
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

void PintarBordeTablero() {
    auto& t = ::Tavorin();
    const int w = t.RCuadro[1].width();
    const int h = t.RCuadro[1].height();
    if (w <= 0 || h <= 0) return;
    QPainter p(&t.PicBuffer->Imagen());
    p.setPen(Qt::black);
    for (int x = w; x <= 7 * w; x += w) p.drawLine(0, x, 8 * h, x);
    for (int x = w; x <= 7 * w; x += w) p.drawLine(x, 0, x, 8 * h);
}
