#include "juego.h"

namespace rules_test {

bool Preparar(rules::Reglas& r, const std::string& fen) {
    r.VariablesCero();
    r.MovimientoAnulado();
    r.Jugadas.Borrar();
    r.TorreA1Movida = r.TorreH1Movida = r.TorreA8Movida = r.TorreH8Movida = true;
    if (!r.LeerFen(fen)) return false;
    r.Turno = r.TurnoFichero;
    return true;
}

int En(const rules::Reglas& r, const std::string& c) { return r.Casillas[c[0] - 'a' + 1][c[1] - '0']; }

void PonerMovimiento(rules::Reglas& r, const std::string& uci) {
    r.Origen = std::to_string(uci[0] - 'a' + 1) + uci[1];
    r.Destino = std::to_string(uci[2] - 'a' + 1) + uci[3];
    r.PiezaCoronacion = 0;
    if (uci.size() > 4) {
        int codigo = 0;
        switch (uci[4]) {
            case 'r': codigo = rules::TorreBlanca; break;
            case 'n': codigo = rules::CaballoBlanco; break;
            case 'b': codigo = rules::AlfilBlanco; break;
            case 'q': codigo = rules::DamaBlanca; break;
            default: break;
        }
        if (rules::EsNegra(r.Casillas[uci[0] - 'a' + 1][uci[1] - '0'])) codigo += 6;
        r.PiezaCoronacion = codigo;
    }
}

Resultado Jugar(rules::Reglas& r, const std::string& uci) {
    PonerMovimiento(r, uci);
    r.ValidarMovimiento();
    Resultado res{r.MovimientoValido, r.Jaque, r.JaqueMate, r.Ahogado, r.CapturaAlPaso, r.EnroqueEnCurso};
    if (res.valido) {
        if (!res.capturaAlPaso.empty()) r.Host().SubComoFicha(res.capturaAlPaso);
        if (r.Turno != 0) r.Turno = r.Turno == 1 ? 2 : 1;
    }
    r.MovimientoAnulado();
    return res;
}

size_t JugarVarias(rules::Reglas& r, const std::vector<std::string>& jugadas) {
    size_t n = 0;
    for (const auto& j : jugadas) {
        if (!Jugar(r, j).valido) break;
        ++n;
    }
    return n;
}

}  // namespace rules_test
