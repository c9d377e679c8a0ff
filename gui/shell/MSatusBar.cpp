#include "shell/MSatusBar.h"

#include "app/Variables.h"
#include "platform/Forma.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QDate>
#include <QLocale>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

// A sunken one-pixel edge around a rectangle.
void DibujarBorde(QPainter& p, const QRect& r) {
    p.setPen(QColor(128, 128, 128));
    p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    p.setPen(Qt::white);
    p.drawLine(r.left(), r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    p.drawLine(r.right() - 1, r.top(), r.right() - 1, r.bottom() - 1);
}

void DibujarTexto(QPainter& p, int x, int y, int derecha, const QString& texto) {
    p.setPen(Qt::black);
    QFontMetrics fm(p.font());
    p.drawText(QRect(x, y, std::max(0, derecha - x), fm.height()), Qt::AlignLeft | Qt::AlignTop, texto);
}

}  // namespace

QString TextoHora(const QTime& hora) {
    QString minuto = QString::number(hora.minute());
    return QString::number(hora.hour()) + (minuto.size() == 1 ? ":0" : ":") + minuto;
}

int AltoBarraEstado(int altoActual) {
    if (altoActual <= 24) return altoActual;
    double twips = double(altoActual) * TwipsPorPixel - 24 - 10;
    return int(std::floor(twips / TwipsPorPixel));
}

void PaintStatusBar() { ::Mdi().PintarBarraEstado(); }

void DibujarBarraEstado(PictureBox* barra, const std::array<QPixmap, 27>& iconos) {
    int alto = AltoBarraEstado(barra->ScaleHeight());
    if (alto != barra->ScaleHeight()) barra->setFixedHeight(alto);

    barra->Cls();
    QImage& img = barra->Imagen();
    QPainter p(&img);
    p.setFont(barra->font());
    // The two-tone rule along the top edge.
    p.setPen(Qt::black);
    p.drawLine(0, 0, img.width(), 0);
    p.setPen(Qt::white);
    p.drawLine(0, 1, img.width(), 1);

    QRect r(QPoint(2, 4), QPoint(63 - 1, 24 - 1));
    DibujarBorde(p, r);
    p.drawPixmap(6, 6, 16, 16, iconos[17]);
    DibujarTexto(p, 26, 7, 63, TextoHora(QTime::currentTime()));

    // The date in the locale's short form; a panel of 70 pixels for the text unless
    // that form needs more (the C locale writes the month's name).
    const QString fecha = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    const int anchoFecha = std::max(70, QFontMetrics(p.font()).horizontalAdvance(fecha) + 4);
    int izquierda = 63 + 5;
    int derecha = izquierda + anchoFecha + 6 + 16 + 4;
    r = QRect(QPoint(izquierda, 4), QPoint(derecha - 1, 24 - 1));
    DibujarBorde(p, r);
    p.drawPixmap(izquierda + 6, 6, 16, 16, iconos[18]);
    DibujarTexto(p, izquierda + 26, 7, derecha, fecha);

    izquierda = derecha + 5;
    derecha = barra->ScaleWidth() - 1;
    r = QRect(QPoint(izquierda, 4), QPoint(derecha - 1, 24 - 1));
    DibujarBorde(p, r);
    p.drawPixmap(izquierda + 6, 6, 16, 16, iconos[Reglas().Conectado ? 24 : 25]);
    QString estado = TextosIdioma[texto::Estado] + " " +
                     (Reglas().Conectado ? TextosIdioma[texto::Conectado] : TextosIdioma[texto::Desconectado]);
    DibujarTexto(p, izquierda + 26, 7, derecha, estado);
    p.end();
    barra->Refresh();
}
