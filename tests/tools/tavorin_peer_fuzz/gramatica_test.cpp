// The peer fuzzer's grammar: runs are made again the same from their seed, and a few
// hundred of them reach every state and send every message of the protocol, framed and
// unframed, whole and cut.
#include "gramatica.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(GramaticaPar, ARunIsMadeAgainTheSameFromItsSeed) {
    for (std::uint64_t n : {0u, 7u, 123u}) {
        auto a = peerfuzz::Azar(36, n), b = peerfuzz::Azar(36, n);
        EXPECT_EQ(peerfuzz::Texto(peerfuzz::Generar(a)), peerfuzz::Texto(peerfuzz::Generar(b))) << n;
    }
    auto a = peerfuzz::Azar(36, 1), b = peerfuzz::Azar(37, 1);
    EXPECT_NE(peerfuzz::Texto(peerfuzz::Generar(a)), peerfuzz::Texto(peerfuzz::Generar(b)));
}

TEST(GramaticaPar, RunsReachEveryStateAndSendEveryMessage) {
    std::set<int> estados;
    std::set<std::string> palabras;
    bool enmarcada = false, cortada = false, inundacion = false, pregunta = false;
    const auto todas = peerfuzz::Palabras();
    for (std::uint64_t n = 0; n < 300; ++n) {
        auto azar = peerfuzz::Azar(36, n);
        const peerfuzz::Ejecucion e = peerfuzz::Generar(azar);
        estados.insert(int(e.estado));
        std::string flujo;
        int llegadas = 0;
        for (const auto& p : e.pasos) {
            if (p.tipo != peerfuzz::Paso::Tipo::Llegada) continue;
            flujo += p.texto;
            ++llegadas;
            pregunta = pregunta || p.respuesta == 6;
        }
        for (const std::string& w : todas)
            if (flujo.find(w) != std::string::npos) palabras.insert(w);
        enmarcada =
            enmarcada || flujo.find("\r\nEPD") != std::string::npos || flujo.find("w - -\r\n") != std::string::npos;
        cortada = cortada || llegadas > int(e.mensajes);
        inundacion = inundacion || flujo.find(std::string(20 * 8, 'x')) != std::string::npos ||
                     flujo.find("RetrocesoRetrocesoRetroceso") != std::string::npos ||
                     flujo.find("NuevoJuego 3 X 1NuevoJuego 3 X 1") != std::string::npos;
    }
    EXPECT_EQ(estados.size(), size_t(peerfuzz::kEstados));
    EXPECT_EQ(palabras.size(), todas.size());
    EXPECT_TRUE(enmarcada);
    EXPECT_TRUE(cortada);
    EXPECT_TRUE(inundacion);
    EXPECT_TRUE(pregunta);
}

}  // namespace
