#include "files/PgnPestanas.h"

#include <QFontMetrics>
#include <QPainter>

namespace pgn {

namespace {

const QColor kGris(128, 128, 128);

// A horizontal or vertical line without its second point.
void Linea(QPainter& p, const QColor& color, int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2) return;
    p.setPen(color);
    if (x1 == x2)
        y2 += y2 > y1 ? -1 : 1;
    else
        x2 += x2 > x1 ? -1 : 1;
    p.drawLine(x1, y1, x2, y2);
}

}  // namespace

Pestanas::Pestanas(const std::array<QString, 4>& textos, const QFont& fuente) : textos_(textos), fuente_(fuente) {
    fuente_.setBold(false);
    QFontMetrics fm(fuente_);
    for (int i = 1; i <= 3; ++i) anchos_[i] = fm.horizontalAdvance(textos_[i]);
    alto_ = fm.height();
}

Pestanas::Pestanas(const std::array<int, 4>& anchos, int alto) : anchos_(anchos), alto_(alto) {}

int Pestanas::Izquierda(int tab) const {
    int l = 3;
    for (int i = 1; i < tab; ++i) l += anchos_[i] + 17;
    return l;
}

int Pestanas::Derecha(int tab) const { return Izquierda(tab) + anchos_[tab] + 16; }

int Pestanas::TabEn(int x, int y) const {
    if (y < 3 || y > 21) return 0;
    int borde = 3;
    for (int i = 1; i <= 3; ++i) {
        borde += anchos_[i] + 17;
        if (x < borde) return i;
    }
    return 0;
}

void Pestanas::Dibujar(QImage& imagen, int s, const QColor& fondo) const {
    const int W = imagen.width(), H = imagen.height();
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(fuente_);
    p.fillRect(0, 0, W, H, fondo);
    const int ascenso = QFontMetrics(fuente_).ascent();
    auto titulo = [&](int tab, int x, int y) {
        p.setPen(Qt::black);
        p.drawText(x, y + ascenso, textos_[tab]);
    };
    for (int i = 3; i >= 1; --i) {
        if (i == s) continue;
        const int L = Izquierda(i), R = Derecha(i);
        Linea(p, Qt::white, L + 1, 20, L + 1, 2);
        Linea(p, Qt::white, L + 2, 3, R - 1, 3);
        Linea(p, kGris, R - 1, 21, R - 1, 3);
        Linea(p, Qt::black, R, 21, R, 4);
        titulo(i, L + 8, 2 + (21 - alto_) / 2);
    }
    Linea(p, Qt::white, 1, 21, W, 21);
    Linea(p, Qt::white, 0, 21, 0, H);
    Linea(p, Qt::black, 0, H - 1, W, H - 1);
    Linea(p, Qt::black, W - 1, 21, W - 1, H - 1);
    Linea(p, kGris, 1, H - 2, W - 1, H - 2);
    Linea(p, kGris, W - 2, 22, W - 2, H - 2);
    if (s >= 1 && s <= 3) {
        const int L = Izquierda(s) - 3, R = Derecha(s) + 3;
        p.fillRect(QRect(L + 1, 3, (R - 1) - (L + 1), 22 - 3), fondo);
        Linea(p, Qt::white, L, 21, L, 1);
        Linea(p, Qt::white, L + 1, 1, R - 1, 1);
        Linea(p, Qt::black, R, 20, R, 2);
        Linea(p, kGris, R - 1, 21, R - 1, 1);
        titulo(s, Izquierda(s) + 8, (21 - alto_) / 2);
    }
}

}  // namespace pgn
