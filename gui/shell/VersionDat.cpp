#include "shell/VersionDat.h"

#include "app/Idioma.h"
#include "platform/Controles.h"

#include <QString>

QStringList ValoresVersionDat(const QByteArray& datos) {
    QString texto = QString::fromUtf8(datos);
    // A byte order mark left by an editor is not part of the first value.
    if (texto.startsWith(QChar(0xFEFF))) texto.remove(0, 1);
    QStringList valores;
    const qsizetype n = texto.size();
    qsizetype i = 0;
    auto blanco = [](QChar c) { return c == u' ' || c == u'\t'; };
    auto finLinea = [](QChar c) { return c == u'\r' || c == u'\n'; };
    while (i < n) {
        while (i < n && blanco(texto[i])) ++i;
        QString valor;
        if (i < n && texto[i] == u'"') {
            const qsizetype cierre = texto.indexOf(u'"', i + 1);
            const qsizetype fin = cierre < 0 ? n : cierre;
            valor = texto.mid(i + 1, fin - i - 1);
            i = cierre < 0 ? n : cierre + 1;
            // Whatever follows the closing quote up to the separator is not part of the value.
            while (i < n && texto[i] != u',' && !finLinea(texto[i])) ++i;
        } else {
            const qsizetype inicio = i;
            while (i < n && texto[i] != u',' && !finLinea(texto[i])) ++i;
            valor = texto.mid(inicio, i - inicio);
            while (!valor.isEmpty() && blanco(valor.back())) valor.chop(1);
        }
        valores << valor;
        if (i >= n) break;
        if (texto[i] == u',') {
            ++i;
            // A comma that ends the text still opens an empty last value.
            if (i >= n) valores << QString();
            continue;
        }
        // A line end: "\r\n", "\r" or "\n"; after the last one comes no value.
        if (texto[i] == u'\r' && i + 1 < n && texto[i + 1] == u'\n') ++i;
        ++i;
    }
    return valores;
}

double VersionDat(const QByteArray& datos) {
    const QStringList valores = ValoresVersionDat(datos);
    return valores.isEmpty() ? 0.0 : controles::Val(valores.back());
}

bool VersionNueva(const QByteArray& datos) { return VersionDat(datos) > controles::Val(kVersionPrograma); }
