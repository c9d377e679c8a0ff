// The one game-state block of Tavorin's board.
//
// Every road that makes a move (mouse, peer, engine, PGN browser, game-file replay)
// writes the move into this block and calls Reglas::ValidarMovimiento, which reads and
// updates it. The names are the program's own and every window reads them as they are.
//
// Boolean convention: every flag is a C++ bool. true stands for the program's -1
// ("set", "True"), false for 0. Texts that other parts of the program store (the move
// record, the token line, peer messages) never hold a bool directly: where a flag
// becomes a digit (the "r" part of RegistroJugada) the digit is 1 for true, 0 for false.
//
// Squares: Casillas[x][y] with file x (1 = a .. 8 = h) and rank y (1 .. 8); row and
// column 0 exist and stay 0. A square as text (CasillaTexto) is two digits, file then
// rank ("52" is e2).
#pragma once

#include <array>
#include <string>

// The side to move on the board (Variables::Turno). The sides also number the engine
// slots and the clocks: slot 1 plays White, slot 2 Black.
namespace turno {
constexpr int Nadie = 0;  // no person at the board is to move (an engine or the peer thinks, or no game)
constexpr int Blancas = 1;
constexpr int Negras = 2;
// The other side.
constexpr int Otro(int lado) { return 3 - lado; }
}  // namespace turno

// The local side's colour in a game with the peer (Variables::MiColor); empty when
// there is none.
namespace color_local {
inline const std::string Blancas = "Blancas";
inline const std::string Negras = "Negras";
}  // namespace color_local

// The side counter of a game file while it streams in (Variables::TurnoFichero): the
// side its next move is for. Once the stream has ended it holds a turno value.
namespace turno_fichero {
constexpr int Blancas = 0;
constexpr int Negras = 1;
}  // namespace turno_fichero

namespace rules {

// Pieza codes.
enum Pieza : int {
    Vacia = 0,
    PeonBlanco = 1,
    TorreBlanca = 2,
    CaballoBlanco = 3,
    AlfilBlanco = 4,
    DamaBlanca = 5,
    ReyBlanco = 6,
    PeonNegro = 7,
    TorreNegra = 8,
    CaballoNegro = 9,
    AlfilNegro = 10,
    DamaNegra = 11,
    ReyNegro = 12,
};

// The piece codes run from White's pawn to Black's king.
constexpr int PrimeraPieza = PeonBlanco;
constexpr int UltimaPieza = ReyNegro;
inline bool EsPieza(int codigo) { return codigo >= PrimeraPieza && codigo <= UltimaPieza; }
inline bool EsBlanca(int codigo) { return codigo >= PeonBlanco && codigo <= ReyBlanco; }
inline bool EsNegra(int codigo) { return codigo >= PeonNegro && codigo <= ReyNegro; }
// Black's pieces follow White's in the same order: a Black code is the White one plus this.
constexpr int DistanciaNegras = PeonNegro - PeonBlanco;
// White's piece code `blanca` as the piece of side `lado` (turno::Blancas or turno::Negras).
constexpr int PiezaDelLado(int blanca, int lado) { return lado == turno::Negras ? blanca + DistanciaNegras : blanca; }

// A board: Casillas[x][y], x and y 0..8.
using Tablero = std::array<std::array<int, 9>, 9>;

struct Variables {
    // The board and its scratch copy (-1 on a scratch square: empty and marked).
    Tablero Casillas{};
    Tablero CasillasPrueba{};

    // The move being made.
    std::string Origen;   // CasillaTexto, written by the caller
    std::string Destino;  // CasillaTexto, written by the caller
    int XOrigen = 0, YOrigen = 0;
    int XDestino = 0, YDestino = 0;
    int FichaOrigen = 0;   // moving piece (the promoted piece after a promotion)
    int FichaDestino = 0;  // piece on the destination before the move
    bool MovimientoValido = false;
    bool SoloComprobar = false;  // test only: nothing but MovimientoValido changes
    int PiezaCoronacion = 0;     // preset promotion piece, 0 = ask
    int FichaCoronada = 0;       // piece taken by a promoting pawn
    bool MovimientoEnroque = false;
    int EnroqueEnCurso = 0;  // 1 king side, 2 queen side

    // Side to move and game.
    int Turno = 0;  // 0 none, 1 White, 2 Black
    bool Conectado = false;
    std::string MiColor;      // "Blancas", "Negras" or ""
    std::string TipoPartida;  // "R", "A" or ""

    // Check, checkmate and stalemate.
    bool JaquePropio = false;
    bool Jaque = false;
    bool JaqueMate = false;
    bool Ahogado = false;

    // Scratch of the check searches.
    std::string CasillasAtacantes;  // squares of the checking pieces
    std::string CasillaPiezaMovida;
    std::string AtacanteDescubierto;
    bool ModoDefensor = false;
    std::string CasillasDefensoras;
    int XRey = 0, YRey = 0;
    int FichaDesplazada = 0;

    // Reach tests.
    bool PiezaEncontrada = false;
    std::string XEncontrada, YEncontrada;

    // Castling rights: true = that right is lost.
    bool TorreA1Movida = false;
    bool TorreH1Movida = false;
    bool TorreA8Movida = false;
    bool TorreH8Movida = false;
    // Elements 1 and 2: the side's (a-rook, h-rook) flags before its last move that changed them.
    std::array<bool, 3> EnroqueGuardadoBlancas{};
    std::array<bool, 3> EnroqueGuardadoNegras{};
    // The four flags (A1, H1, A8, H8) as they stood when the move in progress began;
    // the move record carries them when the move changed any of them.
    std::array<bool, 4> EnroqueAntesJugada{};

    // En passant.
    bool AlPasoPosible = false;
    int CasillaAlPaso = 0;  // x * 10 + y of the pawn that has just made a double step
    bool AlPasoCaduca = false;
    std::string CapturaAlPaso;  // CasillaTexto of the pawn taken en passant by this move
    std::string AlPasoTexto;    // en-passant field of the last position read

    // Move numbering and move texts.
    int NumeroJugada = 0;
    bool NotacionNegras = false;
    std::string JugadaNotacion;
    std::string JugadaTraducida;

    // FEN/EPD.
    std::string TextoFen;
    int TurnoFichero = 0;  // after a FEN/EPD text: turno::Blancas, turno::Negras, 0 none read
    // While a game file streams in (replayed here or by the peer), after each move:
    // the file's side counter follows the board's side.
    void SeguirTurnoFichero() {
        if (TurnoFichero == turno_fichero::Blancas && Turno == turno::Blancas)
            TurnoFichero = turno_fichero::Negras;
        else if (TurnoFichero == turno_fichero::Negras && Turno == turno::Negras)
            TurnoFichero = turno_fichero::Blancas;
    }
    // The side the streaming file's next move is for, as a turno value.
    int LadoFichero() const { return TurnoFichero == turno_fichero::Blancas ? turno::Blancas : turno::Negras; }

    // Hover square of a drag on the board.
    int XCasillaArrastre = 0, YCasillaArrastre = 0;
};

// Seven notation letters: pawn, rook, knight, bishop, queen, king, en-passant mark.
struct LetrasNotacion {
    std::string Peon, Torre, Caballo, Alfil, Dama, Rey, AlPaso;
};

}  // namespace rules
