#include "network/Palabras.h"

#include <QLatin1String>

#include <cstring>

namespace tvp {

bool Es(QStringView mensaje, const char* palabra) { return mensaje == QLatin1String(palabra); }

bool Empieza(QStringView mensaje, const char* palabra) { return mensaje.startsWith(QLatin1String(palabra)); }

const Palabra* PalabraDe(QStringView mensaje) {
    const Palabra* mejor = nullptr;
    for (const Palabra& p : kPalabras)
        if (Empieza(mensaje, p.texto) && (!mejor || std::strlen(p.texto) > std::strlen(mejor->texto))) mejor = &p;
    return mejor;
}

QString Tvp(const char* parte, const QString& campo) {
    QString m = QLatin1String(palabra::Tvp) + u' ' + QLatin1String(parte);
    if (!campo.isEmpty()) m += u' ' + campo;
    return m;
}

bool EsTvp(QStringView mensaje, const char* parte) {
    const qsizetype n = qsizetype(std::strlen(palabra::Tvp));
    return mensaje.size() == n + 1 + qsizetype(std::strlen(parte)) && Empieza(mensaje, palabra::Tvp) &&
           mensaje[n] == u' ' && mensaje.mid(n + 1) == QLatin1String(parte);
}

}  // namespace tvp
