// Reach tests (which piece of a kind reaches a square) and attack maps (which squares a
// piece attacks, and whether it attacks a king), on the scratch board.
#include <cstdlib>

#include "rules/reglas.h"

namespace rules {

namespace {

bool Dentro(int x, int y) { return x >= 1 && x <= 8 && y >= 1 && y <= 8; }

// An attacked square: the king sought is found, or an empty square is marked -1.
void Marcar(Tablero& b, int x, int y, int rey, bool& hallado) {
    if (!Dentro(x, y)) return;
    int& c = b[x][y];
    if (c == rey) {
        hallado = true;
    } else if (c == 0 || c == -1) {
        c = -1;
    }
}

void MarcarLinea(Tablero& b, int x, int y, int dx, int dy, int rey, bool& hallado) {
    for (int i = x + dx, j = y + dy; Dentro(i, j); i += dx, j += dy) {
        int c = b[i][j];
        if (c == rey) {
            hallado = true;
            return;
        }
        if (c != 0 && c != -1) return;
        b[i][j] = -1;
    }
}

void MapaPeonNegro(Tablero& b, int x, int y, bool& h) {
    Marcar(b, x - 1, y - 1, ReyBlanco, h);
    Marcar(b, x + 1, y - 1, ReyBlanco, h);
}

void MapaPeonBlanco(Tablero& b, int x, int y, bool& h) {
    Marcar(b, x - 1, y + 1, ReyNegro, h);
    Marcar(b, x + 1, y + 1, ReyNegro, h);
}

void Lineas(Tablero& b, int x, int y, int rey, bool& h) {
    MarcarLinea(b, x, y, 0, 1, rey, h);
    MarcarLinea(b, x, y, 0, -1, rey, h);
    MarcarLinea(b, x, y, -1, 0, rey, h);
    MarcarLinea(b, x, y, 1, 0, rey, h);
}

void Diagonales(Tablero& b, int x, int y, int rey, bool& h) {
    MarcarLinea(b, x, y, 1, 1, rey, h);
    MarcarLinea(b, x, y, 1, -1, rey, h);
    MarcarLinea(b, x, y, -1, -1, rey, h);
    MarcarLinea(b, x, y, -1, 1, rey, h);
}

constexpr int kSaltos[8][2] = {{1, 2}, {-1, 2}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {2, -1}, {2, 1}};

void Caballo(Tablero& b, int x, int y, int rey, bool& h) {
    for (const auto& s : kSaltos) Marcar(b, x + s[0], y + s[1], rey, h);
}

void Rey(Tablero& b, int x, int y, int rey, bool& h) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx != 0 || dy != 0) Marcar(b, x + dx, y + dy, rey, h);
}

}  // namespace

namespace tablero {

// The attack test of the piece on (x, y) against the other side's king.
void AtaquePieza(Tablero& b, int x, int y, bool& hallado) {
    int p = b[x][y];
    int rey = EsBlanca(p) ? ReyNegro : ReyBlanco;
    switch (p) {
        case PeonNegro: MapaPeonNegro(b, x, y, hallado); break;
        case PeonBlanco: MapaPeonBlanco(b, x, y, hallado); break;
        case TorreBlanca:
        case TorreNegra: Lineas(b, x, y, rey, hallado); break;
        case AlfilBlanco:
        case AlfilNegro: Diagonales(b, x, y, rey, hallado); break;
        case DamaBlanca:
        case DamaNegra:
            Lineas(b, x, y, rey, hallado);
            Diagonales(b, x, y, rey, hallado);
            break;
        case CaballoBlanco:
        case CaballoNegro: Caballo(b, x, y, rey, hallado); break;
        case ReyBlanco:
        case ReyNegro: Rey(b, x, y, rey, hallado); break;
        default: break;
    }
}

bool ReyAtacado(const Tablero& b, int rey) {
    Tablero t = b;
    bool hallado = false;
    bool atacantesBlancos = (rey == ReyNegro);
    for (int y = 1; y <= 8 && !hallado; ++y)
        for (int x = 1; x <= 8 && !hallado; ++x) {
            int p = t[x][y];
            if (atacantesBlancos ? EsBlanca(p) : EsNegra(p)) AtaquePieza(t, x, y, hallado);
        }
    return hallado;
}

namespace {
bool Camino(const Tablero& b, int xo, int yo, int xd, int yd) {
    int dx = (xd > xo) - (xd < xo), dy = (yd > yo) - (yd < yo);
    for (int i = xo + dx, j = yo + dy; i != xd || j != yd; i += dx, j += dy)
        if (b[i][j] != 0) return false;
    return true;
}
}  // namespace

bool MovimientoPieza(const Tablero& b, int xo, int yo, int xd, int yd, int alPaso, bool* alPasoHecho) {
    if (alPasoHecho) *alPasoHecho = false;
    int p = b[xo][yo];
    if (p <= 0 || p > 12) return false;
    bool blanca = EsBlanca(p);
    int c = b[xd][yd];
    bool enemigo = blanca ? EsNegra(c) : EsBlanca(c);
    bool libre = (c == 0);
    int dx = xd - xo, dy = yd - yo;
    int adx = std::abs(dx), ady = std::abs(dy);
    switch (p) {
        case PeonBlanco:
        case PeonNegro: {
            int s = blanca ? 1 : -1;
            int inicio = blanca ? 2 : 7;
            int rangoAlPaso = blanca ? 5 : 4;
            if (dx == 0 && dy == s && libre) return true;
            if (dx == 0 && dy == 2 * s && yo == inicio && b[xo][yo + s] == 0 && libre) return true;
            if (adx == 1 && dy == s) {
                if (enemigo) return true;
                if (libre && alPaso == xd && yo == rangoAlPaso && b[xd][yo] == (blanca ? PeonNegro : PeonBlanco)) {
                    if (alPasoHecho) *alPasoHecho = true;
                    return true;
                }
            }
            return false;
        }
        case CaballoBlanco:
        case CaballoNegro: return ((adx == 1 && ady == 2) || (adx == 2 && ady == 1)) && (libre || enemigo);
        case TorreBlanca:
        case TorreNegra: return (dx == 0) != (dy == 0) && (libre || enemigo) && Camino(b, xo, yo, xd, yd);
        case AlfilBlanco:
        case AlfilNegro: return adx == ady && adx != 0 && (libre || enemigo) && Camino(b, xo, yo, xd, yd);
        case DamaBlanca:
        case DamaNegra:
            return ((dx == 0) != (dy == 0) || (adx == ady && adx != 0)) && (libre || enemigo) &&
                   Camino(b, xo, yo, xd, yd);
        case ReyBlanco:
        case ReyNegro: return adx <= 1 && ady <= 1 && (adx + ady) != 0 && (libre || enemigo);
        default: return false;
    }
}

}  // namespace tablero

// ---- Reach tests -----------------------------------------------------------------------

namespace {
bool CodigoTorre(int c) { return c == 2 || c == 8 || c == 5 || c == 11; }
bool CodigoAlfil(int c) { return c == 4 || c == 10 || c == 5 || c == 11; }
bool CodigoCaballo(int c) { return c == 3 || c == 9; }
}  // namespace

// Looks outward from (x, y) along one line for the sought code; a piece in between ends
// the line. Found: the square goes into XEncontrada/YEncontrada.
bool Reglas::AlcanceLinea(int x, int y, int dx, int dy, int codigo) {
    for (int i = x + dx, j = y + dy; Dentro(i, j); i += dx, j += dy) {
        int c = CasillasPrueba[i][j];
        if (c == codigo) {
            XEncontrada = std::to_string(i);
            YEncontrada = std::to_string(j);
            PiezaEncontrada = true;
            return true;
        }
        if (c != 0) return false;
    }
    return false;
}

// The first match in the order up, down, left, right wins.
void Reglas::AlcanceTorre(int x, int y, int codigo) {
    if (!Dentro(x, y) || !CodigoTorre(codigo)) return;
    AlcanceLinea(x, y, 0, 1, codigo) || AlcanceLinea(x, y, 0, -1, codigo) || AlcanceLinea(x, y, -1, 0, codigo) ||
        AlcanceLinea(x, y, 1, 0, codigo);
}

// The first match in the order up-right, down-right, down-left, up-left wins.
void Reglas::AlcanceAlfil(int x, int y, int codigo) {
    if (!Dentro(x, y) || !CodigoAlfil(codigo)) return;
    AlcanceLinea(x, y, 1, 1, codigo) || AlcanceLinea(x, y, 1, -1, codigo) || AlcanceLinea(x, y, -1, -1, codigo) ||
        AlcanceLinea(x, y, -1, 1, codigo);
}

void Reglas::AlcanceCaballo(int x, int y, int codigo) {
    if (!Dentro(x, y) || !CodigoCaballo(codigo)) return;
    for (const auto& s : kSaltos) {
        int i = x + s[0], j = y + s[1];
        if (Dentro(i, j) && CasillasPrueba[i][j] == codigo) {
            XEncontrada = std::to_string(i);
            YEncontrada = std::to_string(j);
            PiezaEncontrada = true;
            return;
        }
    }
}

// ---- Attack maps on CasillasPrueba ---------------------------------------------------------

void Reglas::AtaquePeonNegro(int x, int y) { MapaPeonNegro(CasillasPrueba, x, y, JaquePropio); }
void Reglas::AtaquePeonBlanco(int x, int y) { MapaPeonBlanco(CasillasPrueba, x, y, JaquePropio); }
void Reglas::AtaqueLineas(int x, int y, int rey) { Lineas(CasillasPrueba, x, y, rey, JaquePropio); }
void Reglas::AtaqueDiagonales(int x, int y, int rey) { Diagonales(CasillasPrueba, x, y, rey, JaquePropio); }
void Reglas::AtaqueCaballo(int x, int y, int rey) { Caballo(CasillasPrueba, x, y, rey, JaquePropio); }
void Reglas::AtaqueRey(int x, int y, int rey) { Rey(CasillasPrueba, x, y, rey, JaquePropio); }

}  // namespace rules
