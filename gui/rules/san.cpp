// The PGN browser's SAN reader: one move token of a game into squares, played through
// ValidarMovimiento and recorded in PgnJugadas. The first token that cannot be read or
// played stops the load (ErrorPgn) with its message.
#include <algorithm>
#include <cctype>

#include "rules/reglas.h"
#include "rules/textos.h"

namespace rules {

namespace {

bool Columna(char c) { return c >= 'a' && c <= 'h'; }
bool Fila(char c) { return c >= '1' && c <= '8'; }
char En(const std::string& s, size_t i) { return i < s.size() ? s[i] : '\0'; }
bool LetraCoronacion(char c) { return c == 'Q' || c == 'R' || c == 'B' || c == 'N'; }

int CodigoCoronacion(char letra, int lado) {
    int codigo = 0;
    switch (letra) {
        case 'Q': codigo = DamaBlanca; break;
        case 'R': codigo = TorreBlanca; break;
        case 'B': codigo = AlfilBlanco; break;
        case 'N': codigo = CaballoBlanco; break;
        default: return 0;
    }
    return lado == 2 ? codigo + 6 : codigo;
}

std::string Recortar(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::string Digito(int d) { return std::to_string(d); }

}  // namespace

void Reglas::ErrorToken(int texto, const std::string& token) {
    std::string mensaje = host_->TextoIdioma(texto);
    mensaje += (texto == texto::JugadaIlegible) ? " " + token : token;
    host_->MostrarMensaje("Tavorin", mensaje, 64);
    ErrorPgn = true;
}

// Validates Origen -> Destino; accepted moves are recorded as JugadaCodificada.
bool Reglas::ValidarSan() {
    PiezaEncontrada = false;
    ValidarMovimiento();
    if (!MovimientoValido) return false;
    if (!CapturaAlPaso.empty()) host_->SubComoFicha(CapturaAlPaso);
    PgnJugadas.push_back(Origen + Destino + (PiezaCoronacion != 0 ? std::to_string(PiezaCoronacion) : ""));
    return true;
}

void Reglas::ComFicha(const std::string& movimiento, int lado) {
    CasillasPrueba = Casillas;
    std::string t = Recortar(movimiento);
    // Annotation marks behind a move ("!", "?", "!?") are not part of it.
    while (!t.empty() && (t.back() == '!' || t.back() == '?')) t.pop_back();
    // Nothing to play: an empty token (a game ending on White's move) or a result.
    if (t.empty() || t == "1-0" || t == "0-1" || t == "1/2-1/2" || t == "*") return;
    if (lado != 1 && lado != 2) {
        ErrorToken(texto::JugadaIlegible, movimiento);
        return;
    }
    std::string bajo = t;
    std::transform(bajo.begin(), bajo.end(), bajo.begin(), [](unsigned char c) { return char(std::tolower(c)); });

    // Castling, with or without a check or mate sign.
    static const char* const kCorto[] = {"o-o", "o-o+", "o-o#", "o-o++", "0-0", "0-0+", "0-0#", "0-0++"};
    static const char* const kLargo[] = {"o-o-o", "o-o-o+", "o-o-o#", "o-o-o++", "0-0-0", "0-0-0+", "0-0-0#", "0-0-0++"};
    bool corto = std::find(std::begin(kCorto), std::end(kCorto), bajo) != std::end(kCorto);
    bool largo = std::find(std::begin(kLargo), std::end(kLargo), bajo) != std::end(kLargo);

    if (Columna(t[0])) {
        // Pawn move.
        const size_t n = t.size();
        char F = 0, R = 0, promocion = 0;
        bool captura = false, empuje = false;
        if (n == 2 || (n > 2 && (t[2] == '+' || t[2] == '#'))) {
            F = t[0];
            R = t[1];
            empuje = true;
        } else if (t[1] == 'x') {
            F = En(t, 2);
            R = En(t, 3);
            captura = true;
            if (LetraCoronacion(En(t, 4))) promocion = En(t, 4);
            else if (En(t, 4) == '=' && LetraCoronacion(En(t, 5))) promocion = En(t, 5);
        } else if (LetraCoronacion(En(t, 2))) {
            F = t[0];
            R = t[1];
            promocion = t[2];
        } else if (En(t, 2) == '=' && LetraCoronacion(En(t, 3))) {
            F = t[0];
            R = t[1];
            promocion = t[3];
        }
        if (!Columna(F) || !Fila(R)) {
            ErrorToken(texto::JugadaIlegible, movimiento);
            return;
        }
        const int f = F - 'a' + 1, r = R - '0';
        const int s = lado == 1 ? 1 : -1;
        const int peon = lado == 1 ? PeonBlanco : PeonNegro;
        int xo = 0, yo = 0;
        if (empuje) {
            if (r - s >= 1 && r - s <= 8 && Casillas[f][r - s] == peon) {
                xo = f;
                yo = r - s;
            } else if (r - 2 * s >= 1 && r - 2 * s <= 8 && Casillas[f][r - 2 * s] == peon && Casillas[f][r - s] == 0) {
                xo = f;
                yo = r - 2 * s;
            }
        } else {
            xo = captura ? t[0] - 'a' + 1 : f;
            yo = r - s;
            if (yo < 1 || yo > 8) xo = yo = 0;
        }
        if (xo == 0) {
            ErrorToken(texto::JugadaIlegible, movimiento);
            return;
        }
        if (promocion != 0) PiezaCoronacion = CodigoCoronacion(promocion, lado);
        Origen = Digito(xo) + Digito(yo);
        Destino = Digito(f) + Digito(r);
        if (!ValidarSan()) {
            ErrorToken(texto::JugadaNoPermitida, movimiento);
            return;
        }
        MovimientoAnulado();
        return;
    }

    const char pieza = bajo[0];
    if (pieza == 'n' || pieza == 'r' || pieza == 'b' || pieza == 'q') {
        int codigo = pieza == 'n' ? CaballoBlanco : pieza == 'r' ? TorreBlanca : pieza == 'b' ? AlfilBlanco : DamaBlanca;
        if (lado == 2) codigo += 6;
        XEncontrada.clear();
        YEncontrada.clear();
        // After the letter: an optional hint (file, rank or whole square), an optional
        // capture mark, the destination, then check or mate marks.
        std::string resto = t.substr(1);
        while (!resto.empty() && (resto.back() == '+' || resto.back() == '#')) resto.pop_back();
        if (const size_t x = resto.find('x'); x != std::string::npos && x + 3 == resto.size()) resto.erase(x, 1);
        char F = 0, R = 0, pista = 0, pistaFila = 0;
        if (resto.size() >= 2 && resto.size() <= 4) {
            F = resto[resto.size() - 2];
            R = resto[resto.size() - 1];
            const std::string hint = resto.substr(0, resto.size() - 2);
            if (hint.size() == 1 && (Columna(hint[0]) || Fila(hint[0]))) {
                pista = hint[0];
            } else if (hint.size() == 2 && Columna(hint[0]) && Fila(hint[1])) {
                pista = hint[0];
                pistaFila = hint[1];
            } else if (!hint.empty()) {
                F = R = 0;
            }
        }
        if (!Columna(F) || !Fila(R)) {
            ErrorToken(texto::JugadaIlegible, movimiento);
            return;
        }
        Turno = lado;
        const int f = F - 'a' + 1, r = R - '0';
        // The candidates: the pieces of that code the hint allows; the first one is
        // the piece the reach test finds from the destination.
        auto permitida = [&](int x, int y) {
            if (pistaFila != 0) return x == pista - 'a' + 1 && y == pistaFila - '0';
            if (Columna(pista)) return x == pista - 'a' + 1;
            if (Fila(pista)) return y == pista - '0';
            return true;
        };
        std::vector<std::pair<int, int>> candidatos;
        PiezaEncontrada = false;
        if (pista == 0) {
            if (codigo == CaballoBlanco || codigo == CaballoNegro) {
                AlcanceCaballo(f, r, codigo);
            } else if (codigo == TorreBlanca || codigo == TorreNegra) {
                AlcanceTorre(f, r, codigo);
            } else if (codigo == AlfilBlanco || codigo == AlfilNegro) {
                AlcanceAlfil(f, r, codigo);
            } else {
                AlcanceAlfil(f, r, codigo);
                if (XEncontrada.empty()) AlcanceTorre(f, r, codigo);
                if (PiezaEncontrada) {
                    // A second queen reaching the square is tried first.
                    const int qx = std::stoi(XEncontrada), qy = std::stoi(YEncontrada);
                    CasillasPrueba[qx][qy] = 0;
                    PiezaEncontrada = false;
                    AlcanceAlfil(f, r, codigo);
                    AlcanceTorre(f, r, codigo);
                    CasillasPrueba[qx][qy] = codigo;
                }
            }
            if (!XEncontrada.empty()) candidatos.emplace_back(std::stoi(XEncontrada), std::stoi(YEncontrada));
        } else {
            for (int x = 1; x <= 8 && candidatos.empty(); ++x)
                for (int y = 1; y <= 8; ++y)
                    if (Casillas[x][y] == codigo && permitida(x, y)) {
                        candidatos.emplace_back(x, y);
                        break;
                    }
        }
        if (candidatos.empty()) {
            ErrorToken(texto::JugadaIlegible, movimiento);
            return;
        }
        // The others, last in file order first.
        for (int x = 8; x >= 1; --x)
            for (int y = 8; y >= 1; --y)
                if (Casillas[x][y] == codigo && permitida(x, y) && std::make_pair(x, y) != candidatos.front())
                    candidatos.emplace_back(x, y);
        Destino = Digito(f) + Digito(r);
        for (const auto& [x, y] : candidatos) {
            XEncontrada = Digito(x);
            YEncontrada = Digito(y);
            Origen = XEncontrada + YEncontrada;
            Destino = Digito(f) + Digito(r);
            if (ValidarSan()) {
                MovimientoAnulado();
                Turno = turno::Nadie;
                return;
            }
        }
        ErrorToken(texto::JugadaNoPermitida, movimiento);
        return;
    }

    if (pieza == 'k' && !corto && !largo) {
        char F = En(t, 1) != 'x' ? En(t, 1) : En(t, 2);
        char R = En(t, 1) != 'x' ? En(t, 2) : En(t, 3);
        if (!Columna(F) || !Fila(R)) {
            ErrorToken(texto::JugadaIlegible, movimiento);
            return;
        }
        tokenActual_ = movimiento;
        RegistrarJugada(F - 'a' + 1, R - '0', lado);
        return;
    }

    if (corto || largo) {
        const std::string fila = lado == 1 ? "1" : "8";
        Origen = "5" + fila;
        Destino = (corto ? "7" : "3") + fila;
        if (!ValidarSan()) {
            ErrorToken(texto::JugadaNoPermitida, movimiento);
            return;
        }
        MovimientoAnulado();
        return;
    }

    ErrorToken(texto::JugadaIlegible, movimiento);
}

void Reglas::BuscarPieza(int x, int y, int codigo) {
    for (int i = 1; i <= 8; ++i)
        for (int j = 1; j <= 8; ++j)
            if (Casillas[i][j] == codigo && (i != x || j != y)) {
                XEncontrada = Digito(i);
                YEncontrada = Digito(j);
            }
}

void Reglas::RegistrarJugada(int x, int y, int lado) {
    const int rey = lado == 2 ? ReyNegro : ReyBlanco;
    int xo = 0, yo = 0;
    if (x >= 1 && x <= 8 && y >= 1 && y <= 8) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                int i = x + dx, j = y + dy;
                if ((dx != 0 || dy != 0) && i >= 1 && i <= 8 && j >= 1 && j <= 8 && Casillas[i][j] == rey) {
                    xo = i;
                    yo = j;
                }
            }
    }
    if (xo == 0) {
        ErrorToken(texto::JugadaIlegible, tokenActual_);
        MovimientoAnulado();
        return;
    }
    Origen = Digito(xo) + Digito(yo);
    Destino = Digito(x) + Digito(y);
    if (!ValidarSan()) ErrorToken(texto::JugadaNoPermitida, tokenActual_);
    MovimientoAnulado();
}

}  // namespace rules
