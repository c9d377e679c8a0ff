// Move validation: the single entry of move legality on the board.
#include <cstdlib>

#include "rules/reglas.h"

namespace rules {

Reglas::Reglas() = default;

Reglas::Reglas(RulesHost* host) { FijarHost(host); }

void Reglas::FijarHost(RulesHost* host) { host_ = host ? host : &defecto_; }

namespace {

// A square from outside must be exactly two digits 1 to 8.
bool CasillaValida(const std::string& s) {
    return s.size() == 2 && s[0] >= '1' && s[0] <= '8' && s[1] >= '1' && s[1] <= '8';
}

}  // namespace

bool Reglas::CoronacionPermitida(int codigo, bool blancas) const {
    return blancas ? (codigo >= TorreBlanca && codigo <= DamaBlanca) : (codigo >= TorreNegra && codigo <= DamaNegra);
}

void Reglas::GuardarEnroque(bool blancas) {
    if (blancas) {
        EnroqueGuardadoBlancas[1] = TorreA1Movida;
        EnroqueGuardadoBlancas[2] = TorreH1Movida;
    } else {
        EnroqueGuardadoNegras[1] = TorreA8Movida;
        EnroqueGuardadoNegras[2] = TorreH8Movida;
    }
}

void Reglas::ValidarMovimiento() {
    const Variables antes = *this;
    EnroqueAntesJugada = {TorreA1Movida, TorreH1Movida, TorreA8Movida, TorreH8Movida};
    Validar();
    if (antes.SoloComprobar) {
        // A test only answers.
        bool valido = MovimientoValido;
        Estado() = antes;
        MovimientoValido = valido;
        return;
    }
    if (!MovimientoValido) {
        // Nothing of the position survives a refusal: not the pawn an en-passant capture
        // had lifted, not a promoted piece, not the rook of a castling, not the rights.
        Casillas = antes.Casillas;
        TorreA1Movida = antes.TorreA1Movida;
        TorreH1Movida = antes.TorreH1Movida;
        TorreA8Movida = antes.TorreA8Movida;
        TorreH8Movida = antes.TorreH8Movida;
        EnroqueGuardadoBlancas = antes.EnroqueGuardadoBlancas;
        EnroqueGuardadoNegras = antes.EnroqueGuardadoNegras;
        AlPasoPosible = antes.AlPasoPosible;
        CasillaAlPaso = antes.CasillaAlPaso;
        AlPasoCaduca = antes.AlPasoCaduca;
        FichaCoronada = antes.FichaCoronada;
        CapturaAlPaso.clear();
    }
}

// Whether the move on the board leaves the mover's own king in check; such a move is
// refused.
bool Reglas::DejaReyEnJaque() {
    JaquePropio = false;
    ReyEnJaque();
    if (!JaquePropio) return false;
    MovimientoValido = false;
    JaquePropio = false;
    return true;
}

void Reglas::Validar() {
    if (!LeerCasillasJugada()) return;
    const bool blancas = EsBlanca(FichaOrigen);
    const bool coronacion = (FichaOrigen == PeonBlanco && YDestino == 8) || (FichaOrigen == PeonNegro && YDestino == 1);

    // A preset promotion piece must be one the mover may promote to, on a promotion.
    if (PiezaCoronacion != 0 && !(coronacion && CoronacionPermitida(PiezaCoronacion, blancas))) return;

    // Ownership, except while connected to the peer.
    if (!Conectado &&
        ((EsBlanca(FichaOrigen) && Turno == turno::Negras) || (EsNegra(FichaOrigen) && Turno == turno::Blancas)))
        return;

    ReglasPieza();
    if (!MovimientoValido) return;

    // The mover's own king.
    if (DejaReyEnJaque()) return;
    if (!SoloComprobar && !coronacion && !MovimientoEnroque) EfectoSobreRival();

    if (coronacion && !Coronar(blancas)) return;
    if ((FichaOrigen == ReyBlanco || FichaOrigen == ReyNegro) && MovimientoEnroque && !Enrocar(blancas)) return;
    if (SoloComprobar || !MovimientoValido) return;

    QuitarDerechosEnroque();
    AnotarJugada();
    CerrarAlPaso();
    AplicarMovimiento();
}

// Clears what the last validation left and reads the squares of Origen and Destino;
// false when either is not a square.
bool Reglas::LeerCasillasJugada() {
    MovimientoValido = false;
    MovimientoEnroque = false;
    EnroqueEnCurso = 0;
    FichaCoronada = 0;
    CapturaAlPaso.clear();
    if (!CasillaValida(Origen) || !CasillaValida(Destino)) return false;

    XOrigen = Origen[0] - '0';
    YOrigen = Origen[1] - '0';
    XDestino = Destino[0] - '0';
    YDestino = Destino[1] - '0';
    FichaOrigen = Casillas[XOrigen][YOrigen];
    FichaDestino = Casillas[XDestino][YDestino];
    return true;
}

// The pawn becomes the piece chosen (preset or asked of the host) on its square; the
// check tests are made again with it.
bool Reglas::Coronar(bool blancas) {
    if (SoloComprobar) return false;
    int codigo = PiezaCoronacion;
    if (codigo == 0) {
        codigo = host_->Coronacion(blancas ? turno::Blancas : turno::Negras);
        if (!CoronacionPermitida(codigo, blancas)) {
            MovimientoValido = false;  // cancelled
            return false;
        }
        PiezaCoronacion = codigo;
    }
    Casillas[XOrigen][YOrigen] = 0;
    if (Casillas[XDestino][YDestino] != 0) FichaCoronada = Casillas[XDestino][YDestino];
    FichaOrigen = codigo;
    Casillas[XDestino][YDestino] = FichaOrigen;
    host_->OcultarMarcador();
    if (DejaReyEnJaque()) return false;
    EfectoSobreRival();
    return true;
}

// A castling in the shape the piece rules allowed: a test only looks up the right;
// otherwise no castling out of check, the king passes only over empty squares not
// attacked, and the rook moves first.
bool Reglas::Enrocar(bool blancas) {
    const int fila = blancas ? 1 : 8;
    const bool& torreA = blancas ? TorreA1Movida : TorreA8Movida;
    const bool& torreH = blancas ? TorreH1Movida : TorreH8Movida;
    if (SoloComprobar) {
        if ((XDestino == 7 && torreH) || (XDestino == 3 && torreA)) MovimientoValido = false;
        return false;
    }
    CasillasPrueba = Casillas;
    Jaque = false;
    JaquePropio = false;
    ReyAtacado();
    if (JaquePropio) {
        MovimientoValido = false;
        MovimientoEnroque = false;
        return false;
    }
    const bool corto = XDestino == XOrigen + 2;
    const int paso1 = corto ? XOrigen + 1 : XOrigen - 1;
    const int paso2 = corto ? XOrigen + 2 : XOrigen - 2;
    MovimientoValido = false;
    if (CasillasPrueba[paso1][fila] == 0 && CasillasPrueba[paso2][fila] == 0 && !(corto ? torreH : torreA)) {
        MoverTorreEnroque(corto, blancas);
        MovimientoValido = true;
    }
    if (!MovimientoValido) return false;
    if (DejaReyEnJaque()) return false;
    EfectoSobreRival();
    return true;
}

// The rook's half of a castling, drawn unless a game is browsed or replayed; then the
// king's move stands ready and both rights of the side are gone.
void Reglas::MoverTorreEnroque(bool corto, bool blancas) {
    const int fila = blancas ? 1 : 8;
    const int rey = FichaOrigen;
    XOrigen = corto ? 8 : 1;
    YOrigen = fila;
    XDestino = corto ? 6 : 4;
    YDestino = fila;
    FichaOrigen = blancas ? TorreBlanca : TorreNegra;
    AplicarMovimiento();
    if (!host_->ListaPgnVisible() && !host_->ReproduciendoPartida())
        host_->DibujarTorreEnroque(XOrigen, YOrigen, XDestino, YDestino);
    XOrigen = 5;
    YOrigen = fila;
    XDestino = corto ? 7 : 3;
    YDestino = fila;
    FichaOrigen = rey;
    GuardarEnroque(blancas);
    EnroqueEnCurso = corto ? 1 : 2;
    (blancas ? TorreA1Movida : TorreA8Movida) = true;
    (blancas ? TorreH1Movida : TorreH8Movida) = true;
}

// The castling rights a move of a king or of a rook from its corner takes away, and a
// rook taken on its corner.
void Reglas::QuitarDerechosEnroque() {
    if (FichaOrigen == TorreBlanca && YOrigen == 1 && (XOrigen == 1 || XOrigen == 8)) {
        GuardarEnroque(true);
        (XOrigen == 1 ? TorreA1Movida : TorreH1Movida) = true;
    }
    if (FichaOrigen == TorreNegra && YOrigen == 8 && (XOrigen == 1 || XOrigen == 8)) {
        GuardarEnroque(false);
        (XOrigen == 1 ? TorreA8Movida : TorreH8Movida) = true;
    }
    if (FichaOrigen == ReyBlanco && EnroqueEnCurso == 0) {
        GuardarEnroque(true);
        TorreA1Movida = TorreH1Movida = true;
    }
    if (FichaOrigen == ReyNegro && EnroqueEnCurso == 0) {
        GuardarEnroque(false);
        TorreA8Movida = TorreH8Movida = true;
    }
    if (FichaDestino != 0 && (XDestino == 1 || XDestino == 8) && (YDestino == 1 || YDestino == 8)) {
        if (YDestino == 1)
            (XDestino == 1 ? TorreA1Movida : TorreH1Movida) = true;
        else
            (XDestino == 1 ? TorreA8Movida : TorreH8Movida) = true;
    }
}

// An en-passant chance not taken lapses after one move; one taken is used up.
void Reglas::CerrarAlPaso() {
    if (AlPasoCaduca && AlPasoPosible) BorrarAlPaso();
    if (!CapturaAlPaso.empty()) {
        AlPasoPosible = false;
        CasillaAlPaso = 0;
    }
}

// The piece's own movement (tablero::MovimientoPieza), then what the move does to the
// en-passant state; a king that cannot step there may be castling.
void Reglas::ReglasPieza() {
    const bool blanca = EsBlanca(FichaOrigen);
    // A pawn of the mover may take en passant only the pawn that has just made its
    // double step beside it.
    const int alPaso = AlPasoPosible && CasillaAlPaso % 10 == (blanca ? 5 : 4) ? CasillaAlPaso / 10 : 0;
    bool alPasoHecho = false;
    MovimientoValido = tablero::MovimientoPieza(Casillas, XOrigen, YOrigen, XDestino, YDestino, alPaso, &alPasoHecho);
    if (!MovimientoValido) {
        if (FichaOrigen == ReyBlanco || FichaOrigen == ReyNegro) FormaEnroque();
        return;
    }
    const bool peon = FichaOrigen == PeonBlanco || FichaOrigen == PeonNegro;
    if (alPasoHecho) {
        CapturaAlPaso = std::to_string(CasillaAlPaso);
        Casillas[XDestino][YOrigen] = 0;
    } else if (peon && std::abs(YDestino - YOrigen) == 2) {
        AlPasoCaduca = false;
        AlPasoPosible = true;
        CasillaAlPaso = XDestino * 10 + YDestino;
    } else {
        AlPasoCaduca = true;
    }
}

// The castling shape: king on e1/e8, its rook on the corner, the squares between empty.
void Reglas::FormaEnroque() {
    const bool blanca = FichaOrigen == ReyBlanco;
    const int fila = blanca ? 1 : 8;
    const int torre = blanca ? TorreBlanca : TorreNegra;
    if (XOrigen != 5 || YOrigen != fila || YDestino != fila) return;
    const Tablero& b = Casillas;
    bool corto = XDestino == 7 && b[6][fila] == 0 && b[7][fila] == 0 && b[8][fila] == torre;
    bool largo = XDestino == 3 && b[4][fila] == 0 && b[3][fila] == 0 && b[2][fila] == 0 && b[1][fila] == torre;
    if (corto || largo) {
        MovimientoValido = true;
        MovimientoEnroque = true;
        AlPasoCaduca = true;
    }
}

void Reglas::AplicarMovimiento() {
    Casillas[XOrigen][YOrigen] = 0;
    Casillas[XDestino][YDestino] = FichaOrigen;
}

void Reglas::BorrarAlPaso() {
    AlPasoPosible = false;
    AlPasoCaduca = false;
}

void Reglas::PeonCoronado() {
    if (PiezaCoronacion >= TorreBlanca && PiezaCoronacion <= DamaBlanca)
        FichaOrigen = PeonBlanco;
    else if (PiezaCoronacion >= TorreNegra && PiezaCoronacion <= DamaNegra)
        FichaOrigen = PeonNegro;
}

}  // namespace rules
