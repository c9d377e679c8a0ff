#include "network/Troceador.h"

#include "network/Palabras.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstring>

namespace tvp {

namespace {

// How far a message's fields reach from where its keyword ends.
struct Campos {
    bool ok = false;       // the fields are there, whole
    bool cortado = false;  // the text ended where the fields still went on
    qsizetype largo = 0;
};

// A small reader over the fields: each step either takes its characters or fails,
// noting when it failed only because the text ran out.
class Lector {
public:
    Lector(const char* p, const char* fin) : inicio_(p), p_(p), fin_(fin) {}

    bool Caracter(char c) {
        if (p_ == fin_) return Corte();
        if (*p_ != c) return false;
        ++p_;
        return true;
    }
    bool Texto(const char* t) {
        for (; *t; ++t)
            if (!Caracter(*t)) return false;
        return true;
    }
    // Between `minimo` and `maximo` digits, as many as there are.
    bool Digitos(int minimo, int maximo = 1 << 30) {
        int n = 0;
        while (n < maximo && p_ != fin_ && *p_ >= '0' && *p_ <= '9') ++p_, ++n;
        if (n >= minimo) return true;
        return p_ == fin_ ? Corte() : false;
    }
    bool Uno(bool (*valido)(char)) {
        if (p_ == fin_) return Corte();
        if (!valido(*p_)) return false;
        ++p_;
        return true;
    }
    // Takes `t` when it comes next; a text that ends inside it is a cut.
    void Opcional(const char* t) {
        const qsizetype n = qsizetype(std::strlen(t));
        const qsizetype quedan = fin_ - p_;
        if (quedan >= n) {
            if (std::memcmp(p_, t, size_t(n)) == 0) p_ += n;
            return;
        }
        if (quedan > 0 && std::memcmp(p_, t, size_t(quedan)) == 0) cortado_ = true;
    }
    void Mientras(bool (*valido)(char)) {
        while (p_ != fin_ && valido(*p_)) ++p_;
    }
    Campos Resultado(bool ok) const {
        Campos c;
        c.cortado = cortado_;
        c.ok = ok && !cortado_;
        c.largo = p_ - inicio_;
        return c;
    }
    const char* Posicion() const { return p_; }
    void Volver(const char* p) {
        p_ = p;
        cortado_ = false;
    }
    bool Cortado() const { return cortado_; }

private:
    bool Corte() {
        cortado_ = true;
        return false;
    }
    const char* inicio_;
    const char* p_;
    const char* fin_;
    bool cortado_ = false;
};

bool Digito(char c) { return c >= '0' && c <= '9'; }
bool DigitoOPunto(char c) { return Digito(c) || c == '.'; }
bool DigitoOGuion(char c) { return Digito(c) || c == '-'; }
bool Letra(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || Digito(c); }

// "NuevoJuego " c " " t " " minutes
Campos NuevoJuego(Lector l) {
    bool ok = l.Caracter(' ') && l.Uno(Letra) && l.Caracter(' ') && l.Uno(Letra) && l.Caracter(' ') && l.Digitos(1);
    return l.Resultado(ok);
}

// "VersionTV " version, optionally " beta"
Campos VersionTV(Lector l) {
    bool ok = l.Caracter(' ') && l.Uno(Digito);
    if (ok) {
        l.Mientras(DigitoOPunto);
        l.Opcional(" beta");
    }
    return l.Resultado(ok);
}

// "TIME " minutes ":" seconds
Campos Time(Lector l) { return l.Resultado(l.Caracter(' ') && l.Digitos(1) && l.Caracter(':') && l.Digitos(1)); }

// "Movimiento " four square digits and the promotion code, which is always there: a
// move cut before it waits for it.
Campos Movimiento(Lector l) { return l.Resultado(l.Caracter(' ') && l.Digitos(4, 4) && l.Digitos(1)); }

// "Ranking " five numbers joined by "-"
Campos Ranking(Lector l) {
    bool ok = l.Caracter(' ') && l.Uno(DigitoOGuion);
    if (ok) l.Mientras(DigitoOGuion);
    return l.Resultado(ok);
}

// "TVP " and one of the stream's forms
Campos Tvp(Lector l) {
    if (!l.Caracter(' ')) return l.Resultado(false);
    const char* desde = l.Posicion();
    bool cortado = false;
    auto probar = [&](bool ok) {
        if (ok) return true;
        cortado = cortado || l.Cortado();
        l.Volver(desde);
        return false;
    };
    auto parte = [&](const char* p) { return l.Texto(p) && l.Caracter(' '); };
    if (probar(l.Texto(corriente::Iniciar)) || probar(l.Texto(corriente::Terminado)) ||
        probar(l.Texto(corriente::Error)) || probar(parte(corriente::RelojBlancas) && l.Digitos(4, 5)) ||
        probar(parte(corriente::RelojNegras) && l.Digitos(4, 5)) || probar(parte(corriente::Dato) && l.Uno(Letra)) ||
        probar(parte(corriente::Jugada) && l.Digitos(4, 4) && l.Digitos(0)))
        return l.Resultado(true);
    Campos c = l.Resultado(false);
    c.cortado = cortado;
    return c;
}

// "Bandera " and the colour letter
Campos Bandera(Lector l) {
    return l.Resultado(l.Caracter(' ') && l.Uno([](char c) { return c == 'B' || c == 'N'; }));
}

// "EPD " or "EPD T", the side to move and the sender's colour, a blank: the head of a
// position, before its free text.
Campos CabezaEpd(Lector l) {
    bool ok = l.Caracter(' ');
    if (ok) l.Opcional("T");
    ok = ok && l.Uno([](char c) { return c == '1' || c == '2'; }) &&
         l.Uno([](char c) { return c == 'B' || c == 'N'; }) && l.Caracter(' ');
    return l.Resultado(ok);
}

struct Clave {
    const char* texto;
    Forma forma;
    Campos (*campos)(Lector);  // the fields of Forma::Campos, the head of a position
    qsizetype largo;
};

// The reader of a word's fields.
Campos (*LectorDe(const char* palabra))(Lector) {
    const struct {
        const char* palabra;
        Campos (*campos)(Lector);
    } lectores[] = {
        {palabra::NuevoJuego, NuevoJuego}, {palabra::VersionTV, VersionTV}, {palabra::Time, Time},
        {palabra::Movimiento, Movimiento}, {palabra::Ranking, Ranking},     {palabra::Tvp, Tvp},
        {palabra::Bandera, Bandera},       {palabra::Epd, CabezaEpd},
    };
    for (const auto& l : lectores)
        if (l.palabra == palabra) return l.campos;
    return nullptr;
}

// The words of the protocol, longest first, so that a word that begins another is
// tried after it.
const std::vector<Clave>& Claves() {
    static const std::vector<Clave> claves = [] {
        std::vector<Clave> c;
        for (const Palabra& p : kPalabras) c.push_back({p.texto, p.forma, LectorDe(p.texto), 0});
        for (Clave& k : c) k.largo = qsizetype(std::strlen(k.texto));
        std::stable_sort(c.begin(), c.end(), [](const Clave& a, const Clave& b) { return a.largo > b.largo; });
        return c;
    }();
    return claves;
}

bool Mayuscula(char c) { return c >= 'A' && c <= 'Z'; }

// No message of fixed fields is this long (the longest, "Ranking", takes 62
// characters): a run of digits past it is no message, and never keeps what follows
// waiting.
constexpr qsizetype kMaximoCampos = 128;

// What one keyword makes of the text at a position.
struct Candidato {
    const Clave* clave = nullptr;
    bool completo = false;  // keyword and fields whole; `fin` is the message's end
    bool cortado = false;   // the text ends inside the keyword or its fields
    qsizetype fin = 0;
};

// How a line is read: `final`, nothing more will come; `marco`, whether the peer ends
// its lines: one that does has a line without its line ending wait for it, and while
// that is not known yet a carriage return at the end is a line ending cut in two.
struct Lectura {
    bool final = false;
    Marco marco = Marco::Desconocido;
    bool Espera(char ultimo) const {
        return !final && (marco == Marco::Con || (marco == Marco::Desconocido && ultimo == '\r'));
    }
};

// The candidates at position i, longest keyword first. `lf`: where the next line
// ending is at or after i (-1: none).
void Candidatos(const QByteArray& t, qsizetype i, qsizetype lf, Lectura l, std::vector<Candidato>& salida) {
    salida.clear();
    const qsizetype n = t.size();
    if (i >= n || !Mayuscula(t[i])) return;
    const char* d = t.constData();
    for (const Clave& k : Claves()) {
        if (k.texto[0] != d[i]) continue;
        const qsizetype quedan = n - i;
        Candidato c;
        c.clave = &k;
        if (quedan < k.largo) {
            if (std::memcmp(d + i, k.texto, size_t(quedan)) == 0) {
                c.cortado = true;
                salida.push_back(c);
            }
            continue;
        }
        if (std::memcmp(d + i, k.texto, size_t(k.largo)) != 0) continue;
        if (k.forma == Forma::Campos) {
            const qsizetype tope = std::min(n, i + kMaximoCampos);
            Campos f = k.campos(Lector(d + i + k.largo, d + tope));
            // Fields that reach the limit with more text behind it are too long.
            if (tope < n && i + k.largo + f.largo >= tope) continue;
            if (f.ok) {
                c.completo = true;
                c.fin = i + k.largo + f.largo;
            } else if (f.cortado) {
                c.cortado = true;
            } else {
                continue;
            }
        } else if (k.forma == Forma::Linea) {
            if (k.campos) {
                // A head that does not fit makes no line; one cut waits for its rest.
                const Campos f = k.campos(Lector(d + i + k.largo, d + n));
                if (!f.ok && !f.cortado) continue;
                if (f.cortado) {
                    c.cortado = true;
                    salida.push_back(c);
                    continue;
                }
            }
            if (lf >= 0) {
                c.completo = true;
                c.fin = lf + 1;
            } else if (l.Espera(d[n - 1])) {
                c.cortado = true;
            } else {
                c.completo = true;
                c.fin = n;
            }
        } else {
            c.completo = true;
            c.fin = i + k.largo;
        }
        salida.push_back(c);
    }
}

// A line without its line ending.
QByteArray SinFinDeLinea(QByteArray m) {
    if (m.endsWith('\n')) m.chop(1);
    if (m.endsWith('\r')) m.chop(1);
    return m;
}

// The text begins with the whole keyword (and head) of a line: a chat line or a
// position.
bool EsLinea(const QByteArray& t) {
    for (const Clave& k : Claves()) {
        if (k.forma != Forma::Linea || !t.startsWith(k.texto)) continue;
        if (!k.campos || k.campos(Lector(t.constData() + k.largo, t.constData() + t.size())).ok) return true;
    }
    return false;
}

bool EsPosicion(const Clave& k) { return k.texto == palabra::Epd; }

// The text from `i` to `fin` is one of the keywords that stand alone.
bool EsClave(const QByteArray& t, qsizetype i, qsizetype fin) {
    for (const Clave& k : Claves())
        if (k.forma == Forma::Sola && k.largo == fin - i &&
            std::memcmp(t.constData() + i, k.texto, size_t(k.largo)) == 0)
            return true;
    return false;
}

}  // namespace

QByteArray Enmarcar(const QString& mensaje, bool conFinDeLinea) {
    const Palabra* p = PalabraDe(mensaje);
    if (!p || p->forma != Forma::Linea) return mensaje.toUtf8();
    QByteArray m = mensaje.toUtf8();
    m.replace('\r', ' ').replace('\n', ' ');
    return conFinDeLinea ? m + "\r\n" : m;
}

Troceo Trocear(const QByteArray& texto, bool final, Marco marco) {
    Troceo r;
    r.marco = marco;
    Lectura lectura{final, marco};
    const qsizetype n = texto.size();
    const bool esperar = !final;
    // From the end backwards, for every position j:
    //   sigue[j]  the rest reads as messages, the last one possibly cut by the end of
    //             the text;
    //   fijo[j]   the same, and it is empty or does not begin with a position: "EPD"
    //             ends three keywords ("AbrirPartidaEPD"), and a position is never
    //             carved out of one of them.
    std::vector<char> sigue(size_t(n + 1), 0), fijo(size_t(n + 1), 0);
    sigue[size_t(n)] = fijo[size_t(n)] = 1;
    std::vector<Candidato> cs;
    qsizetype lf = -1;
    for (qsizetype j = n - 1; j >= 0; --j) {
        if (texto[j] == '\n') lf = j;
        Candidatos(texto, j, lf, lectura, cs);
        for (const Candidato& c : cs) {
            const bool posicion = EsPosicion(*c.clave);
            if (c.cortado || (c.completo && sigue[size_t(c.fin)])) {
                sigue[size_t(j)] = 1;
                if (!posicion) fijo[size_t(j)] = 1;
            }
        }
    }

    qsizetype i = 0;
    qsizetype lfDelante = texto.indexOf('\n');
    while (i < n) {
        if (lfDelante >= 0 && lfDelante < i) lfDelante = texto.indexOf('\n', i);
        Candidatos(texto, i, lfDelante, lectura, cs);
        qsizetype fin = -1;
        bool aplazar = false, primero = true, linea = false;
        for (const Candidato& c : cs) {
            if (!c.completo) continue;
            if (c.clave->forma == Forma::Linea) {
                // Where a line ends is never in doubt.
                fin = c.fin;
                linea = true;
                break;
            }
            // A shorter keyword is tried only where a message that is no position
            // follows it.
            if (primero ? sigue[size_t(c.fin)] : fijo[size_t(c.fin)]) {
                fin = c.fin;
                break;
            }
            primero = false;
        }
        if (fin < 0 && esperar)
            for (const Candidato& c : cs)
                if (c.cortado) aplazar = true;
        if (aplazar) {
            r.resto = texto.mid(i);
            return r;
        }
        if (fin < 0) {
            // Nothing that reads as a message starts here: it runs to the next place
            // from which messages follow, but never ends as a keyword of its own.
            fin = i + 1;
            while (fin < n && (!sigue[size_t(fin)] || EsClave(texto, i, fin))) ++fin;
        }
        const QByteArray m = texto.mid(i, fin - i);
        i = fin;
        if (linea) {
            // The peer's first line tells whether it ends its lines.
            if (r.marco == Marco::Desconocido) lectura.marco = r.marco = m.endsWith('\n') ? Marco::Con : Marco::Sin;
            r.mensajes.push_back(SinFinDeLinea(m));
        } else if (!m.contains('\n')) {
            r.mensajes.push_back(m);
        }
        // Else it ends in a line ending that is no line's: the rest of one whose start
        // was taken without it. It is dropped.
    }
    return r;
}

bool Troceador::Anadir(const QByteArray& datos) {
    if (error_) return false;
    if (pendiente_.size() + datos.size() > kMaximoPendiente) {
        error_ = true;
        pendiente_.clear();
        return false;
    }
    pendiente_ += datos;
    return true;
}

std::vector<QByteArray> Troceador::Extraer(bool final) {
    if (error_) return {};
    // A line that waits for its line ending is looked at again only where something
    // came since, so that a long one that comes a byte at a time costs its length.
    if (!final && linea_ >= 0 && linea_ <= pendiente_.size()) {
        const bool llegoFin = pendiente_.indexOf('\n', linea_) >= 0;
        const Lectura lectura{false, marco_};
        if (!llegoFin && lectura.Espera(pendiente_.isEmpty() ? 0 : pendiente_.back())) {
            linea_ = pendiente_.size();
            if (pendiente_.size() > kMaximoMensaje) {
                error_ = true;
                pendiente_.clear();
            }
            return {};
        }
    }
    Troceo t = Trocear(pendiente_, final, marco_);
    marco_ = t.marco;
    pendiente_ = t.resto;
    linea_ = EsLinea(pendiente_) ? pendiente_.size() : -1;
    for (const QByteArray& m : t.mensajes)
        if (m.size() > kMaximoMensaje) error_ = true;
    if (pendiente_.size() > kMaximoMensaje) error_ = true;
    if (error_) {
        pendiente_.clear();
        return {};
    }
    return t.mensajes;
}

void Troceador::Vaciar() {
    pendiente_.clear();
    linea_ = -1;
    error_ = false;
    marco_ = Marco::Desconocido;
}

}  // namespace tvp
