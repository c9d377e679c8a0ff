#include "platform/IniFile.h"

#include "platform/Ficheros.h"
#include "platform/Nombres.h"

#include <QFile>
#include <QStringDecoder>

#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace ini {

namespace {

// Windows-1252 characters 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr char16_t kCp1252Alto[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DesdeCp1252(const QByteArray& bytes) {
    QString s;
    s.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0)
            s.append(QChar(kCp1252Alto[b - 0x80]));
        else
            s.append(QChar(char16_t(b)));
    }
    return s;
}

bool EsBlanco(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f'; }

QString Recortar(const QString& s) {
    int a = 0, b = s.size();
    while (a < b && EsBlanco(s[a])) ++a;
    while (b > a && EsBlanco(s[b - 1])) --b;
    return s.mid(a, b - a);
}

bool MismoNombre(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Cache of parsed files, keyed by path and checked against the file's identity,
// size and modification time, so a language application does not parse the file
// once per key.
struct Huella {
    bool existe = false;
    qint64 tamano = 0;
    qint64 ino = 0;
    qint64 segundos = 0;
    qint64 nanos = 0;
    bool operator==(const Huella&) const = default;
};

Huella HuellaDe(const QString& fichero) {
    Huella h;
    struct stat st {};
    if (::stat(nombres::Bytes(fichero).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return h;
    h.existe = true;
    h.tamano = st.st_size;
    h.ino = static_cast<qint64>(st.st_ino);
    h.segundos = st.st_mtim.tv_sec;
    h.nanos = st.st_mtim.tv_nsec;
    return h;
}

struct Entrada {
    Huella huella;
    Documento documento;
};
std::map<QString, Entrada>& Cache() {
    static std::map<QString, Entrada> cache;
    return cache;
}

const Documento* Abrir(const QString& fichero) {
    Huella h = HuellaDe(fichero);
    auto& cache = Cache();
    if (!h.existe) {
        cache.erase(fichero);
        return nullptr;
    }
    auto it = cache.find(fichero);
    if (it != cache.end() && it->second.huella == h) return &it->second.documento;
    const std::optional<QByteArray> datos = ficheros::Leer(fichero);
    if (!datos) return nullptr;
    Entrada e{h, Documento(*datos)};
    auto [pos, nuevo] = cache.insert_or_assign(fichero, std::move(e));
    (void)nuevo;
    return &pos->second.documento;
}

}  // namespace

QString DecodificarLinea(const QByteArray& linea) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(linea);
    if (!utf8.hasError()) return s;
    return DesdeCp1252(linea);
}

Documento::Linea Documento::Analizar(const QByteArray& bruto) {
    Linea l;
    l.bruto = bruto;
    QString texto = Recortar(DecodificarLinea(bruto));
    if (texto.isEmpty() || texto.startsWith(u';')) return l;
    if (texto.startsWith(u'[')) {
        int cierre = texto.indexOf(u']');
        l.tipo = Linea::Seccion;
        l.nombre = Recortar(cierre < 0 ? texto.mid(1) : texto.mid(1, cierre - 1));
        return l;
    }
    int igual = texto.indexOf(u'=');
    if (igual < 0) return l;
    l.tipo = Linea::Clave;
    l.nombre = Recortar(texto.left(igual));
    QString valor = Recortar(texto.mid(igual + 1));
    if (valor.size() >= 2 && (valor.front() == u'"' || valor.front() == u'\'') && valor.back() == valor.front())
        valor = valor.mid(1, valor.size() - 2);
    l.valor = valor;
    return l;
}

Documento::Documento(const QByteArray& contenido) {
    QByteArray datos = contenido;
    if (datos.startsWith("\xEF\xBB\xBF")) {
        bom_ = datos.left(3);
        datos.remove(0, 3);
    }
    if (datos.contains("\r\n")) finLinea_ = "\r\n";
    if (datos.isEmpty()) return;
    finalConSalto_ = datos.endsWith('\n');
    qsizetype inicio = 0;
    while (inicio < datos.size()) {
        qsizetype fin = datos.indexOf('\n', inicio);
        if (fin < 0) fin = datos.size();
        QByteArray bruto = datos.mid(inicio, fin - inicio);
        if (bruto.endsWith('\r')) bruto.chop(1);
        lineas_.push_back(Analizar(bruto));
        inicio = fin + 1;
    }
}

int Documento::Seccion(const QString& seccion) const {
    // A large file has many sections: they are looked up by name, not walked.
    if (!indiceValido_) {
        indice_.clear();
        for (size_t i = 0; i < lineas_.size(); ++i)
            if (lineas_[i].tipo == Linea::Seccion) {
                const QString nombre = lineas_[i].nombre.toCaseFolded();
                if (!indice_.contains(nombre)) indice_.insert(nombre, int(i));
            }
        indiceValido_ = true;
    }
    return indice_.value(seccion.toCaseFolded(), -1);
}

bool Documento::Buscar(const QString& seccion, const QString& clave, QString& valor) const {
    int s = Seccion(seccion);
    if (s < 0) return false;
    for (size_t i = s + 1; i < lineas_.size() && lineas_[i].tipo != Linea::Seccion; ++i) {
        if (lineas_[i].tipo == Linea::Clave && MismoNombre(lineas_[i].nombre, clave)) {
            valor = lineas_[i].valor;
            return true;
        }
    }
    return false;
}

std::vector<QString> Documento::Claves(const QString& seccion) const {
    std::vector<QString> claves;
    int s = Seccion(seccion);
    if (s < 0) return claves;
    for (size_t i = s + 1; i < lineas_.size() && lineas_[i].tipo != Linea::Seccion; ++i)
        if (lineas_[i].tipo == Linea::Clave) claves.push_back(lineas_[i].nombre);
    return claves;
}

std::vector<QString> Documento::Secciones() const {
    std::vector<QString> secciones;
    for (const auto& l : lineas_)
        if (l.tipo == Linea::Seccion) secciones.push_back(l.nombre);
    return secciones;
}

void Documento::Poner(const QString& seccion, const QString& clave, const QString& valor) {
    QByteArray nueva;
    int s = Seccion(seccion);
    if (s < 0) {
        // A new section goes to the end, after a blank line when the file has text.
        if (!lineas_.empty() && !lineas_.back().bruto.trimmed().isEmpty()) lineas_.push_back(Analizar({}));
        lineas_.push_back(Analizar("[" + seccion.toUtf8() + "]"));
        lineas_.push_back(Analizar(clave.toUtf8() + "=" + valor.toUtf8()));
        Movidas();
        return;
    }
    size_t ultimaClave = s;
    for (size_t i = s + 1; i < lineas_.size() && lineas_[i].tipo != Linea::Seccion; ++i) {
        if (lineas_[i].tipo == Linea::Clave && MismoNombre(lineas_[i].nombre, clave)) {
            // Keep the key as it is spelt in the file; only the value changes.
            lineas_[i] = Analizar(lineas_[i].nombre.toUtf8() + "=" + valor.toUtf8());
            return;
        }
        if (!lineas_[i].bruto.trimmed().isEmpty()) ultimaClave = i;
    }
    lineas_.insert(lineas_.begin() + ultimaClave + 1, Analizar(clave.toUtf8() + "=" + valor.toUtf8()));
    Movidas();
}

QByteArray Documento::Contenido() const {
    QByteArray salida = bom_;
    for (size_t i = 0; i < lineas_.size(); ++i) {
        salida += lineas_[i].bruto;
        if (i + 1 < lineas_.size() || finalConSalto_) salida += finLinea_;
    }
    return salida;
}

namespace {
// At most `tamano` - 1 characters, never splitting a surrogate pair.
QString Recorte(QString valor, int tamano) {
    int maximo = tamano > 0 ? tamano - 1 : 0;
    if (valor.size() > maximo) {
        if (maximo > 0 && valor[maximo - 1].isHighSurrogate()) --maximo;
        valor.truncate(maximo);
    }
    return valor;
}
}  // namespace

std::optional<QString> Valor(const QString& fichero, const QString& seccion, const QString& clave, int tamano) {
    QString valor;
    const Documento* doc = Abrir(fichero);
    if (!doc || !doc->Buscar(seccion, clave, valor)) return std::nullopt;
    return Recorte(valor, tamano);
}

QString Leer(const QString& fichero, const QString& seccion, const QString& clave, const QString& defecto, int tamano) {
    return Valor(fichero, seccion, clave, tamano).value_or(Recorte(defecto, tamano));
}

bool MarcadoSoloLectura(const QString& fichero) {
    struct stat st {};
    if (::stat(nombres::Bytes(fichero).constData(), &st) != 0) return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool Escribir(const QString& fichero, const std::vector<Cambio>& cambios) {
    const QByteArray nombre = nombres::Bytes(fichero);
    struct stat st {};
    const bool existe = ::stat(nombre.constData(), &st) == 0;
    // A file marked read-only is left alone, also for a user whom the system would let write it.
    if (existe && (!S_ISREG(st.st_mode) || ::access(nombre.constData(), W_OK) != 0 || MarcadoSoloLectura(fichero)))
        return false;
    Documento doc;
    if (const Documento* actual = Abrir(fichero))
        doc = *actual;
    else if (existe)
        return false;  // exists but cannot be read: do not overwrite it
    for (const Cambio& c : cambios) {
        // A value is one line.
        QString limpio = c.valor;
        limpio.replace(u'\r', u' ').replace(u'\n', u' ');
        doc.Poner(c.seccion, c.clave, limpio);
    }
    // A folder that lets no new file in has the file written in place.
    const ficheros::Escrito escrito = ficheros::Escribir(fichero, doc.Contenido(), true);
    if (escrito != ficheros::Escrito::Hecho) {
        Cache().erase(fichero);
        return false;
    }
    // The file now holds what was just written: the next read need not parse it again.
    if (const Huella h = HuellaDe(fichero); h.existe)
        Cache().insert_or_assign(fichero, Entrada{h, std::move(doc)});
    else
        Cache().erase(fichero);
    return true;
}

bool Escribir(const QString& fichero, const QString& seccion, const QString& clave, const QString& valor) {
    return Escribir(fichero, std::vector<Cambio>{{seccion, clave, valor}});
}

}  // namespace ini
