// Conexion: the connect dialog of network play: connect out to an address as
// client, or wait as server for the other copy to connect. While it waits it shows
// a waiting label in place of the choice; the connection's events end the wait.
#pragma once

#include "platform/Forma.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace forms {

class Conexion : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Conexion();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancelar) override;

    void Command1_Click();
    void Command2_Click();
    void Option1_Click();
    void Option2_Click();
    // Enter in the address box connects.
    void Ip_KeyPress(int& tecla);
    // Leaves the waiting display: the choice shows again.
    void Animacion();
    // A connection was made or failed: the dialog can connect again and shows the choice.
    void TerminarEspera();
    // Connecting or listening (the connect button is off meanwhile).
    bool EnEspera() const;

    QGroupBox *Frame1, *Frame2, *Frame3;
    QRadioButton *Option1, *Option2;
    QLabel *Label1, *Label2;           // waiting: as server, as client
    QLineEdit* Ip;                     // the address to connect to
    QPushButton *Command1, *Command2;  // Command1 is disabled while connecting or listening

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Esperando(QLabel* etiqueta);
};

}  // namespace forms

forms::Conexion& Conexion();

// Closes a client or server socket that is still connecting or listening.
void CerrarConexionesPendientes();

// The ports of network play: the server listens on the first, the client connects
// to it from the second.
constexpr long kPuertoServidor = 1500;
constexpr long kPuertoCliente = 1501;
