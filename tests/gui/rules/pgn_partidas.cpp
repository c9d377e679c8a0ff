#include "pgn_partidas.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace rules_test {

namespace {

void Tokens(const std::string& texto, std::vector<std::string>& tokens) {
    std::string limpio;
    int llaves = 0, parentesis = 0;
    for (char c : texto) {
        if (c == '{')
            ++llaves;
        else if (c == '}' && llaves > 0)
            --llaves;
        else if (llaves == 0 && c == '(')
            ++parentesis;
        else if (llaves == 0 && c == ')' && parentesis > 0)
            --parentesis;
        else if (llaves == 0 && parentesis == 0)
            limpio += c;
    }
    std::istringstream in(limpio);
    std::string t;
    while (in >> t) {
        // "12." or "12..." and "12.e4"
        size_t i = 0;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
        if (i > 0 && i < t.size() && t[i] == '.') {
            while (i < t.size() && t[i] == '.') ++i;
            t = t.substr(i);
        }
        if (t.empty() || t[0] == '$' || t == "*" || t == "1-0" || t == "0-1" || t == "1/2-1/2") continue;
        tokens.push_back(t);
    }
}

}  // namespace

std::vector<PartidaPgn> LeerPartidasPgn(const std::string& ruta) {
    std::ifstream in(ruta);
    std::vector<PartidaPgn> partidas;
    std::string linea, texto, eco;
    bool enEtiquetas = false;
    auto cerrar = [&] {
        if (!texto.empty() || enEtiquetas) {
            PartidaPgn p;
            p.eco = eco;
            Tokens(texto, p.tokens);
            if (!p.tokens.empty()) partidas.push_back(std::move(p));
        }
        texto.clear();
        eco.clear();
    };
    int llaves = 0;
    while (std::getline(in, linea)) {
        if (!linea.empty() && linea.back() == '\r') linea.pop_back();
        for (char c : linea) {
            if (c == '{') ++llaves;
            if (c == '}' && llaves > 0) --llaves;
        }
        if (llaves == 0 && !linea.empty() && linea[0] == '[') {
            if (!enEtiquetas) cerrar();
            enEtiquetas = true;
            if (linea.rfind("[ECO \"", 0) == 0) eco = linea.substr(6, linea.find('"', 6) - 6);
            continue;
        }
        enEtiquetas = false;
        texto += linea + " ";
    }
    cerrar();
    return partidas;
}

}  // namespace rules_test
