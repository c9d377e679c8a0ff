// The viewer the desktop's opener leaves behind, in a process that reaps its
// descendants' orphans: once the user has closed it, nothing of it waits to be reaped.
#include "platform/Escritorio.h"

#include "platform/Huerfanos.h"

#include "child_process.h"
#include "procesos.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

TEST(Escritorio, AViewerTheOpenerLeftIsReapedOnceTheUserClosesIt) {
    ASSERT_TRUE(huerfanos::Adoptar());
    struct Fila {
        const char* como;   // how the viewer leaves the opener
        const char* guion;  // the opener, which writes the viewer's pid to "$1"
    };
    const Fila filas[] = {
        // up and running when the opener returns, as a viewer the user then closes
        {"in a session of its own",
         "setsid sleep 600 & v=$!\n"
         "until grep -q '^sleep$' /proc/$v/comm && grep -qa PATH= /proc/$v/environ\n"
         "do :; done; echo $v > \"$1\"\n"},
        {"in the opener's group, after the opener", "(sleep 1; sleep 600 & echo $! > \"$1\") &\n"},
    };
    testsupport::TempDir dir;
    qputenv("PATH", QByteArray::fromStdString(dir.path()) + ":" + qgetenv("PATH"));
    for (const Fila& f : filas) {
        dir.write("xdg-open", std::string("#!/bin/sh\n") + f.guion);
        QFile::setPermissions(QString::fromStdString(dir.file("xdg-open")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        escritorio::Abrir(QString::fromStdString(dir.file(f.como)), nullptr);
        pid_t visor = 0;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                visor = pid_t(std::atoi(dir.read(f.como).c_str()));
                const auto hijos = testsupport::HijosVivos(::getpid());
                return visor > 0 && std::find(hijos.begin(), hijos.end(), visor) != hijos.end() &&
                       QCoreApplication::instance()->findChildren<QProcess*>().isEmpty();
            },
            20000))
            << f.como;
        ::kill(visor, SIGTERM);
        // Only this process can reap its child: the pid is gone once it has.
        const bool recogido = QTest::qWaitFor(
            [&] { return ::kill(visor, 0) != 0 && testsupport::HijosZombis(::getpid()).empty(); }, 20000);
        EXPECT_TRUE(recogido) << f.como;
        if (!recogido) ::kill(visor, SIGKILL);
    }
}

}  // namespace
