#include "files/TvpTexto.h"

#include "platform/Ficheros.h"

namespace tvp {

namespace {

const char* const kFinLinea = "\r\n";

bool SoloCifras(const QString& t) {
    if (t.isEmpty()) return false;
    for (QChar c : t)
        if (c < u'0' || c > u'9') return false;
    return true;
}

QString Cifras(const QString& t) {
    QString r;
    for (QChar c : t)
        if (c >= u'0' && c <= u'9') r += c;
    return r;
}

bool Blanco(QChar c) { return c == u' ' || c == u'\t'; }

// The items of one line, as the reading rules cut them.
void ItemsDeLinea(const QString& linea, std::vector<QString>& items) {
    qsizetype i = 0;
    const qsizetype n = linea.size();
    for (;;) {
        while (i < n && Blanco(linea[i])) ++i;
        QString item;
        if (i < n && linea[i] == u'"') {
            const qsizetype cierre = linea.indexOf(u'"', i + 1);
            item = linea.mid(i + 1, cierre < 0 ? -1 : cierre - i - 1);
            i = cierre < 0 ? n : cierre + 1;
            while (i < n && linea[i] != u',') ++i;
        } else {
            const qsizetype coma = linea.indexOf(u',', i);
            item = linea.mid(i, coma < 0 ? -1 : coma - i);
            while (!item.isEmpty() && Blanco(item.back())) item.chop(1);
            i = coma < 0 ? n : coma;
        }
        items.push_back(item);
        if (i >= n) return;
        ++i;  // the comma
    }
}

}  // namespace

std::optional<QByteArray> LeerFicheroEntero(const QString& ruta) { return ficheros::Leer(ruta); }

std::vector<QString> Lineas(const QByteArray& datos) {
    QByteArray bytes = datos;
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    const QString texto = QString::fromUtf8(bytes);
    std::vector<QString> lineas;
    QString actual;
    bool abierta = false;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < texto.size() && texto[i + 1] == u'\n') ++i;
            lineas.push_back(actual);
            actual.clear();
            abierta = false;
        } else {
            actual += c;
            abierta = true;
        }
    }
    if (abierta) lineas.push_back(actual);
    return lineas;
}

QString TokenReloj(const QString& leyenda) {
    const QString t = leyenda.trimmed();
    if (t.isEmpty()) return "0000";
    const qsizetype dos = t.lastIndexOf(u':');
    QString minutos = dos < 0 ? t : t.left(dos);
    const QString segundos = dos < 0 ? QString() : t.mid(dos + 1);
    // Only the field just before the seconds counts as minutes ("0:00:00").
    if (const qsizetype otro = minutos.lastIndexOf(u':'); otro >= 0) minutos = minutos.mid(otro + 1);
    const long m = Cifras(minutos).toLong();
    const long s = Cifras(segundos).right(2).toLong();
    return QString("%1%2").arg(m, 2, 10, QChar(u'0')).arg(s, 2, 10, QChar(u'0'));
}

QString LetraTipo(const QString& tipoPartida, const QString& tokenBlancas, const QString& tokenNegras) {
    if (!tipoPartida.isEmpty()) return tipoPartida;
    return (tokenBlancas != "0000" || tokenNegras != "0000") ? "R" : "A";
}

QByteArray TextoFichero(const QString& tokenBlancas, const QString& tokenNegras, const QString& tipo,
                        const QString& lineaJugadas) {
    const QString texto =
        tokenBlancas + kFinLinea + tokenNegras + kFinLinea + tipo + kFinLinea + lineaJugadas + kFinLinea;
    return texto.toUtf8();
}

std::vector<QString> Tokens(const QByteArray& datos) {
    std::vector<QString> tokens;
    for (const QString& linea : Lineas(datos)) ItemsDeLinea(linea, tokens);
    return tokens;
}

std::optional<Reloj> LeerReloj(const QString& token) {
    if (!SoloCifras(token) || token.size() > 9) return std::nullopt;
    Reloj r;
    r.segundos = token.right(2).toLong();
    r.minutos = token.size() > 2 ? token.left(token.size() - 2).toLong() : 0;
    return r;
}

std::optional<JugadaDeFichero> LeerJugada(const QString& token) {
    if (token.size() < 4 || !SoloCifras(token.left(4))) return std::nullopt;
    JugadaDeFichero j;
    j.origen = token.left(2).toStdString();
    j.destino = token.mid(2, 2).toStdString();
    const QString resto = token.mid(4);
    if (!resto.isEmpty()) {
        bool ok = false;
        const int pieza = resto.toInt(&ok);
        if (!SoloCifras(resto) || !ok) return std::nullopt;
        j.pieza = pieza;
    }
    return j;
}

}  // namespace tvp
