// File names on a case-sensitive file system for a program that was written for a
// case-blind one: names the program lower-cases are matched against the real
// directory entries without regard to case, and listings come sorted by name so
// that nothing depends on directory order.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace nombres {

// The real name of the entry of `carpeta` that equals `nombre` without regard to
// case (an exact match wins); `nombre` itself when none does.
QString EntradaReal(const QString& carpeta, const QString& nombre);

// Resolves every component of a path below `base` (which is taken as it is)
// against the real entries; components that do not exist are kept as written.
QString RutaReal(const QString& base, const QString& relativa);

// Regular files (hidden ones included) of a folder, sorted by name.
QStringList Ficheros(const QString& carpeta);
// Sub-folders of a folder, without "." and "..", sorted by name.
QStringList Carpetas(const QString& carpeta);

// The folder with one trailing "/".
QString ConBarra(const QString& carpeta);

// A name as the system has it (bytes) and as text, both ways without loss: the bytes
// are read as UTF-8, and each byte that is not part of valid UTF-8 is kept as the lone
// surrogate U+DC00 + byte, which Bytes turns back into that byte.
QString DeBytes(const QByteArray& bytes);
QByteArray Bytes(const QString& nombre);

// A folder by a name every part of the program can use, Qt's file classes and the
// programs it starts included: its own name when that is UTF-8; else the folder is
// opened once, for the life of the program, and named by that descriptor
// ("/proc/<pid>/fd/<n>", which the children can follow too).
QString Carpeta(const QByteArray& bytes);

}  // namespace nombres
