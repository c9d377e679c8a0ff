#include "network/Puntuacion.h"

#include "platform/Ficheros.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace puntuacion {

namespace {

constexpr std::int64_t kMaximo = std::numeric_limits<std::int32_t>::max();

// a + d, kept within 0 and the largest 32-bit value.
std::int32_t Mas(std::int32_t a, std::int64_t d) {
    return std::int32_t(std::clamp<std::int64_t>(std::int64_t(a) + d, 0, kMaximo));
}

}  // namespace

void Sumar(Registro& r, int resultado) {
    const std::int32_t p = r[4], q = r[9];
    switch (resultado) {
        case Victoria:
            r[0] = Mas(r[0], 1), r[1] = Mas(r[1], 1), r[5] = Mas(r[5], 1), r[7] = Mas(r[7], 1);
            r[4] = Mas(p, p > q ? 50 : 100);
            r[9] = Mas(q, q < p ? -50 : -100);
            break;
        case Derrota:
            r[0] = Mas(r[0], 1), r[2] = Mas(r[2], 1), r[5] = Mas(r[5], 1), r[6] = Mas(r[6], 1);
            r[4] = Mas(p, p < q ? -50 : -100);
            r[9] = Mas(q, q > p ? 50 : 100);
            break;
        case Tablas:
            r[0] = Mas(r[0], 1), r[3] = Mas(r[3], 1), r[5] = Mas(r[5], 1), r[8] = Mas(r[8], 1);
            if (p > q) r[4] = Mas(p, -50), r[9] = Mas(q, 50);
            if (p < q) r[4] = Mas(p, 50), r[9] = Mas(q, -50);
            break;
        default: break;
    }
}

QByteArray Bytes(const Registro& r) {
    QByteArray b;
    for (int i = 0; i < 5; ++i) {
        const auto v = std::uint32_t(r[size_t(i)]);
        for (int k = 0; k < 4; ++k) b.append(char((v >> (8 * k)) & 0xFF));
    }
    return b;
}

bool DesdeBytes(const QByteArray& datos, Registro& r) {
    if (datos.size() != 20) return false;
    std::array<std::int32_t, 5> v{};
    for (int i = 0; i < 5; ++i) {
        std::uint32_t u = 0;
        for (int k = 0; k < 4; ++k) u |= std::uint32_t(std::uint8_t(datos[i * 4 + k])) << (8 * k);
        v[size_t(i)] = std::int32_t(u);
    }
    // The counters are never negative and add up; the points may stand anywhere.
    if (v[0] < 0 || v[1] < 0 || v[2] < 0 || v[3] < 0) return false;
    if (std::int64_t(v[0]) != std::int64_t(v[1]) + v[2] + v[3]) return false;
    std::copy(v.begin(), v.end(), r.begin());
    return true;
}

void Reiniciar(Registro& r) { std::copy(kRegistroNuevo.begin(), kRegistroNuevo.begin() + 5, r.begin()); }

bool Escribir(const QString& ruta, const Registro& r) {
    if (ficheros::Destino(ruta) != ficheros::Escrito::Hecho) return false;
    QFile existente(ruta);
    if (existente.exists()) {
        const auto permisos = existente.permissions();
        if (!(permisos & QFileDevice::WriteOwner) && !existente.setPermissions(permisos | QFileDevice::WriteOwner))
            return false;
    }
    // The record takes the first 20 bytes, written in place: what a longer file holds
    // after them stays, unread. A shorter file holds nothing beyond the record.
    const QByteArray b = Bytes(r);
    const bool enSitio = QFileInfo(ruta).size() >= b.size();
    return (enSitio ? ficheros::EscribirPrincipio(ruta, b) : ficheros::Escribir(ruta, b)) == ficheros::Escrito::Hecho;
}

}  // namespace puntuacion
