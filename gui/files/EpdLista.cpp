#include "files/EpdLista.h"

#include "files/TvpTexto.h"
#include "network/Campos.h"
#include "platform/ListaLineas.h"

namespace epd {

std::string_view Lista::Bytes(size_t i) const {
    const qsizetype a = inicios[i];
    return {texto.constData() + a, size_t(FinDeLinea(texto, a) - a)};
}

QString Lista::Linea(size_t i) const {
    const std::string_view b = Bytes(i);
    return QString::fromUtf8(b.data(), qsizetype(b.size()));
}

Lista LeerLista(std::optional<QByteArray> datos, const std::function<bool(const std::string&)>& esPosicion) {
    Lista lista;
    if (!datos) {
        lista.estado = Lectura::Ilegible;
        return lista;
    }
    lista.texto = std::move(*datos);
    const QByteArray& t = lista.texto;
    const qsizetype n = t.size();
    qsizetype i = t.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    if (i >= n) {
        lista.estado = Lectura::Vacia;
        lista.texto.clear();
        return lista;
    }
    std::string linea;
    while (i < n) {
        const qsizetype fin = FinDeLinea(t, i);
        linea.assign(t.constData() + i, size_t(fin - i));
        if (esPosicion(linea)) {
            lista.inicios.push_back(i);
        } else if (lista.inicios.empty()) {
            lista = Lista{Lectura::PrimeraNoValida, {}, {}};
            return lista;
        }
        i = fin + (fin + 1 < n && t[fin] == '\r' && t[fin + 1] == '\n' ? 2 : 1);
    }
    lista.inicios.shrink_to_fit();
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
