// The tests of Tavorin's windows run with an application object, offscreen unless
// another platform is asked for.
#include "app/Variables.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    IniciarRecursos();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
