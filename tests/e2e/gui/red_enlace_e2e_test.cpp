// Network play against a raw peer that says what a real copy never should: a claim that
// this side's flag fell after it moved in time, a clock reading above the game's
// minutes, and an exchange of a game file or a position that starts and never ends. Each
// leaves this side's game and ranking as they were, or gives the board back.
#include "red_e2e.h"

#include "copia_tavorin.h"

namespace {

using namespace red_e2e;
using namespace std::chrono_literals;

const std::vector<std::string> kPrisa = {"TAVORIN_PRUEBA_RELOJ=1", "TAVORIN_PRUEBA_COLA_MS=10"};

std::string Reloj(long segundos) {
    char t[48];
    std::snprintf(t, sizeof t, "%02ld:%02ld", segundos / 60, segundos % 60);
    return t;
}

class RedEnlace : public Red {
protected:
    // Ana waits, the raw peer links and greets her as a copy of this version does.
    void Enlazar(Copia& ana) {
        Escuchar(ana);
        ASSERT_TRUE(par.Conectar(kServidor));
        ASSERT_TRUE(par.Llega("Ranking 0-0-0-0-1200", 10s));
        par.Enviar("Mensaje Luis se ha conectado con Tavorin versión 1.55\r\nVersionTV 1.55");
        ASSERT_TRUE(Muestra(ana, "VersionRival", "1.55"));
    }
    // A rated game of one minute: the peer Black, Ana White, Ana's e4 sent once her
    // clock has run `gastados` ms.
    void PartidaConE4(Copia& ana, long gastados) {
        par.Enviar("NuevoJuego 2 R 1");
        ASSERT_FALSE(ana.Esperar("Usted jugará con las blancas.").empty());
        ana.Orden("responder 6");
        ASSERT_TRUE(par.Llega("NuevoAceptado"));
        ana.Orden("reloj " + std::to_string(gastados));
        ASSERT_TRUE(Muestra(ana, "Blancas", Reloj(60 - gastados / 1000)));
        ana.Orden("arrastrar e2 e4");
        ASSERT_TRUE(par.Llega("Movimiento 52540"));
    }
    // Everything the peer sent so far has been read: a ping after it is answered.
    void Leido() {
        par.recibido.clear();
        par.Enviar("PingPing");
        ASSERT_TRUE(par.Llega("Pong", testsupport::kEsperaLarga));
    }

    Crudo par;
};

// White moves with 4 s left; the peer then claims White's flag fell. White's clock
// stopped in time: the game goes on and nothing is booked.
TEST_F(RedEnlace, APeersFlagClaimAfterThisSideMovedInTimeBooksNoLoss) {
    Copia ana(dir.path(), "Ana", kPrisa);
    Enlazar(ana);
    const std::string fichero = ana.Puntuacion();
    PartidaConE4(ana, 56000);
    ASSERT_TRUE(par.Llega("TIME 0:4"));
    par.Enviar("Bandera B");
    Leido();
    auto e = ana.Estado();
    EXPECT_EQ(e["TipoPartida"], "R");
    EXPECT_EQ(e["Propio"], "0-0-0-0-1200");
    EXPECT_EQ(ana.Puntuacion(), fichero);
}

// A clock never goes up: Black's report of 180 minutes in a one-minute game is void.
TEST_F(RedEnlace, AClockReadingAboveTheGamesMinutesIsVoid) {
    Copia ana(dir.path(), "Ana", kPrisa);
    Enlazar(ana);
    PartidaConE4(ana, 0);
    par.Enviar("Movimiento 57550TIME 180:0");
    Leido();
    auto e = ana.Estado();
    EXPECT_EQ(e["Jugadas"], "5254,5755,");
    EXPECT_LE(testsupport::SegundosReloj(e["Negras"]), 60) << e["Negras"];
}

// The peer asks to bring a game file and begins it, or a position, and then sends
// nothing more. Within a minute of the clocks Ana's board is hers again: a new game
// can be proposed.
TEST_F(RedEnlace, AnExchangeThatStartsThenStopsGivesTheBoardBack) {
    const struct {
        const char *pide, *acepta, *empieza;
    } tabla[] = {{"AbrirPartida", "AbrirAceptado", "TVP Iniciar"}, {"AbrirPartidaEPD", "AbrirAceptadoEPD", ""}};
    for (const auto& c : tabla) {
        PuertosLibres();
        par.Cerrar();
        par.recibido.clear();
        Copia ana(dir.path() + "/" + c.pide, "Ana", kPrisa);
        Enlazar(ana);
        par.Enviar(c.pide);
        ASSERT_FALSE(ana.Esperar("quiere cargar una partida o una posición").empty()) << c.pide;
        ana.Orden("responder 6");
        ASSERT_TRUE(par.Llega(c.acepta)) << c.pide;
        if (*c.empieza) par.Enviar(c.empieza);
        Leido();
        EXPECT_EQ(ana.Estado()["PartidaDeFichero"], "1") << c.pide;
        for (int i = 0; i < 12; ++i) ana.Orden("reloj 5000");
        EXPECT_TRUE(Muestra(ana, "PartidaDeFichero", "0", 30s)) << c.pide;
        par.recibido.clear();
        // A game left on the board is asked about first (a Yes/No box).
        auto pregunta = [](const std::string& x) { return x.rfind("MENSAJE|", 0) == 0 && (std::atol(&x[8]) & 7) == 4; };
        ana.Enviar("menu mnuNuevaPartida");
        const auto l = ana.p.readUntil(
            [&](const std::string& x) { return x == "OK menu mnuNuevaPartida" || pregunta(x); }, 20s, &ana.vistas);
        ASSERT_TRUE(l) << c.pide;
        if (pregunta(*l)) ana.Orden("responder 6");
        if (ana.Estado()["Ventanas"].find("Nuevo") == std::string::npos) {
            ADD_FAILURE() << c.pide << ": no new game can be proposed";
            continue;
        }
        ana.Orden("boton Nuevo.Command1");
        EXPECT_TRUE(par.Llega("NuevoJuego")) << c.pide;
    }
}

}  // namespace
