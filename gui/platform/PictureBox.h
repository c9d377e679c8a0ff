// A picture box with a persistent bitmap: drawing goes into the bitmap, Refresh
// shows it. The bitmap follows the box's size; new parts get the back colour.
// The box's Picture lies under the drawing: Cls clears the drawing back to it.
#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* padre = nullptr, const QString& nombre = {});

    QImage& Imagen() { return imagen_; }
    const QImage& Imagen() const { return imagen_; }
    // Sets the box's picture and shows it (the drawing restarts from it).
    void setPicture(const QImage& imagen);
    const QImage& Picture() const { return picture_; }

    QColor BackColor() const { return colorFondo_; }
    void setBackColor(const QColor& color);
    // Clears the bitmap to the back colour and forgets the printed texts.
    void Cls();
    // Draws a text with its top-left corner at (x, y) in the given point size.
    void Print(int x, int y, const QString& texto, double puntos = 8.0);
    // Texts printed since the last Cls, in order.
    const QStringList& TextosImpresos() const { return impresos_; }
    void Refresh() { update(); }

    int ScaleWidth() const { return width(); }
    int ScaleHeight() const { return height(); }

signals:
    void MouseDown(int boton, const QPoint& punto);

protected:
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;

private:
    QImage Limpia() const;

    QImage imagen_;
    QImage picture_;
    QColor colorFondo_{Qt::white};
    QStringList impresos_;
};
