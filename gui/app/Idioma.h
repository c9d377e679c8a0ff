// Language files: listing the usable ones, loading the chosen one, and the table
// that binds every section and key of a language file to what it sets.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

// Fills the options dialog's language list with the usable language files. The
// first file (in name order) with another version ends the program.
void ListarIdiomas();
// Loads and applies the language named by the language list's text.
void CargarIdioma();
// RutaApp again, and FicheroIdioma = the file of that name in the program folder
// (matched without regard to case).
void FijarRutaIdioma(const QString& nombreFichero);
// The language a language file's name stands for: the language whose English or
// own name it is ("English", "Español"); the C locale when none is.
QLocale LocaleDeIdioma(const QString& nombre);
// The standard buttons of message boxes and dialogs (Yes, No, OK, Cancel) speak
// the language of that name, whatever the system's locale; English when the
// system has no translation for it.
void TraducirBotones(const QString& nombre);
// Applies the language file FicheroIdioma to every window and table.
void AplicarIdioma();

// Called by LeerIni when a language file lacks a key: the first time within one
// listing or loading it tells the user and arranges the fall-back to "Español",
// which runs once the current application is over.
void IdiomaDefectuoso();

// The outcome of listing a folder's language files (kept apart from the windows).
struct ListaIdiomas {
    QStringList nombres;          // language names to offer
    bool versionIncorrecta = false;  // the first file has another version
};
// `ficheros`: the file names of the folder in name order; `version` reads the
// Version key of a file.
ListaIdiomas ElegirIdiomas(const QStringList& ficheros, const std::function<QString(const QString&)>& version);

// A language text around its first "$" (its last with `ultimo`): the part before it
// and the part after it; without a "$", the whole text and "".
std::pair<QString, QString> PartirEnDolar(const QString& texto, bool ultimo = false);
// The text with `valor` in place of its first "$" (its last with `ultimo`); a text
// without a "$" comes back unchanged.
QString CambiarDolar(const QString& texto, const QString& valor, bool ultimo = false);

// One row of the binding table: a key of a language file and what it sets.
struct EnlaceIdioma {
    QString seccion;
    QString clave;
    std::function<void(const QString&)> aplicar;
    // What the key set, for checking a file against the table.
    std::function<QStringList()> leer;
};
// The table in the order in which a language is applied.
const std::vector<EnlaceIdioma>& TablaIdioma();

constexpr const char* kVersionPrograma = "1.55";
