// Module ApiFunciones: settings and language files, the screen checks and the
// registration of the three file types.
#pragma once

#include "platform/IniFile.h"

#include <QString>

#include <functional>
#include <vector>

class QScreen;

// Reads one key (at most 254 characters; "" when missing). An empty key of a
// language file outside section Autor reports the file as faulty and falls back to
// "Español" (once per language application).
QString LeerIni(const QString& fichero, const QString& seccion, const QString& clave);
// Writes one key. The first setting that cannot be written in a run is reported
// (text 28 with the file's path); later failures are not.
void EscribirIni(const QString& fichero, const QString& seccion, const QString& clave, const QString& valor);
// Writes the keys in one write of the file; a failure is reported as above, once.
void EscribirIni(const QString& fichero, const std::vector<ini::Cambio>& cambios);
// The settings file holds its settings section (an empty, binary or unreadable file
// does not, nor anything but a regular file, which is not opened).
bool IniConAjustes(const QString& fichero);
// Text 28 (the file cannot be written) with the file's name between line breaks in
// place of its last "$"; "" when text 28 has no "$" (then nothing is shown).
QString TextoNoEscribible(const QString& nombre);
// Whether the exit may write the settings: asks FicheroEscribible (which tells the
// user when not), unless the user was told already this run; then it checks without
// a second message.
bool AjustesEscribibles();
// For tests: the next failed write is reported again.
void OlvidarAvisoEscritura();
// For tests: told of every key of Default.ini that is read or written.
extern std::function<void(const QString& seccion, const QString& clave, bool escritura)> AlUsarAjuste;

// Colour count of a screen of `bits` per pixel and `planos` planes; 0 when the
// count does not fit 32 bits (which counts as enough).
long ContarColores(int bits, int planos);
// The screen checks. Each shows its message and closes the main window (which ends
// the program) when the screen falls short, and returns the measured value.
long ComprobarColores(QScreen* pantalla);
long ComprobarResolucion(QScreen* pantalla);

// Registers file type n (1 own game file, 2 PGN, 3 EPD) for Tavorin and, when its
// files were written, sets its mark in Default.ini, so that it is not tried or asked
// again; a failed one keeps its mark at 0. The first failure in a run is told (text 28
// with what could not be written). True on success.
bool RegistrarExtension(int n, const QString& extension, const QString& claveTipo, const QString& claveDescripcion,
                        const QString& descripcion, const QString& claveComando);
