// The dialogs and forms with an OK and a Cancel from the keyboard: each opens with its
// first field in focus, Esc is Cancel and Enter is OK.
#include "entorno.h"

#include "app/ColorRgb.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "engines/FormLevel2.h"
#include "files/ListaPgn.h"
#include "files/SetTableroF.h"
#include "network/Conexion.h"
#include "network/Nuevo.h"
#include "rules/variables.h"
#include "shell/Mdi.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string Foco() {
    const QWidget* w = QApplication::focusWidget();
    return w ? w->objectName().toStdString() : std::string();
}

TEST(Teclado, EachDialogOpensOnItsFirstFieldEscCancelsAndEnterAccepts) {
    Entorno e;
    e.Arrancar();
    const QString pgn = e.Ruta("guardada.pgn");
    struct Caso {
        const char* nombre;
        std::function<Forma*()> abrir;  // marks the state, then opens the form
        const char* campo;
        std::function<bool()> aceptado;  // OK ran, not Cancel (nothing when both only close)
    };
    auto clave = [&](const char* k) { return e.Leer("Configuracion", k); };
    // clang-format off
    const Caso casos[] = {
        {"options", [&] { e.Poner("Configuracion", "Check1", "7"); Mdi().mnuOpciones_Click(); return &Opciones(); },
         "Combo1", [&] { return clave("Check1") == "1"; }},
        {"level", [] { ComandoNivel.clear(); FormLevel2().Show(); return &FormLevel2(); },
         "Option1_0", [] { return !ComandoNivel.isEmpty(); }},
        {"colours", [&] { e.Poner("Configuracion", "Fondo", "7"); Mdi().mnuRgb_Click(); return &ColorRgb(); },
         "Txt_RGB_0", [&] { return clave("Fondo") == "1"; }},
        {"new game", [] { NuevoPendiente = true; Nuevo().Show(); return &Nuevo(); },
         "Option1", [] { return NuevoPendiente; }},
        {"connect", [] { Conexion().Show(); return &Conexion(); }, "Ip", nullptr},
        {"set-up", [] { Mdi().mnuSetTablero_Click(); return &SetTableroF(); },
         "Option1", [] { return Reglas().Turno == turno::Blancas; }},
        {"PGN save", [&] { QFile::remove(pgn); FicheroPendiente = pgn; GuardandoPgn = true; ListaPgn().Show();
                           return &ListaPgn(); },
         "Text1_0", [&] { return QFile::exists(pgn); }},
    };
    // clang-format on
    for (const Caso& c : casos) {
        for (const Qt::Key tecla : {Qt::Key_Escape, Qt::Key_Return}) {
            if (tecla == Qt::Key_Return && !c.aceptado) continue;
            Forma& f = *c.abrir();
            ASSERT_TRUE(f.Visible()) << c.nombre;
            // The window system gives the window the keyboard.
            QWidget* ventana = f.Marco()->window();
            QApplication::setActiveWindow(ventana);
            EXPECT_EQ(Foco(), c.campo) << c.nombre;
            QTest::keyClick(QApplication::focusWidget(), tecla);
            EXPECT_FALSE(f.Visible()) << c.nombre << " " << tecla;
            if (c.aceptado) {
                EXPECT_EQ(c.aceptado(), tecla == Qt::Key_Return) << c.nombre << " " << tecla;
            }
        }
    }
}

}  // namespace
