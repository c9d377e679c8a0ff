#include "network/Campos.h"

#include <QStringList>

namespace tvp {

namespace {

bool SoloDigitos(QStringView t) {
    if (t.isEmpty()) return false;
    for (QChar c : t)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// A number of digits only, at most `maximo`.
std::optional<long long> Numero(QStringView t, long long maximo) {
    if (!SoloDigitos(t) || t.size() > 12) return std::nullopt;
    long long v = 0;
    for (QChar c : t) v = v * 10 + (c.unicode() - u'0');
    if (v > maximo) return std::nullopt;
    return v;
}

int Cifra(QChar c) { return c.unicode() - u'0'; }

// Four square digits (each 1 to 8) and a promotion code of digits, "" meaning 0.
std::optional<Jugada> Casillas(QStringView t, bool codigoObligado) {
    if (t.size() < 4) return std::nullopt;
    Jugada j;
    int* d[] = {&j.x1, &j.y1, &j.x2, &j.y2};
    for (int i = 0; i < 4; ++i) {
        if (t[i] < u'1' || t[i] > u'8') return std::nullopt;
        *d[i] = Cifra(t[i]);
    }
    QStringView codigo = t.mid(4);
    if (codigo.isEmpty()) {
        if (codigoObligado) return std::nullopt;
        return j;
    }
    auto p = Numero(codigo, 12);
    if (!p || codigo.size() > 2) return std::nullopt;
    j.pieza = int(*p);
    return j;
}

}  // namespace

std::optional<Jugada> LeerMovimiento(const QString& m) {
    if (!m.startsWith(QLatin1String("Movimiento "))) return std::nullopt;
    return Casillas(QStringView(m).mid(11), true);
}

std::optional<Jugada> LeerJugadaTvp(const QString& m) {
    if (!m.startsWith(QLatin1String("TVP M "))) return std::nullopt;
    return Casillas(QStringView(m).mid(6), false);
}

std::optional<Tiempo> LeerTime(const QString& m) {
    if (!m.startsWith(QLatin1String("TIME "))) return std::nullopt;
    QStringView resto = QStringView(m).mid(5);
    const qsizetype dos = resto.indexOf(u':');
    if (dos < 0) return std::nullopt;
    auto min = Numero(resto.left(dos), kMinutosMaximos);
    auto seg = Numero(resto.mid(dos + 1), 59);
    if (!min || !seg) return std::nullopt;
    return Tiempo{long(*min), long(*seg)};
}

std::optional<Tiempo> LeerTiempoTvp(const QString& m) {
    if (m.size() != 11 && m.size() != 12) return std::nullopt;
    if (!m.startsWith(QLatin1String("TVP TB ")) && !m.startsWith(QLatin1String("TVP TN "))) return std::nullopt;
    QStringView ficha = QStringView(m).mid(7);
    if (!SoloDigitos(ficha)) return std::nullopt;
    auto min = Numero(ficha.left(ficha.size() - 2), 999);
    auto seg = Numero(ficha.right(2), 59);
    if (!min || !seg) return std::nullopt;
    return Tiempo{long(*min), long(*seg)};
}

std::optional<Propuesta> LeerNuevoJuego(const QString& m) {
    if (m.size() < 16 || !m.startsWith(QLatin1String("NuevoJuego ")) || m[12] != u' ' || m[14] != u' ')
        return std::nullopt;
    Propuesta p;
    if (m[11] != u'1' && m[11] != u'2') return std::nullopt;
    p.color = Cifra(m[11]);
    if (m[13] != u'R' && m[13] != u'A') return std::nullopt;
    p.tipo = m[13];
    auto min = Numero(QStringView(m).mid(15), kMinutosMaximos);
    if (!min) return std::nullopt;
    p.minutos = long(*min);
    if (p.tipo == u'R' && p.minutos < 1) return std::nullopt;
    if (p.tipo == u'A' && p.minutos != 0) return std::nullopt;
    return p;
}

QString TextoNuevoJuego(const Propuesta& p) {
    return QString("NuevoJuego %1 %2 %3").arg(p.color).arg(p.tipo).arg(p.minutos);
}

std::optional<std::array<std::int32_t, 5>> LeerRanking(const QString& m) {
    if (!m.startsWith(QLatin1String("Ranking "))) return std::nullopt;
    const QStringList campos = m.mid(8).split(u'-');
    if (campos.size() != 5) return std::nullopt;
    std::array<std::int32_t, 5> v{};
    for (int i = 0; i < 5; ++i) {
        auto n = Numero(campos[i], 2147483647LL);
        if (!n) return std::nullopt;
        v[size_t(i)] = std::int32_t(*n);
    }
    return v;
}

std::optional<Epd> LeerEpd(const QString& m) {
    if (!m.startsWith(QLatin1String("EPD "))) return std::nullopt;
    Epd e;
    qsizetype i = 4;
    if (m.size() > i && m[i] == u'T') {
        e.formaT = true;
        ++i;
    }
    if (m.size() < i + 4 || m[i + 2] != u' ') return std::nullopt;
    if (m[i] != u'1' && m[i] != u'2') return std::nullopt;
    e.lado = Cifra(m[i]);
    if (m[i + 1] != u'B' && m[i + 1] != u'N') return std::nullopt;
    e.color = m[i + 1];
    e.fen = m.mid(i + 3);
    if (e.fen.trimmed().isEmpty()) return std::nullopt;
    return e;
}

std::optional<QChar> LeerTvpT(const QString& m) {
    if (m.size() != 7 || !m.startsWith(QLatin1String("TVP T "))) return std::nullopt;
    const QChar x = m[6];
    if (QStringLiteral("BNAR012").contains(x)) return x;
    return std::nullopt;
}

QString NickDeMensaje(const QString& texto, bool saludo) {
    QString nick;
    if (texto.startsWith(u'<')) {
        const qsizetype fin = texto.indexOf(u'>');
        if (fin > 0) nick = texto.mid(1, fin - 1);
    } else if (texto.startsWith(QLatin1String("*** "))) {
        nick = texto.section(u' ', -1);
    } else if (saludo) {
        nick = texto.section(u' ', 0, 0);
    }
    return nick.size() >= 1 && nick.size() <= 9 ? nick : QString();
}

}  // namespace tvp
