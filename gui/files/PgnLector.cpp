#include "files/PgnLector.h"

#include "rules/reglas.h"

#include <algorithm>
#include <unordered_set>

namespace pgn {

const std::array<std::string_view, kEtiquetas> kNombres = {"event", "site",  "date",  "round",
                                                           "white", "black", "result"};

int IndiceEtiqueta(std::string_view nombre) {
    for (int i = 0; i < kEtiquetas; ++i)
        if (kNombres[i] == nombre) return i;
    return -1;
}

namespace {

bool Blanco(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool LetraNombre(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char Minuscula(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// The name of a tag line, in lower case; empty when the line is not one.
std::string_view NombreEtiqueta(std::string_view linea, std::string& nombre) {
    nombre.clear();
    if (linea.empty() || linea[0] != '[') return {};
    size_t i = 1;
    while (i < linea.size() && LetraNombre(linea[i])) nombre += Minuscula(linea[i++]);
    if (nombre.empty() || i >= linea.size() || (linea[i] != ' ' && linea[i] != '\t')) {
        nombre.clear();
        return {};
    }
    return linea.substr(i + 1);
}

std::string ValorEtiqueta(std::string_view resto) {
    const size_t abre = resto.find('"');
    if (abre == std::string_view::npos) return {};
    std::string valor;
    for (size_t i = abre + 1; i < resto.size(); ++i) {
        const char c = resto[i];
        if (c == '\\' && i + 1 < resto.size() && (resto[i + 1] == '"' || resto[i + 1] == '\\')) {
            valor += resto[++i];
        } else if (c == '"') {
            return valor;
        } else {
            valor += c;
        }
    }
    return {};  // no closing quote
}

// Lines that neither end a tag run nor carry move text.
bool LineaIgnorada(std::string_view linea) {
    return linea.find_first_not_of(" \t") == std::string_view::npos || linea[0] == '%' || linea[0] == '[';
}

bool Digitos(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A move number's digits without leading zeros; "" for zero.
std::string Numero(std::string_view digitos) {
    const size_t i = digitos.find_first_not_of('0');
    return i == std::string_view::npos ? std::string() : std::string(digitos.substr(i));
}

}  // namespace

bool LeerEtiqueta(std::string_view linea, std::string* nombre, std::string* valor) {
    std::string n;
    std::string_view resto = NombreEtiqueta(linea, n);
    if (n.empty()) return false;
    if (valor) *valor = ValorEtiqueta(resto);
    if (nombre) *nombre = std::move(n);
    return true;
}

void Indice::Construir(std::string_view datos) {
    partidas_.clear();
    bool enRun = false;
    std::uint32_t nombresRun = 0;           // bits of the seven tags seen in this run
    std::unordered_set<std::string> otros;  // other names of this run
    std::string nombre;
    auto cerrar = [&](size_t fin) {
        if (!partidas_.empty() && partidas_.back().fin == 0) partidas_.back().fin = fin;
    };
    PorLineas(datos, [&](std::string_view linea, size_t inicio) {
        std::string_view resto = NombreEtiqueta(linea, nombre);
        if (nombre.empty()) {
            if (!LineaIgnorada(linea)) enRun = false;
            return;
        }
        const int k = IndiceEtiqueta(nombre);
        bool repetido = false;
        if (enRun) {
            if (k >= 0)
                repetido = (nombresRun >> k) & 1;
            else
                repetido = otros.count(nombre) != 0;
        }
        if (!enRun || repetido) {
            cerrar(inicio);
            partidas_.emplace_back();
            partidas_.back().inicio = inicio;
            nombresRun = 0;
            otros.clear();
            enRun = true;
        }
        if (k >= 0) {
            nombresRun |= 1u << k;
            EntradaIndice& e = partidas_.back();
            e.presentes |= std::uint8_t(1u << k);
            e.valores[k] = ValorEtiqueta(resto);
        } else {
            otros.insert(nombre);
        }
    });
    cerrar(datos.size());
}

std::vector<int> Indice::Lista(int etiqueta) const {
    std::vector<int> lista;
    if (etiqueta < 0 || etiqueta >= kEtiquetas) return lista;
    for (size_t i = 0; i < partidas_.size(); ++i)
        if (partidas_[i].Tiene(etiqueta)) lista.push_back(int(i));
    return lista;
}

Partida LeerPartida(std::string_view seccion) {
    Partida p;
    std::string nombre;
    bool enRun = true;
    PorLineas(seccion, [&](std::string_view linea, size_t) {
        std::string_view resto = NombreEtiqueta(linea, nombre);
        if (!nombre.empty()) {
            // The section's own run; a tag line after its move text belongs to no one.
            if (!enRun) return;
            const int k = IndiceEtiqueta(nombre);
            if (k >= 0 && !p.presentes[k]) {
                p.presentes[k] = true;
                p.valores[k] = ValorEtiqueta(resto);
            } else if (nombre == "fen" && !p.conFen) {
                p.conFen = true;
                p.fen = ValorEtiqueta(resto);
            }
            return;
        }
        if (LineaIgnorada(linea)) return;
        enRun = false;
        p.textoJugadas.append(linea);
        p.textoJugadas += '\n';
    });
    return p;
}

int TipoToken(std::string_view token) {
    const size_t a = token.find_first_not_of(" \t\r\n");
    if (a == std::string_view::npos) return 0;
    token = token.substr(a, token.find_last_not_of(" \t\r\n") - a + 1);
    if (token.find("...") != std::string_view::npos) return 0;
    if (token == "[!]") return 1;
    const size_t punto = token.find('.');
    if (punto != std::string_view::npos && punto + 1 < token.size() && Digitos(token.substr(0, punto))) return 5;
    if (Digitos(token) || (token.size() > 1 && token.back() == '.' && Digitos(token.substr(0, token.size() - 1))))
        return 2;
    if (token.find('$') != std::string_view::npos) return 4;
    // Suffix marks written apart from their move ("e4 !?") annotate it as a glyph does.
    if (token.find_first_not_of("!?") == std::string_view::npos) return 4;
    if ((token.find('-') != std::string_view::npos && token.find('1') != std::string_view::npos) ||
        token.find('*') != std::string_view::npos)
        return 6;
    return 3;
}

std::string QuitarComentarios(std::string_view texto) {
    std::string limpio;
    limpio.reserve(texto.size());
    enum { Fuera, Comentario, Variacion } estado = Fuera;
    int profundidad = 0;
    for (size_t i = 0; i < texto.size(); ++i) {
        const char c = texto[i];
        if (estado != Comentario && c == ';') {
            // A remark runs to the end of its line.
            const size_t fin = texto.find('\n', i);
            if (fin == std::string_view::npos) break;
            i = fin;
            if (estado == Fuera) limpio += '\n';
            continue;
        }
        switch (estado) {
            case Fuera:
                if (c == '{' || c == '(') {
                    estado = c == '{' ? Comentario : Variacion;
                    profundidad = 1;
                    limpio += ' ';
                } else {
                    limpio += c;
                }
                break;
            case Comentario:
                if (c == '{')
                    ++profundidad;
                else if (c == '}' && --profundidad == 0)
                    estado = Fuera;
                break;
            case Variacion:
                if (c == '(')
                    ++profundidad;
                else if (c == ')' && --profundidad == 0)
                    estado = Fuera;
                break;
        }
    }
    return limpio;
}

std::vector<std::string> SepararJugadas(std::string_view texto) {
    std::vector<std::string> lineas;
    const std::string limpio = QuitarComentarios(texto);
    std::string numero;  // the current move number, "" before the first
    bool tras = false;   // a move was listed since the last move number
    auto agregar = [&](bool nueva, std::string_view jugada) {
        if (numero.empty()) return;
        if (nueva)
            lineas.push_back(numero + ". " + std::string(jugada));
        else
            lineas.push_back(std::string(18, ' ') + std::string(jugada));
    };
    size_t i = 0;
    while (i < limpio.size()) {
        while (i < limpio.size() && Blanco(limpio[i])) ++i;
        size_t fin = i;
        while (fin < limpio.size() && !Blanco(limpio[fin])) ++fin;
        std::string_view token(limpio.data() + i, fin - i);
        i = fin;
        if (token.empty()) continue;
        // "12...Nf6" is Black's move 12 as "12... Nf6" is: the move after the dots.
        if (const size_t p = token.find("..."); p != std::string_view::npos) {
            const size_t q = token.find_first_not_of('.', p);
            if (q == std::string_view::npos) continue;
            token = token.substr(q);
        }
        // A glyph glued to its move ("e4$1", "12.e4$3", "Nf3+!$14") annotates it: the
        // move stands as if the glyph stood apart.
        if (const size_t d = token.find('$'); d != std::string_view::npos && d > 0) token = token.substr(0, d);
        switch (TipoToken(token)) {
            case 2:
                numero = Numero(token.back() == '.' ? token.substr(0, token.size() - 1) : token);
                tras = false;
                break;
            case 3:
                agregar(!tras, token);
                tras = true;
                break;
            case 5: {
                const size_t punto = token.find('.');
                numero = Numero(token.substr(0, punto));
                agregar(true, token.substr(punto + 1));
                tras = true;
                break;
            }
            default: break;
        }
    }
    return lineas;
}

std::string JugadaDeLinea(const std::string& linea, bool blancas) {
    if (blancas) {
        const size_t blanco = linea.find(' ');
        return blanco == std::string::npos ? std::string() : linea.substr(blanco + 1);
    }
    return linea.size() > 18 ? linea.substr(18) : std::string();
}

std::string LineaMostrada(const std::string& linea) {
    const bool blancas = !linea.empty() && linea[0] != ' ';
    const std::string jugada = JugadaDeLinea(linea, blancas);
    const std::string corta = rules::TokenCorto(jugada);
    if (corta.size() == jugada.size()) return linea;
    return linea.substr(0, linea.size() - jugada.size()) + corta;
}

}  // namespace pgn
