// Language files: listing the usable ones, loading the chosen one, and the table
// that binds every section and key of a language file to what it sets.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class Forma;
class QAction;
class QWidget;

// Fills the options dialog's language list with the usable language files. When the
// first file (in name order) is of another version the user is told, the list is left
// as it was and `otraVersion` runs (it ends the program).
void ListarIdiomas(const std::function<void()>& otraVersion);
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
// Applies the language file FicheroIdioma to every window and table: the rows in
// order, then the windows fit their new texts, then the steps that follow a change.
void AplicarIdioma();

// The text of a key as the language file the program comes with has it: the file of
// the language that `fichero` is named for, else the Spanish one, else the English
// one; "" when none has it.
QString TextoDeSerie(const QString& fichero, const QString& seccion, const QString& clave);

// Called by LeerIni when a language file has a key empty (or lacks one that no
// language file the program comes with has): the first time within one
// listing or loading it tells the user and arranges the fall-back to "Español",
// which runs once the current application is over.
void IdiomaDefectuoso();

// The outcome of listing a folder's language files (kept apart from the windows).
struct ListaIdiomas {
    QStringList nombres;             // language names to offer
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

// ---- How the windows make the table -------------------------------------------------
// Each window adds the rows of its own texts, from its own source file, through a
// static Registro; the table is made from every part the first time it is asked for,
// whether or not any window exists yet.
namespace idioma {

// One thing a row sets, and how to read back what it set.
struct Destino {
    std::function<void(const QString&)> poner;
    std::function<QString()> leer;
};
// A window's caption.
Destino Leyenda(std::function<Forma&()> ventana);
// A label's text, a frame's title or a button's text.
Destino Texto(std::function<QWidget*()> control);
// A menu item's text.
Destino Item(std::function<QAction*()> accion);
// A toolbar button's tip.
Destino Consejo(std::function<QAction*()> accion);
// A control's tip.
Destino ConsejoControl(std::function<QWidget*()> control);
// A text the program keeps.
Destino Variable(QString* destino);

// The parts of the table in the order in which they are applied. A window may own
// several parts; each part has one owner.
enum class Tramo {
    Autor,        // main window: its caption
    Version,      // board window: a file of another version ends the program
    Menu,         // main window: the menu bar
    Tablero,      // board window
    Reloj,        // clock window
    MenuJugadas,  // main window: the move list's menu
    Jugadas,      // move list
    Coronacion,   // promotion dialog
    MenuChat,     // main window: the chat's menu
    Chat,         // chat window
    Opciones,     // options dialog
    Conexion,     // connect dialog
    Ip,           // address window
    Color,        // colour dialog
    Nuevo,        // new-game dialog
    Pgn,          // game list and its game window
    Mensajes,     // the program's messages
    Tips,         // main window: the toolbar's tips (other windows join some of them)
    TipsPgn,      // game list: its buttons' tips
    Cpu,          // engine panel (and its toolbar's tips)
    Nivel,        // level dialog
    RelojCpu,     // engine panel: the clock labels
    SetTablero,   // set-up window
    Ranking,      // rating window
    Fin
};

// Adds one part's rows to the table.
class Filas {
public:
    Filas(std::vector<EnlaceIdioma>& tabla, std::vector<std::function<void()>>& pasos) : tabla_(tabla), pasos_(pasos) {}
    // A row that sets every one of `destinos`.
    void Enlace(const QString& seccion, const QString& clave, std::vector<Destino> destinos);
    // A row that does more than set texts.
    void Especial(const QString& seccion, const QString& clave, std::function<void(const QString&)> aplicar,
                  std::function<QStringList()> leer);
    // Botones/Aceptar and Botones/Cancelar on a dialog's two buttons (either may be absent).
    void Botones(std::function<QWidget*()> aceptar, std::function<QWidget*()> cancelar);
    // Adds `destinos` to the last row of that section and key that an earlier part made.
    void Unir(const QString& seccion, const QString& clave, std::vector<Destino> destinos);
    // A step that runs once every row is applied and the windows fit their texts.
    void Despues(std::function<void()> paso);

private:
    std::vector<EnlaceIdioma>& tabla_;
    std::vector<std::function<void()>>& pasos_;
};

// Registers the part `tramo` of the table; made once, as a static object, by the part's
// owner.
class Registro {
public:
    Registro(Tramo tramo, void (*filas)(Filas&));
};

}  // namespace idioma

constexpr const char* kVersionPrograma = "1.55";
