// Files written and read with care. A write that cannot be done whole (a full disk, a
// file that may not grow) leaves the file exactly as it was and says so; no write goes
// to anything but a regular file. A read opens regular files only, so that a FIFO or
// a device standing where a file should be is never opened (and never waited on).
// Names are the system's bytes (nombres::Bytes): a name that is not UTF-8 is written
// and read under the bytes it was read with.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

namespace ficheros {

enum class Escrito {
    Hecho,
    NoRegular,  // the name, through its links, is a folder, device, FIFO or socket, or a link that leads nowhere
    Fallido,    // the file could not be created or written whole
};

// Whether a file may be written under `ruta`: nothing is there yet (Hecho), or, through
// its links, a regular file (Hecho); anything else is NoRegular.
Escrito Destino(const QString& ruta);

// Writes `datos` as the whole file. The bytes go to a temporary file beside the file (a
// link keeps pointing at the file it names), which takes the file's place only when
// every byte is on the disk (one write, one sync, one rename); on any error the
// temporary file goes and the file keeps every byte it had. A file that exists keeps
// its mode. With `enSitio`, an existing file in a folder that lets no new file
// in is written in place instead, its old bytes put back on an error.
Escrito Escribir(const QString& ruta, const QByteArray& datos, bool enSitio = false);

// Writes `datos` in place over the first bytes of an existing regular file (which grows
// when it is shorter); what follows them stays untouched and is never read. On an error
// the old bytes are put back.
Escrito EscribirPrincipio(const QString& ruta, const QByteArray& datos);

// Opens an existing regular file (through its links) for reading. Anything else is not
// opened at all, so a FIFO or a device never blocks the program.
bool AbrirLectura(QFile& fichero, const QString& ruta);

// The bytes of a regular file, the first `maximo` of them when it is not negative;
// nothing when the file is missing, is no regular file or cannot be read.
std::optional<QByteArray> Leer(const QString& ruta, qint64 maximo = -1);

}  // namespace ficheros
