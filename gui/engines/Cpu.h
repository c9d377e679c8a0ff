// Cpu: the engine window (engine choice per side, thinking output, engine clocks).
#pragma once

#include "platform/Forma.h"

#include <array>

class PictureBox;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QTimer;
class QToolBar;

// One engine slot (slot 1 plays White, slot 2 Black).
struct DatosMotor {
    bool Activo = false;  // the slot's engine runs
    QString Ruta;
    QString Comando;
    QString UltimaLinea;
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

    // Refills both engine lists: the no-engine entry, then every engine found one
    // level below the program folder's Motor/.
    void ActualizarCPU();
    void cmdTerminar1();
    void cmdTerminar2();
    void VariableCPUCero();
    void DescargarDLL();
    // Hands the local move just validated (Origen, Destino, PiezaCoronacion) to the
    // engine that is to move.
    void GenerarMovimiento();
    // The panel's commands by code: "2" stop, "3" resign, "4" offer a draw, "5" take back.
    void ToolboxComand(const QString& codigo);

    void Toolbar1_ButtonClick(int indice);

    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
    PictureBox* Picture1;
    QToolBar* Toolbar1Barra;
    std::array<QAction*, 13> Toolbar1{};  // buttons 1 to 12
    QComboBox *SMotor1, *SMotor2;
    QTimer *Timer4, *Timer5;  // White's and Black's engine-game clocks
};

}  // namespace forms

forms::Cpu& Cpu();

// The engine list entries of a Motor folder: one per executable file one level
// below it, lower-cased, without an ".exe" or ".com" extension; sorted by folder
// and file name.
QStringList MotoresEncontrados(const QString& carpetaMotor);
