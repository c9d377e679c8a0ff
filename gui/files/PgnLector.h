// Reading PGN text for the browser: tag lines, the game boundaries of a file and its
// index, one game's tags, FEN and move text, and the half-move lines of a move text.
// Plain C++ on bytes; the browser decodes the values it shows.
//
// A game is a run of tag lines and the text up to the next run. A tag line is "[",
// a name of letters, digits or "_", a blank, then the value in double quotes. Blank
// lines, "%" escape lines and other lines beginning with "[" neither end a run nor
// belong to the move text; any other line is move text and ends the run. A tag name
// that comes twice in one run starts the next game.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pgn {

// The seven tags the browser lists by and shows, in list-by order, in lower case.
constexpr int kEtiquetas = 7;
extern const std::array<std::string_view, kEtiquetas> kNombres;
// Index of a lower-case tag name in kNombres, -1 for any other.
int IndiceEtiqueta(std::string_view nombre);

// Calls f(linea, inicio) for each line of the bytes: a line ends at LF, CR LF or CR
// alone (old Mac files), a UTF-8 byte-order mark at the start is skipped. `inicio`
// is the line's byte offset.
template <class F>
void PorLineas(std::string_view datos, F&& f) {
    size_t i = datos.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (i < datos.size()) {
        const size_t fin = datos.find_first_of("\r\n", i);
        if (fin == std::string_view::npos) {
            f(datos.substr(i), i);
            return;
        }
        f(datos.substr(i, fin - i), i);
        i = fin + 1;
        if (datos[fin] == '\r' && i < datos.size() && datos[i] == '\n') ++i;
    }
}

// A tag line: its name in lower case and its value (between the first double quote
// and the next one not escaped, with \" and \\ unescaped; empty when the line has
// no such pair). False for any other line.
bool LeerEtiqueta(std::string_view linea, std::string* nombre, std::string* valor);

// One game of the index: its byte range in the file and the values of the seven tags.
struct EntradaIndice {
    size_t inicio = 0, fin = 0;
    std::array<std::string, kEtiquetas> valores;
    std::uint8_t presentes = 0;  // bit i: tag i is in the game's tag run
    bool Tiene(int etiqueta) const { return (presentes >> etiqueta) & 1; }
};

// The games of a file, in file order.
class Indice {
public:
    void Construir(std::string_view datos);
    const std::vector<EntradaIndice>& Partidas() const { return partidas_; }
    // The games that carry the tag (0 to 6), in file order: entry k of the list by it.
    std::vector<int> Lista(int etiqueta) const;

private:
    std::vector<EntradaIndice> partidas_;
};

// One game's section, read: the seven tags, the FEN tag and the move-text lines.
struct Partida {
    std::array<std::string, kEtiquetas> valores;
    std::array<bool, kEtiquetas> presentes{};
    bool conFen = false;
    std::string fen;
    std::string textoJugadas;  // the move-text lines, each ended by "\n"
};
Partida LeerPartida(std::string_view seccion);

// Token classes of the move text: 0 nothing, 1 "[!]", 2 a move number, 3 a move,
// 4 an annotation glyph ("$1", or suffix marks alone: "!?"), 5 a number joined to its
// move ("12.e4"), 6 a result.
int TipoToken(std::string_view token);

// The move text with comments, variations and ";" remarks each replaced by one
// blank. Inside a comment only braces nest, inside a variation only parentheses; an
// unclosed one ends with the text.
std::string QuitarComentarios(std::string_view texto);

// The half-move lines of a move text: "n. move" where a move number starts, 18
// blanks and the move for the other moves. Moves before the first move number are
// not listed; a glyph glued to a move is cut off it, suffix marks stay on it.
std::vector<std::string> SepararJugadas(std::string_view texto);

// The move of a half-move line: after the number's ". ", or from the 19th character.
std::string JugadaDeLinea(const std::string& linea, bool blancas);

// A half-move line as the move list shows it: a move too long to be one is cut short
// (rules::TokenCorto).
std::string LineaMostrada(const std::string& linea);

}  // namespace pgn
