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
    return PiezaDelLado(codigo, lado);
}

std::string Recortar(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::string Digito(int d) { return std::to_string(d); }

}  // namespace

std::string Acortar(const std::string& texto, size_t caracteres) {
    size_t contados = 0;
    int seguidos = 0;  // bytes continuing the character before
    for (size_t i = 0; i < texto.size(); ++i) {
        // A byte that continues a UTF-8 character does not start one; a fourth in a
        // row is no UTF-8 and counts.
        if ((static_cast<unsigned char>(texto[i]) & 0xC0) == 0x80 && seguidos < 3) {
            ++seguidos;
            continue;
        }
        seguidos = 0;
        if (contados++ == caracteres) return texto.substr(0, i) + "...";
    }
    return texto;
}

// The token as the message quotes it: without the blanks that set the columns of its
// move-list line.
void Reglas::ErrorToken(int texto, const std::string& token) {
    std::string mensaje = host_->TextoIdioma(texto);
    const std::string citado = TokenCorto(Recortar(token));
    mensaje += (texto == texto::JugadaIlegible) ? " " + citado : citado;
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

namespace {

// The token without blanks round it and without annotation marks behind it ("!", "?",
// "!?"), which are not part of the move.
std::string SinAnotaciones(const std::string& movimiento) {
    std::string t = Recortar(movimiento);
    while (!t.empty() && (t.back() == '!' || t.back() == '?')) t.pop_back();
    return t;
}

// An empty token (a game ending on White's move) or a result: nothing to play.
bool NadaQueJugar(const std::string& t) { return t.empty() || t == "1-0" || t == "0-1" || t == "1/2-1/2" || t == "*"; }

enum class Enroque { Ninguno, Corto, Largo };

// Castling, with or without a check or mate sign, in lower case.
Enroque LeerEnroque(const std::string& bajo) {
    static const char* const kCorto[] = {"o-o", "o-o+", "o-o#", "o-o++", "0-0", "0-0+", "0-0#", "0-0++"};
    static const char* const kLargo[] = {"o-o-o", "o-o-o+", "o-o-o#", "o-o-o++",
                                         "0-0-0", "0-0-0+", "0-0-0#", "0-0-0++"};
    if (std::find(std::begin(kCorto), std::end(kCorto), bajo) != std::end(kCorto)) return Enroque::Corto;
    if (std::find(std::begin(kLargo), std::end(kLargo), bajo) != std::end(kLargo)) return Enroque::Largo;
    return Enroque::Ninguno;
}

// A pawn token: its destination (F, R), the promotion letter, and whether it is a
// capture or a push. F and R stay 0 when the token does not read.
struct TokenPeon {
    char F = 0, R = 0, promocion = 0;
    bool captura = false, empuje = false;
};

TokenPeon LeerTokenPeon(const std::string& t) {
    const size_t n = t.size();
    TokenPeon p;
    if (n == 2 || (n > 2 && (t[2] == '+' || t[2] == '#'))) {
        p.F = t[0];
        p.R = t[1];
        p.empuje = true;
    } else if (t[1] == 'x') {
        p.F = En(t, 2);
        p.R = En(t, 3);
        p.captura = true;
        if (LetraCoronacion(En(t, 4)))
            p.promocion = En(t, 4);
        else if (En(t, 4) == '=' && LetraCoronacion(En(t, 5)))
            p.promocion = En(t, 5);
    } else if (LetraCoronacion(En(t, 2))) {
        p.F = t[0];
        p.R = t[1];
        p.promocion = t[2];
    } else if (En(t, 2) == '=' && LetraCoronacion(En(t, 3))) {
        p.F = t[0];
        p.R = t[1];
        p.promocion = t[3];
    }
    return p;
}

// A piece token after its letter: an optional hint (file, rank or whole square), an
// optional capture mark, the destination (F, R), then check or mate marks. F and R
// stay 0 when the token does not read.
struct TokenPieza {
    char F = 0, R = 0, pista = 0, pistaFila = 0;
};

TokenPieza LeerTokenPieza(const std::string& t) {
    std::string resto = t.substr(1);
    while (!resto.empty() && (resto.back() == '+' || resto.back() == '#')) resto.pop_back();
    if (const size_t x = resto.find('x'); x != std::string::npos && x + 3 == resto.size()) resto.erase(x, 1);
    TokenPieza p;
    if (resto.size() < 2 || resto.size() > 4) return p;
    p.F = resto[resto.size() - 2];
    p.R = resto[resto.size() - 1];
    const std::string hint = resto.substr(0, resto.size() - 2);
    if (hint.size() == 1 && (Columna(hint[0]) || Fila(hint[0]))) {
        p.pista = hint[0];
    } else if (hint.size() == 2 && Columna(hint[0]) && Fila(hint[1])) {
        p.pista = hint[0];
        p.pistaFila = hint[1];
    } else if (!hint.empty()) {
        p.F = p.R = 0;
    }
    return p;
}

// The piece on (x, y) fits the hint: a whole square, a file or a rank.
bool Permitida(char pista, char pistaFila, int x, int y) {
    if (pistaFila != 0) return x == pista - 'a' + 1 && y == pistaFila - '0';
    if (Columna(pista)) return x == pista - 'a' + 1;
    if (Fila(pista)) return y == pista - '0';
    return true;
}

}  // namespace

void Reglas::ComFicha(const std::string& movimiento, int lado) {
    CasillasPrueba = Casillas;
    const std::string t = SinAnotaciones(movimiento);
    if (NadaQueJugar(t)) return;
    if (lado != turno::Blancas && lado != turno::Negras) {
        ErrorToken(texto::JugadaIlegible, movimiento);
        return;
    }
    std::string bajo = t;
    std::transform(bajo.begin(), bajo.end(), bajo.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    const Enroque enroque = LeerEnroque(bajo);
    const char pieza = bajo[0];

    if (Columna(t[0])) {
        SanPeon(t, movimiento, lado);
    } else if (pieza == 'n' || pieza == 'r' || pieza == 'b' || pieza == 'q') {
        const int blanca = pieza == 'n'   ? CaballoBlanco
                           : pieza == 'r' ? TorreBlanca
                           : pieza == 'b' ? AlfilBlanco
                                          : DamaBlanca;
        SanPieza(t, movimiento, lado, PiezaDelLado(blanca, lado));
    } else if (pieza == 'k' && enroque == Enroque::Ninguno) {
        SanRey(t, movimiento, lado);
    } else if (enroque != Enroque::Ninguno) {
        SanEnroque(enroque == Enroque::Corto, movimiento, lado);
    } else {
        ErrorToken(texto::JugadaIlegible, movimiento);
    }
}

// Plays Origen -> Destino for the token, or tells why not.
void Reglas::JugarSan(const std::string& movimiento) {
    if (!ValidarSan()) {
        ErrorToken(texto::JugadaNoPermitida, movimiento);
        return;
    }
    MovimientoAnulado();
}

void Reglas::SanPeon(const std::string& t, const std::string& movimiento, int lado) {
    const TokenPeon p = LeerTokenPeon(t);
    if (!Columna(p.F) || !Fila(p.R)) {
        ErrorToken(texto::JugadaIlegible, movimiento);
        return;
    }
    const int f = p.F - 'a' + 1, r = p.R - '0';
    const auto [xo, yo] = OrigenPeon(t[0] - 'a' + 1, f, r, lado, p.empuje, p.captura);
    if (xo == 0) {
        ErrorToken(texto::JugadaIlegible, movimiento);
        return;
    }
    if (p.promocion != 0) PiezaCoronacion = CodigoCoronacion(p.promocion, lado);
    Origen = Digito(xo) + Digito(yo);
    Destino = Digito(f) + Digito(r);
    JugarSan(movimiento);
}

// The square of the pawn that goes to (f, r): one or two steps behind on a push, one
// rank behind on file `columna` on a capture, one rank behind on its own file otherwise.
// (0, 0) when there is none.
std::pair<int, int> Reglas::OrigenPeon(int columna, int f, int r, int lado, bool empuje, bool captura) const {
    const int s = lado == turno::Blancas ? 1 : -1;
    const int peon = lado == turno::Blancas ? PeonBlanco : PeonNegro;
    if (empuje) {
        if (r - s >= 1 && r - s <= 8 && Casillas[f][r - s] == peon) return {f, r - s};
        if (r - 2 * s >= 1 && r - 2 * s <= 8 && Casillas[f][r - 2 * s] == peon && Casillas[f][r - s] == 0)
            return {f, r - 2 * s};
        return {0, 0};
    }
    const int yo = r - s;
    if (yo < 1 || yo > 8) return {0, 0};
    return {captura ? columna : f, yo};
}

void Reglas::SanPieza(const std::string& t, const std::string& movimiento, int lado, int codigo) {
    XEncontrada.clear();
    YEncontrada.clear();
    const TokenPieza p = LeerTokenPieza(t);
    if (!Columna(p.F) || !Fila(p.R)) {
        ErrorToken(texto::JugadaIlegible, movimiento);
        return;
    }
    Turno = lado;
    const int f = p.F - 'a' + 1, r = p.R - '0';
    const auto candidatos = CandidatosPieza(f, r, codigo, p.pista, p.pistaFila);
    if (candidatos.empty()) {
        ErrorToken(texto::JugadaIlegible, movimiento);
        return;
    }
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
}

// The pieces of that code that may go to (f, r), in the order they are tried: first
// the one the reach test finds from the destination (without a hint) or the first the
// hint allows in file order, then the others the hint allows, last in file order first.
// Empty when there is no first one.
std::vector<std::pair<int, int>> Reglas::CandidatosPieza(int f, int r, int codigo, char pista, char pistaFila) {
    std::vector<std::pair<int, int>> candidatos;
    PiezaEncontrada = false;
    if (pista == 0) {
        AlcanceDesdeDestino(f, r, codigo);
        if (!XEncontrada.empty()) candidatos.emplace_back(std::stoi(XEncontrada), std::stoi(YEncontrada));
    } else {
        for (int x = 1; x <= 8 && candidatos.empty(); ++x)
            for (int y = 1; y <= 8; ++y)
                if (Casillas[x][y] == codigo && Permitida(pista, pistaFila, x, y)) {
                    candidatos.emplace_back(x, y);
                    break;
                }
    }
    if (candidatos.empty()) return candidatos;
    for (int x = 8; x >= 1; --x)
        for (int y = 8; y >= 1; --y)
            if (Casillas[x][y] == codigo && Permitida(pista, pistaFila, x, y) &&
                std::make_pair(x, y) != candidatos.front())
                candidatos.emplace_back(x, y);
    return candidatos;
}

// The reach test from the destination for the piece's movement; it leaves the piece
// found in XEncontrada and YEncontrada.
void Reglas::AlcanceDesdeDestino(int f, int r, int codigo) {
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
}

void Reglas::SanRey(const std::string& t, const std::string& movimiento, int lado) {
    const char F = En(t, 1) != 'x' ? En(t, 1) : En(t, 2);
    const char R = En(t, 1) != 'x' ? En(t, 2) : En(t, 3);
    if (!Columna(F) || !Fila(R)) {
        ErrorToken(texto::JugadaIlegible, movimiento);
        return;
    }
    tokenActual_ = movimiento;
    RegistrarJugada(F - 'a' + 1, R - '0', lado);
}

void Reglas::SanEnroque(bool corto, const std::string& movimiento, int lado) {
    const std::string fila = lado == turno::Blancas ? "1" : "8";
    Origen = "5" + fila;
    Destino = (corto ? "7" : "3") + fila;
    JugarSan(movimiento);
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
    const int rey = PiezaDelLado(ReyBlanco, lado);
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
