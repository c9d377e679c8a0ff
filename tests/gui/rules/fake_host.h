// A stand-in for the board window: records what the rules ask of it.
#pragma once

#include <string>
#include <vector>

#include "rules/reglas.h"

namespace rules_test {

struct Mensaje {
    std::string titulo, texto;
    int icono = 0;
};

class FakeHost : public rules::RulesHost {
public:
    int respuestaCoronacion = 0;  // what the promotion question answers (0 = cancelled)
    std::vector<int> preguntasCoronacion;
    bool pgnVisible = false;
    bool reproduciendo = false;
    std::vector<std::string> torresDibujadas;  // "xoyoxdyd"
    int marcadorOculto = 0;
    int cambiosJugadas = 0;
    std::vector<std::string> subComoFicha;
    std::vector<Mensaje> mensajes;

    int Coronacion(int color) override {
        preguntasCoronacion.push_back(color);
        return respuestaCoronacion;
    }
    bool ListaPgnVisible() const override { return pgnVisible; }
    bool ReproduciendoPartida() const override { return reproduciendo; }
    void DibujarTorreEnroque(int xo, int yo, int xd, int yd) override {
        torresDibujadas.push_back(std::to_string(xo) + std::to_string(yo) + std::to_string(xd) + std::to_string(yd));
    }
    void OcultarMarcador() override { ++marcadorOculto; }
    void JugadasCambiadas() override { ++cambiosJugadas; }
    void SubComoFicha(const std::string& casilla) override { subComoFicha.push_back(casilla); }
    std::string TextoIdioma(int n) const override { return "<" + std::to_string(n) + ">"; }
    void MostrarMensaje(const std::string& titulo, const std::string& texto, int icono) override {
        mensajes.push_back({titulo, texto, icono});
    }
};

}  // namespace rules_test
