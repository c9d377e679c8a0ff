// The forms runtime on Qt Widgets. A form is created once, on first use, hidden,
// and its load handler runs then; closing it runs its unload handlers and hides
// it instead of destroying it. Child forms live in the main window's MDI area;
// dialogs are top-level windows owned by the main window.
//
// Placement is measured as the forms runtime measured it: in twips, 15 per
// pixel, for the window's outer rectangle; Top and Left of a child are relative
// to the MDI area, of a dialog relative to the top-left corner of the main
// window's MDI area. ScaleWidth and ScaleHeight are the inner size in pixels. A
// dialog that is hidden keeps its place relative to the area, not to the screen, so
// that it comes up, and reads back, where it was put, wherever the window manager
// has since put the main window.
#pragma once

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QAbstractButton;
class QMdiArea;
class QMdiSubWindow;

constexpr int TwipsPorPixel = 15;

class Forma : public QWidget {
    Q_OBJECT
public:
    enum Clase { Hija, Dialogo, Flotante };

    Forma(Clase clase, const QString& nombre);
    ~Forma() override;

    // How forms reach the main window: its MDI area (children are added to it) and
    // the window that owns dialogs. Set once by the main window.
    static void FijarPrincipal(std::function<QMdiArea*()> area, std::function<QWidget*()> ventana);
    static QMdiArea* AreaMdi();
    static QWidget* VentanaPrincipal();
    // Runs each time a form that was hidden has been shown (one observer at a time).
    static void FijarAlAbrir(std::function<void(Forma&)> alAbrir);

    Clase clase() const { return clase_; }
    // The window that moves and shows: the MDI sub-window of a child, else the form.
    QWidget* Marco() const;

    // Runs once, from the form's accessor: attaches the form and runs Form_Load.
    void Cargar();

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    int ScaleWidth() const { return width(); }
    int ScaleHeight() const { return height(); }

    // The form's own visibility flag.
    bool Visible() const;
    void Show();
    void Hide();
    // Gives the form the focus (for a child: makes its sub-window the active one).
    void SetFocus();
    // The buttons the keys of a form with OK and Cancel press: Enter the button that
    // has the focus, else `aceptar`; Esc `cancelar`, or with none the close box. A
    // button that is hidden or disabled is not pressed. While `aceptar` shows, the
    // form opens with the focus on its first field, unless it gave it to one itself.
    void FijarTeclas(QAbstractButton* aceptar, QAbstractButton* cancelar);
    // Asks the form to unload: QueryUnload and Unload run; unless cancelled the
    // form is hidden.
    void Unload();

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& texto) { setWindowTitle(texto); }

    QColor BackColor() const { return colorFondo_; }
    void setBackColor(const QColor& color);
    // Background picture, drawn from the top-left corner over the back colour.
    void setPicture(const QImage& imagen);
    const QImage& Picture() const { return picture_; }
    void Refresh() { update(); }

    void setVisible(bool visible) override;

    // The form that was activated last.
    static Forma* Activa() { return activa_; }
    // Makes this the active form: the previous one gets Form_Deactivate, this one
    // Form_Activate, unless it was already the active one. Runs when a form is
    // shown, when its window is activated and when its MDI sub-window is.
    void Activar();

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Deactivate() {}
    virtual void Form_Resize() {}
    // True cancels the unload.
    virtual bool Form_QueryUnload() { return false; }
    virtual void Form_Unload(bool& cancelar) { (void)cancelar; }

    // The size the form was designed with: what a new window shows.
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    bool event(QEvent* evento) override;

private:
    QPoint Origen() const;
    // The frame round a window of its own: the window manager's once it has put it
    // there, before that the one it put round the main window; none for a child.
    QMargins Borde() const;
    // The outer rectangle, in pixels of the screen (a window) or of the area.
    QRect Exterior() const;
    // Moves the outer rectangle's corner there.
    void MoverA(const QPoint& esquina);
    // A dialog's place relative to the area, in pixels, while it is hidden.
    bool EsDialogo() const { return !sub_ && clase_ != Hija; }
    std::optional<QPoint> lugarOculto_;
    void EnfocarPrimerCampo();
    void PulsarCancelar();
    bool teclas_ = false;
    QPointer<QAbstractButton> aceptar_, cancelar_;

    Clase clase_;
    QMdiSubWindow* sub_ = nullptr;
    bool cargada_ = false;
    QColor colorFondo_;
    QImage picture_;
    QSize tamanoDiseno_;
    bool activadaDeVerdad_ = false;
    static Forma* activa_;
};

// Creates the form the first time it is asked for and runs its load handler.
// The pointer is set before Form_Load runs, so a load handler that reaches its
// own form gets the same instance.
template <class T>
T& InstanciaForma(T*& ranura) {
    if (!ranura) {
        ranura = new T;
        ranura->Cargar();
    }
    return *ranura;
}
