#include "engines/Reclamacion.h"

#include "rules/reglas.h"

#include <algorithm>

namespace reclamacion {

namespace {

int Piezas(const rules::Tablero& c, int codigo) {
    int n = 0;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y) n += c[size_t(x)][size_t(y)] == codigo;
    return n;
}

int TodasLasPiezas(const rules::Tablero& c) {
    int n = 0;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y) n += c[size_t(x)][size_t(y)] > 0;
    return n;
}

// A capture or a pawn move lies between the two positions.
bool Irreversible(const rules::Tablero& antes, const rules::Tablero& despues) {
    if (TodasLasPiezas(antes) != TodasLasPiezas(despues)) return true;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            for (int peon : {rules::PeonBlanco, rules::PeonNegro})
                if ((antes[size_t(x)][size_t(y)] == peon) != (despues[size_t(x)][size_t(y)] == peon)) return true;
    return false;
}

// The file on which the side to move may take en passant on the board: the pawn that
// has just made its double step stands beside a pawn of the side to move, which may
// take it without leaving its own king attacked; 0 when none may.
int ColumnaAlPaso(const rules::Reglas& t) {
    if (!t.AlPasoPosible) return 0;
    const int x = t.CasillaAlPaso / 10, y = t.CasillaAlPaso % 10;
    const int peon = t.Casillas[size_t(x)][size_t(y)];
    if (x < 1 || x > 8 || (peon != rules::PeonBlanco && peon != rules::PeonNegro)) return 0;
    const bool blancas = peon == rules::PeonNegro;  // the side that may take
    const int propio = blancas ? rules::PeonBlanco : rules::PeonNegro;
    const int destino = y + (blancas ? 1 : -1);
    for (int xo : {x - 1, x + 1}) {
        if (xo < 1 || xo > 8 || t.Casillas[size_t(xo)][size_t(y)] != propio) continue;
        bool alPaso = false;
        if (!rules::tablero::MovimientoPieza(t.Casillas, xo, y, x, destino, x, &alPaso) || !alPaso) continue;
        rules::Tablero despues = t.Casillas;
        despues[size_t(xo)][size_t(y)] = 0;
        despues[size_t(x)][size_t(y)] = 0;
        despues[size_t(x)][size_t(destino)] = propio;
        if (!rules::tablero::ReyAtacado(despues, blancas ? rules::ReyBlanco : rules::ReyNegro)) return x;
    }
    return 0;
}

}  // namespace

std::string Marcador(const respuesta::Resultado& r) {
    return r.ganador == turno::Blancas ? "1-0" : r.ganador == turno::Negras ? "0-1" : "1/2-1/2";
}

bool Admitida(const respuesta::Resultado& r, int lado, const Tablero& tablero) {
    if (!r.coherente) return false;
    const std::string dicho = Marcador(r);
    // What a claim says of the board holds only when the board bears it out.
    if (r.mate || r.ahogado) return tablero.resultado == dicho;
    if (r.ganador == turno::Otro(lado)) return true;
    if (tablero.resultado == dicho) return true;
    return r.ganador == turno::Nadie && (tablero.tablasPorRegla || tablero.ofertaPendiente);
}

bool MaterialInsuficiente(const rules::Tablero& c) {
    const int menores = Piezas(c, rules::CaballoBlanco) + Piezas(c, rules::AlfilBlanco) +
                        Piezas(c, rules::CaballoNegro) + Piezas(c, rules::AlfilNegro);
    return TodasLasPiezas(c) - menores == 2 && menores <= 1;
}

Historia::Posicion Historia::Leer(const rules::Reglas& t) {
    Posicion p;
    p.casillas = t.Casillas;
    p.lado = t.Jugadas.List1.size() % 2 == 0 ? turno::Blancas : turno::Negras;
    p.enroque = {t.TorreA1Movida, t.TorreH1Movida, t.TorreA8Movida, t.TorreH8Movida};
    p.alPaso = ColumnaAlPaso(t);
    return p;
}

void Historia::Empezar(const rules::Reglas& tablero) { posiciones_ = {Leer(tablero)}; }

void Historia::Anotar(const rules::Reglas& tablero) {
    Posicion p = Leer(tablero);
    if (!posiciones_.empty() && !Irreversible(posiciones_.back().casillas, p.casillas))
        p.reversibles = posiciones_.back().reversibles + 1;
    posiciones_.push_back(p);
}

void Historia::Retirar(int jugadas) {
    // The start stays: a take-back never goes behind it.
    const auto quedan = std::max<std::ptrdiff_t>(1, std::ptrdiff_t(posiciones_.size()) - jugadas);
    if (std::ptrdiff_t(posiciones_.size()) > quedan) posiciones_.resize(size_t(quedan));
}

bool Historia::TablasPorRegla(const rules::Reglas& tablero) const {
    if (MaterialInsuficiente(tablero.Casillas)) return true;
    if (posiciones_.empty()) return false;
    const Posicion& ahora = posiciones_.back();
    if (ahora.reversibles >= 100) return true;
    return std::count(posiciones_.begin(), posiciones_.end(), ahora) >= 3;
}

}  // namespace reclamacion
