// Tavorin: the board window. Its load step runs most of the program's start-up
// (options, language, skin, screen checks, file types, pictures, layout, window
// placement). It holds the picture sets of the board and the procedures that
// size, lay out and paint it.
#pragma once

#include "platform/Forma.h"

#include <QImage>

#include <array>

class PictureBox;
class QFrame;
class QLabel;
class QTimer;

namespace forms {

class Tavorin : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Tavorin();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:

    void Form_Load() override;
    void Form_Activate() override;

    // Options, language, skin and the other windows.
    void LeerOpciones();
    void SituarVentanas();
    void OcultarVentanas();
    void Idioma();
    void ElegirApariencia(const QString& nombre);
    void CambiarNick();

    // Pictures: the working set (R...), the skin loaded from a folder (S...) and the
    // built-in skin (O..., OCB, OCN).
    void CrearImagenes();
    void CopiarOriginales();
    void CopiarApariencia();
    // Start position into the board.
    void PonerFichas();
    // Opens an own game file on the board and replays it.
    void AbrirTvp(const QString& ruta);

    // Layout and drawing.
    void ResiceImagenes();
    void Resice();
    void LetrasNumeros();
    void PaintTablero();
    void PaintFichas();
    void PaintFichasResice();
    void Marco(long x1, long y1, long x2, long y2);
    void QuitaMarco();
    void MovimientoAnulado();
    void IdibujoFicha(long x, long y);
    void FijarDestino(long x, long y);
    // The deferred resize (one tick of Timer1).
    void Timer1_Timer();

    PictureBox* PicBuffer;
    PictureBox* Fondo;
    std::array<PictureBox*, 2> BoardTemp{};
    QFrame* Margen;
    QFrame* Shape;
    std::array<QFrame*, 2> Shape1{};
    std::array<QLabel*, 8> Letras{};
    std::array<QLabel*, 8> Numeros{};
    QTimer* Timer1;  // deferred resize, 30 ms, off until an option change starts it
    QTimer* Timer2;  // outgoing message queue, 300 ms

    std::array<QImage, 13> RFichas, RMascara, SFichas, SMascara, OFichas, OMascara;
    std::array<QImage, 3> RCuadro, SCuadro;
    QImage OCB, OCN;
};

}  // namespace forms

forms::Tavorin& Tavorin();

// The board size of the options dialog, always within 30..100.
int TamanoTablero();
