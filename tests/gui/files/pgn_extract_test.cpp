// What Tavorin writes as PGN is read by pgn-extract without a word, move for move, and
// what the generator writes through the same writer loads back through the browser.
#include "pgn_comun.h"

#include "app/Variables.h"
#include "files/Guardar.h"
#include "files/ListaPgn.h"
#include "juego.h"
#include "network/Nuevo.h"
#include "muestra.h"
#include "partida_aleatoria.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <random>

using namespace pgn_prueba;

namespace {

class ConPgnExtract : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PgnExtract()) << "pgn-extract is missing (scripts/packages.txt installs it)";
        e = std::make_unique<Entorno>();
        e->Arrancar();
    }
    void TearDown() override {
        Cerrar();
        e.reset();
    }
    // Plays coded moves on the board as a new game and saves it through save mode.
    QByteArray GuardarEnTablero(const std::vector<std::string>& codificadas, const QString& nombre) {
        Nuevo().NuevoAceptado();
        auto& g = Reglas();
        g.Turno = 1;
        for (const std::string& t : codificadas) {
            g.Origen = t.substr(0, 2);
            g.Destino = t.substr(2, 2);
            g.PiezaCoronacion = t.size() >= 5 ? std::stoi(t.substr(4)) : 0;
            g.ValidarMovimiento();
            EXPECT_TRUE(g.MovimientoValido) << t;
            g.MovimientoAnulado();
            g.Turno = 3 - g.Turno;
        }
        FicheroPendiente = e->Ruta(nombre);
        GuardarPartidaPgn();
        ListaPgn().Text1[2]->setText("2024.02.03");
        ListaPgn().Command2_Click(1);
        return e->Contenido(nombre);
    }
    std::unique_ptr<Entorno> e;
};

TEST_F(ConPgnExtract, GoldenGame) {
    // En passant, a promotion with capture, castling on both sides, a check.
    const std::vector<std::string> partida = {"5254", "4745", "5455", "6765", "5566", "5755", "6677", "4884", "77885",
                                              "2836", "7163", "3847", "6152", "5838", "5171", "8482", "7182"};
    const QByteArray texto = GuardarEnTablero(partida, "oro.pgn");
    EXPECT_EQ(
        texto.toStdString(),
        "[Event \"Tavorin\"]\r\n[Site \"Internet\"]\r\n[Date \"2024.02.03\"]\r\n[Round \"?\"]\r\n[White \"?\"]\r\n"
        "[Black \"?\"]\r\n[Result \"*\"]\r\n\r\n"
        "1. e4 d5 2. e5 f5 3. exf6 e5 4. fxg7 Qh4 5. gxh8=Q Nc6 6. Nf3 Bd7 7. Be2\r\n"
        "O-O-O 8. O-O Qxh2+ 9. Kxh2 *\r\n");
    const Extraccion x = Extraer(e->Ruta("oro.pgn"));
    EXPECT_EQ(x.diagnosticos, "");
    EXPECT_EQ(x.partidas, Tokens(texto));
}

// Random legal games played on the board and saved through save mode, chosen so
// that promotions, en passant, castling, mates and stalemates all come up.
TEST_F(ConPgnExtract, RandomGamesSavedFromTheBoard) {
    std::mt19937 azar(2024);
    rules::Reglas r;
    std::vector<pgngen::PartidaAleatoria> elegidas;
    bool promocion = false, alPaso = false, enroque = false, mate = false, ahogado = false;
    // The sample saves a few games as they come; the long run searches until it has
    // every kind of move and ending.
    const size_t pocas = 3;
    auto faltan = [&] {
        return PruebaLarga() ? !(promocion && alPaso && enroque && mate && ahogado) : elegidas.size() < pocas;
    };
    for (int i = 0; i < 3000 && faltan(); ++i) {
        pgngen::NuevaPartida(r);
        const auto p = pgngen::Jugar(r, azar, 400);
        const bool esMate = p.resultado == "1-0" || p.resultado == "0-1", esAhogado = p.resultado == "1/2-1/2";
        if ((p.promocion && !promocion) || (p.alPaso && !alPaso) || (p.enroque && !enroque) || (esMate && !mate) ||
            (esAhogado && !ahogado) || elegidas.size() < size_t(Muestra(6, pocas)))
            elegidas.push_back(p);
        promocion |= p.promocion;
        alPaso |= p.alPaso;
        enroque |= p.enroque;
        mate |= esMate;
        ahogado |= esAhogado;
    }
    if (PruebaLarga()) {
        ASSERT_TRUE(promocion && alPaso && enroque && mate && ahogado);
    }
    QByteArray todas;
    for (size_t i = 0; i < elegidas.size(); ++i) {
        const QByteArray texto = GuardarEnTablero(elegidas[i].codificadas, QString("g%1.pgn").arg(i));
        EXPECT_TRUE(texto.contains("[Result \"" + QByteArray::fromStdString(elegidas[i].resultado) + "\"]")) << i;
        todas += texto + "\r\n";
    }
    e->Escribir("todas.pgn", todas);
    const Extraccion x = Extraer(e->Ruta("todas.pgn"));
    EXPECT_EQ(x.diagnosticos, "");
    EXPECT_EQ(x.partidas, Tokens(todas));
    EXPECT_EQ(x.partidas.size(), elegidas.size());
}

// A generated file passes pgn-extract, and each of its games loads through the
// browser with the generator's coded moves.
TEST_F(ConPgnExtract, GeneratedFileLoadsGameByGame) {
    std::mt19937 azar(99);
    rules::Reglas r;
    QByteArray texto;
    std::vector<std::vector<std::string>> juegos;
    const int n = Muestra(300, 30);
    for (int i = 1; i <= n; ++i) {
        pgngen::NuevaPartida(r);
        const auto p = pgngen::Jugar(r, azar, 1 + int(azar() % 300));
        texto += QByteArray::fromStdString(pgngen::TextoPgn(r, i, p.resultado)) + "\r\n";
        juegos.push_back(p.codificadas);
    }
    e->Escribir("gen.pgn", texto);
    EXPECT_EQ(Extraer(e->Ruta("gen.pgn")).diagnosticos, "");
    Abrir(*e, "gen.pgn", texto);
    ASSERT_EQ(Entradas().size(), n);
    EXPECT_TRUE(ListaPgn().Caption().endsWith(QString(" %1 ").arg(n) + TextosIdioma[50]));
    for (int k = 0; k < n; ++k) {
        if (k > 0) Elegir(k);
        ASSERT_EQ(Codificadas(), juegos[size_t(k)]) << "game " << k + 1;
        EXPECT_EQ(ListaPgn().Text1[3]->text(), QString::number(k + 1));
    }
}

}  // namespace
