// Tavorin's chess rules on the game-state block: move validation, check, checkmate and
// stalemate, reach and attack tests, the move texts and move record, FEN/EPD text and
// the SAN move reader of the PGN browser.
//
// Reglas is the game-state block (Variables, copyable on its own: copy it to save and
// restore a position with all its rights) plus the operations and the move-list texts.
// Booleans: see variables.h (bool true = the program's -1).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rules/rules_host.h"
#include "rules/variables.h"

namespace rules {

// The move-list window's texts: List[1] coordinates, List[2] Spanish letters, List[3]
// English, List[4] the game-file token line, List[5] user letters (List[0] unused);
// List1 one RegistroJugada per move, newest last. Lines end with CR LF. Resultado: how
// the game ended when the board does not show it ("1-0", "0-1", "1/2-1/2" after a
// resignation, an agreed draw or a flag fall), "" otherwise.
struct ListaJugadas {
    std::array<std::string, 6> List;
    std::vector<std::string> List1;
    std::string Resultado;
    void Borrar() {
        List = {};
        List1.clear();
        Resultado.clear();
    }
};

// What a file holds as a message quotes it or a list shows it: whole up to
// `caracteres` characters (UTF-8; bytes that are none count one each), else its first
// `caracteres` characters and "...".
std::string Acortar(const std::string& texto, size_t caracteres);
// A move-text token (kTokenCorto) and a list entry, a tag value or an EPD line
// (kEntradaCorta).
constexpr size_t kTokenCorto = 40;
constexpr size_t kEntradaCorta = 255;
inline std::string TokenCorto(const std::string& token) { return Acortar(token, kTokenCorto); }

// A position read from a FEN/EPD text, before it is put on the board.
struct PosicionFen {
    Tablero Casillas{};
    int Turno = turno::Blancas;                       // turno::Blancas or turno::Negras
    bool K = false, Q = false, k = false, q = false;  // castling letters found
    bool AlPasoPosible = false;
    int CasillaAlPaso = 0;
    std::string AlPasoTexto;  // "" when none or when the field did not fit the position
};

class Reglas : public Variables {
public:
    Reglas();
    explicit Reglas(RulesHost* host);
    Reglas(const Reglas&) = delete;
    Reglas& operator=(const Reglas&) = delete;

    void FijarHost(RulesHost* host);
    RulesHost& Host() { return *host_; }

    // The game state alone (to save and restore it).
    Variables& Estado() { return *this; }
    const Variables& Estado() const { return *this; }

    // ---- Move validation --------------------------------------------------------
    // Validates Origen -> Destino (and a preset PiezaCoronacion) and, unless
    // SoloComprobar is set, performs it. Result in MovimientoValido, Jaque, JaqueMate,
    // Ahogado, CapturaAlPaso, EnroqueEnCurso. A refused move leaves the board, the
    // castling and en-passant state as they were (a pawn an en-passant capture had
    // lifted is back: callers put nothing back). An accepted en-passant capture has
    // already taken the pawn off Casillas and ended the en-passant chance; the caller
    // only repaints its square (RulesHost::SubComoFicha). With SoloComprobar set only
    // MovimientoValido changes.
    void ValidarMovimiento();
    // The piece's movement rule for Origen -> Destino, with its en-passant effects.
    void ReglasPieza();
    void FormaEnroque();
    void AplicarMovimiento();
    void BorrarAlPaso();
    void PeonCoronado();

    // ---- Check, checkmate and stalemate ------------------------------------------
    void ReyEnJaque();
    bool DejaReyEnJaque();
    void ReyAtacado();
    void DaJaque();
    void AtacantesDelRey();
    void BuscarMate();
    void BuscarAhogado();

    // ---- Reach and attack tests (on CasillasPrueba) -------------------------------
    void AlcanceTorre(int x, int y, int codigo);
    void AlcanceCaballo(int x, int y, int codigo);
    void AlcanceAlfil(int x, int y, int codigo);
    void AtaquePeonNegro(int x, int y);
    void AtaquePeonBlanco(int x, int y);
    void AtaqueLineas(int x, int y, int rey);
    void AtaqueCaballo(int x, int y, int rey);
    void AtaqueDiagonales(int x, int y, int rey);
    void AtaqueRey(int x, int y, int rey);

    // ---- Move texts and move record ---------------------------------------------------
    void AnotarJugada();
    void EscribirJugada(const std::string& texto, int box);
    void TraducirNotacion(const std::string& texto, const LetrasNotacion& letras);

    // ---- FEN / EPD -------------------------------------------------------------------
    // Reads a FEN/EPD line onto the board. Refused: returns false and changes nothing.
    bool LeerFen(const std::string& texto);
    // Parses a line without touching the game state (EPD list tests and previews).
    std::optional<PosicionFen> AnalizarFen(const std::string& texto) const;
    void EscribirFen();
    static std::string LetraPiezaFen(int codigo);
    void VaciarTablero();

    // ---- SAN reader of the PGN browser ---------------------------------------------------
    // Plays one SAN token for side turno::Blancas or turno::Negras; appends the move to
    // PgnJugadas, or shows a message (language text 51: token unreadable, 52: move
    // refused) and sets ErrorPgn. An empty token or a game result does nothing.
    void ComFicha(const std::string& movimiento, int lado);
    void BuscarPieza(int x, int y, int codigo);
    void RegistrarJugada(int x, int y, int lado);

    // ---- Resets -------------------------------------------------------------------------
    // New game: clears the move in progress, the rights, the check flags and the numbering.
    void VariablesCero();
    // Ends the move in progress (after a move is shown or cancelled).
    void MovimientoAnulado();

    // ---- Data owned next to the block ------------------------------------------------------
    ListaJugadas Jugadas;                 // move-list texts and take-back records
    std::vector<std::string> PgnJugadas;  // JugadaCodificada per move loaded from a PGN game
    bool ErrorPgn = false;
    LetrasNotacion LetrasEspanol{"", "T", "C", "A", "D", "R", "ap"};
    LetrasNotacion LetrasUsuario{};

private:
    void Validar();              // the body of ValidarMovimiento
    bool LeerCasillasJugada();   // Origen and Destino into the move's squares
    bool Coronar(bool blancas);  // false: the move stops there
    bool Enrocar(bool blancas);  // false: the move stops there
    void MoverTorreEnroque(bool corto, bool blancas);
    void QuitarDerechosEnroque();
    void CerrarAlPaso();
    void EfectoSobreRival();        // check, then checkmate or stalemate
    void PosicionTrasMovimiento();  // CasillasPrueba = Casillas with the move applied
    void GuardarEnroque(bool blancas);
    bool CoronacionPermitida(int codigo, bool blancas) const;

    // Searches on the position after the move.
    bool BuscarEscapeRey();
    void JaqueDoble();
    void BuscarInterposicion();
    void BuscarCaptura();
    void BuscarMovimientoPiezas();
    bool JugadaDefensaLegal(int xo, int yo, int xd, int yd) const;
    int AlPasoDelDefensor() const;

    bool AlcanceLinea(int x, int y, int dx, int dy, int codigo);

    // Move-text steps.
    void LetraPieza();
    void Desambiguar();
    void AnotarDestino();
    void AnotarCoronacion();
    void AnotarJaque();
    std::string Registro() const;

    // SAN reader steps.
    void ErrorToken(int texto, const std::string& token);
    bool ValidarSan();
    void JugarSan(const std::string& movimiento);
    void SanPeon(const std::string& t, const std::string& movimiento, int lado);
    std::pair<int, int> OrigenPeon(int columna, int f, int r, int lado, bool empuje, bool captura) const;
    void SanPieza(const std::string& t, const std::string& movimiento, int lado, int codigo);
    std::vector<std::pair<int, int>> CandidatosPieza(int f, int r, int codigo, char pista, char pistaFila);
    void AlcanceDesdeDestino(int f, int r, int codigo);
    void SanRey(const std::string& t, const std::string& movimiento, int lado);
    void SanEnroque(bool corto, const std::string& movimiento, int lado);

    std::string tokenActual_;  // the token ComFicha is reading
    RulesHost defecto_;
    RulesHost* host_ = &defecto_;
    Tablero busqueda_{};      // position after the move, for the searches
    int alPasoBusqueda_ = 0;  // file a defender pawn may take en passant on, 0 none
};

// Pure helpers on any board, shared by the rules and the FEN reader.
namespace tablero {
// The king of that code is attacked on the board (marks on the copy do not matter).
bool ReyAtacado(const Tablero& b, int rey);
// The attack map of the piece on (x, y) against the other side's king: marks the empty
// squares it attacks with -1 and sets hallado when it attacks that king.
void AtaquePieza(Tablero& b, int x, int y, bool& hallado);
// The piece on (xo, yo) may move to (xd, yd) by its movement rule, castling aside.
// alPaso: the file on which a pawn may be taken en passant (0 none); *alPasoHecho is
// set when the move is that capture.
bool MovimientoPieza(const Tablero& b, int xo, int yo, int xd, int yd, int alPaso, bool* alPasoHecho = nullptr);
}  // namespace tablero

}  // namespace rules
