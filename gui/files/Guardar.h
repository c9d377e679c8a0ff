// Saving the game (own game file, PGN or EPD), the chat text and the board picture.
#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Saves the game through a save dialog: an own game file, PGN or one EPD line by
// the name's extension (a position set up by hand or loaded from a list saves as
// EPD only).
void GuardarPartida();
// Saves the chat text to a file.
void GuardarChat();
// Saves the board picture as a bitmap.
void GuardarImagen();
// The PGN road of GuardarPartida once the name is chosen (FicheroPendiente): builds
// the move text and opens the PGN browser in save mode. Lives with the PGN browser.
void GuardarPartidaPgn();

// ---- Writing a file -------------------------------------------------------------------
enum class Escritura {
    Hecha,
    Protegida,  // an existing file whose write permission could not be given, or no regular file
    Fallida,    // the file could not be created or written
};
// Writes a file whole: an existing read-only file gets its owner's write permission
// first; `escribir` gives the content (false when it could not), which reaches the
// file through ficheros::Escribir, so a write that fails anywhere keeps every byte of
// the old file.
Escritura EscribirFichero(const QString& ruta, const std::function<bool(QIODevice&)>& escribir);
// Language text n with a name inserted at its first "$", between two line breaks.
QString TextoConNombre(int n, const QString& nombre);
// A saved name without one of the game files' extensions gets the one of the
// filter chosen (1 own game file, 2 PGN, 3 EPD); with `soloEpd`, any name not
// ending in "epd" gets ".epd".
QString NombreConExtension(const QString& ruta, const QString& filtro, bool soloEpd);
