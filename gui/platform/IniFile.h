// INI files with the rules of the classic Windows profile functions:
// section and key names compare without regard to case, values are trimmed and
// lose one pair of enclosing quotes, a missing file, section or key reads as the
// default, a read returns at most `tamano` - 1 characters, and a write changes
// one line (or adds one) and keeps every other byte of the file as it was.
// Files are read as UTF-8; a line that is not valid UTF-8 is read as Windows-1252.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace ini {

// Decodes one line: UTF-8 when valid, Windows-1252 otherwise.
QString DecodificarLinea(const QByteArray& linea);

// One INI file held as its raw lines, so that writes keep the rest of the file.
class Documento {
public:
    // Parses raw file contents (any line ends; a UTF-8 byte order mark is kept).
    explicit Documento(const QByteArray& contenido = {});

    // The value, or nothing when the section or key is missing.
    bool Buscar(const QString& seccion, const QString& clave, QString& valor) const;
    // Sets the key, adding the section and key when they are missing.
    void Poner(const QString& seccion, const QString& clave, const QString& valor);
    // Names of the keys of a section, in file order.
    std::vector<QString> Claves(const QString& seccion) const;
    std::vector<QString> Secciones() const;

    QByteArray Contenido() const;

private:
    struct Linea {
        QByteArray bruto;  // the line without its line end
        enum Tipo { Otra, Seccion, Clave } tipo = Otra;
        QString nombre;  // section or key name, trimmed
        QString valor;   // value of a key line, as read (trimmed, unquoted)
    };
    static Linea Analizar(const QByteArray& bruto);
    // Index of the section's header line, or -1.
    int Seccion(const QString& seccion) const;
    // A line was added or removed: the sections' places are found again.
    void Movidas() { indiceValido_ = false; }

    QByteArray bom_;
    QByteArray finLinea_ = "\n";
    bool finalConSalto_ = true;
    std::vector<Linea> lineas_;
    // The first header line of each section, by its case-folded name.
    mutable QHash<QString, int> indice_;
    mutable bool indiceValido_ = false;
};

// Reads one key as Leer does; nothing when the file, section or key is missing.
std::optional<QString> Valor(const QString& fichero, const QString& seccion, const QString& clave, int tamano = 255);
// Reads one key. `tamano` is the size of the caller's buffer: at most
// `tamano` - 1 characters come back.
QString Leer(const QString& fichero, const QString& seccion, const QString& clave, const QString& defecto = {},
             int tamano = 255);

// True when the file exists and carries no write permission at all.
bool MarcadoSoloLectura(const QString& fichero);

// One key to write.
struct Cambio {
    QString seccion;
    QString clave;
    QString valor;
};

// Writes the keys, in their order, in one write of the file (one temporary file, one
// sync, one rename), creating the file, sections and keys when missing; every other
// line stays as it was. A value is written as one line. False when the file cannot be
// written (it is then left untouched, also when it is read-only).
bool Escribir(const QString& fichero, const std::vector<Cambio>& cambios);
// The same for one key.
bool Escribir(const QString& fichero, const QString& seccion, const QString& clave, const QString& valor);

}  // namespace ini
