#include "platform/FuenteReloj.h"

#include <chrono>

namespace reloj {

namespace {
std::function<std::int64_t()>& Fuente() {
    static std::function<std::int64_t()> fuente;
    return fuente;
}
}  // namespace

std::int64_t AhoraMs() {
    if (auto& f = Fuente()) return f();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void FijarFuente(std::function<std::int64_t()> fuente) { Fuente() = std::move(fuente); }

void ContadorSegundos::Iniciar() {
    activo_ = true;
    inicio_ = AhoraMs();
    entregados_ = 0;
}

void ContadorSegundos::Detener() { activo_ = false; }

std::int64_t ContadorSegundos::SegundosNuevos() {
    if (!activo_) return 0;
    const std::int64_t transcurridos = (AhoraMs() - inicio_) / 1000;
    if (transcurridos <= entregados_) return 0;
    const std::int64_t nuevos = transcurridos - entregados_;
    entregados_ = transcurridos;
    return nuevos;
}

}  // namespace reloj
