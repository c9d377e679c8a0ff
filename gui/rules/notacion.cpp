// The text of each move in every notation, the game-file token line and the take-back
// record RegistroJugada.
#include "rules/reglas.h"

namespace rules {

namespace {

const char* const kFinLinea = "\r\n";

std::string LetraColumna(int x) { return (x >= 1 && x <= 8) ? std::string(1, char('a' + x - 1)) : std::string(); }
std::string LetraColumnaMayuscula(int x) {
    return (x >= 1 && x <= 8) ? std::string(1, char('A' + x - 1)) : std::string();
}
std::string Digito(int d) { return (d >= 1 && d <= 8) ? std::to_string(d) : std::string(); }
bool EsRey(int c) { return c == ReyBlanco || c == ReyNegro; }

}  // namespace

void Reglas::AnotarJugada() {
    const bool pgnVisible = host_->ListaPgnVisible();
    if (!NotacionNegras) ++NumeroJugada;

    const std::string cuatro =
        std::to_string(XOrigen) + std::to_string(YOrigen) + std::to_string(XDestino) + std::to_string(YDestino);
    if (!pgnVisible)
        Jugadas.List[4] += cuatro + (PiezaCoronacion != 0 ? std::to_string(PiezaCoronacion) : "") + kFinLinea;
    if (XOrigen != 0 && YOrigen != 0 && XDestino != 0 && YDestino != 0) Jugadas.List1.push_back(Registro());

    JugadaNotacion.clear();
    PeonCoronado();
    LetraPieza();
    AnotarDestino();
    AnotarCoronacion();
    AnotarJaque();

    if (!pgnVisible) EscribirJugada(JugadaNotacion, 3);
    TraducirNotacion(JugadaNotacion, LetrasEspanol);
    if (!pgnVisible) EscribirJugada(JugadaTraducida, 2);
    TraducirNotacion(JugadaNotacion, LetrasUsuario);
    if (!pgnVisible) EscribirJugada(JugadaTraducida, 5);
    if (!pgnVisible) {
        JugadaNotacion =
            LetraColumnaMayuscula(XOrigen) + Digito(YOrigen) + "-" + LetraColumnaMayuscula(XDestino) + Digito(YDestino);
        EscribirJugada(JugadaNotacion, 1);
    }
    NotacionNegras = !NotacionNegras;
    host_->JugadasCambiadas();
}

// RegistroJugada: the four digits, the kind of move, and "r" with the four castling
// flags before the move when the move changed any of them.
std::string Reglas::Registro() const {
    std::string r =
        std::to_string(XOrigen) + std::to_string(YOrigen) + std::to_string(XDestino) + std::to_string(YDestino);
    const int origen = Casillas[XOrigen][YOrigen];
    const int destino = Casillas[XDestino][YDestino];
    auto digitoEnroque = [this](bool blancas) {
        const auto& g = blancas ? EnroqueGuardadoBlancas : EnroqueGuardadoNegras;
        return std::to_string((g[1] ? 0 : 1) + (g[2] ? 0 : 2));
    };
    if (destino == 0 && EnroqueEnCurso == 0 && CapturaAlPaso.empty() && PiezaCoronacion == 0) {
        if (EsRey(origen)) r += "t" + digitoEnroque(origen == ReyBlanco);
    } else if (destino != 0 && PiezaCoronacion == 0) {
        r += "x" + std::to_string(destino);
        if (EsRey(origen)) r += "t" + digitoEnroque(origen == ReyBlanco);
    } else if (EnroqueEnCurso != 0) {
        r += "e" + digitoEnroque(origen == ReyBlanco);
    } else if (!CapturaAlPaso.empty()) {
        r += "p" + CapturaAlPaso;
    } else if (PiezaCoronacion != 0) {
        r += "c" + std::to_string(EsBlanca(PiezaCoronacion) ? PeonBlanco : PeonNegro);
        if (FichaCoronada != 0) r += "x" + std::to_string(FichaCoronada);
    }
    const std::array<bool, 4> ahora{TorreA1Movida, TorreH1Movida, TorreA8Movida, TorreH8Movida};
    if (ahora != EnroqueAntesJugada) {
        r += "r";
        for (bool perdido : EnroqueAntesJugada) r += perdido ? '1' : '0';
    }
    return r;
}

void Reglas::LetraPieza() {
    switch (FichaOrigen) {
        case TorreBlanca:
        case TorreNegra: JugadaNotacion = "R"; break;
        case CaballoBlanco:
        case CaballoNegro: JugadaNotacion = "N"; break;
        case AlfilBlanco:
        case AlfilNegro: JugadaNotacion = "B"; break;
        case DamaBlanca:
        case DamaNegra: JugadaNotacion = "Q"; break;
        case ReyBlanco:
        case ReyNegro: JugadaNotacion = "K"; return;
        default: return;
    }
    Desambiguar();
}

// SAN disambiguation: when another piece of the same kind can legally reach the
// destination, the origin's file is added, else its rank, else both.
void Reglas::Desambiguar() {
    const Tablero& b = Casillas;
    const bool blancas = EsBlanca(FichaOrigen);
    const int rey = blancas ? ReyBlanco : ReyNegro;
    bool otra = false, mismaColumna = false, mismaFila = false;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y) {
            if (b[x][y] != FichaOrigen || (x == XOrigen && y == YOrigen)) continue;
            if (!tablero::MovimientoPieza(b, x, y, XDestino, YDestino, 0)) continue;
            Tablero t = b;
            t[XDestino][YDestino] = t[x][y];
            t[x][y] = 0;
            if (tablero::ReyAtacado(t, rey)) continue;
            otra = true;
            if (x == XOrigen) mismaColumna = true;
            if (y == YOrigen) mismaFila = true;
        }
    if (!otra) return;
    if (!mismaColumna) {
        JugadaNotacion += LetraColumna(XOrigen);
    } else if (!mismaFila) {
        JugadaNotacion += Digito(YOrigen);
    } else {
        JugadaNotacion += LetraColumna(XOrigen) + Digito(YOrigen);
    }
}

void Reglas::AnotarDestino() {
    const int destino = Casillas[XDestino][YDestino];
    const bool peon = FichaOrigen == PeonBlanco || FichaOrigen == PeonNegro;
    if (destino != 0 && PiezaCoronacion == 0 && peon) JugadaNotacion = LetraColumna(XOrigen);
    if (FichaCoronada != 0) JugadaNotacion = LetraColumna(XOrigen);
    if (destino != 0 && PiezaCoronacion == 0) JugadaNotacion += "x";
    if (FichaCoronada != 0) JugadaNotacion += "x";
    if (!CapturaAlPaso.empty()) JugadaNotacion = LetraColumna(XOrigen) + "x";
    JugadaNotacion += LetraColumna(XDestino) + Digito(YDestino);
    if (!CapturaAlPaso.empty()) JugadaNotacion += "ep";
    if (EnroqueEnCurso == 1)
        JugadaNotacion = "O-O";
    else if (EnroqueEnCurso == 2)
        JugadaNotacion = "O-O-O";
}

void Reglas::AnotarCoronacion() {
    if (PiezaCoronacion == 0) return;
    switch (PiezaCoronacion) {
        case TorreBlanca:
        case TorreNegra: JugadaNotacion += "=R"; break;
        case CaballoBlanco:
        case CaballoNegro: JugadaNotacion += "=N"; break;
        case AlfilBlanco:
        case AlfilNegro: JugadaNotacion += "=B"; break;
        case DamaBlanca:
        case DamaNegra: JugadaNotacion += "=Q"; break;
        default: break;
    }
    FichaOrigen = PiezaCoronacion;
}

void Reglas::AnotarJaque() {
    if (Jaque) JugadaNotacion += "+";
    if (JaqueMate) JugadaNotacion += "+";
}

void Reglas::EscribirJugada(const std::string& texto, int box) {
    if (box < 1 || box > 5) return;
    std::string& caja = Jugadas.List[box];
    if (!NotacionNegras)
        caja += std::to_string(NumeroJugada) + ". " + texto + kFinLinea;
    else
        caja += std::string(18, ' ') + texto + kFinLinea;
}

void Reglas::TraducirNotacion(const std::string& texto, const LetrasNotacion& letras) {
    JugadaTraducida.clear();
    for (size_t i = 0; i < texto.size(); ++i) {
        char c = texto[i];
        switch (c) {
            case 'B': JugadaTraducida += letras.Alfil; break;
            case 'N': JugadaTraducida += letras.Caballo; break;
            case 'R': JugadaTraducida += letras.Torre; break;
            case 'Q': JugadaTraducida += letras.Dama; break;
            case 'K': JugadaTraducida += letras.Rey; break;
            case 'e':
                if (i + 1 < texto.size() && texto[i + 1] == 'p')
                    JugadaTraducida += letras.AlPaso;
                else
                    JugadaTraducida += c;
                break;
            case 'p':
                if (i > 0 && texto[i - 1] == 'e') break;
                JugadaTraducida += c;
                break;
            default: JugadaTraducida += c; break;
        }
    }
}

}  // namespace rules
