// The paced replay of an own game file, without windows. The board window's two
// timers drive it: every tick of the replay timer takes one token (a clock, the
// game type or a move) through the move rules and mirrors it to a connected peer;
// the closing timer waits for an empty queue, settles colours and the side to move
// and turns the board. Everything the replay needs of the program comes through
// Entorno, so a test drives it tick by tick with a fake queue and fake answers.
#pragma once

#include "rules/reglas.h"

#include <QString>

#include <vector>

namespace tvp {

// The replay timer's interval in milliseconds: 100 without a peer; with one, by
// the messages waiting: below 6 100, to 10 300, to 15 500, to 20 700, to 25 1000,
// 26 or more 1500.
int Intervalo(bool conectado, long enCola);
// No token is taken while more messages than this wait.
constexpr long kMaximoEnCola = 30;

// The colour an answer to the colour question names: turno::Blancas, turno::Negras, 0 none.
// The letters are the fourth-last and second-last characters of the question's
// last line ("(W/B)").
int ColorDeRespuesta(const QString& respuesta, const QString& pregunta);

// What the replay asks of the program around it.
class Entorno {
public:
    virtual ~Entorno() = default;
    virtual rules::Reglas& Juego() = 0;
    // Messages waiting for the peer; queueing one (only while connected).
    virtual long EnCola() const = 0;
    virtual void Encolar(const QString& mensaje) = 0;
    // Side turno::Blancas or turno::Negras: its clock caption is empty; set its clock and show it.
    virtual bool RelojVacio(int lado) const = 0;
    virtual void FijarReloj(int lado, long minutos, long segundos) = 0;
    virtual void FinJaqueMate() = 0;
    virtual void FinAhogado() = 0;
    // Ends the move in progress on the board.
    virtual void MovimientoAnulado() = 0;
    // Language text n; a notice box with it; the input box.
    virtual QString Texto(int n) const = 0;
    virtual void Aviso(int n) = 0;
    virtual QString PedirTexto(const QString& pregunta, const QString& titulo) = 0;
    // The board picture: the empty board, without the waiting notice.
    virtual void TableroVacio() = 0;
    // A fresh game from the start position.
    virtual void NuevaPartida() = 0;
    // The side windows the view menu asks for.
    virtual void VentanasLaterales() = 0;
    // The board shown (and drawn) from Black's side or from White's.
    virtual void MostrarDesde(bool negras) = 0;
    virtual void QuitaMarco() = 0;
    virtual void FijarPartidaDeFichero(bool valor) = 0;
    virtual void FijarPosicionPreparada(bool valor) = 0;
};

// Asks the local player's colour until the answer names one, while connected.
// `mueve` is the side to move (a turno value). Returns turno::Blancas or turno::Negras,
// or 0 when the connection went while asking.
int PreguntarColor(Entorno& e, int mueve);

class Reproduccion {
public:
    // `datos`: the token list (element 0 unused, tokens from 1), shared with the
    // rest of the program; the replay empties it when it ends.
    Reproduccion(Entorno& entorno, std::vector<QString>& datos);

    enum class Paso {
        Sigue,     // token taken (or none to take): the replay timer goes on
        Espera,    // too many messages waiting: no token this tick
        Fin,       // no token left: the closing timer takes over
        Abortada,  // a bad token ended the replay; the board holds a fresh game
    };
    enum class Cierre { Espera, Hecho };

    // From the start of a replay: no token taken yet, White moves first
    // (TurnoFichero turno_fichero::Blancas).
    void Empezar();
    // One tick of the replay timer.
    Paso Tick();
    // One tick of the closing timer.
    Cierre TickCierre();
    // The replay timer's interval after the last tick.
    int IntervaloActual() const { return intervalo_; }
    // The index of the token last taken.
    long Indice() const { return indice_; }

private:
    void Mover(const QString& token, Paso& paso);
    void PonerReloj(int lado, const QString& token, Paso& paso);
    // A token that is not a legal move: text 27, then the abort.
    void TokenErroneo();
    // Ends the replay with a fresh game and text 55.
    void Abortar();
    void RelojesACero();

    Entorno& e_;
    std::vector<QString>& datos_;
    long indice_ = 0;
    int intervalo_ = 100;
};

}  // namespace tvp
