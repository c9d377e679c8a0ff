#include "board/FinPartida.h"

#include "app/CMensaje.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "board/Sonidos.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "network/Nuevo.h"
#include "network/Ranking.h"
#include "network/Red.h"
#include "rules/textos.h"

#include <QFrame>
#include <QTimer>

void SinPartida() {
    auto& g = Reglas();
    if (g.Conectado && !g.MiColor.empty()) ColorUltimaPartidaRed = g.MiColor;
    g.TipoPartida.clear();
    g.MiColor.clear();
    g.Turno = turno::Nadie;
    // What this side asked the peer about the game is void with it.
    red::PartidaTerminada();
}

void ReinicioFinal() {
    auto& g = Reglas();
    const bool negras = g.NotacionNegras;
    const int numero = g.NumeroJugada;
    const bool a1 = g.TorreA1Movida, h1 = g.TorreH1Movida, a8 = g.TorreA8Movida, h8 = g.TorreH8Movida;
    ::Nuevo().VariablesCero();
    g.NotacionNegras = negras;
    g.NumeroJugada = numero;
    g.TorreA1Movida = a1;
    g.TorreH1Movida = h1;
    g.TorreA8Movida = a8;
    g.TorreH8Movida = h8;
}

void AnotarResultado(int ganador) {
    static const char* const kResultados[3] = {"1/2-1/2", "1-0", "0-1"};
    if (ganador >= 0 && ganador <= 2) Reglas().Jugadas.Resultado = kResultados[ganador];
}

void FinJaqueMate() {
    auto& g = Reglas();
    const bool ganaBlancas = rules::EsBlanca(g.FichaOrigen);
    if (g.TipoPartida == "R") {
        const auto gana = puntuacion::Victoria, pierde = puntuacion::Derrota;
        if (g.MiColor == color_local::Blancas) ::Ranking().SumaDePartidas(ganaBlancas ? gana : pierde);
        if (g.MiColor == color_local::Negras) ::Ranking().SumaDePartidas(ganaBlancas ? pierde : gana);
    }
    SinPartida();
    ReproducirSonido(4);
    ::Tavorin().MovimientoAnulado();
    ReinicioFinal();
    auto& cpu = ::Cpu();
    if (cpu.Visible()) cpu.ApagarRelojes();
    MostrarMensaje("Tavorin", MensajeNumero(ganaBlancas ? texto::MateBlancas : texto::MateNegras), 0);
}

void FinAhogado() {
    if (Reglas().TipoPartida == "R") ::Ranking().SumaDePartidas(puntuacion::Tablas);
    SinPartida();
    ::Tavorin().MovimientoAnulado();
    ReinicioFinal();
    MostrarMensaje("Tavorin", MensajeNumero(texto::Ahogado), 0);
}

void ReiniciarPartida() {
    ::Jugadas().BorrarContenedor();
    Reglas().Turno = turno::Nadie;
    Reglas().TipoPartida.clear();
    ::Nuevo().NuevoAceptado();
    auto& t = ::Tavorin();
    t.OcultarMarcador();
    t.OcultarMarcos();
}
