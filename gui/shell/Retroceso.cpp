#include "shell/Retroceso.h"

namespace retroceso {

namespace {

bool EnTablero(int d) { return d >= 1 && d <= 8; }
bool EsDigito(char c) { return c >= '0' && c <= '9'; }

// The number that starts at texto[i], up to the next letter; false when there is none
// or it is too long to mean anything here.
bool LeerNumero(const std::string& texto, size_t& i, int& valor, std::string* cifras = nullptr) {
    size_t inicio = i;
    while (i < texto.size() && EsDigito(texto[i])) ++i;
    if (i == inicio || i - inicio > 3) return false;
    if (cifras) *cifras = texto.substr(inicio, i - inicio);
    valor = std::stoi(texto.substr(inicio, i - inicio));
    return true;
}

// Sets the two castling flags of the king's colour from the rights digit of the record.
void DerechosDelRey(rules::Variables& v, int rey, int k) {
    if (k < 0) return;
    bool* a = nullptr;
    bool* h = nullptr;
    if (rey == rules::ReyBlanco) {
        a = &v.TorreA1Movida;
        h = &v.TorreH1Movida;
    } else if (rey == rules::ReyNegro) {
        a = &v.TorreA8Movida;
        h = &v.TorreH8Movida;
    } else {
        return;
    }
    switch (k) {
        case 0: *a = *h = true; break;
        case 1: *a = false; break;
        case 2: *h = false; break;
        case 3: *a = *h = false; break;
        default: break;
    }
}

void Volver(rules::Variables& v, const Registro& r) {
    v.Casillas[r.x1][r.y1] = v.Casillas[r.x2][r.y2];
    v.Casillas[r.x2][r.y2] = rules::Vacia;
}

}  // namespace

std::optional<Registro> Leer(const std::string& texto) {
    if (texto.size() < 4) return std::nullopt;
    Registro r;
    int* cuatro[] = {&r.x1, &r.y1, &r.x2, &r.y2};
    for (int i = 0; i < 4; ++i) {
        if (!EsDigito(texto[i])) return std::nullopt;
        *cuatro[i] = texto[i] - '0';
        if (!EnTablero(*cuatro[i])) return std::nullopt;
    }
    if (r.x1 == r.x2 && r.y1 == r.y2) return std::nullopt;
    size_t i = 4;
    auto letra = [&](char c) {
        if (i < texto.size() && texto[i] == c) {
            ++i;
            return true;
        }
        return false;
    };
    auto derechos = [&](int& k) { return LeerNumero(texto, i, k) && k >= 0 && k <= 3; };
    auto pieza = [&](int& p, int minimo) { return LeerNumero(texto, i, p) && p >= minimo && p <= rules::UltimaPieza; };

    if (i < texto.size() && texto[i] != 'r') r.clase = texto[i++];
    switch (r.clase) {
        case 0: break;
        case 't':
            if (!derechos(r.k)) return std::nullopt;
            break;
        case 'x':
            if (!pieza(r.p, 0)) return std::nullopt;
            if (letra('t') && !derechos(r.k)) return std::nullopt;
            break;
        case 'e':
            if (!derechos(r.k)) return std::nullopt;
            break;
        case 'p': {
            std::string cifras;
            if (!LeerNumero(texto, i, r.s, &cifras) || cifras.size() != 2 || !EnTablero(r.s / 10) ||
                !EnTablero(r.s % 10))
                return std::nullopt;
            break;
        }
        case 'c':
            if (!pieza(r.q, 1)) return std::nullopt;
            if (letra('x') && !pieza(r.p, 0)) return std::nullopt;
            break;
        default: return std::nullopt;
    }
    if (letra('r')) {
        std::array<bool, 4> torres{};
        for (bool& t : torres) {
            if (i >= texto.size() || (texto[i] != '0' && texto[i] != '1')) return std::nullopt;
            t = texto[i++] == '1';
        }
        r.torres = torres;
    }
    if (i != texto.size()) return std::nullopt;
    return r;
}

void DeshacerTablero(rules::Variables& v, const Registro& r) {
    auto& c = v.Casillas;
    switch (r.clase) {
        case 0:
        case 't':
            DerechosDelRey(v, c[r.x2][r.y2], r.k);
            Volver(v, r);
            break;
        case 'x':
            Volver(v, r);
            c[r.x2][r.y2] = r.p;
            DerechosDelRey(v, c[r.x1][r.y1], r.k);
            break;
        case 'e': {
            // The rook goes back by the king's destination.
            struct Torre {
                int x, y, vacia, rincon, torre;
            };
            static const Torre torres[] = {{7, 8, 6, 8, rules::TorreNegra},
                                           {3, 8, 4, 1, rules::TorreNegra},
                                           {7, 1, 6, 8, rules::TorreBlanca},
                                           {3, 1, 4, 1, rules::TorreBlanca}};
            for (const Torre& t : torres) {
                if (r.x2 != t.x || r.y2 != t.y) continue;
                c[t.vacia][t.y] = rules::Vacia;
                c[t.rincon][t.y] = t.torre;
            }
            Volver(v, r);
            DerechosDelRey(v, c[r.x1][r.y1], r.k);
            break;
        }
        case 'p': {
            const bool blanco = c[r.x2][r.y2] == rules::PeonBlanco;
            Volver(v, r);
            c[r.s / 10][r.s % 10] = blanco ? rules::PeonNegro : rules::PeonBlanco;
            v.AlPasoPosible = true;
            v.CasillaAlPaso = r.s;
            v.AlPasoCaduca = true;
            break;
        }
        case 'c':
            c[r.x1][r.y1] = r.q;
            c[r.x2][r.y2] = r.p;
            break;
        default: break;
    }
    if (r.torres) {
        v.TorreA1Movida = (*r.torres)[0];
        v.TorreH1Movida = (*r.torres)[1];
        v.TorreA8Movida = (*r.torres)[2];
        v.TorreH8Movida = (*r.torres)[3];
    }
}

void QuitarUltimaLinea(std::string& texto) {
    if (texto.empty()) return;
    if (texto.back() == '\n') texto.pop_back();
    if (!texto.empty() && texto.back() == '\r') texto.pop_back();
    size_t fin = texto.find_last_of('\n');
    texto.erase(fin == std::string::npos ? 0 : fin + 1);
}

void BorrarTextos(rules::Reglas& g) {
    for (int i = 1; i <= 5; ++i) QuitarUltimaLinea(g.Jugadas.List[i]);
    if (g.NotacionNegras) {
        --g.NumeroJugada;
        g.NotacionNegras = false;
    } else {
        g.NotacionNegras = true;
    }
    if (!g.Jugadas.List1.empty()) g.Jugadas.List1.pop_back();
}

void FijarAlPaso(rules::Reglas& g) {
    g.AlPasoPosible = false;
    g.AlPasoCaduca = false;
    g.CasillaAlPaso = 0;
    const auto& lista = g.Jugadas.List1;
    if (lista.empty()) {
        // The starting position's field: "e3" is the pawn on e4, "d6" the pawn on d5.
        const std::string& campo = g.AlPasoTexto;
        if (campo.empty()) return;
        const int x = campo.front() >= 'a' && campo.front() <= 'h' ? campo.front() - 'a' + 1 : 0;
        const int y = campo.back() == '3' ? 4 : campo.back() == '6' ? 5 : 0;
        if (x == 0 || y == 0) return;
        g.CasillaAlPaso = x * 10 + y;
        g.AlPasoPosible = true;
        g.AlPasoCaduca = true;
        return;
    }
    const auto r = Leer(lista.back());
    if (!r || r->clase != 0 || r->torres || r->x1 != r->x2) return;
    const int pieza = g.Casillas[r->x2][r->y2];
    const bool blanco = pieza == rules::PeonBlanco && r->y1 == 2 && r->y2 == 4;
    const bool negro = pieza == rules::PeonNegro && r->y1 == 7 && r->y2 == 5;
    if (!blanco && !negro) return;
    // As the step itself left it.
    g.AlPasoPosible = true;
    g.AlPasoCaduca = false;
    g.CasillaAlPaso = r->x2 * 10 + r->y2;
}

void DevolverTurno(rules::Variables& v) {
    if (v.Turno == turno::Blancas)
        v.Turno = turno::Negras;
    else if (v.Turno == turno::Negras)
        v.Turno = turno::Blancas;
}

bool Retroceder(rules::Reglas& g) {
    if (g.Jugadas.List1.empty()) return false;
    const auto r = Leer(g.Jugadas.List1.back());
    if (!r) return false;
    DeshacerTablero(g, *r);
    BorrarTextos(g);
    FijarAlPaso(g);
    DevolverTurno(g);
    return true;
}

}  // namespace retroceso
