#include "engines/Xboard.h"

#include <utility>

namespace xboard {

namespace {

const QString kSalto = QStringLiteral("\r\n");

QChar LetraCoronacion(int pieza) {
    switch (pieza) {
        case rules::TorreBlanca:
        case rules::TorreNegra: return u'r';
        case rules::CaballoBlanco:
        case rules::CaballoNegro: return u'n';
        case rules::AlfilBlanco:
        case rules::AlfilNegro: return u'b';
        case rules::DamaBlanca:
        case rules::DamaNegra: return u'q';
        default: return {};
    }
}

// The piece code of a promotion letter for a slot's colour; 0 for another letter.
int PiezaDeLetra(QChar letra, int ranura) {
    const int base = ranura == turno::Negras ? rules::TorreNegra : rules::TorreBlanca;
    switch (letra.unicode()) {
        case 'r': return base;
        case 'n': return base + 1;
        case 'b': return base + 2;
        case 'q': return base + 3;
        default: return 0;
    }
}

// The features an engine announces: NAME=VALUE, the value bare or in double quotes
// (blanks inside); anything else is skipped.
QList<std::pair<QString, QString>> Caracteristicas(const QString& t) {
    QList<std::pair<QString, QString>> r;
    qsizetype i = 0;
    const qsizetype n = t.size();
    while (i < n) {
        while (i < n && t[i].isSpace()) ++i;
        const qsizetype inicio = i;
        while (i < n && !t[i].isSpace() && t[i] != u'=') ++i;
        const QString nombre = t.mid(inicio, i - inicio);
        if (i >= n || t[i] != u'=') continue;  // a word without a value
        ++i;
        QString valor;
        if (i < n && t[i] == u'"') {
            const qsizetype cierre = t.indexOf(u'"', i + 1);
            const qsizetype fin = cierre < 0 ? n : cierre;
            valor = t.mid(i + 1, fin - i - 1);
            i = fin + 1;
        } else {
            const qsizetype fin0 = i;
            while (i < n && !t[i].isSpace()) ++i;
            valor = t.mid(fin0, i - fin0);
        }
        if (!nombre.isEmpty()) r.append({nombre, valor});
    }
    return r;
}

// Whether the driver does what an engine asks by NAME=VALUE. It sends the person's
// draw offers as "draw" and, in a timed game, "time" and "otim" with every move; it
// starts every game with a new process; it reads and writes moves in coordinates
// without a prefix and sends none of the other optional commands, so a request for
// any of them is refused, and a request not to send one (NAME=0) is met.
bool Honrada(const QString& nombre, const QString& valor) {
    static const QStringList kNoEnviadas = {
        "ping", "setboard", "playother", "san",   "usermove", "sigint", "sigterm", "analyze",  "colors",   "ics",
        "name", "pause",    "nps",       "debug", "memory",   "smp",    "exclude", "setscore", "highlight"};
    if (nombre == u"time" || nombre == u"draw" || nombre == u"done") return valor == u"1";
    if (nombre == u"reuse") return valor == u"0" || valor == u"1";
    return kNoEnviadas.contains(nombre) && valor == u"0";
}

bool Columna(QChar c) { return c >= u'a' && c <= u'h'; }
bool Fila(QChar c) { return c >= u'1' && c <= u'8'; }

}  // namespace

QStringList Arranque(const QString& nivel, bool blancas) {
    QString segunda = "random" + kSalto;
    if (!nivel.isEmpty()) segunda += nivel + kSalto;
    return {"xboard" + kSalto + "protover 2" + kSalto + "new" + kSalto, segunda,
            "post" + kSalto + "easy" + (blancas ? kSalto + "go" : QString())};
}

QString RespuestaCaracteristicas(const QString& anuncio) {
    QStringList lineas;
    for (const auto& [nombre, valor] : Caracteristicas(anuncio))
        lineas << (Honrada(nombre, valor) ? "accepted " : "rejected ") + nombre;
    return lineas.join(kSalto);
}

QString Coordenadas(const std::string& origen, const std::string& destino, int pieza) {
    QString t;
    for (const std::string* c : {&origen, &destino}) {
        if (c->size() < 2) return {};
        t += QChar(u'a' + (c->at(0) - '1'));
        t += QChar(c->at(1));
    }
    if (QChar l = LetraCoronacion(pieza); !l.isNull()) t += l;
    return t;
}

bool EsEnroque(const QString& jugada) {
    return jugada == u"e1g1" || jugada == u"e8g8" || jugada == u"e1c1" || jugada == u"e8c8";
}

long Centesimas(long minutos, long segundos) { return ((minutos < 1 ? 0 : minutos) * 60 + segundos) * 100; }

QString ConRelojes(const QString& jugada, long propio, long otro, bool reloj) {
    if (!reloj) return jugada;
    return "time " + QString::number(propio) + kSalto + "otim " + QString::number(otro) + kSalto + jugada;
}

QString TextoJugada(const QString& linea) {
    const qsizetype dos = linea.indexOf(u':');
    if (dos >= 0) return linea.mid(dos + 2);
    const qsizetype blanco = linea.indexOf(u' ');
    return blanco >= 0 ? linea.mid(blanco + 1) : QString();
}

std::optional<JugadaTablero> LeerJugada(const QString& texto, int ranura, const rules::Tablero& casillas) {
    QString t = texto.trimmed().toLower();
    while (t.endsWith(u'+') || t.endsWith(u'#')) t.chop(1);
    const bool blancas = ranura != turno::Negras;
    if (t == u"o-o") t = blancas ? QStringLiteral("e1g1") : QStringLiteral("e8g8");
    if (t == u"o-o-o") t = blancas ? QStringLiteral("e1c1") : QStringLiteral("e8c8");
    if (t.size() < 4 || t.size() > 5 || !Columna(t[0]) || !Fila(t[1]) || !Columna(t[2]) || !Fila(t[3]))
        return std::nullopt;
    JugadaTablero j;
    const int xo = t[0].unicode() - 'a' + 1, yo = t[1].unicode() - '0';
    const int xd = t[2].unicode() - 'a' + 1, yd = t[3].unicode() - '0';
    j.origen = std::to_string(xo) + std::to_string(yo);
    j.destino = std::to_string(xd) + std::to_string(yd);
    if (t.size() == 5) {
        j.pieza = PiezaDeLetra(t[4], ranura);
        if (j.pieza == 0) return std::nullopt;
    } else {
        const int ficha = casillas[xo][yo];
        if ((ficha == rules::PeonBlanco && yd == 8) || (ficha == rules::PeonNegro && yd == 1))
            j.pieza = PiezaDeLetra(u'q', ranura);
    }
    j.texto = t.left(4);
    if (j.pieza != 0) j.texto += LetraCoronacion(j.pieza);
    return j;
}

}  // namespace xboard
