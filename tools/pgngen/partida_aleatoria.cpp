#include "partida_aleatoria.h"

#include "files/PgnEscritor.h"

#include <algorithm>
#include <array>

namespace pgngen {

namespace {

struct Candidata {
    int xo, yo, xd, yd;
};

std::vector<Candidata> Candidatas(const rules::Reglas& r, int lado) {
    std::vector<Candidata> c;
    const rules::Tablero& b = r.Casillas;
    const int alPaso = r.AlPasoPosible ? r.CasillaAlPaso / 10 : 0;
    for (int xo = 1; xo <= 8; ++xo)
        for (int yo = 1; yo <= 8; ++yo) {
            const int p = b[xo][yo];
            if (lado == 1 ? !rules::EsBlanca(p) : !rules::EsNegra(p)) continue;
            for (int xd = 1; xd <= 8; ++xd)
                for (int yd = 1; yd <= 8; ++yd)
                    if (rules::tablero::MovimientoPieza(b, xo, yo, xd, yd, alPaso)) c.push_back({xo, yo, xd, yd});
            if ((p == rules::ReyBlanco || p == rules::ReyNegro) && xo == 5 && yo == (lado == 1 ? 1 : 8)) {
                c.push_back({5, yo, 7, yo});
                c.push_back({5, yo, 3, yo});
            }
        }
    return c;
}

}  // namespace

void NuevaPartida(rules::Reglas& r) {
    r.VariablesCero();
    r.Jugadas.Borrar();
    r.PgnJugadas.clear();
    r.LeerFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    r.AlPasoPosible = false;
    r.CasillaAlPaso = 0;
    r.Turno = 1;
}

namespace {

PartidaAleatoria JugarCon(rules::Reglas& r, std::mt19937& azar, int maxMedias, bool evitarFinal) {
    PartidaAleatoria p;
    for (int media = 0; media < maxMedias; ++media) {
        const int lado = r.Turno == 2 ? 2 : 1;
        std::vector<Candidata> c = Candidatas(r, lado);
        std::shuffle(c.begin(), c.end(), azar);
        // With evitarFinal, the moves that end the game go last.
        if (evitarFinal) {
            std::vector<Candidata> finales;
            std::vector<Candidata> otras;
            for (const Candidata& m : c) {
                rules::Reglas prueba;
                prueba.Estado() = r.Estado();
                prueba.Turno = lado;
                prueba.Origen = std::to_string(m.xo) + std::to_string(m.yo);
                prueba.Destino = std::to_string(m.xd) + std::to_string(m.yd);
                const int pieza = r.Casillas[m.xo][m.yo];
                const bool corona =
                    (pieza == rules::PeonBlanco && m.yd == 8) || (pieza == rules::PeonNegro && m.yd == 1);
                prueba.PiezaCoronacion = corona ? (lado == 2 ? rules::DamaNegra : rules::DamaBlanca) : 0;
                prueba.ValidarMovimiento();
                if (!prueba.MovimientoValido) continue;
                (prueba.JaqueMate || prueba.Ahogado ? finales : otras).push_back(m);
            }
            otras.insert(otras.end(), finales.begin(), finales.end());
            c = std::move(otras);
        }
        bool jugada = false, fin = false;
        for (const Candidata& m : c) {
            const int pieza = r.Casillas[m.xo][m.yo];
            const bool corona = (pieza == rules::PeonBlanco && m.yd == 8) || (pieza == rules::PeonNegro && m.yd == 1);
            r.Turno = lado;
            r.Origen = std::to_string(m.xo) + std::to_string(m.yo);
            r.Destino = std::to_string(m.xd) + std::to_string(m.yd);
            r.PiezaCoronacion = corona ? int(2 + azar() % 4) + (lado == 2 ? 6 : 0) : 0;
            r.ValidarMovimiento();
            if (!r.MovimientoValido) {
                r.MovimientoAnulado();
                continue;
            }
            p.codificadas.push_back(r.Origen + r.Destino + (corona ? std::to_string(r.PiezaCoronacion) : ""));
            p.promocion |= corona;
            p.alPaso |= !r.CapturaAlPaso.empty();
            p.enroque |= r.EnroqueEnCurso != 0;
            if (r.JaqueMate) {
                p.resultado = lado == 1 ? "1-0" : "0-1";
                fin = true;
            } else if (r.Ahogado) {
                p.resultado = "1/2-1/2";
                fin = true;
            }
            r.MovimientoAnulado();
            r.Turno = 3 - lado;
            jugada = true;
            break;
        }
        if (!jugada || fin) break;
    }
    if (p.resultado.empty()) p.resultado = "*";
    return p;
}

}  // namespace

PartidaAleatoria Jugar(rules::Reglas& r, std::mt19937& azar, int maxMedias) {
    return JugarCon(r, azar, maxMedias, false);
}

PartidaAleatoria JugarLarga(rules::Reglas& r, std::mt19937& azar, int medias) {
    return JugarCon(r, azar, medias, true);
}

std::string TextoPgn(const rules::Reglas& r, int numero, const std::string& resultado) {
    const std::string n = std::to_string(numero);
    return pgn::TextoFichero({"Random game " + n, "Tavorin", "2024.01.01", n, "Random White", "Random Black"},
                             resultado, pgn::TextoJugadas(r.Jugadas.List[3]));
}

}  // namespace pgngen
