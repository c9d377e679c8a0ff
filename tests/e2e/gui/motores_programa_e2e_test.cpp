// The whole program against the test engine playing Black. It leaves no engine process
// behind: an engine that daemonizes on "quit", one that starts a child in a session of
// its own, one whose child drops the relay's mark, and one that quits as it should,
// when Tavorin exits, and when Tavorin is ended by a signal in mid-game. And it reads
// the engine's lines as the board says: a draw claimed in the words of real engines
// where the board bears it out ends the game and is saved as a draw; a refusal of the
// person's move in other words ends the game at once; thinking, comment and telluser
// lines that quote the move refuse nothing; a repetition that is one only when the
// right to take en passant is left out is refused as a false claim.
#include "red_e2e.h"

#include "procesos.h"

#include "platform/IniFile.h"

#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <signal.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A copy with the test engine "negro" playing Black with these settings, the game
// started and the person (White) to move.
void Empezar(red_e2e::Copia& copia, const std::string& ajustes) {
    const std::string motor = copia.Ruta("Motor/negro");
    fs::create_directories(motor);
    fs::create_symlink(MOTOR_PRUEBA, motor + "/negro");
    std::ofstream(motor + "/prueba.cfg") << "jugadas e7e5\n" << ajustes << "\n";
    ASSERT_TRUE(copia.p.start(copia.Ruta("tavorin"), {}, copia.carpeta, copia.entorno));
    ASSERT_FALSE(copia.Esperar("LISTO", std::chrono::seconds(60)).empty());
    copia.Orden("menu mnuNuevaPartida");
    copia.Orden("poner Cpu.SMotor2 negro");
    copia.Orden("menu Cpu.Toolbar1_1");
    ASSERT_TRUE(testsupport::Hasta([&] { return copia.Estado()["Turno"] == "1"; })) << ajustes;
}

// Every key of every section of the shipped Default.ini, as "section/key".
std::set<QString> Claves(const std::string& ruta) {
    QFile f(QString::fromStdString(ruta));
    std::set<QString> claves;
    if (!f.open(QIODevice::ReadOnly)) return claves;
    const ini::Documento d(f.readAll());
    for (const QString& s : d.Secciones())
        for (const QString& c : d.Claves(s)) claves.insert(s + "/" + c);
    return claves;
}

TEST(Salida, NothingAnEngineStartedOutlivesTavorin) {
    for (const char* ajuste : {"demonio", "sesion", "escapa", ""}) {
        testsupport::TempDir dir;
        red_e2e::Copia copia(dir.path(), "Ana", {}, true, false);
        ASSERT_NO_FATAL_FAILURE(Empezar(copia, ajuste));
        copia.Enviar("salir");
        EXPECT_EQ(copia.p.waitExit(std::chrono::seconds(60)), 0) << ajuste;
        const std::string carpeta = fs::canonical(copia.Ruta("Motor/negro")).string();
        EXPECT_TRUE(testsupport::Hasta([&] { return testsupport::ProcesosEnCarpeta(carpeta).empty(); },
                                       std::chrono::seconds(5)))
            << ajuste << ": a process of the engine is left";
        for (pid_t p : testsupport::ProcesosEnCarpeta(carpeta)) ::kill(p, SIGKILL);
    }
}

// A logout's SIGTERM or a Ctrl-C in mid-game, the engine thinking (it hangs) beside a
// child in a session of its own and one without the relay's mark: nothing of the
// engine is left, and Default.ini is whole. SIGKILL leaves no time to end anything, but
// the engine itself ends with Tavorin.
TEST(Salida, TavorinEndedByASignalInMidGameLeavesNothingOfTheEngine) {
    struct Fila {
        int senal;
        const char* ajustes;
    };
    const Fila filas[] = {
        {SIGTERM, "sesion\nescapa\ncolgado"}, {SIGINT, "sesion\nescapa\ncolgado"}, {SIGKILL, "colgado"}};
    const std::set<QString> enviadas = Claves(std::string(TAVORIN_CARPETA) + "/Default.ini");
    for (const Fila& f : filas) {
        testsupport::TempDir dir;
        red_e2e::Copia copia(dir.path(), "Ana", {}, true, false);
        ASSERT_NO_FATAL_FAILURE(Empezar(copia, f.ajustes));
        copia.Orden("arrastrar e2 e4");
        const std::string carpeta = fs::canonical(copia.Ruta("Motor/negro")).string();
        // The engine has moved and thinks no more, its children about it.
        ASSERT_TRUE(testsupport::Hasta([&] {
            return copia.Estado()["Turno"] == "1" &&
                   testsupport::ProcesosEnCarpeta(carpeta).size() == (f.senal == SIGKILL ? 1u : 3u);
        })) << strsignal(f.senal);
        ::kill(copia.p.pid(), f.senal);
        EXPECT_EQ(copia.p.waitExit(std::chrono::seconds(60)), 128 + f.senal) << strsignal(f.senal);
        EXPECT_TRUE(testsupport::Hasta([&] { return testsupport::ProcesosEnCarpeta(carpeta).empty(); },
                                       std::chrono::seconds(5)))
            << strsignal(f.senal) << ": a process of the engine is left";
        for (pid_t p : testsupport::ProcesosEnCarpeta(carpeta)) ::kill(p, SIGKILL);
        const std::set<QString> claves = Claves(copia.Ruta("Default.ini"));
        EXPECT_TRUE(std::includes(claves.begin(), claves.end(), enviadas.begin(), enviadas.end()))
            << strsignal(f.senal) << ": Default.ini lost keys";
        EXPECT_EQ(ini::Leer(QString::fromStdString(copia.Ruta("Default.ini")), "Configuracion", "Nick", {}, 64), "Ana");
    }
}

struct Respuesta {
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
    const Respuesta filas[] = {
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
    for (const Respuesta& f : filas) {
        const std::string motor = copia.Ruta(std::string("Motor/") + f.nombre);
        fs::create_directories(motor);
        fs::create_symlink(MOTOR_PRUEBA, motor + "/" + f.nombre);
        std::ofstream(motor + "/prueba.cfg") << f.ajustes << "\n";
    }
    ASSERT_TRUE(copia.p.start(copia.Ruta("tavorin"), {}, copia.carpeta, copia.entorno));
    ASSERT_FALSE(copia.Esperar("LISTO", 60s).empty());
    copia.Orden("menu mnuNuevaPartida");
    for (const Respuesta& f : filas) {
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
