// The whole program against the test engine playing Black: a draw claimed in the words
// of real engines where the board bears it out ends the game and is saved as a draw; a
// refusal of the person's move in other words ends the game at once; thinking, comment
// and telluser lines that quote the move refuse nothing; a repetition that is one only
// when the right to take en passant is left out is refused as a false claim.
#include "red_e2e.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct Fila {
    const char* nombre;  // the engine's folder
    std::string ajustes;
    std::vector<std::string> persona;  // White's moves, each once the engine has answered the last
    const char* fin;  // "1/2-1/2": saved so; a line: the engine's error quotes it; "": the game goes on
};

// How many moves the board holds.
size_t Jugadas(red_e2e::Copia& c) {
    const std::string j = c.Estado()["Jugadas"];
    return size_t(std::count(j.begin(), j.end(), ','));
}

TEST(Respuestas, ClaimsRefusalsAndHarmlessLinesEndTheGameOrNotAsTheBoardSays) {
    // Both knights out and back twice: the start stands a third time, a draw by rule.
    const std::vector<std::string> vaiven = {"g1f3", "f3g1", "g1f3", "f3g1"};
    const std::string tablas = "jugadas g8f6 f6g8 g8f6 f6g8\nfinal 1/2-1/2 ";
    const Fila filas[] = {
        {"cincuenta", tablas + "{Draw by fifty move rule}", vaiven, "1/2-1/2"},
        {"guion", tablas + "{Draw by fifty-move rule}", vaiven, "1/2-1/2"},
        {"triple", tablas + "{3-fold repetition, no move left}", vaiven, "1/2-1/2"},
        {"invalida", "jugadas e7e5\nrechaza_en 2 Invalid move", {"e2e4", "g1f3"}, "Invalid move"},
        {"san", "jugadas e7e5\nrechaza_en 2 Invalid move: Nf3", {"e2e4", "g1f3"}, "Invalid move: Nf3"},
        {"otra", "jugadas e7e5\nrechaza_en 2 Invalid move: e2e4", {"e2e4", "g1f3"}, "Invalid move: e2e4"},
        {"inocuas",
         "jugadas e7e5 b8c6\nantes   3 12 5 345 b8c6 g1f3 invalid\nantes # g1f3: no error, thinking\n"
         "antes telluser unknown book line after g1f3\nantes info string no error after g1f3",
         {"e2e4", "g1f3"},
         ""},
        // After 2...d5 White may take en passant; the same squares twice more, without that right.
        {"alpaso",
         "jugadas g8f6 d7d5 b8c6 c6b8 b8c6 c6b8\nfinal 1/2-1/2 {3-fold repetition}",
         {"e2e4", "e4e5", "g1f3", "f3g1", "g1f3", "f3g1"},
         "1/2-1/2 {3-fold repetition}"},
    };
    testsupport::TempDir dir;
    red_e2e::Copia copia(dir.path(), "Ana", {}, true, false);
    for (const Fila& f : filas) {
        const std::string motor = copia.Ruta(std::string("Motor/") + f.nombre);
        fs::create_directories(motor);
        fs::create_symlink(MOTOR_PRUEBA, motor + "/" + f.nombre);
        std::ofstream(motor + "/prueba.cfg") << f.ajustes << "\n";
    }
    ASSERT_TRUE(copia.p.start(copia.Ruta("tavorin"), {}, copia.carpeta, copia.entorno));
    ASSERT_FALSE(copia.Esperar("LISTO", 60s).empty());
    copia.Orden("menu mnuNuevaPartida");
    for (const Fila& f : filas) {
        copia.Orden(std::string("poner Cpu.SMotor2 ") + f.nombre);
        copia.Orden("menu Cpu.Toolbar1_1");
        ASSERT_TRUE(testsupport::Hasta([&] { return copia.Estado()["Turno"] == "1" && Jugadas(copia) == 0; }))
            << f.nombre;
        copia.Olvidar();
        for (size_t i = 0; i < f.persona.size(); ++i) {
            ASSERT_TRUE(testsupport::Hasta([&] { return copia.Estado()["Turno"] == "1"; })) << f.nombre << " " << i;
            copia.Orden("arrastrar " + f.persona[i].substr(0, 2) + " " + f.persona[i].substr(2));
        }
        const std::string fin = f.fin;
        if (fin.empty()) {
            // The engine's move after the lines is played, and nothing is said.
            EXPECT_TRUE(testsupport::Hasta([&] { return Jugadas(copia) == 2 * f.persona.size(); })) << f.nombre;
            EXPECT_EQ(copia.Estado()["Turno"], "1") << f.nombre;
            EXPECT_EQ(copia.Esperar("MENSAJE|", 100ms), "") << f.nombre;
            copia.Orden("menu Cpu.Toolbar1_2");
            continue;
        }
        // Ended within 10 s, nobody to move.
        const std::string mensaje = copia.Esperar("MENSAJE|", 10s);
        ASSERT_FALSE(mensaje.empty()) << f.nombre << ": the game waits";
        EXPECT_EQ(copia.Estado()["Turno"], "0") << f.nombre;
        if (fin != "1/2-1/2") {
            EXPECT_NE(mensaje.find(fin), std::string::npos) << f.nombre << ": " << mensaje;
            continue;
        }
        const std::string pgn = dir.path() + "/" + f.nombre + ".pgn";
        copia.Orden("dialogo " + pgn);
        copia.Orden("menu mnuGuardarPartida");
        ASSERT_FALSE(copia.Esperar("DIALOGO|").empty()) << f.nombre;
        copia.Orden("boton ListaPgn.Command2_1");
        std::ifstream in(pgn, std::ios::binary);
        const std::string texto((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(texto.find("[Result \"1/2-1/2\"]"), std::string::npos) << f.nombre << ": " << texto;
    }
}

}  // namespace
