#include "files/PgnEscritor.h"

#include "rules/reglas.h"

namespace pgn {

namespace {

// A move of the box as standard SAN.
std::string San(const std::string& jugada) {
    std::string san;
    for (size_t i = 0; i < jugada.size(); ++i) {
        const bool par = i + 1 < jugada.size();
        if (par && jugada[i] == '+' && jugada[i + 1] == '+') {
            san += '#';
            ++i;
        } else if (par && jugada[i] == 'e' && jugada[i + 1] == 'p') {
            ++i;
        } else {
            san += jugada[i];
        }
    }
    return san;
}

// The side to move after the half-moves of the box.
int LadoAlTurno(const std::string& caja) {
    int medias = 0;
    size_t i = 0;
    while (i < caja.size()) {
        size_t fin = caja.find('\n', i);
        if (fin == std::string::npos) fin = caja.size();
        if (caja.find_first_not_of("\r", i) < fin) ++medias;
        i = fin + 1;
    }
    return medias % 2 == 0 ? turno::Blancas : turno::Negras;
}

bool TieneJugada(rules::Reglas& r, int lado) {
    const rules::Variables base = r.Estado();
    for (int xo = 1; xo <= 8; ++xo)
        for (int yo = 1; yo <= 8; ++yo) {
            const int pieza = base.Casillas[xo][yo];
            if (lado == turno::Blancas ? !rules::EsBlanca(pieza) : !rules::EsNegra(pieza)) continue;
            for (int xd = 1; xd <= 8; ++xd)
                for (int yd = 1; yd <= 8; ++yd) {
                    r.Estado() = base;
                    r.Turno = lado;
                    r.SoloComprobar = false;
                    r.Origen = std::to_string(xo) + std::to_string(yo);
                    r.Destino = std::to_string(xd) + std::to_string(yd);
                    const bool corona =
                        (pieza == rules::PeonBlanco && yd == 8) || (pieza == rules::PeonNegro && yd == 1);
                    r.PiezaCoronacion = corona ? (lado == turno::Blancas ? rules::DamaBlanca : rules::DamaNegra) : 0;
                    r.ValidarMovimiento();
                    if (r.MovimientoValido) return true;
                }
        }
    return false;
}

}  // namespace

std::string TextoJugadas(const std::string& caja) {
    std::string texto;
    size_t largoLinea = 0;
    size_t i = 0;
    while (i < caja.size()) {
        size_t fin = caja.find('\n', i);
        if (fin == std::string::npos) fin = caja.size();
        std::string linea = caja.substr(i, fin - i);
        i = fin + 1;
        if (!linea.empty() && linea.back() == '\r') linea.pop_back();
        if (linea.empty()) continue;
        std::string pieza;
        if (linea[0] != ' ') {
            // White's half-move: "n. move"; an empty one (Black began) becomes "n...".
            const size_t punto = linea.find(". ");
            const std::string numero = linea.substr(0, punto);
            const std::string jugada = punto == std::string::npos ? std::string() : San(linea.substr(punto + 2));
            pieza = jugada.empty() ? numero + "..." : numero + ". " + jugada;
        } else {
            pieza = San(linea.substr(linea.find_first_not_of(' ')));
        }
        texto += pieza;
        largoLinea += pieza.size();
        if (largoLinea < 71) {
            texto += ' ';
            ++largoLinea;
        } else {
            texto += "\r\n";
            largoLinea = 0;
        }
    }
    return texto;
}

std::string EscaparValor(const std::string& valor) {
    std::string e;
    e.reserve(valor.size());
    for (char c : valor) {
        if (c == '\\' || c == '"') e += '\\';
        e += c;
    }
    return e;
}

std::string TextoFichero(const std::array<std::string, 6>& campos, const std::string& resultado,
                         const std::string& jugadas) {
    static const char* const kNombres[7] = {"[Event ", "[Site ", "[Date ", "[Round ", "[White ", "[Black ", "[Result "};
    std::string texto;
    for (int i = 0; i < 7; ++i)
        texto += std::string(kNombres[i]) + '"' + EscaparValor(i < 6 ? campos[i] : resultado) + "\"]\r\n";
    texto += "\r\n";
    texto += jugadas + resultado + "\r\n";
    return texto;
}

std::string ResultadoDelTablero(const rules::Reglas& partida) {
    const int lado = LadoAlTurno(partida.Jugadas.List[3]);
    rules::Reglas prueba;
    prueba.Estado() = partida.Estado();
    prueba.Conectado = false;
    if (TieneJugada(prueba, lado)) return {};
    const bool jaque =
        rules::tablero::ReyAtacado(partida.Casillas, lado == turno::Blancas ? rules::ReyBlanco : rules::ReyNegro);
    if (!jaque) return "1/2-1/2";
    return lado == turno::Blancas ? "0-1" : "1-0";
}

std::string ResultadoDePartida(const rules::Reglas& partida) {
    if (!partida.Jugadas.Resultado.empty()) return partida.Jugadas.Resultado;
    return ResultadoDelTablero(partida);
}

std::array<std::string, 2> NombresJugadores(const Jugadores& j) {
    const std::string* nombres[2] = {nullptr, nullptr};
    // A game with the peer that runs, or one that has ended and stays on the board.
    std::string color;
    if (j.conectado && !j.miColor.empty())
        color = j.miColor;
    else if (!j.panelMotores)
        color = j.colorFinal;
    if (j.conectado || !color.empty()) {
        const bool blancas = color == color_local::Blancas, negras = color == color_local::Negras;
        if (blancas || negras) {
            nombres[blancas ? 0 : 1] = &j.nick;
            nombres[blancas ? 1 : 0] = &j.nickRival;
        }
    } else if (j.panelMotores && (!j.motor1.empty() || !j.motor2.empty())) {
        nombres[0] = j.motor1.empty() ? &j.nick : &j.motor1;
        nombres[1] = j.motor2.empty() ? &j.nick : &j.motor2;
    }
    std::array<std::string, 2> tags;
    for (int i = 0; i < 2; ++i) tags[size_t(i)] = nombres[i] && !nombres[i]->empty() ? *nombres[i] : "?";
    return tags;
}

}  // namespace pgn
