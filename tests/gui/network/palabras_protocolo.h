// Every message of the peer protocol, each with fields of the form it is sent with:
// the texts a chat line or a nick must carry without any of them taking effect.
#pragma once

#include <array>

namespace palabras {

// clang-format off
inline constexpr std::array<const char*, 30> kMensajes = {
    "Ping", "Pong", "Retroceso", "RetrocesoAceptado", "RetrocesoCancelado", "Close", "AbrirPartidaEPD",
    "AbrirAceptadoEPD", "AbrirCanceladoEPD", "CancelarEPD", "AbrirPartida", "AbrirAceptado", "AbrirCancelado",
    "NuevoCancelado", "NuevoAceptado", "Rendirse", "OfrecerTablas", "TablasAceptadas", "TablasCancelado",
    "NuevoJuego 1 R 5", "VersionTV 1.55", "TIME 4:59", "Movimiento 52540", "Ranking 1-2-3-4-1300", "TVP Iniciar",
    "TVP M 5254", "TVP Terminado", "EPD 1B 8/8/8/8/8/8/8/K6k w - - 0 1", "Mensaje <x>hola", "Bandera B"};

}  // namespace palabras
// clang-format on
