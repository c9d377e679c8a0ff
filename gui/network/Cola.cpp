#include "network/Cola.h"

namespace cola {

namespace {

constexpr long kHuecos = 40;

// How far a message may move ahead: it passes only messages of a lower rank, and
// game messages (rank 0) neither pass nor are passed.
int Rango(Clase c) {
    switch (c) {
        case Clase::Jugada: return 3;
        case Clase::Ping:
        case Clase::Pong: return 2;
        case Clase::Chat: return 1;
        case Clase::Juego: break;
    }
    return 0;
}

bool CedeSitio(Clase c) { return c == Clase::Ping || c == Clase::Pong || c == Clase::Chat; }

void Quitar(Slots& cola, long& numero, long i) {
    for (long k = i; k < numero; ++k) cola[size_t(k)] = cola[size_t(k + 1)];
    cola[size_t(numero)].clear();
    --numero;
}

}  // namespace

Clase ClaseDe(const QString& m) {
    if (m.startsWith(QLatin1String("Movimiento")) || m.startsWith(QLatin1String("TIME"))) return Clase::Jugada;
    if (m == QLatin1String("Ping")) return Clase::Ping;
    if (m == QLatin1String("Pong")) return Clase::Pong;
    if (m.startsWith(QLatin1String("Mensaje"))) return Clase::Chat;
    return Clase::Juego;
}

bool Encolar(Slots& cola, long& numero, const QString& texto) {
    const Clase clase = ClaseDe(texto);
    if (clase == Clase::Ping || clase == Clase::Pong)
        for (long i = 1; i <= numero; ++i)
            if (ClaseDe(cola[size_t(i)]) == clase) return false;
    if (numero >= kHuecos) {
        if (CedeSitio(clase)) return false;
        // Room for a game message: a ping or pong goes first, else the newest chat line.
        long hueco = 0;
        for (long i = numero; i >= 1 && hueco == 0; --i) {
            Clase c = ClaseDe(cola[size_t(i)]);
            if (c == Clase::Ping || c == Clase::Pong) hueco = i;
        }
        for (long i = numero; i >= 1 && hueco == 0; --i)
            if (ClaseDe(cola[size_t(i)]) == Clase::Chat) hueco = i;
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
