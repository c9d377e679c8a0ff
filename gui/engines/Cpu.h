// Cpu: the engine panel. The person picks an engine (or none) for each side, starts,
// stops and steers engine games from its toolbar, sees the engines' thinking and the
// engine clocks. It runs the engines through two stdio relays, hands every event of
// the game to its PartidaMotores and carries out what that decides: the lines for the
// engines, the timers and clocks, the moves on the board, the end and its message.
#pragma once

#include "engines/PartidaMotores.h"
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

// The engine slots (slot 1 plays White, slot 2 Black).
extern DatosMotor Motor1, Motor2;

namespace forms {

// The commands of the engine panel's toolbar that the menus give it too.
enum class OrdenPanel { Detener, Rendirse, OfrecerTablas, Retroceder };

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
    // Hands the person's move just made on the board (Origen, Destino, PiezaCoronacion)
    // to the engine.
    void GenerarMovimiento();
    // One line of slot 1 or 2.
    void AnalizarRespuesta(const QString& linea, int ranura);

    // ---- The panel ----------------------------------------------------------------------
    // Carries out one of the panel's commands on the game it runs.
    void ToolboxComand(OrdenPanel orden);
    void Toolbar1_ButtonClick(int indice);
    // Panel reset: no request, no retry, empty boxes, clocks off and "00:00", empty slots.
    void VariableCPUCero();
    void PrintTimerBCPU();
    void PrintTimerNCPU();
    // Both engine clocks stopped where they stand.
    void ApagarRelojes();
    // The engine that plays side n (a turno value) of the game on the board, by the
    // name the list gave it when the game started; "" for a person, and before the
    // panel's first engine game. The lists may change once the game has ended; this
    // name stays until the next game starts.
    QString NombreMotor(int n) const;
    // The engine game the panel runs.
    const PartidaMotores& Partida() const { return partida_; }

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

    Relevo* mRedir = nullptr;       // slot 1
    Relevo* mRedir2 = nullptr;      // slot 2
    QStringList RutasMotor;         // entry i: the engine of list entry i (entry 0 unused)
    bool Terminando = false;        // a slot is being stopped
    bool DetencionUsuario = false;  // the stop command runs

protected:
    bool event(QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    // The steps of the constructor.
    void CrearBarra();
    void CrearMotores();
    void CrearPensamiento();
    void CrearRelojes();
    void CrearVariante();
    void Distribuir();
    void CrearTemporizadores();

    DatosMotor& Ranura(int n);
    Relevo*& RelevoDe(int n);
    QComboBox* Combo(int n) const;
    bool cmdIniciar(int n);
    void cmdTerminar(int n);
    // Ends the slot's engine, whether or not the slot still counts it as running.
    void Detener(int n);
    void cmdEnviar(int n);
    void Enviar(int n, const QString& texto);
    void NuevoRelevo(int n);
    void DatoRecibido(int n, const QString& texto);
    void ErrorRecibido(int n, const QString& texto);
    void MotorTerminado(int n);
    void NuevaPartida();
    // The slot takes the engine its list shows and starts it; false when it did not start.
    bool PrepararMotor(int n);
    // Carries out what the game decided, in the order Decision lists.
    void Ejecutar(const PartidaMotores::Decision& d);
    void MostrarPensamiento(const std::array<QString, 5>& pensamiento);
    void Retroceder(int jugadas);
    // Closes the ended game: its result, the clocks, the engines, the panel.
    void Cerrar(const PartidaMotores::Fin& fin);
    // What a flag fall closes besides the engines: the thinking, the requests, the
    // board's game with its kind and colour; the clocks keep what they show and the
    // moves and the position stay, so that the game can still be saved.
    void LimpiarPanel();
    // Plays an engine's move on the board, then hands the outcome to the game.
    void JugarEnTablero(const PartidaMotores::JugadaMotor& j);
    // The engine lists cannot change while an engine game runs or is about to start.
    void BloquearListas(bool bloquear);

    PartidaMotores partida_;
};

}  // namespace forms

forms::Cpu& Cpu();
