// Splash: the start-up splash with its progress line, and afterwards the about box.
// It is never unloaded: an unload only hides it.
#pragma once

#include "platform/Forma.h"

class Descarga;
class PictureBox;
class QFrame;
class QLabel;

namespace forms {

class Splash : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Splash();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Deactivate() override;
    void Form_Unload(bool& cancelar) override;

    // Puts the text into the label and shrinks the label's font one point at a time
    // while the label is wider than `ancho` pixels (never below the smallest size);
    // then shows the label.
    void Lsize(QLabel* etiqueta, const QString& texto, int ancho);
    // The start-up's progress line, and whether the window still shows it (the
    // start-up layout, not yet the about box).
    void Progreso(const QString& texto);
    bool MostrandoProgreso() const;
    // Switches to the about layout (without showing the window).
    void Tshow();
    // Repaints the window at once (start-up holds the thread meanwhile).
    void Refresh();
    // The new-version check: asks, then fetches version.dat from the home page
    // and tells whether a newer version is out. Asks nothing while a check runs.
    void Actualizar();
    // The download's two ends.
    void rkDownload_AsyncReadComplete(const QByteArray& datos);
    void rkDownload_AsyncReadFailed();

    void Label5_Click();
    void Label6_Click();
    void Trans_MouseDown(int boton);

    PictureBox* Picture1;
    QWidget* Trans;
    QLabel *Label1, *Label2, *Label3, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10;
    QFrame *Shape1, *Shape2;
    QLabel* Image1;
    Descarga* rkDownload1;

    static constexpr double kPuntosMinimos = 6.0;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};

}  // namespace forms

forms::Splash& Splash();

extern const char* const kPaginaInicio;
extern const char* const kCorreo;
// The home page the about box links to and the version check reads version.dat
// from: kPaginaInicio, unless TAVORIN_PRUEBA_PAGINA names another (tests point it
// at their own server). Ends with "/".
extern QString PaginaInicio;
