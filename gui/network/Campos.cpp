#include "network/Campos.h"

#include "network/Palabras.h"

#include <QStringList>

#include <cstring>

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

// The text after a message's word and its blank; nothing when the message does not
// begin so.
std::optional<QStringView> Tras(const QString& m, const char* palabra) {
    const qsizetype n = qsizetype(std::strlen(palabra));
    if (!Empieza(m, palabra) || m.size() <= n || m[n] != u' ') return std::nullopt;
    return QStringView(m).mid(n + 1);
}

QString Con(const char* palabra, const QString& campos) { return QLatin1String(palabra) + u' ' + campos; }

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
    const auto resto = Tras(m, palabra::Movimiento);
    if (!resto) return std::nullopt;
    return Casillas(*resto, true);
}

QString TextoMovimiento(const Jugada& j) {
    return Con(palabra::Movimiento, QString("%1%2%3%4%5").arg(j.x1).arg(j.y1).arg(j.x2).arg(j.y2).arg(j.pieza));
}

std::optional<Jugada> LeerJugadaTvp(const QString& m) {
    const QString cabeza = Tvp(corriente::Jugada) + u' ';
    if (!m.startsWith(cabeza)) return std::nullopt;
    return Casillas(QStringView(m).mid(cabeza.size()), false);
}

std::optional<Tiempo> LeerTime(const QString& m) {
    const auto campos = Tras(m, palabra::Time);
    if (!campos) return std::nullopt;
    QStringView resto = *campos;
    const qsizetype dos = resto.indexOf(u':');
    if (dos < 0) return std::nullopt;
    auto min = Numero(resto.left(dos), kMinutosMaximos);
    auto seg = Numero(resto.mid(dos + 1), 59);
    if (!min || !seg) return std::nullopt;
    return Tiempo{long(*min), long(*seg)};
}

QString TextoTime(const Tiempo& t) { return Con(palabra::Time, QString("%1:%2").arg(t.minutos).arg(t.segundos)); }

std::optional<Tiempo> LeerTiempoTvp(const QString& m) {
    const QString blancas = Tvp(corriente::RelojBlancas) + u' ', negras = Tvp(corriente::RelojNegras) + u' ';
    if (!m.startsWith(blancas) && !m.startsWith(negras)) return std::nullopt;
    QStringView ficha = QStringView(m).mid(blancas.size());
    if (ficha.size() != 4 && ficha.size() != 5) return std::nullopt;
    if (!SoloDigitos(ficha)) return std::nullopt;
    auto min = Numero(ficha.left(ficha.size() - 2), 999);
    auto seg = Numero(ficha.right(2), 59);
    if (!min || !seg) return std::nullopt;
    return Tiempo{long(*min), long(*seg)};
}

std::optional<Propuesta> LeerNuevoJuego(const QString& m) {
    const auto campos = Tras(m, palabra::NuevoJuego);
    if (!campos || campos->size() < 5 || (*campos)[1] != u' ' || (*campos)[3] != u' ') return std::nullopt;
    const QStringView c = *campos;
    Propuesta p;
    if (c[0] != u'1' && c[0] != u'2') return std::nullopt;
    p.color = Cifra(c[0]);
    if (c[2] != u'R' && c[2] != u'A') return std::nullopt;
    p.tipo = c[2];
    auto min = Numero(c.mid(4), kMinutosMaximos);
    if (!min) return std::nullopt;
    p.minutos = long(*min);
    if (p.tipo == u'R' && p.minutos < 1) return std::nullopt;
    if (p.tipo == u'A' && p.minutos != 0) return std::nullopt;
    return p;
}

QString TextoNuevoJuego(const Propuesta& p) {
    return Con(palabra::NuevoJuego, QString("%1 %2 %3").arg(p.color).arg(p.tipo).arg(p.minutos));
}

std::optional<std::array<std::int32_t, 5>> LeerRanking(const QString& m) {
    const auto resto = Tras(m, palabra::Ranking);
    if (!resto) return std::nullopt;
    const QStringList campos = resto->toString().split(u'-');
    if (campos.size() != 5) return std::nullopt;
    std::array<std::int32_t, 5> v{};
    for (int i = 0; i < 5; ++i) {
        auto n = Numero(campos[i], 2147483647LL);
        if (!n) return std::nullopt;
        v[size_t(i)] = std::int32_t(*n);
    }
    return v;
}

QString TextoRanking(const std::array<std::int32_t, 5>& v) {
    return Con(palabra::Ranking, QString("%1-%2-%3-%4-%5").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]).arg(v[4]));
}

std::optional<Epd> LeerEpd(const QString& m) {
    const qsizetype n = qsizetype(std::strlen(palabra::Epd));
    if (!Tras(m, palabra::Epd)) return std::nullopt;
    Epd e;
    qsizetype i = n + 1;
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

QString TextoEpd(const Epd& e) {
    const QString color = e.color.isNull() ? QString() : QString(e.color);
    return Con(palabra::Epd, QString(e.formaT ? "T" : "") + QString::number(e.lado) + color + u' ' + e.fen);
}

std::optional<QChar> LeerTvpT(const QString& m) {
    const QString cabeza = Tvp(corriente::Dato) + u' ';
    if (m.size() != cabeza.size() + 1 || !m.startsWith(cabeza)) return std::nullopt;
    const QChar x = m.back();
    if (QStringLiteral("BNAR012").contains(x)) return x;
    return std::nullopt;
}

std::optional<int> LeerBandera(const QString& m) {
    const auto resto = Tras(m, palabra::Bandera);
    if (!resto || resto->size() != 1) return std::nullopt;
    if ((*resto)[0] == u'B') return 1;
    if ((*resto)[0] == u'N') return 2;
    return std::nullopt;
}

QString TextoBandera(int lado) { return Con(palabra::Bandera, lado == 1 ? "B" : "N"); }

QString TextoVersion(const QString& version) { return Con(palabra::VersionTV, version); }

QString TextoChat(const QString& linea) { return Con(palabra::Mensaje, linea); }

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
