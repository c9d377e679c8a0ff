// Module ApiFunciones: settings and language files, the screen checks and the
// registration of the three file types.
#pragma once

#include <QString>

class QScreen;

// Reads one key (at most 254 characters; "" when missing). An empty key of a
// language file outside section Autor reports the file as faulty and falls back to
// "Español" (once per language application).
QString LeerIni(const QString& fichero, const QString& seccion, const QString& clave);
// Writes one key; a failure is not reported.
void EscribirIni(const QString& fichero, const QString& seccion, const QString& clave, const QString& valor);

// Colour count of a screen of `bits` per pixel and `planos` planes; 0 when the
// count does not fit 32 bits (which counts as enough).
long ContarColores(int bits, int planos);
// The screen checks. Each shows its message and closes the main window (which ends
// the program) when the screen falls short, and returns the measured value.
long ComprobarColores(QScreen* pantalla);
long ComprobarResolucion(QScreen* pantalla);

// Registers file type n (1 own game file, 2 PGN, 3 EPD) for Tavorin and, when that
// succeeded, sets its mark in Default.ini. True on success.
bool RegistrarExtension(int n, const QString& extension, const QString& claveTipo, const QString& claveDescripcion,
                        const QString& descripcion, const QString& claveComando);
