// A window with two controls, for the check of outside access to controls.
#pragma once

#include "platform/Forma.h"

#include <array>

class QLabel;
class QTimer;

namespace forms {

class Ventana : public Forma {
    Q_OBJECT
public:
    void Borrar();

    QLabel *Label1, *Label2;
    std::array<QLabel*, 2> Etiquetas{};
    QTimer* Timer1;
};

}  // namespace forms

forms::Ventana& Ventana();
