// EPD position lists, without windows: which lines of a file make the list, the
// squares of the preview, the preview's picture of each piece, and the message
// that carries a loaded position to the peer.
#pragma once

#include "rules/variables.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace epd {

enum class Lectura {
    Lista,            // at least one position
    Ilegible,         // the file could not be read
    Vacia,            // no line at all
    PrimeraNoValida,  // the first line is no position
};

// The accepted lines are kept where they lie in the file's bytes: a list costs about
// the file's size, however many lines it has.
struct Lista {
    Lectura estado = Lectura::Vacia;
    QByteArray texto;                // the file's bytes
    std::vector<qsizetype> inicios;  // where each accepted line begins in `texto`
    // Accepted line i, unchanged (it ends at a CR, a LF or the end of the text).
    std::string_view Bytes(size_t i) const;
    QString Linea(size_t i) const;
};

// The list of a file's content (nothing: the file could not be read): lines of UTF-8
// (a leading byte-order mark dropped) ended by LF, CR LF or CR, each given to
// `esPosicion` as its bytes. The first line must be a position; later lines that are
// none are skipped.
Lista LeerLista(std::optional<QByteArray> datos, const std::function<bool(const std::string&)>& esPosicion);

// The preview's squares: piece codes from rank 8 to rank 1, files a to h within a
// rank (entry 0 is a8, 7 is h8, 56 is a1, 63 is h1).
std::array<int, 64> CasillasVista(const rules::Tablero& casillas);

// The preview picture (1 to 12, in the picture list's order: pawn, knight, king,
// rook, queen, bishop, White before Black) of a piece code; 0 for none.
int ImagenDePieza(int pieza);
// The file name stem of preview picture 1 to 12 ("peonb", "peonn", ...).
QString NombreImagen(int imagen);

// The message of a position loaded while connected: "EPD " with the side to move
// and the sender's colour letter when the sender moves first, "EPD T" with them
// when the peer does; then a blank and the line.
QString MensajeEpd(int turno, int turnoFichero, const std::string& miColor, const QString& linea);

}  // namespace epd
