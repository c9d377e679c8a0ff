// The exit sequence by the state it finds: engines stopped, an open options dialog
// applied, a connection that must close first (the program stays, nothing written),
// what is and is not stored.
#include "entorno.h"

#include "app/Opciones.h"
#include "app/Variables.h"
#include "engines/Cpu.h"
#include "files/ListaPgn.h"
#include "network/Nuevo.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

struct Caso {
    const char* nombre;
    std::function<void(Entorno&)> preparar;
    bool termina;        // the program ends
    std::string vistos;  // the message texts shown, "|" between
    std::function<std::string(Entorno&)> resultado;
    std::string esperado;
};

// A game of that type under way, with or without a peer.
void Jugando(std::string tipo) {
    Reglas().Turno = 1;
    Reglas().TipoPartida = std::move(tipo);
}
void Conectar(std::string tipo) {
    Reglas().Conectado = true;
    Jugando(std::move(tipo));
}

std::string Pendiente(Entorno&) { return QString(SalirPendiente ? "pending" : "not pending").toStdString(); }

std::string Vistos(const Entorno& e) {
    QStringList v;
    for (const auto& m : e.mensajes) v << m.texto;
    return v.join(u'|').toStdString();
}

void SinNada() {
    auto& g = Reglas();
    g.Conectado = false;
    g.TipoPartida.clear();
    g.Turno = 0;
    SalirPendiente = false;
    for (Forma* f : std::initializer_list<Forma*>{&Cpu(), &ListaPgn(), &Opciones()}) f->Hide();
    Mdi().FijarEstadoVentana(forms::Mdi::EstadoVentana::Normal);
}

TEST(SalidaPorEstado, TheExitSequenceByTheStateItFinds) {
    auto clave = [](const char* seccion, const char* nombre) {
        return [seccion, nombre](Entorno& e) { return e.Leer(seccion, nombre).toStdString(); };
    };
    const Caso casos[] = {
        {"rated game, No to the disconnect question", [](Entorno&) { Conectar("R"); }, false, "53", Pendiente,
         "pending"},
        {"connected, the connection not closed yet", [](Entorno&) { Conectar("A"); }, false, "", Pendiente, "pending"},
        {"engine game",
         [](Entorno&) {
             Cpu().Show();
             Jugando("A");
         },
         true, "",
         [](Entorno&) {
             return QString("%1[%2]")
                 .arg(Reglas().Turno)
                 .arg(QString::fromStdString(Reglas().TipoPartida))
                 .toStdString();
         },
         "0[]"},
        {"options dialog open: applied as by its OK",
         [](Entorno&) {
             Opciones().Show();
             Opciones().Text1->setText("55");
         },
         true, "", clave("Configuracion", "Tamaño"), "55"},
        {"PGN browser open: the view switches stay as stored",
         [](Entorno&) {
             ListaPgn().Show();
             Mdi().mnuSonido->setChecked(!Mdi().mnuSonido->isChecked());
             Mdi().mnuMovimientos->setChecked(!Mdi().mnuMovimientos->isChecked());
         },
         true, "",
         [](Entorno& e) {
             return (e.Leer("Configuracion", "Sonido") + e.Leer("Configuracion", "Jugadas")).toStdString();
         },
         "11"},
        {"minutes box at 0: the stored minutes stay", [](Entorno&) { Nuevo().FijarMinutos("0"); }, true, "",
         clave("Configuracion", "Tiempo"), "10"},
        {"minimised: neither the state nor the place",
         [](Entorno& e) {
             e.Poner("Mdi", "Width", "9000");
             e.Poner("Mdi", "Windows", "5");
             Mdi().FijarEstadoVentana(forms::Mdi::EstadoVentana::Minimizada);
         },
         true, "", [](Entorno& e) { return (e.Leer("Mdi", "Width") + e.Leer("Mdi", "Windows")).toStdString(); },
         "90005"},
    };
    for (const Caso& c : casos) {
        Entorno e;
        e.Arrancar();
        SinNada();
        c.preparar(e);
        e.mensajes.clear();
        const QByteArray antes = e.Contenido("Default.ini");
        const int estado = Estado([] { Mdi().Unload(); });
        EXPECT_EQ(estado, c.termina ? 0 : -1) << c.nombre;
        std::string vistos = Vistos(e);
        if (vistos == TextosIdioma[53].toStdString()) vistos = "53";
        EXPECT_EQ(vistos, c.vistos) << c.nombre;
        EXPECT_EQ(c.resultado(e), c.esperado) << c.nombre;
        // A cancelled exit writes nothing.
        if (!c.termina) {
            EXPECT_EQ(e.Contenido("Default.ini"), antes) << c.nombre;
        }
        SinNada();
    }
}

// How many times a file of the folder was put in place (a whole write renames its
// temporary file onto it) since the watch began. The watch also sees the temporary
// files made, so that two renames in a row are not merged into one event.
int Reemplazos(int vigia, const char* nombre) {
    int n = 0;
    alignas(inotify_event) char buffer[64 * 1024];
    for (ssize_t leido; (leido = ::read(vigia, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + leido;) {
            const auto* ev = reinterpret_cast<const inotify_event*>(p);
            if ((ev->mask & IN_MOVED_TO) && ev->len && std::strcmp(ev->name, nombre) == 0) ++n;
            p += sizeof(inotify_event) + ev->len;
        }
    return n;
}

// The exit writes the settings in one write, and a start and an exit with the shipped
// Default.ini write it at most twice; every key the program does not own stays.
TEST(Salida, TheSettingsAreWrittenInOneWriteKeepingEveryKeyTheProgramDoesNotOwn) {
    Entorno e;
    e.Poner("OtroPrograma", "Ruta", "/home/ana/x");
    e.Poner("Configuracion", "Ajena", "7");
    const int vigia = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(vigia, 0);
    ASSERT_GE(::inotify_add_watch(vigia, e.Carpeta().toLocal8Bit().constData(), IN_CREATE | IN_MOVED_TO), 0);
    e.Arrancar();
    const int alArrancar = Reemplazos(vigia, "Default.ini");
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    const int alSalir = Reemplazos(vigia, "Default.ini");
    ::close(vigia);
    EXPECT_EQ(alSalir, 1);
    EXPECT_LE(alArrancar + alSalir, 2);
    EXPECT_EQ(e.Leer("OtroPrograma", "Ruta"), "/home/ana/x");
    EXPECT_EQ(e.Leer("Configuracion", "Ajena"), "7");
    EXPECT_EQ(e.Leer("Configuracion", "Nick"), "Ana");
}

}  // namespace
