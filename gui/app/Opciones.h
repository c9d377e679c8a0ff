// Opciones: the options dialog (language, skin, board size, three board options).
// Loaded hidden at start-up, which fills it from Default.ini; its controls hold the
// options while the program runs. OK stores them, Cancel restores the stored ones.
#pragma once

#include "platform/Forma.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SweetButton;

namespace forms {

class Opciones : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Opciones();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancelar) override;

    void OpcionesAceptar();
    void RefrescarPaleta();
    // Skins.
    void ActualizarSkins();
    void Skins();

    // Handlers; code that changes a control calls its handler as a user action would.
    void Combo1_Click();
    void SkinCombo_Click();
    void Command1_Click();
    void Command2_Click();
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Text1_Change();
    // Returns false when the key is swallowed.
    bool Text1_KeyPress(int tecla);
    void Button1_MouseUp(int boton);
    void Button2_MouseUp(int boton);

    // Sets a check box's value (0 or 1) and runs its click handler when it changed.
    void FijarCheck(int indice, int valor);
    // The three board options: the last move framed (1), letters and numbers round
    // the board (2), the board's border (3).
    bool MarcarJugada() const;
    bool Coordenadas() const;
    bool Borde() const;

    // The language chosen ("" none); choosing one by name (matched without regard
    // to case) loads it.
    QString IdiomaElegido() const;
    void ElegirIdioma(const QString& nombre);
    // The languages offered: set anew with none chosen; whether one of that very name is.
    void OfrecerIdiomas(const QStringList& nombres);
    bool OfreceIdioma(const QString& nombre) const;
    // The skin chosen; choosing one by name, true when the choice changed (no handler runs).
    QString AparienciaElegida() const;
    bool MarcarApariencia(const QString& nombre);
    // The skin list read again, the skin chosen kept.
    void RefrescarSkins();
    // The board size, always within 30..100; setting it.
    int Tamano() const;
    void FijarTamano(int lado);

    QComboBox* Combo1;
    QComboBox* SkinCombo;
    QLineEdit* Text1;
    SweetButton* Button1;
    SweetButton* Button2;
    QCheckBox *Check1, *Check2, *Check3;
    QPushButton *Command1, *Command2;
    QGroupBox *Frame1, *Frame2, *Frame3;
    QLabel* Label1;

    bool CancelandoOpciones = false;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};

}  // namespace forms

forms::Opciones& Opciones();

namespace opciones {

// What the options change in the other windows. Each window binds its part once,
// from its own file; a part left unbound does nothing (an unbound skin reader reads
// no skin, an unbound size is none).
struct Enlaces {
    // The board window.
    std::function<void()> ocultarMarcos;  // option 1 changed: the last move's frames go
    std::function<void()> coordenadas;    // option 2 changed: letters and numbers again
    std::function<void()> borde;          // option 3 changed: squares, then every piece
    std::function<void()> disponer;       // the board laid out again in a moment
    std::function<int()> ladoFichas;      // the side of the pieces drawn now
    // Reads the skin of the folder into the board's pictures; true when usable.
    std::function<bool(const QString& carpeta)> leerApariencia;
    std::function<int()> ladoApariencia;  // the side of the skin read (squares and pieces alike)
    // A skin that could not be used: the board, when shown, drawn again.
    std::function<void()> aparienciaRechazada;
    // The set-up window: whether it is open, and its palette cleared and drawn again.
    std::function<bool()> paletaAbierta;
    std::function<void()> limpiarPaleta;
    // After a language change: the score lines and the level dialog's fields.
    std::function<void()> puntuacion;
    std::function<void()> nivel;
};
Enlaces& Enlazadas();

}  // namespace opciones

// The skin rules: 12 square pieces, masks of their pieces' size, two squares of
// one size, the White pawn as high as the light square. Index 1..12 pieces and
// masks, 1..2 squares.
bool AparienciaValida(const std::array<QSize, 13>& fichas, const std::array<QSize, 13>& mascaras,
                      const std::array<QSize, 3>& cuadros);
// Extension of a skin's pictures from the name of its first "peonb.*" file, as the
// program always took it: the last four characters, with "." put in front when
// they do not begin with one.
QString ExtensionApariencia(const QString& primerFichero);
// Clamps a board size text into 30..100 (empty or not a number: 40).
int TamanoLimitado(const QString& texto);
