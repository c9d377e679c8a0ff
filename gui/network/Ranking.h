// Ranking: the window of the personal ranking record, and the record itself (the
// local player's half lives in Puntuacion.dat in the program folder).
#pragma once

#include "network/Puntuacion.h"
#include "platform/Forma.h"

#include <array>

class QGroupBox;
class QLabel;

namespace forms {

class Ranking : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Ranking();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Unload(bool& cancelar) override;

    // Reads Puntuacion.dat into the local half (a missing file is made; a broken one
    // is replaced by a fresh record; one that cannot be read is left as it is, with a
    // fresh record in memory) and shows the record.
    void LeerPuntuacion();
    // Writes the local half. A file that cannot be written is told with language
    // text 28; the record in memory stays as it is.
    void GrabarPuntuacion();
    // Shows the ten values, each after its caption up to the colon.
    void PrintPuntuacion();
    // Line i (0 to 9) as shown: its caption and its value.
    QString Linea(int i) const;
    // Books one finished rated game as the local player's result.
    void SumaDePartidas(puntuacion::Resultado resultado);

    // Local games, wins, losses, draws, points; then the opponent's five.
    puntuacion::Registro RegPuntuacion = puntuacion::kRegistroNuevo;

    std::array<QGroupBox*, 2> Frame1{};
    std::array<QLabel*, 10> Label{};

private:
    // The window grows to show every caption and value whole.
    void Ajustar();
};

}  // namespace forms

forms::Ranking& Ranking();

// The path of Puntuacion.dat.
QString RutaPuntuacion();
