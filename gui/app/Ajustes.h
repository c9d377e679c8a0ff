// Default.ini as one table: every key the program keeps there, its section, the
// value the shipped file gives it, when start-up reads it and who writes it back.
// The value itself lives in a window or in the program-wide state; its owner binds
// the key to it (Enlazar), so that the board window's load step and the exit
// sequence walk the same rows and a key cannot be read on one side and lost on the
// other.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <span>

namespace ajustes {

// clang-format off
enum class Clave {
    // Places of the windows (twips) and the main window's state.
    MdiWindows, MdiTop, MdiLeft, MdiWidth, MdiHeight,
    TableroTop, TableroLeft,
    ChatTop, ChatLeft, ChatWidth, ChatHeight,
    JugadasTop, JugadasLeft, JugadasWidth, JugadasHeight,
    RelojTop, RelojLeft,
    RankingTop, RankingLeft,
    PgnTopInformacion, PgnLeftInformacion, PgnTopJugadas, PgnLeftJugadas,
    Nick,
    CpuTop, CpuLeft,
    // The engine level dialog.
    CpuSt, CpuSd, CpuTiempo, CpuJugadas, CpuOption,
    EpdTop, EpdLeft,
    // Section Configuracion.
    Tiempo, Dir, Tipo, AutoPlay, Check1, Check2, Check3,
    VerJugadas, VerChat, VerReloj, VerElo, Sonido, PointClick, Notacion,
    Idioma, Apariencia, Tamano, Fondo, Color,
    RegitTvp, RegitPgn, RegitEpd,
};
// clang-format on

// When start-up reads the key.
enum class Lectura {
    Carga,   // the board window's load step, walking the rows in table order
    Lugar,   // the placing of the windows
    Propia,  // its owner, at its own moment (language, skin, file-type marks)
};

// Who writes the key back.
enum class Escritura {
    Salida,  // the exit sequence, walking the rows in table order
    Propia,  // only its owner, at the moment the user changes the value
};

struct Fila {
    Clave clave;
    const char* seccion;
    const char* nombre;
    const char* defecto;  // the value of the shipped Default.ini
    Lectura lectura;
    Escritura escritura;
};

// Every row, in the order in which the exit sequence writes them (a key missing
// from the file is added in this order).
std::span<const Fila> Tabla();
const Fila& De(Clave clave);

// Where the value lives. `poner` takes the stored value ("" when missing) for the
// load step; `tomar` gives the value to store at exit, or nothing when the
// value is not stored this time.
struct Enlace {
    std::function<void(const QString&)> poner;
    std::function<std::optional<QString>()> tomar;
};
// Binds a key to where its value lives (its owner does so once, at start).
void Enlazar(Clave clave, Enlace enlace);

// One key of FicheroIni, through the table.
QString Leer(Clave clave);
void Escribir(Clave clave, const QString& valor);

// The stored value to where it lives again.
void Recargar(Clave clave);
// The load step: every row read on loading, its stored value to where it lives.
void Cargar();
// The exit sequence: every row written at exit whose value is to be stored, in one
// write of the file (the one entry point of the exit's saving).
void Guardar();

// A number as the file keeps it (window places in twips).
inline QString Numero(double v) { return QString::number(v, 'g', 10); }
// A 0/1 value: "1" for true.
inline QString Marca(bool activa) { return activa ? "1" : "0"; }

}  // namespace ajustes
