// The take-back record of every move holds what is needed to put the position before
// it back: a take-back written from the record alone restores the board, the castling
// rights and, after an en-passant capture, the en-passant chance.
#include <cctype>
#include <map>
#include <random>

#include <gtest/gtest.h>

#include "fake_host.h"
#include "juego.h"
#include "legales.h"

namespace rules_test {
namespace {

// Reads the number at position i (advancing i).
int Numero(const std::string& s, size_t& i) {
    int n = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) n = n * 10 + (s[i++] - '0');
    return n;
}

void DerechosDelRey(rules::Variables& v, int rey, int k) {
    bool& a = rey == rules::ReyBlanco ? v.TorreA1Movida : v.TorreA8Movida;
    bool& h = rey == rules::ReyBlanco ? v.TorreH1Movida : v.TorreH8Movida;
    a = !(k & 1);
    h = !(k & 2);
}

// Takes the move of the record back, the way the take-back reads the record.
void Deshacer(rules::Variables& v, const std::string& registro) {
    auto& c = v.Casillas;
    const int x1 = registro[0] - '0', y1 = registro[1] - '0', x2 = registro[2] - '0', y2 = registro[3] - '0';
    const size_t r = registro.find('r', 4);
    const std::string base = registro.substr(0, r);
    const char clase = base.size() > 4 ? base[4] : 't';
    size_t i = 5;
    if (clase == 't' || clase == 'x') {
        const int capturada = clase == 'x' ? Numero(base, i) : 0;
        c[x1][y1] = c[x2][y2];
        c[x2][y2] = capturada;
        if (i < base.size() && base[i] == 't') {
            ++i;
            DerechosDelRey(v, c[x1][y1], Numero(base, i));
        }
    } else if (clase == 'e') {
        const int fila = y2;
        const bool corto = x2 == 7;
        const int torre = fila == 1 ? rules::TorreBlanca : rules::TorreNegra;
        c[corto ? 6 : 4][fila] = 0;
        c[corto ? 8 : 1][fila] = torre;
        c[x1][y1] = c[x2][y2];
        c[x2][y2] = 0;
        DerechosDelRey(v, c[x1][y1], Numero(base, i));
    } else if (clase == 'p') {
        const std::string s = base.substr(5);
        const bool blanco = c[x2][y2] == rules::PeonBlanco;
        c[x1][y1] = c[x2][y2];
        c[x2][y2] = 0;
        c[s[0] - '0'][s[1] - '0'] = blanco ? rules::PeonNegro : rules::PeonBlanco;
        v.AlPasoPosible = true;
        v.CasillaAlPaso = std::stoi(s);
        v.AlPasoCaduca = true;
    } else if (clase == 'c') {
        const int peon = Numero(base, i);
        int capturada = 0;
        if (i < base.size() && base[i] == 'x') {
            ++i;
            capturada = Numero(base, i);
        }
        c[x1][y1] = peon;
        c[x2][y2] = capturada;
    }
    if (r != std::string::npos) {
        v.TorreA1Movida = registro[r + 1] == '1';
        v.TorreH1Movida = registro[r + 2] == '1';
        v.TorreA8Movida = registro[r + 3] == '1';
        v.TorreH8Movida = registro[r + 4] == '1';
    }
}

TEST(Registro, EveryRecordTakesItsMoveBack) {
    const char* const inicios[] = {
        kInicial,
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "r3k2r/1P4P1/8/2pP4/8/8/1p4p1/R3K2R w KQkq c6 0 1",
    };
    std::mt19937 azar(11);
    std::map<char, int> clases;
    for (const char* fen : inicios)
        for (int partida = 0; partida < 4; ++partida) {
            FakeHost host;
            host.pgnVisible = true;
            rules::Reglas r(&host);
            ASSERT_TRUE(Preparar(r, fen));
            for (int ply = 0; ply < 50; ++ply) {
                const auto jugadas = JugadasAceptadas(r);
                if (jugadas.empty()) break;
                const rules::Variables antes = r.Estado();
                std::string uci = jugadas[azar() % jugadas.size()].uci;
                for (const auto& j : jugadas) {
                    // An en-passant capture whenever there is one.
                    const int pieza = En(r, j.uci.substr(0, 2));
                    if ((pieza == rules::PeonBlanco || pieza == rules::PeonNegro) && j.uci[0] != j.uci[2] &&
                        En(r, j.uci.substr(2, 2)) == 0)
                        uci = j.uci;
                }
                ASSERT_TRUE(Hacer(r, uci));
                const std::string registro = r.Jugadas.List1.back();
                clases[registro.size() > 4 ? registro[4] : '-']++;
                rules::Variables atras = r.Estado();
                Deshacer(atras, registro);
                ASSERT_EQ(atras.Casillas, antes.Casillas) << uci << " " << registro;
                EXPECT_EQ(atras.TorreA1Movida, antes.TorreA1Movida) << registro;
                EXPECT_EQ(atras.TorreH1Movida, antes.TorreH1Movida) << registro;
                EXPECT_EQ(atras.TorreA8Movida, antes.TorreA8Movida) << registro;
                EXPECT_EQ(atras.TorreH8Movida, antes.TorreH8Movida) << registro;
                if (registro[4] == 'p') {
                    EXPECT_TRUE(atras.AlPasoPosible);
                    EXPECT_EQ(atras.CasillaAlPaso, antes.CasillaAlPaso);
                }
            }
        }
    for (char clase : {'-', 't', 'x', 'e', 'p', 'c', 'r'}) EXPECT_GT(clases[clase], 0) << clase;
}

}  // namespace
}  // namespace rules_test
