// What the tests and tools that drive whole copies of Tavorin read back from them: the
// fields of the state line the test commands print, a clock display, and the local half
// of the ranking file.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace testsupport {

// The fields of a state line, "ESTADO|name=value|name=value...".
inline std::map<std::string, std::string> CamposEstado(const std::string& linea) {
    std::map<std::string, std::string> e;
    std::stringstream s(linea.substr(linea.find('|') + 1));
    std::string campo;
    while (std::getline(s, campo, '|')) {
        const auto igual = campo.find('=');
        e[campo.substr(0, igual)] = igual == std::string::npos ? std::string() : campo.substr(igual + 1);
    }
    return e;
}

// The seconds a clock display ("04:07") shows; 0 for no display.
inline long SegundosReloj(const std::string& reloj) {
    const auto dos = reloj.find(':');
    if (dos == std::string::npos) return 0;
    return std::atol(reloj.c_str()) * 60 + std::atol(reloj.c_str() + dos + 1);
}

// The local half of a Puntuacion.dat: games, wins, losses, draws, points (zeros where the
// file is short or missing).
inline std::array<std::int32_t, 5> RegistroPuntuacion(const std::string& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    std::array<std::int32_t, 5> r{};
    for (auto& v : r) {
        unsigned char b[4] = {};
        f.read(reinterpret_cast<char*>(b), 4);
        v = std::int32_t(b[0] | b[1] << 8 | b[2] << 16 | unsigned(b[3]) << 24);
    }
    return r;
}

}  // namespace testsupport
