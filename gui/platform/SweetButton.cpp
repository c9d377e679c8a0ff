#include "platform/SweetButton.h"

#include "platform/Controles.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kLado = 20;

// One picture of the image list: a rounded key with an arrow up (increase) or
// down (decrease), in the look of one state.
QImage DibujarBoton(bool arriba, int estado) {
    QImage img(kLado, kLado, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QColor alto, bajo, borde, flecha;
    switch (estado) {
        case 2:  // pressed
            alto = QColor(150, 170, 200);
            bajo = QColor(200, 215, 235);
            borde = QColor(40, 60, 100);
            flecha = QColor(20, 30, 60);
            break;
        case 3:  // hover
            alto = QColor(255, 255, 255);
            bajo = QColor(200, 220, 250);
            borde = QColor(60, 110, 200);
            flecha = QColor(30, 70, 160);
            break;
        case 4:  // disabled
            alto = QColor(235, 235, 235);
            bajo = QColor(210, 210, 210);
            borde = QColor(160, 160, 160);
            flecha = QColor(170, 170, 170);
            break;
        default:
            alto = QColor(250, 250, 250);
            bajo = QColor(205, 210, 220);
            borde = QColor(90, 100, 120);
            flecha = QColor(40, 50, 70);
            break;
    }
    QLinearGradient g(0, 0, 0, kLado);
    g.setColorAt(0, alto);
    g.setColorAt(1, bajo);
    p.setPen(QPen(borde, 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, kLado - 1, kLado - 1), 4, 4);
    double d = estado == 2 ? 1 : 0;
    QPainterPath t;
    if (arriba) {
        t.moveTo(10 + d, 5 + d);
        t.lineTo(15 + d, 13 + d);
        t.lineTo(5 + d, 13 + d);
    } else {
        t.moveTo(5 + d, 7 + d);
        t.lineTo(15 + d, 7 + d);
        t.lineTo(10 + d, 15 + d);
    }
    t.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(flecha);
    p.drawPath(t);
    return img;
}

}  // namespace

const std::array<QImage, 9>& SweetButton::ImageList1() {
    static const std::array<QImage, 9> lista = [] {
        // Set 1 (increase) and set 2 (decrease): normal, pressed, hover, disabled.
        static const char* const nombres[9] = {"",
                                               "boton-subir-normal",
                                               "boton-subir-pulsado",
                                               "boton-subir-encima",
                                               "boton-subir-inactivo",
                                               "boton-bajar-normal",
                                               "boton-bajar-pulsado",
                                               "boton-bajar-encima",
                                               "boton-bajar-inactivo"};
        std::array<QImage, 9> l;
        for (int i = 1; i <= 8; ++i) {
            l[i] = QImage(QString(":/builtin/iconos/%1.png").arg(nombres[i]));
            if (l[i].isNull()) l[i] = DibujarBoton(i <= 4, (i - 1) % 4 + 1);
        }
        return l;
    }();
    return lista;
}

SweetButton::SweetButton(QWidget* padre, const QString& nombre) : QWidget(padre) {
    setObjectName(nombre);
    setMouseTracking(true);
    CargarImagen2();
}

void SweetButton::setColorB(const QColor& color) {
    colorB_ = color;
    update();
}

void SweetButton::setEnabledB(bool activo) {
    setEnabled(activo);
    Mostrar(activo ? 1 : 4);
}

void SweetButton::setLoadImage(bool valor) {
    cargaImagen_ = valor;
    if (valor)
        CargarImagen1();
    else
        CargarImagen2();
}

void SweetButton::Mostrar(int cual) {
    mostrada_ = cual;
    update();
}

void SweetButton::UserControl_MouseOut(int boton, int shift, double x, double y) {
    emit MouseMove(boton, shift, x, y);
    double w = width(), h = height();
    bool fuera = x < 0 || y < 0 || x > w || y > h;
    if (fuera) {
        captura_ = false;
        Mostrar(1);
    } else if (!captura_) {
        captura_ = true;
    }
}

void SweetButton::RestaurarBoton() {
    pulsado_ = false;
    if (isEnabled())
        UserControl_MouseOut(0, 0, -1, 0);
    else
        UserControl_MouseOut(0, 0, 0, 0);
}

void SweetButton::mousePressEvent(QMouseEvent* e) {
    if (!EnabledB()) return;
    int b = controles::BotonesRaton(e->button());
    if (b == controles::BotonIzquierdo) {
        pulsado_ = false;
        Mostrar(2);
    }
    pulsado_ = true;
    RestaurarBoton();
    emit MouseDown(b, controles::Mayusculas(e->modifiers()), e->position().x(), e->position().y());
}

void SweetButton::mouseMoveEvent(QMouseEvent* e) {
    if (!EnabledB()) return;
    if (pulsado_) {
        Mostrar(2);
        return;
    }
    captura_ = false;
    int b = controles::BotonesRaton(e->buttons());
    int s = controles::Mayusculas(e->modifiers());
    double x = e->position().x(), y = e->position().y();
    Mostrar(b != controles::BotonIzquierdo ? 3 : 2);
    UserControl_MouseOut(b, s, x, y);
    if (x < 0 || y < 0 || x > width() || y > height()) UserControl_MouseOut(b, s, x, y);
}

void SweetButton::mouseReleaseEvent(QMouseEvent* e) {
    if (!EnabledB()) return;
    pulsado_ = false;
    RestaurarBoton();
    int b = controles::BotonesRaton(e->button());
    int s = controles::Mayusculas(e->modifiers());
    double x = e->position().x(), y = e->position().y();
    emit MouseUp(b, s, x, y);
    UserControl_MouseOut(b, s, x, y);
    if (rect().contains(e->position().toPoint())) emit click();
}

void SweetButton::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    if (EnabledB() && captura_) UserControl_MouseOut(0, 0, -1, 0);
}

void SweetButton::CargarSet(int primero) {
    const auto& l = ImageList1();
    set_[1] = l[primero];
    set_[2] = l[primero + 1];
    set_[3] = l[primero + 2];
    set_[4] = l[primero + 3];
    Mostrar(isEnabled() ? 1 : 4);
    UserControl_Resize();
}

void SweetButton::CargarImagen1() { CargarSet(1); }
void SweetButton::CargarImagen2() { CargarSet(5); }

void SweetButton::UserControl_Resize() { setFixedSize(set_[1].size()); }

void SweetButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colorB_);
    int cual = isEnabled() ? mostrada_ : 4;
    p.drawImage(0, 0, set_[cual]);
}
