// What the rules ask of the windows. The board window implements it; without a host
// the rules run silently (no redraws, no messages, a promotion question is cancelled).
#pragma once

#include <string>

namespace rules {

class RulesHost {
public:
    virtual ~RulesHost() = default;

    // The promotion question for a pawn of colour turno::Blancas or turno::Negras.
    // Returns the chosen piece (TorreBlanca..DamaBlanca for White, TorreNegra..DamaNegra
    // for Black) or 0 when the user cancelled; a cancelled promotion refuses the move.
    virtual int Coronacion(int color) {
        (void)color;
        return 0;
    }

    // The PGN browser is visible: move texts and the token line are not written and the
    // castling rook is not drawn at once.
    virtual bool ListaPgnVisible() const { return false; }

    // An own game file is being replayed (its token list is not empty).
    virtual bool ReproduciendoPartida() const { return false; }

    // Draw the castling rook's move at once (board coordinates, not mirrored).
    virtual void DibujarTorreEnroque(int xOrigen, int yOrigen, int xDestino, int yDestino) {
        (void)xOrigen;
        (void)yOrigen;
        (void)xDestino;
        (void)yDestino;
    }

    // Hide the board's selection marker (when point-click input uses it).
    virtual void OcultarMarcador() {}

    // The move-list texts (Reglas::Jugadas) have changed: show them, scrolled to the end.
    virtual void JugadasCambiadas() {}

    // Repaint the square of a pawn taken en passant ("xy" text); the rules have already
    // emptied it on Casillas.
    virtual void SubComoFicha(const std::string& casilla) { (void)casilla; }

    // Language text n of section Mensajes.
    virtual std::string TextoIdioma(int n) const {
        (void)n;
        return {};
    }

    // The program's message box; icono 64 = information.
    virtual void MostrarMensaje(const std::string& titulo, const std::string& texto, int icono) {
        (void)titulo;
        (void)texto;
        (void)icono;
    }
};

}  // namespace rules
