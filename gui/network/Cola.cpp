#include "network/Cola.h"

namespace cola {

namespace {

constexpr long kHuecos = 40;

// How far a message may move ahead: it passes only messages of a lower rank, and
// game messages (rank 0) neither pass nor are passed.
int Rango(Clase c) {
    switch (c) {
        case Clase::Jugada: return 4;
        case Clase::Ping:
        case Clase::Pong: return 3;
        case Clase::Negativa: return 2;
        case Clase::Chat: return 1;
        case Clase::Juego: break;
    }
    return 0;
}

// Messages of which one waiting is enough.
bool UnaVez(const QString& m) {
    const tvp::Palabra* p = tvp::PalabraDe(m);
    return (p && p->unaVez && tvp::Es(m, p->texto)) || ClaseDe(m) == Clase::Negativa;
}

// Dropped when all slots are taken, and never taking another's place.
bool CedeSitio(Clase c) { return c == Clase::Ping || c == Clase::Pong || c == Clase::Chat; }

void Quitar(Slots& cola, long& numero, long i) {
    for (long k = i; k < numero; ++k) cola[size_t(k)] = cola[size_t(k + 1)];
    cola[size_t(numero)].clear();
    --numero;
}

// The newest waiting message that `acepta` takes (0: none).
template <typename F>
long Ultimo(const Slots& cola, long numero, F acepta) {
    for (long i = numero; i >= 1; --i)
        if (acepta(ClaseDe(cola[size_t(i)]))) return i;
    return 0;
}

}  // namespace

Clase ClaseDe(const QString& m) {
    // A stream that fails is the refusal of the game file the peer was promised.
    if (tvp::EsTvp(m, tvp::corriente::Error)) return Clase::Negativa;
    const tvp::Palabra* p = tvp::PalabraDe(m);
    if (!p) return Clase::Juego;
    // A word that stands alone is that message only when nothing follows it.
    if (p->forma == tvp::Forma::Sola && !tvp::Es(m, p->texto)) return Clase::Juego;
    return p->clase;
}

bool Encolar(Slots& cola, long& numero, const QString& texto) {
    const Clase clase = ClaseDe(texto);
    if (UnaVez(texto))
        for (long i = 1; i <= numero; ++i)
            if (cola[size_t(i)] == texto) return false;
    if (numero >= kHuecos) {
        if (CedeSitio(clase)) return false;
        // Room: a ping or pong goes first, then the newest chat line; for a game
        // message or a move then the newest refusal; for a move, failing those, the
        // newest message that is no move.
        long hueco = Ultimo(cola, numero, [](Clase c) { return c == Clase::Ping || c == Clase::Pong; });
        if (hueco == 0) hueco = Ultimo(cola, numero, [](Clase c) { return c == Clase::Chat; });
        if (hueco == 0 && clase != Clase::Negativa)
            hueco = Ultimo(cola, numero, [](Clase c) { return c == Clase::Negativa; });
        if (hueco == 0 && clase == Clase::Jugada)
            hueco = Ultimo(cola, numero, [](Clase c) { return c != Clase::Jugada; });
        if (hueco == 0) return false;
        Quitar(cola, numero, hueco);
    }
    ++numero;
    cola[size_t(numero)] = texto;
    return true;
}

void Ordenar(Slots& cola, long numero) {
    for (long i = 2; i <= numero; ++i) {
        const int rango = Rango(ClaseDe(cola[size_t(i)]));
        if (rango == 0) continue;
        long k = i;
        while (k > 1) {
            const int antes = Rango(ClaseDe(cola[size_t(k - 1)]));
            if (antes == 0 || antes >= rango) break;
            std::swap(cola[size_t(k - 1)], cola[size_t(k)]);
            --k;
        }
    }
}

void QuitarPrimero(Slots& cola, long& numero) {
    if (numero <= 0) return;
    Quitar(cola, numero, 1);
}

void Vaciar(Slots& cola, long& numero) {
    for (QString& s : cola) s.clear();
    numero = 0;
}

}  // namespace cola
