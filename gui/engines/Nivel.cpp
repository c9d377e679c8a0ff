#include "engines/Nivel.h"

#include "platform/Controles.h"

#include <cmath>

namespace nivel {

const QStringList& ListaJugadas() {
    static const QStringList lista = {"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};
    return lista;
}

long Valor(const QString& texto) {
    const double v = controles::Val(texto);
    // Leading digits only: a box holds no sign nor a decimal part, but a stored value may.
    if (v >= 1e9) return 1000000000L;
    return v < 0 ? -1 : long(std::floor(v));
}

QString EnRango(const QString& texto, long maximo) {
    const long v = Valor(texto);
    if (v > maximo) return QString::number(maximo);
    if (v < 1) return QStringLiteral("1");
    return texto;
}

QString Subir(const QString& texto, long maximo) {
    const long v = Valor(texto);
    if (v + 1 > maximo) return QString::number(maximo);
    if (v < 1) return QStringLiteral("1");
    return QString::number(v + 1);
}

QString Bajar(const QString& texto, long maximo) {
    const long v = Valor(texto);
    if (v > maximo) return QString::number(maximo);
    if (v - 1 < 1) return QStringLiteral("1");
    return QString::number(v - 1);
}

QString Comando(int modo, const QString& segundos, const QString& profundidad, const QString& jugadas,
                const QString& minutos) {
    switch (modo) {
        case Profundidad: return "sd " + profundidad;
        case TiempoPorJugada: return "st " + segundos;
        case ControlDeTiempo: return "level " + jugadas + " " + minutos + " 0";
        default: return {};
    }
}

}  // namespace nivel
