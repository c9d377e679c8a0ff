// The replay of an own game file tick by tick, over a fake program: what it sends
// the peer, how it paces itself, how it ends and how it gives up on a bad token.
#include "files/TvpReproduccion.h"

#include "fake_host.h"
#include "juego.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Paso = tvp::Reproduccion::Paso;
using Cierre = tvp::Reproduccion::Cierre;

class Programa : public tvp::Entorno {
public:
    Programa() { Inicio(); }

    rules::Reglas& Juego() override { return juego; }
    long EnCola() const override { return enCola; }
    void Encolar(const QString& m) override { cola << m; }
    bool RelojVacio(int lado) const override { return vacio[size_t(lado)]; }
    void FijarReloj(int lado, long m, long s) override {
        reloj[size_t(lado)] = {m, s};
        vacio[size_t(lado)] = false;
    }
    void FinJaqueMate() override {
        Anotar("mate");
        juego.VariablesCero();
    }
    void FinAhogado() override {
        Anotar("ahogado");
        juego.VariablesCero();
    }
    void MovimientoAnulado() override { juego.MovimientoAnulado(); }
    QString Texto(int n) const override {
        switch (n) {
            case 21: return "White";
            case 22: return "Black";
            case 59: return "Which colour do you play? (W/B)";
            default: return QString("<%1>").arg(n);
        }
    }
    void Aviso(int n) override { Anotar("aviso " + std::to_string(n)); }
    QString PedirTexto(const QString& pregunta, const QString& titulo) override {
        preguntas << titulo + "|" + pregunta;
        // Nobody left to answer: the peer went away.
        if (respuestas.isEmpty()) juego.Conectado = false;
        return respuestas.isEmpty() ? QString() : respuestas.takeFirst();
    }
    void TableroVacio() override { Anotar("vacio"); }
    void NuevaPartida() override {
        Anotar("nueva");
        Inicio();
    }
    void VentanasLaterales() override { Anotar("laterales"); }
    void MostrarDesde(bool negras) override { Anotar(negras ? "desde negras" : "desde blancas"); }
    void QuitaMarco() override { Anotar("marco"); }
    void FijarPartidaDeFichero(bool v) override { partidaDeFichero = v; }
    void FijarPosicionPreparada(bool v) override { posicionPreparada = v; }

    void Inicio() {
        ASSERT_TRUE(rules_test::Preparar(juego, rules_test::kInicial));
        juego.Turno = 0;
        juego.TurnoFichero = 0;
        juego.TipoPartida.clear();
        vacio = {false, true, true};
    }
    void Anotar(const std::string& s) { registro.push_back(s); }
    bool Visto(const std::string& s) const { return std::find(registro.begin(), registro.end(), s) != registro.end(); }

    rules_test::FakeHost host;
    rules::Reglas juego{&host};
    long enCola = 0;
    QStringList cola, respuestas, preguntas;
    std::array<bool, 3> vacio{false, true, true};
    std::array<std::pair<long, long>, 3> reloj{};
    std::vector<std::string> registro;
    bool partidaDeFichero = true, posicionPreparada = true;
};

class Replay : public ::testing::Test {
protected:
    // Runs the replay from its first tick to its end, as the two timers do.
    Paso Correr(std::vector<QString> tokens, bool conectado = false) {
        p.juego.Conectado = conectado;
        datos = {QString()};
        datos.insert(datos.end(), tokens.begin(), tokens.end());
        datos.push_back(QString());
        r.Empezar();
        for (int i = 0; i < 1000; ++i) {
            const Paso paso = r.Tick();
            if (paso == Paso::Abortada) return paso;
            if (paso == Paso::Fin) {
                EXPECT_EQ(r.TickCierre(), Cierre::Hecho);
                return paso;
            }
        }
        ADD_FAILURE() << "the replay never ended";
        return Paso::Sigue;
    }

    Programa p;
    std::vector<QString> datos;
    tvp::Reproduccion r{p, datos};
};

const std::vector<QString> kEjemplo{"0431", "0500", "R", "5254", "5755", "7163", ""};

TEST(Ritmo, TheIntervalGrowsWithTheQueueOnlyWithAPeer) {
    const std::pair<long, int> tabla[] = {{0, 100},  {5, 100},  {6, 300},   {10, 300},  {11, 500},  {15, 500},
                                          {16, 700}, {20, 700}, {21, 1000}, {25, 1000}, {26, 1500}, {40, 1500}};
    for (const auto& [n, ms] : tabla) {
        EXPECT_EQ(tvp::Intervalo(true, n), ms) << n;
        EXPECT_EQ(tvp::Intervalo(false, n), 100) << n;
    }
}

TEST_F(Replay, NoTokenIsTakenWhileMoreThanThirtyMessagesWait) {
    p.juego.Conectado = true;
    datos = {"", "0000", "0000", "A", ""};
    r.Empezar();
    p.enCola = 31;
    EXPECT_EQ(r.Tick(), Paso::Espera);
    EXPECT_EQ(r.Indice(), 0);
    EXPECT_EQ(r.IntervaloActual(), 1500);
    p.enCola = 30;
    EXPECT_EQ(r.Tick(), Paso::Sigue);
    EXPECT_EQ(r.Indice(), 1);
    EXPECT_EQ(p.cola, QStringList{"TVP TB 0000"});
}

TEST_F(Replay, OfflineTheGameIsPlayedOnWithoutClockBySideToMove) {
    rules_test::FakeHost otro;
    rules::Reglas referencia(&otro);
    ASSERT_TRUE(rules_test::Preparar(referencia, rules_test::kInicial));
    ASSERT_EQ(rules_test::JugarVarias(referencia, {"e2e4", "e7e5", "g1f3"}), 3u);
    // Blank lines between the tokens change nothing.
    EXPECT_EQ(Correr({"0431", "", "0500", "R", "", "5254", "5755", "", "", "7163", ""}), Paso::Fin);
    EXPECT_EQ(p.juego.Casillas, referencia.Casillas);
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(p.juego.Jugadas.List[size_t(i)], referencia.Jugadas.List[size_t(i)]) << i;
    EXPECT_EQ(p.juego.TipoPartida, "A");
    EXPECT_EQ(p.reloj[1], std::make_pair(0L, 0L));
    EXPECT_EQ(p.reloj[2], std::make_pair(0L, 0L));
    EXPECT_EQ(p.juego.Turno, 2);
    EXPECT_EQ(p.juego.MiColor, "Negras");
    EXPECT_TRUE(p.cola.isEmpty());
    EXPECT_TRUE(p.preguntas.isEmpty());
    EXPECT_EQ(p.registro, (std::vector<std::string>{"laterales", "vacio", "desde blancas", "marco"}));
    EXPECT_FALSE(p.partidaDeFichero);
    EXPECT_EQ(datos, std::vector<QString>(2));
}

TEST_F(Replay, ConnectedTheRatedExampleIsMirroredAndTheColourAsked) {
    p.respuestas = {"x", "", "w"};
    EXPECT_EQ(Correr(kEjemplo, true), Paso::Fin);
    EXPECT_EQ(p.cola, (QStringList{"TVP TB 0431", "TVP TN 0500", "TVP T R", "TVP M 5254", "TVP M 5755", "TVP M 7163",
                                   "TVP T N", "TVP T 2", "TVP Terminado"}));
    ASSERT_EQ(p.preguntas.size(), 3);
    EXPECT_EQ(p.preguntas[0], "<60>|<86> Black.\r\nWhich colour do you play? (W/B)");
    EXPECT_EQ(p.reloj[1], std::make_pair(4L, 31L));
    EXPECT_EQ(p.reloj[2], std::make_pair(5L, 0L));
    // White chosen with Black to move: the peer moves first.
    EXPECT_EQ(p.juego.Turno, 0);
    EXPECT_EQ(p.juego.MiColor, "Blancas");
    EXPECT_TRUE(p.Visto("desde blancas"));
}

TEST_F(Replay, TheEndWaitsForAnEmptyQueue) {
    p.juego.Conectado = true;
    p.respuestas = {"B"};
    datos = {"", "0000", "0000", "A", "5254", ""};
    r.Empezar();
    while (r.Tick() != Paso::Fin) {
    }
    const QStringList antes = p.cola;
    p.enCola = 1;
    EXPECT_EQ(r.TickCierre(), Cierre::Espera);
    EXPECT_EQ(p.cola, antes);
    EXPECT_TRUE(p.preguntas.isEmpty());
    p.enCola = 0;
    EXPECT_EQ(r.TickCierre(), Cierre::Hecho);
    EXPECT_EQ(p.cola.mid(antes.size()), (QStringList{"TVP T B", "TVP T 0", "TVP Terminado"}));
    EXPECT_EQ(p.juego.Turno, 2);
    EXPECT_TRUE(p.Visto("desde negras"));
}

TEST_F(Replay, ABadTokenEndsTheReplayWithAFreshGame) {
    struct Caso {
        std::vector<QString> tokens;
        bool conectado;
        bool texto27;
    };
    const Caso casos[] = {
        {{"0000", "0000", "A", "5255"}, false, true},         // not a legal move
        {{"0000", "0000", "A", "5254", "9254"}, true, true},  // a square off the board
        {{"0000", "0000", "A", "52545"}, false, true},        // a piece for a move that promotes nothing
        {{"0000", "0000", "A", "e2e4"}, true, false},         // no number
        {{"04x1", "0000", "A", "5254"}, true, false},         // a clock that is no number
    };
    for (const Caso& c : casos) {
        p.registro.clear();
        p.cola.clear();
        p.partidaDeFichero = p.posicionPreparada = true;
        p.Inicio();
        EXPECT_EQ(Correr(c.tokens, c.conectado), Paso::Abortada) << c.tokens.back().toStdString();
        EXPECT_EQ(p.Visto("aviso 27"), c.texto27) << c.tokens.back().toStdString();
        EXPECT_EQ(p.registro.back(), "aviso 55");
        EXPECT_TRUE(p.Visto("nueva"));
        EXPECT_TRUE(p.Visto("desde blancas"));
        EXPECT_EQ(!p.cola.isEmpty() && p.cola.back() == "TVP ERROR", c.conectado);
        EXPECT_FALSE(p.partidaDeFichero || p.posicionPreparada);
        EXPECT_EQ(p.juego.Turno, 0);
        EXPECT_EQ(p.juego.TurnoFichero, 0);
        EXPECT_TRUE(p.juego.TipoPartida.empty());
        EXPECT_EQ(datos, std::vector<QString>(2));
    }
    // Without a peer a clock token is not read: whatever it holds, the clock is 00:00.
    p.registro.clear();
    p.Inicio();
    EXPECT_EQ(Correr({"04x1", "0000", "A", "5254"}), Paso::Fin);
    EXPECT_FALSE(p.Visto("aviso 55"));
}

TEST_F(Replay, AMateEndsTheGameWithoutAskingTheColour) {
    EXPECT_EQ(Correr({"0000", "0000", "R", "6263", "5755", "7274", "4884", ""}, true), Paso::Fin);
    EXPECT_TRUE(p.Visto("mate"));
    EXPECT_TRUE(p.preguntas.isEmpty());
    EXPECT_EQ(p.cola.back(), "TVP Terminado");
    EXPECT_EQ(p.cola.filter("TVP T ").size(), 1);  // only the type
    EXPECT_EQ(p.juego.Turno, 0);
    EXPECT_TRUE(p.juego.TipoPartida.empty());
}

TEST_F(Replay, AFileWithoutMovesEndsWithTextFiftyFiveAndStillTellsThePeer) {
    p.respuestas = {"W"};
    EXPECT_EQ(Correr({"0000", "0000", "A", ""}, true), Paso::Fin);
    EXPECT_EQ(p.cola.back(), "TVP Terminado");
    EXPECT_EQ(p.registro.back(), "aviso 55");
    // Without a type line nobody is to move afterwards, as after a game that ended.
    p.registro.clear();
    p.Inicio();
    EXPECT_EQ(Correr({"0000", "0000", "5254"}), Paso::Fin);
    EXPECT_EQ(p.juego.Turno, 0);
    EXPECT_FALSE(p.Visto("aviso 55"));
}

TEST_F(Replay, PromotionsCarryThePieceOfTheTokenOrOfTheChooser) {
    const std::vector<QString> hastaH7{"0000", "0000", "A",    "8284", "7775", "8475",
                                       "8786", "7586", "5756", "8687", "2726"};
    auto con = [&](QString ultimo) {
        auto t = hastaH7;
        t.push_back(ultimo);
        return t;
    };
    p.respuestas = {"W"};
    EXPECT_EQ(Correr(con("87785"), true), Paso::Fin);
    EXPECT_EQ(p.cola.filter("TVP M ").back(), "TVP M 87785");
    EXPECT_TRUE(p.host.preguntasCoronacion.empty());
    EXPECT_EQ(p.juego.Jugadas.List[4].substr(p.juego.Jugadas.List[4].size() - 7), "87785\r\n");

    // Four digits ask the chooser; its answer is what the peer gets.
    p.Inicio();
    p.cola.clear();
    p.respuestas = {"W"};
    p.host.respuestaCoronacion = rules::CaballoBlanco;
    EXPECT_EQ(Correr(con("8778"), true), Paso::Fin);
    EXPECT_EQ(p.cola.filter("TVP M ").back(), "TVP M 87783");
    EXPECT_EQ(p.host.preguntasCoronacion, std::vector<int>{1});
    // Cancelling the chooser makes it a bad token.
    p.Inicio();
    p.host.respuestaCoronacion = 0;
    p.registro.clear();
    EXPECT_EQ(Correr(con("8778")), Paso::Abortada);
    EXPECT_TRUE(p.Visto("aviso 27"));

    // A Black queen's token ends in 11.
    p.Inicio();
    EXPECT_EQ(
        Correr({"0000", "0000", "A", "1213", "2725", "8283", "2524", "8384", "2413", "8485", "1322", "8586", "223111"}),
        Paso::Fin);
    EXPECT_EQ(p.juego.Casillas[3][1], rules::DamaNegra);
}

TEST_F(Replay, TypeAndClockTokensAsThePeerGetsThem) {
    // The last one-letter token is the type; two or three characters mean nothing.
    p.respuestas = {"W"};
    EXPECT_EQ(Correr({"12000", "0500", "A", "52", "525", "R", "5254", ""}, true), Paso::Fin);
    EXPECT_EQ(p.cola.mid(0, 4), (QStringList{"TVP TB 12000", "TVP TN 0500", "TVP T A", "TVP T R"}));
    EXPECT_EQ(p.reloj[1], std::make_pair(120L, 0L));
    EXPECT_EQ(p.juego.TipoPartida, "R");
}

}  // namespace
