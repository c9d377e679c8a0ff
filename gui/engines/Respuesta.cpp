#include "engines/Respuesta.h"

#include "rules/variables.h"

#include <QRegularExpression>
#include <QStringList>

#include <initializer_list>

namespace respuesta {

namespace {

bool Alguna(const QString& texto, std::initializer_list<const char*> palabras) {
    for (const char* p : palabras)
        if (texto.contains(QLatin1String(p))) return true;
    return false;
}

bool Letra(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// The leading move number of a variation ("1.", "12...", "1. "), blanks and dots.
QString SinNumeroDeJugada(QString t) {
    for (;;) {
        qsizetype i = 0;
        while (i < t.size() && t[i] == u' ') ++i;
        qsizetype d = i;
        while (d < t.size() && d - i < 3 && t[d].isDigit()) ++d;
        qsizetype p = d;
        while (p < t.size() && t[p] == u'.') ++p;
        if (p == d) p = i;  // digits without a dot are no move number
        if (p == 0) return t;
        t.remove(0, p);
    }
}

// A result line: its score first, whatever its comment says.
bool LineaDeResultado(const QString& m) {
    const QString t = m.trimmed();
    return t.startsWith(QLatin1String("1-0")) || t.startsWith(QLatin1String("0-1")) ||
           t.startsWith(QLatin1String("1/2-1/2"));
}

}  // namespace

QString Minusculas(const QString& linea) {
    QString t = linea;
    t.remove(u'\n');
    t.remove(u'\r');
    return t.toLower();
}

bool PalabraSt(const QString& minusculas) {
    for (qsizetype i = minusculas.indexOf(QLatin1String("st")); i >= 0;
         i = minusculas.indexOf(QLatin1String("st"), i + 1)) {
        const bool antes = i > 0 && Letra(minusculas[i - 1]);
        const bool despues = i + 2 < minusculas.size() && Letra(minusculas[i + 2]);
        if (!antes && !despues) return true;
    }
    return false;
}

bool ErrorOpcional(const QString& m) {
    static const QStringList kOpcionales = {"post",     "easy",   "hard",     "time",    "otim",
                                            "computer", "random", "accepted", "rejected"};
    static const QRegularExpression kNoLetras(QStringLiteral("[^a-z]+"));
    const qsizetype dos = m.lastIndexOf(u':');
    const QStringList palabras = m.mid(dos + 1).split(kNoLetras, Qt::SkipEmptyParts);
    if (dos >= 0) return !palabras.isEmpty() && kOpcionales.contains(palabras.first());
    for (const QString& p : palabras)
        if (kOpcionales.contains(p)) return true;
    return false;
}

std::optional<std::array<QString, 5>> Pensamiento(const QString& linea) {
    QString t = linea;
    t.remove(u'\n');
    t.remove(u'\r');
    if (t.size() < 11) return std::nullopt;
    qsizetype i = 0;
    while (i < t.size() && t[i] == u' ') ++i;
    t.remove(0, i);
    if (t.isEmpty() || !t[0].isDigit() || t[0].unicode() > '9' || (t.size() > 1 && t[1] == u'.')) return std::nullopt;
    std::array<QString, 5> campos;
    QString resto = t;
    int n = 0;
    for (; n < 4; ++n) {
        const qsizetype blanco = resto.indexOf(u' ');
        if (blanco < 0) break;
        campos[n] = resto.left(blanco);
        qsizetype s = blanco;
        while (s < resto.size() && resto[s] == u' ') ++s;
        resto.remove(0, s);
    }
    if (n < 4) {
        // Out of blanks: the last word fills every field still missing.
        for (int k = n; k < 5; ++k) campos[k] = resto;
    } else {
        campos[4] = SinNumeroDeJugada(resto);
    }
    return campos;
}

bool ErrorDelProtocolo(const QString& m) {
    const QString t = m.trimmed();
    return t.startsWith(QLatin1String("error")) || t.startsWith(QLatin1String("illegal move")) ||
           t.startsWith(QLatin1String("tellusererror"));
}

QString JugadaDelTexto(const QString& texto) {
    static const QRegularExpression kJugada(QStringLiteral("^([a-h][1-8][a-h][1-8][qrbn]?|o-o|o-o-o)$"));
    const QStringList palabras = texto.toLower().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (palabras.isEmpty() || !kJugada.match(palabras.last()).hasMatch()) return {};
    return palabras.last();
}

bool RechazaJugada(const QString& m, const QString& jugada, bool esperaJugada) {
    const QString t = m.trimmed();
    // Thinking output, comments, words for the user and warnings may quote anything.
    if (t.isEmpty() || t[0].isDigit() || t.startsWith(u'#')) return false;
    for (const char* p : {"tell", "info", "warning"})
        if (t.startsWith(QLatin1String(p))) return false;
    static const QRegularExpression kSeparador(QStringLiteral("[^a-z0-9-]+"));
    const QStringList palabras = t.split(kSeparador, Qt::SkipEmptyParts);
    if (!jugada.isEmpty() && palabras.contains(jugada) &&
        Alguna(t, {"illegal", "error", "invalid", "unknown", "unkown"}))
        return true;
    if (!esperaJugada) return false;
    // While the engine is to move, a move it calls illegal, invalid or unknown is the
    // one it was sent, in whatever words it names it, or none.
    static const QRegularExpression kJugada(QStringLiteral("^([kqrbn]?[a-h]?[1-8]?x?[a-h][1-8][qrbn]?|o-o|o-o-o)$"));
    bool queja = false, nombrada = false;
    for (const QString& p : palabras) {
        queja = queja || p == u"illegal" || p == u"invalid" || p == u"unknown" || p == u"unkown";
        nombrada = nombrada || p == u"move" || kJugada.match(p).hasMatch();
    }
    return queja && nombrada;
}

QString Citar(const QString& linea) {
    QString t = linea;
    return t.replace(QChar(u'\0'), QLatin1String("<NUL>"));
}

Resultado LeerResultado(const QString& m) {
    Resultado r;
    qsizetype marcador = m.indexOf(QLatin1String("1/2-1/2"));
    if (marcador < 0) {
        const qsizetype blancas = m.indexOf(QLatin1String("1-0")), negras = m.indexOf(QLatin1String("0-1"));
        // The first score of the line is the one it states.
        const bool ganaBlancas = blancas >= 0 && (negras < 0 || blancas < negras);
        r.ganador = ganaBlancas ? turno::Blancas : turno::Negras;
        marcador = ganaBlancas ? blancas : negras;
    }
    // The words after the score; a side named before a claim is the claim's side.
    static const QRegularExpression kPalabra(QStringLiteral("[a-z]+"));
    int lado = turno::Nadie;
    int abandona = -1, mata = -1;
    for (auto it = kPalabra.globalMatch(m, marcador); it.hasNext();) {
        const QString p = it.next().captured();
        if (p == u"white" || p == u"black") {
            lado = p == u"white" ? turno::Blancas : turno::Negras;
        } else if (p.startsWith(QLatin1String("resign"))) {
            if (abandona < 0) abandona = lado;
        } else if (p.startsWith(QLatin1String("stalemate"))) {
            r.ahogado = true;
        } else if (p == u"mate" || p == u"mates" || p.startsWith(QLatin1String("checkmate"))) {
            if (mata < 0) mata = lado;
        }
    }
    const int perdedor = r.ganador == turno::Nadie ? turno::Nadie : turno::Otro(r.ganador);
    if (abandona >= 0) {
        r.abandona = abandona != turno::Nadie ? abandona : perdedor;
        r.coherente = r.abandona != turno::Nadie && r.abandona == perdedor;
    }
    if (mata >= 0) {
        r.mate = true;
        r.coherente = r.coherente && r.ganador != turno::Nadie && (mata == turno::Nadie || mata == r.ganador);
    }
    if (r.ahogado) r.coherente = r.coherente && r.ganador == turno::Nadie;
    return r;
}

Lectura Analizar(const QString& linea, const Estado& e, const QString& jugadaEnviada) {
    Lectura r;
    const QString m = Minusculas(linea);
    // A result line is one whatever its comment says ("{Draw by fifty move rule}").
    if (LineaDeResultado(m)) {
        r.clase = Clase::Resultado;
        r.resultado = LeerResultado(m);
        return r;
    }
    if (linea.contains(QLatin1String("hint")) && !e.activo1 && e.sinJugadas) return r;
    if (Alguna(m, {"null", "killer"})) return r;
    // Thinking output and comments are read as such, whatever words they hold.
    if (m.trimmed().startsWith(u'#')) {
        r.clase = Clase::Otra;
        return r;
    }
    if (auto pensamiento = Pensamiento(linea)) {
        r.clase = Clase::Otra;
        r.pensamiento = std::move(pensamiento);
        return r;
    }

    if (Alguna(m, {"warning", "illegal", "error", "invalid", "unknown", "unkown"})) {
        // Only the protocol's own errors and a refusal of the move just sent end
        // anything; other complaints are shown.
        if (!ErrorDelProtocolo(m) && !RechazaJugada(m, jugadaEnviada, e.esperaJugada)) {
            r.clase = Clase::Diagnostico;
            r.dato = linea.trimmed();
            return r;
        }
        if (e.enroquePendiente) return r;
        if (e.esperandoRespuesta) {
            r.clase = Clase::ErrorPeticion;
            return r;
        }
        if (m.contains(QLatin1String("protover")) || ErrorOpcional(m)) return r;
        if (PalabraSt(m)) {
            r.clase = Clase::NivelAlternativo;
            return r;
        }
        if (Alguna(m, {"random", "open", "offer draw", "offer", "hint", "?", "ics", "sd", "level"})) return r;
        r.clase = Clase::Error;
        return r;
    }

    if (m.contains(QLatin1String("move "))) {
        r.clase = Clase::Jugada;
        r.larga = m.size() > 16;
        r.dato = m;
        return r;
    }
    if (m.contains(QLatin1String("feature"))) {
        if (m.endsWith(u'1')) {
            r.clase = Clase::Caracteristica;
            const qsizetype blanco = m.indexOf(u' ');
            r.dato = blanco >= 0 ? m.mid(blanco + 1) : QString();
        }
        return r;
    }
    if (m.contains(QLatin1String("offer draw"))) {
        r.clase = Clase::OfertaTablas;
        return r;
    }
    if (m.contains(QLatin1String("draw")) && m.size() <= 5) {
        r.clase = Clase::Tablas;
        return r;
    }
    if (m.contains(QLatin1String("hint"))) {
        if (e.activo1 && e.activo2) return r;
        r.clase = Clase::Pista;
        const qsizetype dos = m.indexOf(u':');
        r.dato = dos >= 0 ? m.mid(dos + 1) : m;
        return r;
    }
    if (Alguna(m, {"0-1", "1-0", "1/2-1/2"})) {
        r.clase = Clase::Resultado;
        r.resultado = LeerResultado(m);
        return r;
    }
    if (m.contains(QLatin1String("resign")) && m.size() <= 7) {
        r.clase = Clase::Abandono;
        return r;
    }
    r.clase = Clase::Otra;
    r.pensamiento = Pensamiento(linea);
    return r;
}

}  // namespace respuesta
