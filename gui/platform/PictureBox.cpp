#include "platform/PictureBox.h"

#include "platform/Controles.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* padre, const QString& nombre) : QWidget(padre) {
    setObjectName(nombre);
    imagen_ = QImage(1, 1, QImage::Format_RGB32);
    imagen_.fill(colorFondo_);
}

QImage PictureBox::Limpia() const {
    QSize tam = size().expandedTo(QSize(1, 1));
    QImage limpia(tam, QImage::Format_RGB32);
    limpia.fill(colorFondo_);
    if (!picture_.isNull()) {
        QPainter p(&limpia);
        p.drawImage(0, 0, picture_);
    }
    return limpia;
}

void PictureBox::setPicture(const QImage& imagen) {
    picture_ = imagen;
    imagen_ = Limpia();
    update();
}

void PictureBox::setBackColor(const QColor& color) {
    colorFondo_ = color;
    update();
}

void PictureBox::Cls() {
    impresos_.clear();
    imagen_ = Limpia();
    update();
}

void PictureBox::Print(int x, int y, const QString& texto, double puntos) {
    impresos_.append(texto);
    QPainter p(&imagen_);
    QFont f = font();
    f.setPointSizeF(puntos);
    p.setFont(f);
    p.setPen(palette().color(QPalette::WindowText));
    QFontMetrics fm(f);
    p.drawText(x, y + fm.ascent(), texto);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colorFondo_);
    p.drawImage(0, 0, imagen_);
}

void PictureBox::resizeEvent(QResizeEvent* evento) {
    QWidget::resizeEvent(evento);
    QSize tam = size().expandedTo(QSize(1, 1));
    if (imagen_.width() >= tam.width() && imagen_.height() >= tam.height()) return;
    QImage nueva(tam.expandedTo(imagen_.size()), QImage::Format_RGB32);
    nueva.fill(colorFondo_);
    QPainter p(&nueva);
    p.drawImage(0, 0, imagen_);
    p.end();
    imagen_ = nueva;
}

void PictureBox::mousePressEvent(QMouseEvent* evento) {
    // One button, and any other than left and right counts as the middle one.
    const int boton = evento->button() == Qt::LeftButton    ? controles::BotonIzquierdo
                      : evento->button() == Qt::RightButton ? controles::BotonDerecho
                                                            : controles::BotonCentral;
    emit MouseDown(boton, evento->position().toPoint());
    QWidget::mousePressEvent(evento);
}
