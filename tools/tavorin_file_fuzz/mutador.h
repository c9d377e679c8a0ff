// The cases of the file fuzzer. A PGN, EPD or own game file (.tvp) as Tavorin writes
// or reads it (random legal games and positions through Tavorin's own rules and
// writers, with comments, variations, glyphs, FEN tags, every line end), then
// mutated: bytes flipped, inserted, deleted, repeated, swapped; words of the format
// put anywhere; lines repeated, truncated, joined; numbers made extreme; huge words.
// Or one of the program's own files (Default.ini, the language file in use, a skin
// picture, Puntuacion.dat) mutated, or replaced by a FIFO, a device, a folder, a link
// to a good copy, to a FIFO, to a device or to nothing, or a loop of links, for a
// start and an exit of their own. Or a writer (a game saved in each format through the
// save dialog and the PGN browser, the chat log, the board picture, a ranking booking,
// the exit sequence, the Options, colours and level dialogs, a file-type registration)
// on a disk that fills at a random byte. Or a start and an exit in a program folder
// whose name holds control characters or bytes that are no UTF-8, with a game file of
// such a name on the command line and saved under one, the file types registered,
// sometimes a large Default.ini, sometimes language files that lack texts.
// Everything comes from the seed and the case number, so that a case replays alone.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace fuzz_ficheros {

enum class Clase { Pgn, Epd, Tvp, Ajustes, Idioma, Piel, Puntuacion, Escritura, Nombres };
constexpr int kClases = 9;

// "pgn", "epd", "tvp"; "ini", "lng", "png", "dat" for the program's own files;
// "escritura"; "nombres" for a start and an exit in a program folder of an odd name.
const char* Extension(Clase clase);

// What stands where one of the program's own files should be.
enum class Forma { Mutada, Fifo, Dispositivo, Carpeta, Enlace, EnlaceFifo, EnlaceDispositivo, EnlaceRoto, Bucle };
constexpr int kFormas = 9;

// The writers run on a disk that fills at a random byte: the game saved in each format,
// the chat log, the board picture, a ranking booking, the exit sequence, the Options
// dialog (size, check boxes, language, skin), the colours dialog, the level dialog (and
// the exit's saving of it), a file-type registration.
enum class Escritor { Tvp, Pgn, Epd, Chat, Imagen, Reserva, Salida, Opciones, Colores, Nivel, Tipos };
constexpr int kEscritores = 11;

struct Caso {
    Clase clase = Clase::Pgn;
    // The file (a mutated one of the program's own, for Forma::Mutada).
    std::string contenido;
    // The worker's choices on the file (games chosen, steps, keys, answers).
    std::uint64_t semillaAcciones = 0;
    Forma forma = Forma::Mutada;
    Escritor escritor = Escritor::Tvp;
    // The bytes a file may take on the disk while the writer or the start and exit
    // run; -1: room enough.
    long long sitio = -1;
    // The writer's file holds good bytes before.
    bool existe = false;
};

// A case with a start and an exit of its own (the program's own files, the exit
// sequence): its worker is started for it alone.
bool Aparte(const Caso& c);

// The case's first word on the worker's line ("pgn", "ini:fifo", "escritura:pgn:900:1",
// ...), and the case's fields read back from it (false when it is no such word).
std::string Palabra(const Caso& c);
bool DePalabra(const std::string& palabra, Caso& c);

struct Limites {
    size_t tamanoMaximo = 256 * 1024;     // a file's usual ceiling...
    size_t tamanoRaro = 2 * 1024 * 1024;  // ...and the one of the rare big one
};

// The random source of case `numero` of a session with `semilla`.
inline std::mt19937_64 AzarDeCaso(std::uint64_t semilla, size_t numero) {
    return std::mt19937_64(semilla * 1000003u + numero);
}

// Case `numero` of the session `semilla`.
Caso HacerCaso(std::uint64_t semilla, size_t numero, const Limites& limites = {});

// The unmutated files (for the generator's own tests).
std::string PgnBase(std::mt19937_64& azar);
std::string EpdBase(std::mt19937_64& azar);
std::string TvpBase(std::mt19937_64& azar);
// The program's own file of the class as delivered (Default.ini, Español.lng, the
// White pawn of the "marmol" skin) or a sound ranking record.
std::string PropioBase(Clase clase, std::mt19937_64& azar);

// The mutations, applied `veces` times (each a random one of them).
void Mutar(std::string& texto, Clase clase, std::mt19937_64& azar, int veces, const Limites& limites);

}  // namespace fuzz_ficheros
