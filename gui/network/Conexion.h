// Conexion: the connect and listen dialog of network play.
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
    void Form_Unload(bool& cancelar) override;

    QGroupBox *Frame1, *Frame2, *Frame3;
    QRadioButton *Option1, *Option2;
    QLabel *Label1, *Label2;
    QLineEdit *Text1, *Text2;
    QPushButton *Command1, *Command2;  // Command1 is disabled while connecting or listening
};

}  // namespace forms

forms::Conexion& Conexion();

// Closes a client or server socket that is still connecting or listening.
void CerrarConexionesPendientes();
