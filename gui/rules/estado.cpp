// Resets of the game-state block.
#include "rules/reglas.h"

namespace rules {

void Reglas::VariablesCero() {
    XCasillaArrastre = YCasillaArrastre = 0;
    NotacionNegras = false;
    NumeroJugada = 0;
    MovimientoValido = false;
    Origen.clear();
    Destino.clear();
    CapturaAlPaso.clear();
    EnroqueEnCurso = 0;
    MovimientoEnroque = false;
    XOrigen = YOrigen = XDestino = YDestino = 0;
    FichaOrigen = FichaDestino = 0;
    AlPasoCaduca = false;
    TorreA1Movida = TorreH1Movida = TorreA8Movida = TorreH8Movida = false;
    JaquePropio = Jaque = JaqueMate = Ahogado = false;
    PiezaCoronacion = 0;
    FichaCoronada = 0;
    CasillasAtacantes.clear();
    AlPasoTexto.clear();
    host_->OcultarMarcador();
}

void Reglas::MovimientoAnulado() {
    host_->OcultarMarcador();
    XCasillaArrastre = YCasillaArrastre = 0;
    MovimientoEnroque = false;
    EnroqueEnCurso = 0;
    MovimientoValido = false;
    CapturaAlPaso.clear();
    PiezaCoronacion = 0;
    FichaCoronada = 0;
    CasillasAtacantes.clear();
    XOrigen = XDestino = YOrigen = YDestino = 0;
    FichaOrigen = FichaDestino = 0;
    AlPasoCaduca = false;
    Origen.clear();
    Destino.clear();
    JaquePropio = Jaque = JaqueMate = Ahogado = false;
}

}  // namespace rules
