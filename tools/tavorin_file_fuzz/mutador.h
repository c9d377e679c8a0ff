// The files of the file fuzzer: a PGN, EPD or own game file (.tvp) as Tavorin writes
// or reads it (random legal games and positions through Tavorin's own rules and
// writers, with comments, variations, glyphs, FEN tags, every line end), then
// mutated: bytes flipped, inserted, deleted, repeated, swapped; words of the format
// put anywhere; lines repeated, truncated, joined; numbers made extreme; huge words.
// Everything comes from the seed and the case number, so that a case replays alone.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace fuzz_ficheros {

enum class Clase { Pgn, Epd, Tvp };

const char* Extension(Clase clase);  // "pgn", "epd", "tvp"

struct Caso {
    Clase clase = Clase::Pgn;
    std::string contenido;
    // The worker's choices on the file (games chosen, steps, keys, answers).
    std::uint64_t semillaAcciones = 0;
};

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

// The mutations, applied `veces` times (each a random one of them).
void Mutar(std::string& texto, Clase clase, std::mt19937_64& azar, int veces, const Limites& limites);

}  // namespace fuzz_ficheros
