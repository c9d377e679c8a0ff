#include "app/Ajustes.h"

#include "app/ApiFunciones.h"
#include "app/Variables.h"

#include <array>
#include <cassert>
#include <iterator>
#include <vector>

namespace ajustes {

namespace {

using enum Clave;
using enum Lectura;
constexpr Escritura S = Escritura::Salida;
constexpr Escritura P = Escritura::Propia;

constexpr Fila kFilas[] = {
    {MdiWindows, "Mdi", "Windows", "0", Propia, S},
    {MdiTop, "Mdi", "Top", "600", Lugar, S},
    {MdiLeft, "Mdi", "Left", "900", Lugar, S},
    {MdiWidth, "Mdi", "Width", "14400", Lugar, S},
    {MdiHeight, "Mdi", "Height", "10800", Lugar, S},
    {TableroTop, "Tablero", "Top", "0", Lugar, S},
    {TableroLeft, "Tablero", "Left", "0", Lugar, S},
    {ChatTop, "Chat", "Top", "5745", Lugar, S},
    {ChatLeft, "Chat", "Left", "0", Lugar, S},
    {ChatWidth, "Chat", "Width", "5400", Lugar, S},
    {ChatHeight, "Chat", "Height", "2700", Lugar, S},
    {JugadasTop, "Jugadas", "Top", "4860", Lugar, S},
    {JugadasLeft, "Jugadas", "Left", "5490", Lugar, S},
    {JugadasWidth, "Jugadas", "Width", "3600", Lugar, S},
    {JugadasHeight, "Jugadas", "Height", "4200", Lugar, S},
    {RelojTop, "Reloj", "Top", "4560", Lugar, S},
    {RelojLeft, "Reloj", "Left", "9210", Lugar, S},
    {RankingTop, "Ranking", "Top", "6360", Lugar, S},
    {RankingLeft, "Ranking", "Left", "9210", Lugar, S},
    {PgnTopInformacion, "Pgn", "TopInformacion", "0", Lugar, S},
    {PgnLeftInformacion, "Pgn", "LeftInformacion", "5850", Lugar, S},
    {PgnTopJugadas, "Pgn", "TopJugadas", "0", Lugar, S},
    {PgnLeftJugadas, "Pgn", "LeftJugadas", "11250", Lugar, S},
    {Nick, "Configuracion", "Nick", "", Carga, S},
    {CpuTop, "CPU", "Top", "0", Lugar, S},
    {CpuLeft, "CPU", "Left", "5490", Lugar, S},
    {CpuSt, "CPU", "St", "10", Carga, S},
    {CpuSd, "CPU", "Sd", "4", Carga, S},
    {CpuTiempo, "CPU", "Tiempo", "10", Carga, S},
    {CpuJugadas, "CPU", "Jugadas", "40", Carga, S},
    {CpuOption, "CPU", "Option", "0", Carga, S},
    {EpdTop, "EPD", "Top", "0", Lugar, S},
    {EpdLeft, "EPD", "Left", "5490", Lugar, S},
    {Tiempo, "Configuracion", "Tiempo", "10", Carga, S},
    {Dir, "Configuracion", "Dir", "", Carga, S},
    {Tipo, "Configuracion", "Tipo", "1", Carga, S},
    {AutoPlay, "Configuracion", "AutoPlay", "1000", Carga, S},
    {Check1, "Configuracion", "Check1", "1", Carga, S},
    {Check2, "Configuracion", "Check2", "1", Carga, S},
    {Check3, "Configuracion", "Check3", "0", Carga, S},
    {VerJugadas, "Configuracion", "Jugadas", "1", Carga, S},
    {VerChat, "Configuracion", "Chat", "0", Carga, S},
    {VerReloj, "Configuracion", "Reloj", "0", Carga, S},
    {VerElo, "Configuracion", "Elo", "0", Carga, S},
    {Sonido, "Configuracion", "Sonido", "1", Carga, S},
    {PointClick, "Configuracion", "PointClick", "0", Carga, S},
    {Notacion, "Configuracion", "Check", "1", Carga, S},
    {Idioma, "Configuracion", "Idioma", "Español", Propia, P},
    {Apariencia, "Configuracion", "Apariencia", "(Original)", Propia, P},
    {Tamano, "Configuracion", "Tamaño", "40", Carga, P},
    {Fondo, "Configuracion", "Fondo", "1", Carga, P},
    {Color, "Configuracion", "Color", "40:56:84", Carga, P},
    {RegitTvp, "Configuracion", "RegitTvp", "0", Propia, P},
    {RegitPgn, "Configuracion", "RegitPgn", "0", Propia, P},
    {RegitEpd, "Configuracion", "RegitEpd", "0", Propia, P},
};
constexpr std::size_t kNumFilas = std::size(kFilas);

// The rows stand in the order of their keys, so that a key finds its row at once.
constexpr bool EnOrden() {
    for (std::size_t i = 0; i < kNumFilas; ++i)
        if (static_cast<std::size_t>(kFilas[i].clave) != i) return false;
    return true;
}
static_assert(EnOrden(), "the rows of the settings table follow the order of Clave");

std::array<Enlace, kNumFilas>& Enlaces() {
    static std::array<Enlace, kNumFilas> enlaces;
    return enlaces;
}

Enlace& EnlaceDe(Clave clave) { return Enlaces()[static_cast<std::size_t>(clave)]; }

// The values that live in the program-wide state.
[[maybe_unused]] const bool kEstadoEnlazado = [] {
    auto variable = [](Clave clave, QString& valor) {
        Enlazar(clave, {[&valor](const QString& v) { valor = v; }, [&valor] { return std::optional(valor); }});
    };
    variable(Nick, NickLocal);
    variable(Dir, DirectorioFicheros);
    variable(Tipo, TipoFichero);
    return true;
}();

}  // namespace

std::span<const Fila> Tabla() { return kFilas; }

const Fila& De(Clave clave) { return kFilas[static_cast<std::size_t>(clave)]; }

void Enlazar(Clave clave, Enlace enlace) { EnlaceDe(clave) = std::move(enlace); }

QString Leer(Clave clave) {
    const Fila& f = De(clave);
    return LeerIni(FicheroIni, f.seccion, QString::fromUtf8(f.nombre));
}

void Escribir(Clave clave, const QString& valor) {
    const Fila& f = De(clave);
    EscribirIni(FicheroIni, f.seccion, QString::fromUtf8(f.nombre), valor);
}

void Recargar(Clave clave) {
    if (const Enlace& e = EnlaceDe(clave); e.poner) e.poner(Leer(clave));
}

void Cargar() {
    for (const Fila& f : kFilas) {
        if (f.lectura != Lectura::Carga) continue;
        const Enlace& e = EnlaceDe(f.clave);
        assert(e.poner && "a key read by the load step is bound to where its value lives");
        if (e.poner) e.poner(Leer(f.clave));
    }
}

void Guardar() {
    std::vector<ini::Cambio> cambios;
    for (const Fila& f : kFilas) {
        if (f.escritura != Escritura::Salida) continue;
        const Enlace& e = EnlaceDe(f.clave);
        assert(e.tomar && "a key written at exit is bound to where its value lives");
        if (!e.tomar) continue;
        if (const std::optional<QString> valor = e.tomar())
            cambios.push_back({f.seccion, QString::fromUtf8(f.nombre), *valor});
    }
    // One write of the file for all of them: a large file is written once, and a file
    // that cannot be written is reported once.
    if (!cambios.empty()) EscribirIni(FicheroIni, cambios);
}

}  // namespace ajustes
