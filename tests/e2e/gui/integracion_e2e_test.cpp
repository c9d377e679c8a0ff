// The whole program with its parts together: game files opened through the menu, the
// toolbar and a drop while the PGN browser is part of it; an EPD position carried to a
// linked copy over 127.0.0.1, and an own game file replayed on both.
#include "red_e2e.h"

#include <fstream>

namespace {

using namespace red_e2e;
using namespace std::chrono_literals;

// A file of the test's folder; its path.
std::string Fichero(const testsupport::TempDir& dir, const std::string& nombre, const std::string& contenido) {
    const std::string ruta = dir.path() + "/" + nombre;
    std::ofstream(ruta, std::ios::binary) << contenido;
    return ruta;
}

class Integracion : public ::testing::Test {
protected:
    testsupport::TempDir dir;
};

bool Contiene(const std::string& lista, const std::string& ventana) {
    return ("," + lista + ",").find("," + ventana + ",") != std::string::npos;
}

TEST_F(Integracion, GameFilesOpenThroughTheMenuTheToolbarAndADrop) {
    const std::string pgn = Fichero(dir, "partidas.pgn",
                                    "[Event \"E\"]\n[Site \"S\"]\n[Date \"2020.01.01\"]\n[Round \"1\"]\n[White \"A\"]\n"
                                    "[Black \"B\"]\n[Result \"1-0\"]\n\n1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# 1-0\n");
    const std::string epd =
        Fichero(dir, "lista.epd",
                "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - bm Qg6; id \"WAC.001\";\r\n"
                "5rk1/1ppb3p/p1pb4/6q1/3P1p1r/2P1R2P/PP1BQ1P1/5RKN w - - bm Rg3; id \"WAC.003\";\r\n");
    // 1.f3 e5 2.g4 Qh4#: the replay ends with Black's win.
    const std::string tvp = Fichero(dir, "mate.tvp", "0000\r\n0000\r\nA\r\n6263\r\n5755\r\n7274\r\n4884\r\n\r\n");
    Copia ana(dir.path(), "Ana");

    // The browser was never shown: the menu opens a PGN file into it.
    ana.Orden("dialogo " + pgn);
    ana.Orden("menu mnuAbrirPartida");
    EXPECT_FALSE(ana.Esperar("DIALOGO|").empty());
    EXPECT_TRUE(Contiene(ana.Estado()["Ventanas"], "ListaPgn")) << ana.Estado()["Ventanas"];
    ana.Orden("cerrar ListaPgn");
    EXPECT_FALSE(Contiene(ana.Estado()["Ventanas"], "ListaPgn"));

    // The toolbar's open button, an EPD list.
    ana.Orden("dialogo " + epd);
    ana.Orden("menu Toolbar1_1");
    EXPECT_FALSE(ana.Esperar("DIALOGO|").empty());
    EXPECT_TRUE(Contiene(ana.Estado()["Ventanas"], "fEpd")) << ana.Estado()["Ventanas"];
    ana.Orden("cerrar fEpd");

    // A game file dropped on the board replays to its mate.
    ana.Olvidar();
    ana.Orden("soltar tablero " + tvp);
    EXPECT_FALSE(ana.Esperar("Ganan las negras", 30s).empty());
    EXPECT_EQ(ana.Estado()["Jugadas"], "6263,5755,7274,4884,");
    ana.Enviar("salir");
    EXPECT_EQ(ana.p.waitExit(30s), 0);
}

class Enlazadas : public Red {
protected:
    // Ana opens an EPD file while linked and without a game; Luis lets her.
    void AbrirEpd(Copia& ana, Copia& luis, const std::string& ruta) {
        ana.Orden("dialogo " + ruta);
        ana.Orden("menu mnuAbrirPartida");
        ASSERT_FALSE(luis.Esperar("quiere cargar una partida o una posición desde un fichero").empty());
        luis.Orden("responder 6");
    }
};

TEST_F(Enlazadas, AnEpdPositionReachesThePeerAndACancelledListGivesItAFreshGame) {
    // Black to move, Ana plays Black: the digit names the side to move, the letter Ana's colour.
    const std::string una =
        Fichero(dir, "una.epd", "5rk1/1ppb3p/p1pb4/6q1/3P1p1r/2P1R2P/PP1BQ1P1/5RKN b - - bm Rg3; id \"x\";\r\n");
    const std::string dos = Fichero(dir, "dos.epd",
                                    "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - bm Qg6;\r\n"
                                    "5rk1/1ppb3p/p1pb4/6q1/3P1p1r/2P1R2P/PP1BQ1P1/5RKN w - - bm Rg3;\r\n");
    Copia ana(dir.path(), "Ana");
    Copia luis(dir.path(), "Luis");
    Conectar(ana, luis);
    Presentados(ana, luis);
    const std::string inicio = luis.Estado()["Tablero"];

    AbrirEpd(ana, luis, una);
    ASSERT_FALSE(ana.Esperar("PREGUNTA|").empty());
    ana.Orden("texto N");
    std::map<std::string, std::string> el;
    testsupport::Hasta([&] {
        el = luis.Estado();
        return el["Tablero"] != inicio;
    });
    auto ea = ana.Estado();
    EXPECT_EQ(el["Tablero"], ea["Tablero"]);
    EXPECT_NE(el["Tablero"], inicio);
    EXPECT_EQ(ea["MiColor"], "Negras");
    EXPECT_EQ(el["MiColor"], "Blancas");
    EXPECT_EQ(ea["Turno"], "2");
    EXPECT_EQ(el["Turno"], "0");
    EXPECT_EQ(el["Blancas"], "00:00");
    EXPECT_EQ(el["Negras"], "00:00");

    // A list of two, over the position: Ana leaves it, then closes the list without a
    // position; Luis gets a fresh game.
    ana.Orden("dialogo " + dos);
    ana.Enviar("menu mnuAbrirPartida");
    ASSERT_FALSE(ana.Esperar("MENSAJE|").empty());
    ana.Orden("responder 6");
    ASSERT_FALSE(ana.Esperar("OK menu mnuAbrirPartida").empty());
    ASSERT_FALSE(luis.Esperar("quiere cargar una partida o una posición desde un fichero").empty());
    luis.Orden("responder 6");
    EXPECT_TRUE(testsupport::Hasta([&] { return Contiene(ana.Estado()["Ventanas"], "fEpd"); }));
    ana.Orden("cerrar fEpd");
    EXPECT_TRUE(Muestra(luis, "Tablero", inicio));
    el = luis.Estado();
    EXPECT_EQ(el["Tablero"], inicio);
    EXPECT_EQ(el["PartidaDeFichero"], "0");
}

TEST_F(Enlazadas, AnOwnGameFileReplaysOnBothBoardsToItsMate) {
    // 1.f3 e5 2.g4 Qh4#, with clocks of 9:30 and 10:05 in the file.
    const std::string tvp = Fichero(dir, "mate.tvp", "0930\r\n1005\r\nA\r\n6263\r\n5755\r\n7274\r\n4884\r\n\r\n");
    Copia ana(dir.path(), "Ana");
    Copia luis(dir.path(), "Luis");
    Conectar(ana, luis);
    Presentados(ana, luis);
    ana.Orden("dialogo " + tvp);
    ana.Orden("menu mnuAbrirPartida");
    // The peer takes the stream only after its Yes, with or without a game on.
    ASSERT_FALSE(luis.Esperar("quiere cargar una partida o una posición desde un fichero").empty());
    luis.Orden("responder 6");
    EXPECT_FALSE(ana.Esperar("Ganan las negras", 30s).empty());
    EXPECT_FALSE(luis.Esperar("Ganan las negras", 30s).empty());
    auto ea = ana.Estado();
    auto el = luis.Estado();
    EXPECT_EQ(ea["Jugadas"], "6263,5755,7274,4884,");
    EXPECT_EQ(el["Jugadas"], ea["Jugadas"]);
    EXPECT_EQ(el["Tablero"], ea["Tablero"]);
    EXPECT_EQ(el["Blancas"], ea["Blancas"]);
    EXPECT_EQ(el["Negras"], ea["Negras"]);
}

}  // namespace
