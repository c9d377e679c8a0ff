// The rules of an engine game, without the window: whose turn it is, what each engine
// is told and when (the start, the moves with the engine clocks, the castling retry,
// the panel's requests and their answers), the engine clocks themselves, the engines'
// names, and how a game ends, with what result and what message.
//
// The engine panel hands it every event (an engine's line, the person's move, an
// engine's move played on the board, a tick of a clock, a command of the panel) and
// carries out the Decision it returns. The game keeps its state in the two engine
// slots, the board's game state and the clock variables it is given, and reads the
// level from the source it is given whenever it needs it.
#pragma once

#include "engines/Reclamacion.h"
#include "engines/RelojMotor.h"
#include "engines/Xboard.h"
#include "rules/variables.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rules {
class Reglas;
}

namespace respuesta {
struct Lectura;
struct Resultado;
}

// One engine slot.
struct DatosMotor {
    QString UltimaLinea;  // the last "move" line read (lower case); "..." after each write
    QString Comando;      // the text written last (or about to be)
    bool Activo = false;  // the slot's engine runs
    QString Ruta;         // full path of the engine
};

class PartidaMotores {
public:
    // What the level dialog holds: whether the engines play on the clock, the minutes
    // each side's clock starts with, the level command of the start.
    struct Nivel {
        bool reloj = false;
        long minutos = 0;
        QString comando;
    };
    // Where one side's clock keeps its time (the windows draw it from there).
    struct Tiempo {
        long& minutos;
        long& segundos;
    };

    PartidaMotores(DatosMotor& motor1, DatosMotor& motor2, rules::Reglas& tablero, Tiempo blancas, Tiempo negras,
                   std::function<Nivel()> nivel);

    // ---- What the panel carries out --------------------------------------------------
    enum class Temporizador { Igual, Arrancar, Parar };
    enum class Icono { Ninguno, Informacion, Parada };
    // A message box; a text that reads as a number shows that language text.
    struct Mensaje {
        QString texto;
        Icono icono = Icono::Ninguno;
    };
    // A line (or several joined by CR LF) for the engine of a slot.
    struct Escritura {
        int motor = 0;
        QString texto;
    };
    // How the panel closes a game that ended. The game itself has already forgotten
    // its engines, requests and clocks (not the engines' names).
    struct Fin {
        std::array<bool, 3> detener{};  // the engines to stop, by slot (element 0 unused)
        int ganador = -1;               // the result to record: the winning side, turno::Nadie a draw; -1 none
        bool descargar = false;         // the relays are let go as well
        // A flag fell: the panel keeps the clocks as they show, and the board's game
        // is closed with it (its kind, the local colour, the set-up and file modes).
        bool porTiempo = false;
        bool sonido = false;  // an engine's flag fell: its sound first
    };
    // An engine's move to play on the board; the panel answers with JugadaEnTablero.
    struct JugadaMotor {
        int ranura = 0;
        xboard::JugadaTablero jugada;
    };
    // Carried out in this order: the timers, the clock boxes, the thinking boxes, the
    // take-backs, the writes, the end, the messages, the draw question, the move, the
    // board's side.
    struct Decision {
        Temporizador espera = Temporizador::Igual;          // the request's time-out (SinRespuesta)
        Temporizador enroque = Temporizador::Igual;         // the castling retry's wait (ReintentarEnroque)
        std::array<Temporizador, 3> reloj{};                // the ticks of White's and Black's clock (Tic)
        bool relojesACero = false;                          // both clock boxes read "00:00"
        std::vector<int> mostrar;                           // the clocks to draw, in order
        std::optional<std::array<QString, 5>> pensamiento;  // depth, score, time, nodes, variation
        std::optional<QString> diagnostico;                 // for the variation box
        int retrocesos = 0;                                 // moves to take back on the board
        std::vector<Escritura> escrituras;
        std::optional<Fin> fin;
        std::vector<Mensaje> mensajes;
        QString oferta;  // an engine's draw offer to put to the person (answer: RespuestaOferta)
        std::optional<JugadaMotor> jugada;
        // Against one engine the person's side goes to the bottom: true turns the board
        // so that Black is there.
        std::optional<bool> invertir;
    };

    // ---- The start --------------------------------------------------------------------
    // True when a new game must be confirmed first: the board holds moves and an engine plays.
    bool PreguntarAntesDeEmpezar() const;
    // A new game is about to be set up: nothing of the last one is left, not even the
    // names of its engines.
    void Olvidar();
    // A game between persons on the panel: White is to move.
    void EntrePersonas();
    // The engine the list shows by that name takes the slot; its program starts next.
    void Sentar(int ranura, const QString& nombre);
    // The engines have taken their slots; `arrancado`: every program started. Decides
    // the turn, sets the clocks and tells each engine how to start.
    Decision Empezar(bool arrancado);

    // ---- Events -----------------------------------------------------------------------
    // A line of the slot's engine, as the relay handed it over.
    Decision Linea(int ranura, const QString& linea);
    // How the board took the move of the last JugadaMotor: refused, played, or played
    // and the game over (checkmate or stalemate, which the board then tells).
    enum class Aplicada { Rechazada, Jugada, Fin };
    Decision JugadaEnTablero(Aplicada aplicada, bool enroque = false);
    // The person's move just made on the board (Origen, Destino, PiezaCoronacion), in a
    // game against one engine.
    Decision JugadaDePersona();
    // A tick of a side's clock.
    Decision Tic(int lado);
    // The request's time-out ran out.
    Decision SinRespuesta();
    // The castling retry's wait ran out.
    Decision ReintentarEnroque();
    // The person's answer to an engine's draw offer.
    Decision RespuestaOferta(bool acepta);
    // The slot's engine ended by itself, or stopped reading what it is sent.
    Decision MotorTerminado(int ranura);
    // A line an engine wrote to its error output.
    Decision ErrorDelMotor(const QString& texto);
    // The board ended the game (a checkmate or stalemate it tells itself): the engines
    // go, nobody is to move.
    Decision Terminar();

    // ---- The panel's commands ----------------------------------------------------------
    Decision Detener();
    // The person resigns against the engine.
    Decision Rendirse();
    // The person offers a draw.
    Decision OfrecerTablas();
    // The person takes back a move of each side (or one, where no engine plays).
    Decision Retroceder();
    // A hint (while the person is to move) or a move at once (while the engine thinks).
    Decision PedirPista();
    Decision MoverYa();

    // ---- Resets -------------------------------------------------------------------------
    // No request, no retry, clocks off, empty slots; the names stay.
    void Reiniciar();
    // The panel closes: reset, and nobody is to move.
    void Cerrar();

    // ---- What the panel reads ------------------------------------------------------------
    // The engine that plays side n (1 White, 2 Black) of the game on the board, by the
    // name the list gave it when the game started; "" for a person, and before the
    // first engine game. The name stays after the game until the next one starts.
    QString NombreMotor(int lado) const;
    bool HayMotor() const { return motor1_.Activo || motor2_.Activo; }
    bool DosMotores() const { return motor1_.Activo && motor2_.Activo; }
    bool EsperandoRespuesta() const { return esperandoRespuesta_; }
    bool EnroquePendiente() const { return enroquePendiente_; }

private:
    DatosMotor& Ranura(int n) { return n == turno::Negras ? motor2_ : motor1_; }
    const DatosMotor& Ranura(int n) const { return n == turno::Negras ? motor2_ : motor1_; }
    RelojMotor& Reloj(int lado) { return lado == turno::Negras ? relojNegras_ : relojBlancas_; }
    Tiempo& TiempoDe(int lado) { return lado == turno::Negras ? negras_ : blancas_; }
    // The colour the board has to move by the number of moves.
    int LadoAMover() const;
    void Escribir(Decision& d, int ranura, const QString& texto);
    // A move for the engine of that side, with both clocks as they stand.
    QString ConRelojes(int receptor, const QString& jugada, bool reloj);
    void EncenderReloj(Decision& d, int lado);
    void ApagarRelojes(Decision& d);
    // One count of a side's clock; true when it ended the game.
    bool Contar(Decision& d, int lado);
    // The end of the game: the engines that run are to be stopped, the game forgets
    // them, nobody is to move; then the message, when there is one.
    void Acabar(Decision& d, const QString& texto, Icono icono, int ganador = -1);
    void Abandono(Decision& d, int ranura);
    // A result line of the engine of that slot: the game ends with the result when the
    // line stands (see reclamacion::Admitida), as the engine's error when it does not.
    void FinPorResultado(Decision& d, int ranura, const respuesta::Resultado& r, const QString& linea);
    // The other side's draw offer waits for the answer of the engine of that slot.
    bool OfertaEnPie(int ranura) const;
    void OfertaDeTablas(Decision& d, int ranura);
    void JugadaLeida(Decision& d, int ranura, const respuesta::Lectura& lectura, const QString& linea);
    void PasarJugada(Decision& d, int receptor, const QString& jugada, bool enroque);
    Decision Pedir(bool pista);
    // The local colour in a game with the peer decides whose turn it is.
    void TurnoDelColorLocal();
    // The person's resignation: the engine of that slot wins.
    QString TextoAbandonoPersona(int motor) const;

    DatosMotor& motor1_;
    DatosMotor& motor2_;
    rules::Reglas& tablero_;
    Tiempo blancas_, negras_;
    std::function<Nivel()> nivel_;
    RelojMotor relojBlancas_, relojNegras_;

    QString ultimoMovimiento_;           // the last move played, in coordinates
    bool enroquePendiente_ = false;      // the castling retry is armed
    bool esperandoRespuesta_ = false;    // a hint, move-now or draw request awaits its answer
    bool pistaPedida_ = false;           // the person asked for a hint that has not come yet
    std::array<bool, 2> ofertaVista_{};  // an engine's draw offer (slot 1, 2) was taken since the last move
    // The other engine's draw offer was passed to this one (slot 1, 2), which has not moved since.
    std::array<bool, 2> ofertaRecibida_{};
    std::array<QString, 3> nombres_;  // the engines of the game on the board, by side
    reclamacion::Historia historia_;  // the positions of the game, for the draws by rule
    // The engine move the board is playing: its slot, its line, its text for the other engine.
    int ranuraJugada_ = 0;
    QString lineaJugada_, textoJugada_;
};
