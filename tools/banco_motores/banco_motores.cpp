// Tavorin (offscreen) plays one engine game from a prepared program folder and tells
// how much of a core it used meanwhile. bench/motores_gui.sh prepares the folder and
// reads the engines' own records for the delays.
//
// Usage: banco_motores FOLDER WHITE BLACK LEVEL SECONDS [MOVES]
//   WHITE, BLACK  entries of the engine lists (folders under FOLDER/Motor)
//   LEVEL         the level command ("sd 2", "st 1", "level 0 1 0")
//   SECONDS       the longest the game may take; MOVES: stop after that many moves
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/Variables.h"
#include "engines/Cpu.h"
#include "engines/FormLevel2.h"
#include "shell/Arranque.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

double SegundosDeCpu() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    auto s = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return s(uso.ru_utime) + s(uso.ru_stime);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s FOLDER WHITE BLACK LEVEL SECONDS [MOVES]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    IniciarRecursos();
    const QString carpeta = QString::fromLocal8Bit(argv[1]);
    FijarCarpetaPrograma(carpeta);
    // A start that asks nothing.
    for (const char* clave : {"RegitTvp", "RegitPgn", "RegitEpd"})
        EscribirIni(carpeta + "/Default.ini", "Configuracion", clave, "1");
    EscribirIni(carpeta + "/Default.ini", "Configuracion", "Nick", "Banco");
    ResponderMensaje = [](const CMensaje& m) {
        std::printf("message: %s\n", m.TextoMensaje.toUtf8().constData());
        return m.BotonesMensaje == MB_YESNO ? IDNO : IDOK;
    };
    ResponderTexto = [](const QString&, const QString&) { return QString("Banco"); };
    Main();
    ::Mdi().mnuNuevaPartida->trigger();
    auto& cpu = ::Cpu();
    cpu.ActualizarCPU();
    cpu.SMotor1->setCurrentIndex(cpu.SMotor1->findText(argv[2]));
    cpu.SMotor2->setCurrentIndex(cpu.SMotor2->findText(argv[3]));
    ::FormLevel2().FijarOpcion(0);
    ComandoNivel = QString::fromLocal8Bit(argv[4]);
    const qint64 limite = QString(argv[5]).toLongLong() * 1000;
    const std::size_t jugadas = argc > 6 ? QString(argv[6]).toULongLong() : 0;
    cpu.Toolbar1[1]->trigger();
    cpu.Timer3_Timer();
    if (!Motor1.Activo || !Motor2.Activo) {
        std::printf("the engines did not start\n");
        return 1;
    }
    const double cpuAntes = SegundosDeCpu();
    QElapsedTimer reloj;
    reloj.start();
    auto& g = Reglas();
    // The event loop runs the game; a look every 20 ms tells when to stop.
    QEventLoop bucle;
    QTimer mirar;
    QObject::connect(&mirar, &QTimer::timeout, [&] {
        if (!(Motor1.Activo || Motor2.Activo) || reloj.elapsed() >= limite ||
            (jugadas != 0 && g.Jugadas.List1.size() >= jugadas))
            bucle.quit();
    });
    mirar.start(20);
    bucle.exec();
    const double cpuUsada = SegundosDeCpu() - cpuAntes;
    const double pared = double(reloj.elapsed()) / 1000.0;
    std::printf("moves %zu in %.1f s; Tavorin used %.2f s of CPU: %.1f%% of a core\n", g.Jugadas.List1.size(), pared,
                cpuUsada, pared > 0 ? 100.0 * cpuUsada / pared : 0.0);
    cpu.ToolboxComand(forms::OrdenPanel::Detener);
    Terminar(0);
}
