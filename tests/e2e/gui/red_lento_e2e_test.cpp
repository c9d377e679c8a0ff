// Network play between whole programs, the long runs: disconnects, exits, a killed
// copy, reconnects, a stopped copy, a server that ignores the client's "Close".
#include "red_e2e.h"

#include <random>

namespace {

using namespace red_e2e;
using namespace std::chrono_literals;

TEST_F(Red, DisconnectsExitsAndACopyThatDies) {
    auto ana = std::make_unique<Copia>(dir.path(), "Ana");
    auto luis = std::make_unique<Copia>(dir.path(), "Luis");
    Conectar(*ana, *luis);
    // A rated game: the disconnect asks first.
    NuevaPartida(*ana, *luis, "R", 5);
    ana->Enviar("menu mnuDesconectar");
    EXPECT_FALSE(ana->Esperar("Hay una partida puntuable en curso").empty());
    ana->Orden("responder 6");
    EXPECT_FALSE(luis->Esperar("SONIDO|Desconectado.wav").empty());
    EXPECT_EQ(ana->Estado()["Conectado"], "0");

    // Three reconnects in a row.
    for (int vez = 0; vez < 3; ++vez) {
        ana->Olvidar();
        luis->Olvidar();
        Conectar(*ana, *luis);
        EXPECT_EQ(luis->Estado()["Conectado"], "1") << vez;
        luis->Orden("menu mnuDesconectar");
        EXPECT_FALSE(ana->Esperar("SONIDO|Desconectado.wav").empty()) << vez;
        EXPECT_FALSE(luis->Esperar("SONIDO|Desconectado.wav").empty()) << vez;
    }

    // The client's exit while connected: the exit waits for the close, then ends.
    ana->Olvidar();
    Conectar(*ana, *luis);
    luis->Enviar("salir");
    auto estado = luis->p.waitExit(20s);
    ASSERT_TRUE(estado);
    EXPECT_EQ(*estado, 0);
    EXPECT_FALSE(ana->Esperar("SONIDO|Desconectado.wav").empty());

    // A copy killed in the middle of a game: the other keeps its game and its file.
    luis = std::make_unique<Copia>(dir.path() + "/otra", "Luis");
    ana->Olvidar();
    Conectar(*ana, *luis);
    NuevaPartida(*ana, *luis, "R", 5);
    // Each clock report follows its move.
    Jugar(*ana, *luis, "e2", "e4");
    EXPECT_TRUE(Muestra(*ana, "Cola", "0"));
    Jugar(*luis, *ana, "e7", "e5");
    EXPECT_TRUE(Muestra(*luis, "Cola", "0"));
    const std::string fichero = ana->Puntuacion();
    ::kill(luis->p.pid(), SIGKILL);
    luis->p.waitExit(10s);
    EXPECT_FALSE(ana->Esperar("SONIDO|Desconectado.wav").empty());
    auto e = ana->Estado();
    EXPECT_EQ(e["Jugadas"], "5254,5755,");
    EXPECT_EQ(e["Conectado"], "0");
    EXPECT_EQ(ana->Puntuacion(), fichero);
}

TEST_F(Red, ACopyStoppedForAWhileLeavesTheOtherAnswering) {
    Copia ana(dir.path(), "Ana");
    Copia luis(dir.path(), "Luis");
    Conectar(ana, luis);
    NuevaPartida(ana, luis, "A", 0);
    ::kill(luis.p.pid(), SIGSTOP);
    for (int i = 0; i < 15; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        ana.Orden("chat hola " + std::to_string(i), 5s);
        EXPECT_EQ(ana.Estado()["Conectado"], "1");
        EXPECT_LT(std::chrono::steady_clock::now() - t0, 5s);
        // The copy stays stopped for fifteen seconds: the pause is what is tested.
        std::this_thread::sleep_for(1s);
    }
    ::kill(luis.p.pid(), SIGCONT);
    Jugar(ana, luis, "e2", "e4");
    EXPECT_EQ(luis.Estado()["Jugadas"], "5254,");
}

TEST_F(Red, AServerThatIgnoresCloseStillLetsTheClientExit) {
    Crudo servidor;
    ASSERT_TRUE(servidor.Escuchar(kServidor));
    Copia luis(dir.path(), "Luis");
    ConectarA(luis);
    ASSERT_TRUE(servidor.Aceptar(10s));
    ASSERT_TRUE(servidor.Llega("VersionTV 1.55"));
    luis.Enviar("salir");
    EXPECT_TRUE(servidor.Llega("Close"));
    auto estado = luis.p.waitExit(20s);
    ASSERT_TRUE(estado);
    EXPECT_EQ(*estado, 0);
}

}  // namespace
