// Cpu: the engine panel. The person picks an engine (or none) for each side, starts,
// stops and steers engine games from its toolbar, sees the engines' thinking and the
// engine clocks. It holds the two engine slots, writes the xboard dialogue to the
// engines through two stdio relays and acts on every line they print.
#pragma once

#include "engines/RelojMotor.h"
#include "platform/Forma.h"

#include <QStringList>

#include <array>

class PictureBox;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolBar;
class Relevo;

namespace respuesta {
struct Lectura;
struct Resultado;
}

// One engine slot (slot 1 plays White, slot 2 Black).
struct DatosMotor {
    QString UltimaLinea;  // the last "move" line read (lower case); "..." after each write
    QString Comando;      // the text written last (or about to be)
    bool Activo = false;  // the slot's engine runs
    QString Ruta;         // full path of the engine
};
extern DatosMotor Motor1, Motor2;

namespace forms {

class Cpu : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Cpu();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Unload(bool& cancelar) override;
    void Form_Resize() override;

    // ---- Slots and engines ------------------------------------------------------------
    // Refills both engine lists: the no-engine entry, then one engine per folder of the
    // program folder's Motor/.
    void ActualizarCPU();
    // Start the slot's engine when it is marked running; false when the relay refused.
    bool cmdIniciar1();
    bool cmdIniciar2();
    // Stop the slot's engine ("exit", "quit", then the relay ends it).
    void cmdTerminar1();
    void cmdTerminar2();
    // Write the slot's Comando to its engine (nothing when the slot does not run).
    void cmdEnviar1();
    void cmdEnviar2();
    // Lets both relays go (a running engine is ended).
    void DescargarDLL();

    // ---- The dialogue -------------------------------------------------------------------
    // Both clocks in centiseconds, into CentesimasBlancas and CentesimasNegras.
    void TimeMilisegundos();
    // Hands the person's move just made on the board (Origen, Destino, PiezaCoronacion)
    // to the engine.
    void GenerarMovimiento();
    // One line of slot 1 or 2.
    void AnalizarRespuesta(const QString& linea, int ranura);
    // Plays an engine's move text on the board for the slot.
    enum class Aplicada { Rechazada, Jugada, Fin };
    Aplicada ConvertirMovimiento(const QString& texto, int ranura);

    // ---- The panel ----------------------------------------------------------------------
    // The panel's commands by code: "2" stop, "3" resign, "4" offer a draw, "5" take back.
    void ToolboxComand(const QString& codigo);
    void Toolbar1_ButtonClick(int indice);
    // Panel reset: no request, no retry, empty boxes, clocks off and "00:00", empty slots.
    void VariableCPUCero();
    void PrintTimerBCPU();
    void PrintTimerNCPU();
    // The engine of the slot resigned.
    void FinPartidaCPU(int ranura);
    // The engine that plays side n (1 White, 2 Black) of the game on the board, by the
    // name the list gave it when the game started; "" for a person, and before the
    // panel's first engine game. The lists may change once the game has ended; this
    // name stays until the next game starts.
    QString NombreMotor(int n) const;
    // The end of a game by the clock (the moves and the position stay).
    void LimpiarCPU();

    // Timers: request time-out, castling retry, deferred start, White's and Black's clocks.
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void Timer5_Timer();

    // Relay events.
    void mRedir_DatoRecibido(const QString& texto);
    void mRedir2_DatoRecibido(const QString& texto);
    void mRedir_ErrorRecibido(const QString& texto);
    void mRedir2_ErrorRecibido(const QString& texto);

    // Places the controls for the texts of the current language.
    void Disponer();

    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
    QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5;  // depth, score, time, nodes, variation
    QLineEdit *Text6, *Text7;                          // White's and Black's clock
    PictureBox* Picture1;
    QToolBar* Toolbar1Barra;
    std::array<QAction*, 13> Toolbar1{};  // buttons 1 to 12
    QComboBox *SMotor1, *SMotor2;
    QTimer *Timer1, *Timer2, *Timer3, *Timer4, *Timer5;

    Relevo* mRedir = nullptr;   // slot 1
    Relevo* mRedir2 = nullptr;  // slot 2
    QStringList RutasMotor;     // entry i: the engine of list entry i (entry 0 unused)
    bool Terminando = false;       // a slot is being stopped
    bool DetencionUsuario = false; // the stop command runs
    QString UltimoMovimiento;      // the person's last move in coordinates
    long CentesimasBlancas = 0, CentesimasNegras = 0;
    bool EnroquePendiente = false;   // the castling retry is armed
    bool EsperandoRespuesta = false; // a request awaits its answer
    RelojMotor RelojBlancas, RelojNegras;

protected:
    bool event(QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    DatosMotor& Ranura(int n);
    Relevo*& RelevoDe(int n);
    QComboBox* Combo(int n) const;
    bool cmdIniciar(int n);
    void cmdTerminar(int n);
    void cmdEnviar(int n);
    void Escribir(int n, const QString& texto);
    void NuevoRelevo(int n);
    void DatoRecibido(int n, const QString& texto);
    void ErrorRecibido(int n, const QString& texto);
    void MotorTerminado(int n);
    void NuevaPartida();
    void JugadaDeMotor(int ranura, const respuesta::Lectura& lectura, const QString& linea);
    void PasarJugada(int receptor, const QString& jugada, bool enroque);
    void OfertaDeTablas(int ranura);
    // Ends the game by an engine's result line (see respuesta::LeerResultado): the
    // result it states, for the side it names; a claim the board or the line itself
    // contradicts is an engine error, shown with the line.
    void FinPorResultado(const respuesta::Resultado& r, const QString& linea);
    // The message of the person's resignation, naming the engine that wins (its slot).
    QString TextoAbandonoPersona(int motor) const;
    // Ends the engine game: clocks off, both slots stopped, panel reset, nobody to
    // move; then the message, when there is one. Nothing of the engines comes after.
    // `ganador` is recorded as the game's result (1 White, 2 Black, 0 a draw); -1 for
    // an end without one (an error, a claim the board shows itself).
    void FinDeJuego(const QString& texto, long icono, int ganador = -1);
    // The engine lists cannot change while an engine game runs or is about to start.
    void BloquearListas(bool bloquear);
    void EncenderReloj(int lado);
    void ApagarRelojes();
    // One tick of a side's engine clock (1 White, 2 Black): counts, shows, and ends
    // the game when the flag falls.
    void Contar(int lado);
    bool ConReloj() const;
    bool DosMotores() const { return Motor1.Activo && Motor2.Activo; }
    // The colour the board has to move: 1 White, 2 Black.
    int LadoAMover() const;

    // The last engine move ConvertirMovimiento played: in coordinates as the other
    // engine gets it, and whether it was a king's castling.
    QString jugadaAplicada_;
    bool enroqueAplicado_ = false;
    // The person asked for a hint that has not come yet.
    bool pistaPedida_ = false;
    // An engine's draw offer (slot 1, slot 2) was taken since the last move.
    std::array<bool, 2> ofertaVista_{};
    // The engines of the game on the board, by side (element 0 unused).
    std::array<QString, 3> motoresPartida_;
};

}  // namespace forms

forms::Cpu& Cpu();
