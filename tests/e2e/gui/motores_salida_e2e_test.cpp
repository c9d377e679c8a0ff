// The whole program leaves no engine process behind: an engine that daemonizes on
// "quit", one that starts a child in a session of its own, and one that quits as it
// should, each playing Black against the person when Tavorin exits.
#include "red_e2e.h"

#include "procesos.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <signal.h>

namespace fs = std::filesystem;

namespace {

TEST(Salida, NothingAnEngineStartedOutlivesTavorin) {
    for (const char* ajuste : {"demonio", "sesion", ""}) {
        testsupport::TempDir dir;
        red_e2e::Copia copia(dir.path(), "Ana", {}, true, false);
        const std::string motor = copia.Ruta("Motor/negro");
        fs::create_directories(motor);
        fs::create_symlink(MOTOR_PRUEBA, motor + "/negro");
        std::ofstream(motor + "/prueba.cfg") << "jugadas e7e5\n" << ajuste << "\n";
        ASSERT_TRUE(copia.p.start(copia.Ruta("tavorin"), {}, copia.carpeta, copia.entorno));
        ASSERT_FALSE(copia.Esperar("LISTO", std::chrono::seconds(60)).empty());
        copia.Orden("menu mnuNuevaPartida");
        copia.Orden("poner Cpu.SMotor2 negro");
        copia.Orden("menu Cpu.Toolbar1_1");
        ASSERT_TRUE(testsupport::Hasta([&] { return copia.Estado()["Turno"] == "1"; })) << ajuste;
        copia.Enviar("salir");
        EXPECT_EQ(copia.p.waitExit(std::chrono::seconds(60)), 0) << ajuste;
        const std::string carpeta = fs::canonical(motor).string();
        EXPECT_TRUE(testsupport::Hasta([&] { return testsupport::ProcesosEnCarpeta(carpeta).empty(); },
                                       std::chrono::seconds(5)))
            << ajuste << ": a process of the engine is left";
        for (pid_t p : testsupport::ProcesosEnCarpeta(carpeta)) ::kill(p, SIGKILL);
    }
}

}  // namespace
