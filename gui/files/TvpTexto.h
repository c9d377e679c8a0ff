// The texts of the game files, without windows: reading a text file whole and
// cutting it into lines, and the own game file (.tvp): clock tokens, the type
// letter, the file text and its tokens, and the parts of a move token.
//
// An own game file is CR LF lines: White's clock "mmss", Black's clock "mmss", the
// game type "R" or "A", then one move per line (four square digits and, for a
// preset promotion, the piece code), ended by an empty line.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace tvp {

// ---- Text files -------------------------------------------------------------------
// The whole content of a file (ficheros::Leer); nothing when it cannot be opened or
// read (missing, a folder, no permission) or is no regular file, which is not opened.
std::optional<QByteArray> LeerFicheroEntero(const QString& ruta);
// The lines of a text: UTF-8 (a leading byte-order mark dropped), lines ended by
// LF, CR LF or CR. A final line end ends the last line and starts none.
std::vector<QString> Lineas(const QByteArray& datos);

// ---- Writing ------------------------------------------------------------------------
// The clock token of a clock caption ("mm:ss"): the minute digits before the colon
// and two second digits after it. An empty caption gives "0000"; 100 minutes or
// more keep every minute digit ("120:00" gives "12000").
QString TokenReloj(const QString& leyenda);
// The type line: the game type when one runs; otherwise "R" when either clock token
// is not "0000", "A" when both are.
QString LetraTipo(const QString& tipoPartida, const QString& tokenBlancas, const QString& tokenNegras);
// The whole file: both clock lines, the type line, the move lines (the token line
// of the move list, each line ended by CR LF) and the final empty line.
QByteArray TextoFichero(const QString& tokenBlancas, const QString& tokenNegras, const QString& tipo,
                        const QString& lineaJugadas);

// ---- Reading ------------------------------------------------------------------------
// The tokens of a file, in order. Each item ends at a comma or a line end; blanks
// around it are skipped; an item may be quoted; an empty line gives an empty item.
std::vector<QString> Tokens(const QByteArray& datos);

// A clock token read back: minutes are all digits but the last two.
struct Reloj {
    long minutos = 0;
    long segundos = 0;
};
// Nothing when the token is not made of digits only.
std::optional<Reloj> LeerReloj(const QString& token);

// A move token: origin and destination squares ("52"), and the promotion piece
// from the fifth character on (0 when none).
struct JugadaDeFichero {
    std::string origen;
    std::string destino;
    int pieza = 0;
};
// Nothing when a field is not a number. Squares are not checked here: the move
// rules refuse a square outside the board.
std::optional<JugadaDeFichero> LeerJugada(const QString& token);

}  // namespace tvp
