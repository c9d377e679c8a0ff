// The whole program leaves no engine process behind: an engine that daemonizes on
// "quit", one that starts a child in a session of its own, one whose child drops the
// relay's mark, and one that quits as it should, each playing Black against the person
// when Tavorin exits; and when Tavorin is ended by a signal in mid-game.
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

}  // namespace
