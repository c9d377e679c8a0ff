#include "board/Geometria.h"

#include <cmath>

namespace geometria {

namespace {

// The square index 0..7 of a coordinate along one axis, -1 outside [0, 8 * S].
int Indice(double v, long lado) {
    if (lado <= 0 || v < 0 || v > 8.0 * double(lado)) return -1;
    int k = int(std::floor(v / double(lado)));
    return k > 7 ? 7 : k;
}

}  // namespace

int Columna(double x, long lado) {
    int k = Indice(x, lado);
    return k < 0 ? 0 : k + 1;
}

int Fila(double y, long lado) {
    int k = Indice(y, lado);
    return k < 0 ? 0 : 8 - k;
}

long Esquina(double v, long lado) {
    int k = Indice(v, lado);
    return k < 0 ? long(v) : long(k) * lado;
}

long PixelX(int columna, long lado) { return (columna >= 1 && columna <= 8) ? long(columna - 1) * lado : 0; }

long PixelY(int fila, long lado) { return (fila >= 1 && fila <= 8) ? long(8 - fila) * lado : 0; }

std::string CasillaTexto(int x, int y) { return std::to_string(x) + std::to_string(y); }

bool LeerCasilla(const std::string& texto, int& x, int& y) {
    if (texto.size() != 2 || texto[0] < '1' || texto[0] > '8' || texto[1] < '1' || texto[1] > '8') return false;
    x = texto[0] - '0';
    y = texto[1] - '0';
    return true;
}

}  // namespace geometria
