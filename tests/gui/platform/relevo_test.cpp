// The stdio relay against the test engine: lines as the program writes them (split
// writes, CR LF, CR alone, standard error, a last line without line end, bytes that are
// not UTF-8, a line too long), a program that floods while a handler waits, the end
// event, writes, and stopping a program that resists or has a child of its own.
#include "platform/Relevo.h"

#include "platform/Huerfanos.h"

#include "child_process.h"
#include "procesos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <signal.h>

namespace {

bool GrupoVivo(pid_t grupo) { return grupo > 0 && !testsupport::ProcesosDelGrupo(grupo).empty(); }

// A relay on a copy of the test engine in a folder of its own, with what it raised.
struct Banco {
    Banco() {
        carpeta = QString::fromStdString(dir.path()) + "/Motor de prueba";
        QDir().mkpath(carpeta);
        programa = carpeta + "/motor";
        QFile::link(MOTOR_PRUEBA, programa);
        r = new Relevo;
        QObject::connect(r, &Relevo::DatoRecibido, [this](const QString& t) { eventos << "out:" + t; });
        QObject::connect(r, &Relevo::ErrorRecibido, [this](const QString& t) { eventos << "err:" + t; });
        QObject::connect(r, &Relevo::ProcesoTerminado, [this] { eventos << "fin"; });
    }
    ~Banco() { delete r; }
    bool Esperar(const QString& evento, int ms = 5000) {
        return QTest::qWaitFor([&] { return eventos.contains(evento); }, ms);
    }
    testsupport::TempDir dir;
    QString carpeta, programa;
    QPointer<Relevo> r;
    QStringList eventos;
};

TEST(Relevo, LinesComeOnePerEventAsTheProgramWritesThem) {
    Banco b;
    ASSERT_TRUE(b.r->Ejecutar(b.programa));
    b.r->EnviarDato("eco uno\r\neco_crlf dos\r\n");  // CR LF inside and at the end of a write
    b.r->EnviarDato("trozos tres");                  // written a character at a time
    b.r->EnviarDato("error cuatro");
    b.r->EnviarDato("latin1");
    b.r->EnviarDato("cwd");
    ASSERT_TRUE(b.Esperar("err:cuatro"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.eventos.size() >= 6; }, 5000));
    EXPECT_EQ(b.eventos.mid(0, 3), (QStringList{"out:uno", "out:dos", "out:tres"}));
    EXPECT_TRUE(b.eventos.contains(QString::fromUtf8("out:café")));
    // The program runs in its own folder.
    EXPECT_TRUE(b.eventos.contains("out:" + QFileInfo(b.carpeta).canonicalFilePath()) ||
                b.eventos.contains("out:" + b.carpeta))
        << b.eventos.join(" | ").toStdString();
    // Nothing but what was asked: no empty line from the write that ended in CR LF.
    EXPECT_FALSE(b.eventos.contains("out:"));
    QFile registro(b.carpeta + "/registro.txt");
    ASSERT_TRUE(registro.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(registro.readAll()), "eco uno\neco_crlf dos\ntrozos tres\nerror cuatro\nlatin1\ncwd\n");
}

TEST(Relevo, CrLfLfAndCrAloneEachEndOneLine) {
    Banco b;
    ASSERT_TRUE(b.r->Ejecutar(b.programa));
    b.r->EnviarDato("eco_cr uno");
    b.r->EnviarDato("eco_cr");            // an empty line
    b.r->EnviarDato("cr_lf_aparte dos");  // CR LF split between two reads
    b.r->EnviarDato("eco_crlf tres");
    b.r->EnviarDato("eco cuatro");
    ASSERT_TRUE(b.Esperar("out:cuatro"));
    EXPECT_EQ(b.eventos, (QStringList{"out:uno", "out:", "out:dos", "out:tres", "out:cuatro"}));
}

TEST(Relevo, WhileAHandlerWaitsTheProgramWaitsOnItsWritesAndTheLinesWaitingComeInSlices) {
    Banco b;
    ASSERT_TRUE(b.r->Ejecutar(b.programa));
    const pid_t pid = b.r->Pid();
    long long escrito = -1;
    int lineas = 0, seguidas = 0, masSeguidas = 0;
    QObject::connect(b.r, &Relevo::DatoRecibido, [&](const QString&) {
        ++lineas;
        masSeguidas = std::max(masSeguidas, ++seguidas);
        if (lineas != 1) return;
        // A message box's loop, open until the program waits on the pipe for good (or
        // has written far more than a pipe holds).
        testsupport::Escritor programa(pid);
        (void)QTest::qWaitFor([&] { return programa.Parado(500) || programa.Escrito() > (16 << 20); }, 20000);
        escrito = programa.Escrito();
    });
    // Counts the lines handed over between two turns of the event loop.
    QTimer vuelta;
    QObject::connect(&vuelta, &QTimer::timeout, [&] { seguidas = 0; });
    vuelta.start(0);
    b.r->EnviarDato("inundar_sin_fin 20");
    ASSERT_TRUE(QTest::qWaitFor([&] { return lineas > 20000; }, 30000));
    EXPECT_GE(escrito, 0);
    EXPECT_LT(escrito, 4 << 20) << "the program went on writing while the handler waited";
    EXPECT_LE(masSeguidas, 1000) << "the event loop waited for " << masSeguidas << " lines";
}

TEST(Relevo, TheLastLineWithoutEndComesBeforeTheEndEvent) {
    Banco b;
    ASSERT_TRUE(b.r->Ejecutar(b.programa));
    b.r->EnviarDato("eco antes");
    b.r->EnviarDato("sin_fin ultima");
    ASSERT_TRUE(b.Esperar("fin"));
    EXPECT_EQ(b.eventos, (QStringList{"out:antes", "out:ultima", "fin"}));
    EXPECT_FALSE(b.r->Ejecutando());
    // A write to a program that has gone is dropped.
    b.r->EnviarDato("eco nadie");
    QCoreApplication::processEvents();  // whatever the write raised has been handed over
    EXPECT_EQ(b.eventos.size(), 3);
}

TEST(Relevo, TheEndSaysWhetherTheProgramExitedOrASignalEndedIt) {
    struct Fila {
        const char* orden;
        int senal, estado;
    };
    for (const Fila& f :
         {Fila{"salir 3", 0, 3}, Fila{"salir 0", 0, 0}, Fila{"senal 11", SIGSEGV, 0}, Fila{"senal 6", SIGABRT, 0}}) {
        Banco b;
        ASSERT_TRUE(b.r->Ejecutar(b.programa));
        EXPECT_EQ(b.r->SenalFin(), 0);
        b.r->EnviarDato(f.orden);
        ASSERT_TRUE(b.Esperar("fin")) << f.orden;
        EXPECT_EQ(b.r->SenalFin(), f.senal) << f.orden;
        EXPECT_EQ(b.r->EstadoFin(), f.estado) << f.orden;
    }
}

TEST(Relevo, ALongLineIsCutAndTheNextOneArrivesWhole) {
    Banco b;
    ASSERT_TRUE(b.r->Ejecutar(b.programa));
    b.r->EnviarDato("larga 200000");
    ASSERT_TRUE(b.Esperar("out:fin"));
    ASSERT_EQ(b.eventos.size(), 2);
    EXPECT_EQ(b.eventos[0].size(), 4 + Relevo::kLineaMaxima);
}

TEST(Relevo, AStartThatFailsSaysSoAndWritesGoNowhere) {
    Banco b;
    EXPECT_FALSE(b.r->Ejecutar(b.carpeta + "/no-existe"));
    QFile datos(b.carpeta + "/datos.exe");
    ASSERT_TRUE(datos.open(QIODevice::WriteOnly));
    datos.close();
    EXPECT_FALSE(b.r->Ejecutar(b.carpeta + "/datos.exe"));
    b.r->EnviarDato("eco nada");
    b.r->Detener();
    QCoreApplication::processEvents();
    EXPECT_TRUE(b.eventos.isEmpty());
    EXPECT_EQ(b.r->Pid(), 0);
}

TEST(Relevo, StopEndsAProgramThatIgnoresSigtermAndItsChildWithoutWaiting) {
    Banco b;
    ASSERT_TRUE(b.r->Ejecutar(b.programa));
    const pid_t grupo = b.r->Pid();
    b.r->EnviarDato("ignorar_term");
    b.r->EnviarDato("nieto");
    b.r->EnviarDato("pid");
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.eventos.size() >= 3; }, 5000));
    EXPECT_EQ(b.eventos[2], QString("out:pid %1 %1").arg(grupo));
    b.r->Detener();
    // The caller is not held: the program that ignores SIGTERM is still there when
    // Detener returns, and the relay's own timers end it afterwards.
    EXPECT_TRUE(GrupoVivo(grupo));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !b.r->Ejecutando() && !GrupoVivo(grupo); }, 30000));
    // After Detener nothing is raised, not even the end.
    EXPECT_EQ(b.eventos.size(), 3);
}

TEST(Relevo, ARelayLetGoInsideItsOwnEventIsDeletedLaterAndEndsItsProgram) {
    Banco b;
    ASSERT_TRUE(b.r->Ejecutar(b.programa));
    const pid_t grupo = b.r->Pid();
    QObject::connect(b.r, &Relevo::DatoRecibido, [&b](const QString& t) {
        if (t == "suelta") b.r->Liberar();
    });
    b.r->EnviarDato("eco suelta\r\neco despues");
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.r.isNull(); }, 5000));
    EXPECT_EQ(b.eventos, QStringList{"out:suelta"});
    EXPECT_FALSE(GrupoVivo(grupo));
}

TEST(Relevo, AHandlerThatWaitsInANestedLoopIsNotEnteredAgain) {
    Banco b;
    ASSERT_TRUE(b.r->Ejecutar(b.programa));
    const pid_t grupo = b.r->Pid();
    int dentro = 0, maximo = 0;
    QStringList orden;
    QObject::connect(b.r, &Relevo::DatoRecibido, [&](const QString& t) {
        ++dentro;
        maximo = std::max(maximo, dentro);
        orden << t;
        if (t == "caja") {
            // A message box's loop, which lasts until the program has written its next
            // line and ended.
            b.r->EnviarDato("eco luego\r\nsalir 0");
            EXPECT_TRUE(QTest::qWaitFor([&] { return !GrupoVivo(grupo); }, 30000));
        }
        --dentro;
    });
    b.r->EnviarDato("eco caja");
    ASSERT_TRUE(b.Esperar("fin"));
    EXPECT_EQ(maximo, 1);
    EXPECT_EQ(orden, (QStringList{"caja", "luego"}));
    EXPECT_EQ(b.eventos.last(), "fin");
}

TEST(Relevo, AtTheProgramsEndEveryProgramIsEnded) {
    Banco b;
    ASSERT_TRUE(b.r->Ejecutar(b.programa));
    const pid_t grupo = b.r->Pid();
    b.r->EnviarDato("ignorar_term\r\nnieto");
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.eventos.size() >= 2; }, 5000));
    Relevo::TerminarTodos();
    EXPECT_FALSE(b.r->Ejecutando());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !GrupoVivo(grupo); }, 2000));
}

TEST(Relevo, NothingTheProgramLeavesInASessionOfItsOwnOutlivesItsStopOrTheProgramsEnd) {
    ASSERT_TRUE(huerfanos::Adoptar());
    struct Fila {
        const char* ajuste;  // the test engine's setting
        bool alFinal;        // ended by the program's end, else by Detener
    };
    // "escapa": what the engine left has dropped the relay's mark.
    const Fila filas[] = {{"demonio", false}, {"sesion", false}, {"escapa", false}, {"demonio", true},
                          {"sesion", true},   {"escapa", true},  {"", false}};
    for (const Fila& f : filas) {
        Banco b;
        QFile cfg(b.carpeta + "/prueba.cfg");
        ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
        cfg.write(QByteArray(f.ajuste) + "\n");
        cfg.close();
        const std::string carpeta = QFileInfo(b.carpeta).canonicalFilePath().toStdString();
        ASSERT_TRUE(b.r->Ejecutar(b.programa));
        b.r->EnviarDato("eco listo");
        ASSERT_TRUE(b.Esperar("out:listo"));
        b.r->EnviarDato("quit");
        if (f.alFinal)
            Relevo::TerminarTodos();
        else
            b.r->Detener();
        // Nothing runs in the engine's folder any more, and nothing is left unreaped.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return testsupport::ProcesosEnCarpeta(carpeta).empty() && testsupport::HijosZombis(getpid()).empty();
            },
            5000))
            << f.ajuste << (f.alFinal ? " at the end" : " on stop");
        for (pid_t p : testsupport::ProcesosEnCarpeta(carpeta)) ::kill(p, SIGKILL);
    }
}

}  // namespace
