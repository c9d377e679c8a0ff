// SweetButton: a button drawn as a picture that follows the mouse, with a normal,
// a hover, a pressed and a disabled picture in two picture sets (set 1 when
// LoadImage is True, set 2 when False). Hosts react to its MouseUp event. The
// control takes the size of its picture.
//
// The hover effect follows the mouse while it is over the control; leaving the
// control runs the same test as a move outside it.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <array>

class SweetButton : public QWidget {
    Q_OBJECT
public:
    explicit SweetButton(QWidget* padre = nullptr, const QString& nombre = {});

    QColor ColorB() const { return colorB_; }
    void setColorB(const QColor& color);
    bool EnabledB() const { return isEnabled(); }
    void setEnabledB(bool activo);
    bool LoadImage() const { return cargaImagen_; }
    void setLoadImage(bool valor);

    // The hover test: raises MouseMove, then leaves or enters the hover state.
    void UserControl_MouseOut(int boton, int shift, double x, double y);

    // Which picture is shown: 1 normal, 2 pressed, 3 hover, 4 disabled.
    int PictureShown() const { return mostrada_; }
    // The eight pictures of the image list (index 1 to 8).
    static const std::array<QImage, 9>& ImageList1();

signals:
    void MouseOut();
    void MouseMove(int boton, int shift, double x, double y);
    void MouseUp(int boton, int shift, double x, double y);
    void MouseDown(int boton, int shift, double x, double y);
    void click();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    void RestaurarBoton();
    void CargarImagen1();
    void CargarImagen2();
    void CargarSet(int primero);
    void Mostrar(int cual);
    void UserControl_Resize();

    QColor colorB_{Qt::lightGray};
    bool captura_ = false;
    bool pulsado_ = false;
    bool cargaImagen_ = false;
    std::array<QImage, 5> set_;  // 1 normal, 2 pressed, 3 hover, 4 disabled
    int mostrada_ = 1;
};
