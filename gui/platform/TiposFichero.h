// Registration of a file type with the desktop, the freedesktop way: a MIME type
// package, an icon, a desktop entry that opens such files with the program, and
// the default-application entry, all under the user's XDG data folder
// ($XDG_DATA_HOME, else ~/.local/share).
#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace tiposfichero {

struct Tipo {
    QString extension;    // ".tvp"
    QString mime;         // "application/x-tavorin-tvp"
    QString descripcion;  // shown by file managers
    QImage icono;         // may be null
};

// The MIME type Tavorin uses for an extension (".tvp", ".pgn", ".epd").
QString MimeDe(const QString& extension);

// The user's XDG data folder.
QString CarpetaDatos();

// Registers the type for the program at `programa` (an absolute path). The desktop
// entry is "tavorin.desktop"; it lists every type registered so far. True when
// every file was written (the desktop databases are refreshed when their tools
// are installed; their absence is no failure). A program path the desktop entry
// cannot carry (LineaExec) registers nothing. On failure `fallo`, when given, is the
// file or folder that could not be written (the MIME folder when its database tool
// failed, the desktop entry when the path cannot be written into it).
bool Registrar(const Tipo& tipo, const QString& programa, QString* fallo = nullptr);

// The Exec value of the desktop entry for a program path: the path quoted as the
// desktop entry rules ask, then the file argument. Nothing when the path holds what a
// desktop entry cannot carry (a control character, a byte that is no UTF-8).
std::optional<QString> LineaExec(const QString& programa);

}  // namespace tiposfichero
