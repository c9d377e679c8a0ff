#include "legales.h"

#include "juego.h"

namespace rules_test {

namespace {

std::string Uci(int xo, int yo, int xd, int yd, int promocion) {
    std::string s{char('a' + xo - 1), char('0' + yo), char('a' + xd - 1), char('0' + yd)};
    switch (promocion % 6) {
        case 2: s += 'r'; break;
        case 3: s += 'n'; break;
        case 4: s += 'b'; break;
        case 5: s += 'q'; break;
        default: break;
    }
    return s;
}

}  // namespace

std::vector<JugadaAceptada> JugadasAceptadas(rules::Reglas& r, bool todas) {
    std::vector<JugadaAceptada> aceptadas;
    const rules::Variables copia = r.Estado();
    const size_t registros = r.Jugadas.List1.size();
    const bool blancas = r.Turno == 1;
    for (int xo = 1; xo <= 8; ++xo)
        for (int yo = 1; yo <= 8; ++yo) {
            const int pieza = copia.Casillas[xo][yo];
            if (!todas && !(blancas ? rules::EsBlanca(pieza) : rules::EsNegra(pieza))) continue;
            for (int xd = 1; xd <= 8; ++xd)
                for (int yd = 1; yd <= 8; ++yd) {
                    const bool coronacion =
                        (pieza == rules::PeonBlanco && yd == 8) || (pieza == rules::PeonNegro && yd == 1);
                    const int base = rules::EsNegra(pieza) ? 6 : 0;
                    for (int promocion :
                         coronacion ? std::vector<int>{base + 2, base + 3, base + 4, base + 5} : std::vector<int>{0}) {
                        r.Origen = std::to_string(xo) + std::to_string(yo);
                        r.Destino = std::to_string(xd) + std::to_string(yd);
                        r.PiezaCoronacion = promocion;
                        r.ValidarMovimiento();
                        if (r.MovimientoValido)
                            aceptadas.push_back({Uci(xo, yo, xd, yd, promocion), r.Jaque, r.JaqueMate, r.Ahogado});
                        r.Estado() = copia;
                        r.Jugadas.List1.resize(registros);
                    }
                }
        }
    return aceptadas;
}

EstadoLado EstadoDelLado(rules::Reglas& r) {
    EstadoLado e;
    e.jaque = rules::tablero::ReyAtacado(r.Casillas, r.Turno == 1 ? rules::ReyBlanco : rules::ReyNegro);
    bool ninguna = JugadasAceptadas(r).empty();
    e.mate = e.jaque && ninguna;
    e.ahogado = !e.jaque && ninguna;
    return e;
}

bool Hacer(rules::Reglas& r, const std::string& uci) { return Jugar(r, uci).valido; }

Cuenta Perft(rules::Reglas& r, int profundidad) {
    Cuenta c;
    std::vector<JugadaAceptada> jugadas = JugadasAceptadas(r);
    if (profundidad == 1) {
        for (const auto& j : jugadas) {
            c.nodos++;
            c.jaques += j.jaque;
            c.mates += j.mate;
        }
        return c;
    }
    const rules::Variables copia = r.Estado();
    const size_t registros = r.Jugadas.List1.size();
    for (const auto& j : jugadas) {
        Hacer(r, j.uci);
        Cuenta sub = Perft(r, profundidad - 1);
        c.nodos += sub.nodos;
        c.jaques += sub.jaques;
        c.mates += sub.mates;
        r.Estado() = copia;
        r.Jugadas.List1.resize(registros);
    }
    return c;
}

}  // namespace rules_test
