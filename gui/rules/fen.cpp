// FEN/EPD text of a position, both ways.
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

#include "rules/reglas.h"

namespace rules {

namespace {

int CodigoLetraFen(char c) {
    switch (c) {
        case 'P': return PeonBlanco;
        case 'R': return TorreBlanca;
        case 'N': return CaballoBlanco;
        case 'B': return AlfilBlanco;
        case 'Q': return DamaBlanca;
        case 'K': return ReyBlanco;
        case 'p': return PeonNegro;
        case 'r': return TorreNegra;
        case 'n': return CaballoNegro;
        case 'b': return AlfilNegro;
        case 'q': return DamaNegra;
        case 'k': return ReyNegro;
        default: return 0;
    }
}

// The first four fields, at each single blank (two blanks in a row give an empty
// field), as views into the text; false when it has fewer. A list of a million
// positions reads each of them: nothing is copied.
bool CuatroCampos(std::string_view texto, std::array<std::string_view, 4>& campos) {
    size_t inicio = 0;
    for (size_t n = 0; n < campos.size(); ++n) {
        const size_t blanco = texto.find(' ', inicio);
        if (blanco == std::string_view::npos) {
            campos[n] = texto.substr(inicio);
            return n + 1 == campos.size();
        }
        campos[n] = texto.substr(inicio, blanco - inicio);
        inicio = blanco + 1;
    }
    return true;
}

}  // namespace

std::string Reglas::LetraPiezaFen(int codigo) {
    static const char* const kLetras = "PRNBQKprnbqk";
    return EsPieza(codigo) ? std::string(1, kLetras[codigo - 1]) : std::string(".");
}

void Reglas::VaciarTablero() {
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y) Casillas[x][y] = 0;
}

std::optional<PosicionFen> Reglas::AnalizarFen(const std::string& texto) const {
    std::array<std::string_view, 4> campos;
    if (!CuatroCampos(texto, campos)) return std::nullopt;

    // Placement: only the total of squares counts, not the ranks one by one.
    std::array<int, 64> casillas{};
    int n = 0;
    for (char c : campos[0]) {
        if (int codigo = CodigoLetraFen(c); codigo != 0) {
            if (n >= 0 && n < 64) casillas[n] = codigo;
            ++n;
        } else if (c >= '1' && c <= '9') {
            n += c - '0';
        }
        if (n > 64) return std::nullopt;
    }
    if (n != 64) return std::nullopt;

    PosicionFen p;
    for (int i = 0; i < 64; ++i) p.Casillas[1 + i % 8][8 - i / 8] = casillas[i];

    const std::string_view lado = campos[1];
    if (lado == "w" || lado == "W")
        p.Turno = turno::Blancas;
    else if (lado == "b" || lado == "B")
        p.Turno = turno::Negras;
    else
        return std::nullopt;

    for (char c : campos[2]) {
        if (c == 'K')
            p.K = true;
        else if (c == 'Q')
            p.Q = true;
        else if (c == 'k')
            p.k = true;
        else if (c == 'q')
            p.q = true;
        else if (c == '-')
            break;
        else
            return std::nullopt;
    }

    // En passant: kept only when it fits the position: a pawn of the side not to move
    // has just passed over that square from its start square.
    const std::string_view alPaso = campos[3];
    if (alPaso != "-" && !alPaso.empty()) {
        int x = 0, y = 0;
        char columna = char(std::tolower(static_cast<unsigned char>(alPaso.front())));
        if (columna >= 'a' && columna <= 'h') x = columna - 'a' + 1;
        if (alPaso.back() == '3')
            y = 4;
        else if (alPaso.back() == '6')
            y = 5;
        const Tablero& b = p.Casillas;
        bool encaja = false;
        if (x != 0 && y == 5 && p.Turno == turno::Blancas)
            encaja = b[x][5] == PeonNegro && b[x][6] == 0 && b[x][7] == 0;
        if (x != 0 && y == 4 && p.Turno == turno::Negras)
            encaja = b[x][4] == PeonBlanco && b[x][3] == 0 && b[x][2] == 0;
        if (encaja) {
            p.AlPasoPosible = true;
            p.CasillaAlPaso = x * 10 + y;
            p.AlPasoTexto = alPaso;
        }
    }

    // A position the rules can play: one king a side, no pawn on the first or last
    // rank, and the side not to move not in check.
    int reyes[2] = {0, 0};
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y) {
            int c = p.Casillas[x][y];
            if (c == ReyBlanco) ++reyes[0];
            if (c == ReyNegro) ++reyes[1];
            if ((c == PeonBlanco || c == PeonNegro) && (y == 1 || y == 8)) return std::nullopt;
        }
    if (reyes[0] != 1 || reyes[1] != 1) return std::nullopt;
    if (tablero::ReyAtacado(p.Casillas, p.Turno == turno::Blancas ? ReyNegro : ReyBlanco)) return std::nullopt;
    return p;
}

bool Reglas::LeerFen(const std::string& texto) {
    std::optional<PosicionFen> p = AnalizarFen(texto);
    if (!p) return false;
    VaciarTablero();
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y) Casillas[x][y] = p->Casillas[x][y];
    TurnoFichero = p->Turno;
    // The loaders mark every right lost first; the text grants back those it names.
    if (p->K) TorreH1Movida = false;
    if (p->Q) TorreA1Movida = false;
    if (p->k) TorreH8Movida = false;
    if (p->q) TorreA8Movida = false;
    AlPasoPosible = p->AlPasoPosible;
    CasillaAlPaso = p->CasillaAlPaso;
    AlPasoCaduca = p->AlPasoPosible;
    AlPasoTexto = p->AlPasoTexto;
    return true;
}

void Reglas::EscribirFen() {
    std::string texto;
    for (int y = 8; y >= 1; --y) {
        if (y < 8) texto += "/";
        int vacias = 0;
        for (int x = 1; x <= 8; ++x) {
            int c = Casillas[x][y];
            if (c == 0) {
                ++vacias;
                continue;
            }
            if (vacias != 0) texto += std::to_string(vacias);
            vacias = 0;
            texto += LetraPiezaFen(c);
        }
        if (vacias != 0) texto += std::to_string(vacias);
    }
    if (Turno == turno::Blancas)
        texto += " w";
    else if (Turno == turno::Negras)
        texto += " b";
    else
        texto += NotacionNegras ? " b" : " w";

    // A right stands only where the position allows it: not lost in the game, and
    // the king and that rook on their squares.
    const bool reyBlanco = Casillas[5][1] == ReyBlanco, reyNegro = Casillas[5][8] == ReyNegro;
    std::string enroque;
    if (!TorreH1Movida && reyBlanco && Casillas[8][1] == TorreBlanca) enroque += "K";
    if (!TorreA1Movida && reyBlanco && Casillas[1][1] == TorreBlanca) enroque += "Q";
    if (!TorreH8Movida && reyNegro && Casillas[8][8] == TorreNegra) enroque += "k";
    if (!TorreA8Movida && reyNegro && Casillas[1][8] == TorreNegra) enroque += "q";
    texto += " " + (enroque.empty() ? std::string("-") : enroque);

    if (AlPasoPosible) {
        std::string casilla;
        int x = CasillaAlPaso / 10, y = CasillaAlPaso % 10;
        if (x >= 1 && x <= 8) casilla += char('a' + x - 1);
        if (y == 4)
            casilla += "3";
        else if (y == 5)
            casilla += "6";
        texto += " " + casilla + " 0 1";
    } else {
        texto += " - 0 1";
    }
    TextoFen = texto;
}

}  // namespace rules
