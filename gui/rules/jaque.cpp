// Check, checkmate and stalemate after a move. The searches look for one legal reply of
// the defender, in the order: king steps away, (double check ends it), a block, a capture.
#include <cstdlib>

#include "rules/reglas.h"

namespace rules {

namespace {
std::string Casilla(int x, int y) { return std::to_string(x) + std::to_string(y); }
}  // namespace

void Reglas::PosicionTrasMovimiento() {
    CasillasPrueba = Casillas;
    if (MovimientoValido) {
        CasillasPrueba[XOrigen][YOrigen] = 0;
        CasillasPrueba[XDestino][YDestino] = FichaOrigen;
    }
}

void Reglas::ReyEnJaque() {
    PosicionTrasMovimiento();
    ReyAtacado();
}

void Reglas::ReyAtacado() {
    const bool blancas = EsBlanca(FichaOrigen);
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x) {
            int p = CasillasPrueba[x][y];
            if (blancas ? EsNegra(p) : EsBlanca(p)) tablero::AtaquePieza(CasillasPrueba, x, y, JaquePropio);
        }
}

void Reglas::DaJaque() {
    PosicionTrasMovimiento();
    CasillasAtacantes.clear();
    AtacantesDelRey();
    Jaque = !CasillasAtacantes.empty();
}

void Reglas::AtacantesDelRey() {
    const bool blancas = EsBlanca(FichaOrigen);
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x) {
            int p = CasillasPrueba[x][y];
            if (!(blancas ? EsBlanca(p) : EsNegra(p))) continue;
            JaquePropio = false;
            tablero::AtaquePieza(CasillasPrueba, x, y, JaquePropio);
            if (JaquePropio) CasillasAtacantes += Casilla(x, y);
        }
    JaquePropio = !CasillasAtacantes.empty();
}

void Reglas::EfectoSobreRival() {
    Jaque = false;
    JaqueMate = false;
    Ahogado = false;
    JaquePropio = false;
    DaJaque();
    if (Jaque) {
        JaqueMate = true;
        BuscarMate();
    } else {
        BuscarAhogado();
    }
}

// The file on which the defender may take en passant right after this move.
int Reglas::AlPasoDelDefensor() const {
    bool peon = FichaOrigen == PeonBlanco || FichaOrigen == PeonNegro;
    return (peon && std::abs(YDestino - YOrigen) == 2) ? XDestino : 0;
}

// A defender's move on the position after the move: allowed by its piece rule and
// leaving its own king unattacked.
bool Reglas::JugadaDefensaLegal(int xo, int yo, int xd, int yd) const {
    bool alPaso = false;
    if (!tablero::MovimientoPieza(busqueda_, xo, yo, xd, yd, alPasoBusqueda_, &alPaso)) return false;
    Tablero t = busqueda_;
    int p = t[xo][yo];
    t[xo][yo] = 0;
    t[xd][yd] = p;
    if (alPaso) t[xd][yo] = 0;
    return !tablero::ReyAtacado(t, EsBlanca(p) ? ReyBlanco : ReyNegro);
}

bool Reglas::BuscarEscapeRey() {
    const bool moverBlanco = EsBlanca(FichaOrigen);
    const int rey = moverBlanco ? ReyNegro : ReyBlanco;
    XRey = YRey = 0;
    for (int y = 1; y <= 8 && XRey == 0; ++y)
        for (int x = 1; x <= 8; ++x)
            if (busqueda_[x][y] == rey) {
                XRey = x;
                YRey = y;
                break;
            }
    if (XRey == 0) return false;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            int x = XRey + dx, y = YRey + dy;
            if ((dx == 0 && dy == 0) || x < 1 || x > 8 || y < 1 || y > 8) continue;
            int c = busqueda_[x][y];
            if (c != 0 && !(moverBlanco ? EsBlanca(c) : EsNegra(c))) continue;
            Tablero t = busqueda_;
            FichaDesplazada = c;
            t[XRey][YRey] = 0;
            t[x][y] = rey;
            if (!tablero::ReyAtacado(t, rey)) return true;
        }
    return false;
}

void Reglas::BuscarMate() {
    PosicionTrasMovimiento();
    busqueda_ = CasillasPrueba;
    alPasoBusqueda_ = AlPasoDelDefensor();
    if (BuscarEscapeRey()) {
        Jaque = true;
        JaqueMate = false;
        return;
    }
    JaqueDoble();
    if (CasillasAtacantes.size() > 2) {
        // Two checkers: only a king move could help, and there is none.
        JaquePropio = true;
        JaqueMate = true;
        return;
    }
    JaqueMate = true;
    BuscarInterposicion();
    if (JaqueMate) {
        ModoDefensor = true;
        BuscarCaptura();
    }
    ModoDefensor = false;
    CasillasDefensoras.clear();
    AtacanteDescubierto.clear();
}

void Reglas::JaqueDoble() {
    CasillaPiezaMovida = Casilla(XDestino, YDestino);
    AtacanteDescubierto.clear();
    if (CasillasAtacantes.size() == 2 && CasillasAtacantes != CasillaPiezaMovida)
        AtacanteDescubierto = CasillasAtacantes;
    JaquePropio = false;
}

// A defender's piece (not the king) steps between a line checker and the king.
void Reglas::BuscarInterposicion() {
    if (CasillasAtacantes.size() != 2) return;
    const int cx = CasillasAtacantes[0] - '0', cy = CasillasAtacantes[1] - '0';
    const int checker = busqueda_[cx][cy];
    const bool linea = checker == TorreBlanca || checker == TorreNegra || checker == AlfilBlanco ||
                       checker == AlfilNegro || checker == DamaBlanca || checker == DamaNegra;
    if (!linea || XRey == 0) return;
    const bool defensorBlanco = EsNegra(checker);
    const int dx = (XRey > cx) - (XRey < cx), dy = (YRey > cy) - (YRey < cy);
    for (int i = cx + dx, j = cy + dy; i != XRey || j != YRey; i += dx, j += dy) {
        for (int y = 1; y <= 8; ++y)
            for (int x = 1; x <= 8; ++x) {
                int p = busqueda_[x][y];
                if (p == ReyBlanco || p == ReyNegro || !(defensorBlanco ? EsBlanca(p) : EsNegra(p))) continue;
                if (JugadaDefensaLegal(x, y, i, j)) {
                    JaqueMate = false;
                    return;
                }
            }
    }
}

// A defender's piece (not the king) takes the checker, en passant included.
void Reglas::BuscarCaptura() {
    if (CasillasAtacantes.size() != 2) return;
    const int cx = CasillasAtacantes[0] - '0', cy = CasillasAtacantes[1] - '0';
    const int checker = busqueda_[cx][cy];
    const bool defensorBlanco = EsNegra(checker);
    CasillasDefensoras.clear();
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x) {
            int p = busqueda_[x][y];
            if (p == ReyBlanco || p == ReyNegro || !(defensorBlanco ? EsBlanca(p) : EsNegra(p))) continue;
            bool toma = JugadaDefensaLegal(x, y, cx, cy);
            // A pawn that has just made its double step may be taken en passant.
            if (!toma && alPasoBusqueda_ == cx && (p == PeonBlanco || p == PeonNegro) && y == cy &&
                std::abs(x - cx) == 1)
                toma = JugadaDefensaLegal(x, y, cx, cy + (p == PeonBlanco ? 1 : -1));
            if (toma) {
                CasillasDefensoras += Casilla(x, y);
                JaqueMate = false;
                return;
            }
        }
}

void Reglas::BuscarAhogado() {
    JaquePropio = false;
    JaqueMate = true;
    PosicionTrasMovimiento();
    busqueda_ = CasillasPrueba;
    alPasoBusqueda_ = AlPasoDelDefensor();
    if (BuscarEscapeRey()) {
        JaquePropio = Jaque = JaqueMate = Ahogado = false;
        return;
    }
    BuscarMovimientoPiezas();
    Ahogado = JaqueMate;
    JaquePropio = JaqueMate = Jaque = false;
}

// Any legal move of a defender's piece other than the king.
void Reglas::BuscarMovimientoPiezas() {
    const bool defensorBlanco = EsNegra(FichaOrigen);
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x) {
            int p = busqueda_[x][y];
            if (p == ReyBlanco || p == ReyNegro || !(defensorBlanco ? EsBlanca(p) : EsNegra(p))) continue;
            for (int j = 1; j <= 8; ++j)
                for (int i = 1; i <= 8; ++i)
                    if (JugadaDefensaLegal(x, y, i, j)) {
                        JaqueMate = false;
                        return;
                    }
        }
}

}  // namespace rules
