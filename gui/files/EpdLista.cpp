#include "files/EpdLista.h"

#include "files/TvpTexto.h"
#include "network/Campos.h"

namespace epd {

Lista LeerLista(const std::optional<QByteArray>& datos, const std::function<bool(const QString&)>& esPosicion) {
    Lista lista;
    if (!datos) {
        lista.estado = Lectura::Ilegible;
        return lista;
    }
    const std::vector<QString> lineas = tvp::Lineas(*datos);
    if (lineas.empty()) {
        lista.estado = Lectura::Vacia;
        return lista;
    }
    for (const QString& linea : lineas) {
        if (esPosicion(linea)) {
            lista.lineas.push_back(linea);
        } else if (lista.lineas.empty()) {
            lista.estado = Lectura::PrimeraNoValida;
            return lista;
        }
    }
    lista.estado = Lectura::Lista;
    return lista;
}

std::array<int, 64> CasillasVista(const rules::Tablero& casillas) {
    std::array<int, 64> vista{};
    int k = 0;
    for (int fila = 8; fila >= 1; --fila)
        for (int columna = 1; columna <= 8; ++columna) vista[size_t(k++)] = casillas[size_t(columna)][size_t(fila)];
    return vista;
}

namespace {
// Piece code 1..12 -> preview picture.
constexpr std::array<int, 13> kImagen{0, 1, 7, 3, 11, 9, 5, 2, 8, 4, 12, 10, 6};
const char* const kNombres[13] = {"",       "peonb",  "peonn", "caballob", "caballon", "reyb",  "reyn",
                                  "torreb", "torren", "damab", "daman",    "alfilb",   "alfiln"};
}  // namespace

int ImagenDePieza(int pieza) { return rules::EsPieza(pieza) ? kImagen[size_t(pieza)] : 0; }

QString NombreImagen(int imagen) {
    return (imagen >= 1 && imagen <= 12) ? QString::fromLatin1(kNombres[imagen]) : QString();
}

QString MensajeEpd(int turno, int turnoFichero, const std::string& miColor, const QString& linea) {
    tvp::Epd e;
    e.formaT = turno == 0;
    e.lado = turno != 0 ? turno : turnoFichero;
    e.color = miColor.empty() ? QChar() : QChar(miColor[0]);
    e.fen = linea;
    return tvp::TextoEpd(e);
}

}  // namespace epd
