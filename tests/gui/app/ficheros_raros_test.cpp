// A start and an exit with something other than a good file where the program's own
// files should be (a FIFO, a device, a folder, a link, a full disk): start-up never
// waits on one, none is replaced by a regular file or loses a byte, and a file the
// program cannot use is told as the program tells that file missing or unwritable.
// Each case starts the program afresh, so each runs as a test of its own.
#include "entorno.h"

#include "app/Variables.h"
#include "ficheros_raros.h"
#include "shell/Mdi.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <memory>

namespace {

using testsupport::Clase;
using Vigia = std::unique_ptr<testsupport::VigiaFifo>;

std::string Nativa(const QString& ruta) { return QFile::encodeName(ruta).toStdString(); }

struct CasoRaro {
    const char* nombre;
    const char* fichero;  // in the program folder
    // Puts the odd file there (a FIFO is watched); false when the system does not let
    // the test make it.
    std::function<bool(Entorno&, Vigia&)> poner;
    const char* clase;    // what stands there before and after (testsupport::Clase)
    int estado;           // how the start and exit end
    const char* mensaje;  // part of a message shown ("" none looked for)
    long sitio = -1;      // the bytes a file may take on the disk (-1 room enough)
};

// What `hacer` makes at `destino`, with `nombre` a link to it (the file there first
// removed with `quitar`).
using Hacer = std::function<bool(const QString&, Vigia&)>;
std::function<bool(Entorno&, Vigia&)> Enlazado(const char* nombre, const char* destino, Hacer hacer, bool quitar) {
    return [=](Entorno& e, Vigia& v) {
        if (quitar) QFile::remove(e.Ruta(nombre));
        return hacer(e.Ruta(destino), v) && QFile::link(e.Ruta(destino), e.Ruta(nombre));
    };
}
std::function<bool(Entorno&, Vigia&)> En(const char* nombre, Hacer hacer) {
    return [=](Entorno& e, Vigia& v) {
        QFile::remove(e.Ruta(nombre));
        return hacer(e.Ruta(nombre), v);
    };
}
bool FifoEn(const QString& d, Vigia& v) {
    v = std::make_unique<testsupport::VigiaFifo>(Nativa(d));
    return v->Hecha();
}
bool NodoEn(const QString& d, Vigia&) { return testsupport::NodoNulo(Nativa(d)); }
bool CarpetaEn(const QString& d, Vigia&) { return QDir().mkpath(d); }
std::function<bool(Entorno&, Vigia&)> Fifo(const char* nombre) { return En(nombre, FifoEn); }

const char* const kNoEncontrado = "El fichero Default.ini no se ha encontrado.";

const CasoRaro kCasos[] = {
    {"DefaultIniAFifo", "Default.ini", Fifo("Default.ini"), "p", 1, kNoEncontrado},
    {"DefaultIniALinkToAFifo", "Default.ini", Enlazado("Default.ini", "fifo", FifoEn, true), "l:p", 1, kNoEncontrado},
    {"DefaultIniALinkToADevice", "Default.ini", Enlazado("Default.ini", "nulo", NodoEn, true), "l:c", 1, kNoEncontrado},
    {"DefaultIniAFolder", "Default.ini", En("Default.ini", CarpetaEn), "d", 1, kNoEncontrado},
    {"DefaultIniALinkInALoop", "Default.ini",
     [](Entorno& e, Vigia&) {
         QFile::remove(e.Ruta("Default.ini"));
         return QFile::link(e.Ruta("Default.ini"), e.Ruta("otro.ini")) &&
                QFile::link(e.Ruta("otro.ini"), e.Ruta("Default.ini"));
     },
     "l:-", 1, kNoEncontrado},
    {"DefaultIniALinkToAGoodFile", "Default.ini",
     [](Entorno& e, Vigia&) {
         return QFile::rename(e.Ruta("Default.ini"), e.Ruta("guardado.ini")) &&
                QFile::link(e.Ruta("guardado.ini"), e.Ruta("Default.ini"));
     },
     "l:f", 0, ""},
    {"PuntuacionDatAFifo", "Puntuacion.dat", Fifo("Puntuacion.dat"), "p", 0, "Puntuacion.dat"},
    {"PuntuacionDatALinkToADevice", "Puntuacion.dat", Enlazado("Puntuacion.dat", "nulo", NodoEn, false), "l:c", 0,
     "Puntuacion.dat"},
    {"PuntuacionDatALinkToAFifo", "Puntuacion.dat", Enlazado("Puntuacion.dat", "fifo", FifoEn, false), "l:p", 0,
     "Puntuacion.dat"},
    {"PuntuacionDatAFolder", "Puntuacion.dat", En("Puntuacion.dat", CarpetaEn), "d", 0, "Puntuacion.dat"},
    {"ASkinPictureAFifo", "apariencias/marmol/peonb.png",
     [](Entorno& e, Vigia& v) {
         e.Poner("Configuracion", "Apariencia", "marmol");
         return Fifo("apariencias/marmol/peonb.png")(e, v);
     },
     "p", 0, ""},
    {"ALanguageFileAFifo", "Zz.lng", Fifo("Zz.lng"), "p", 0, ""},
    // The start writes settings before the language is read (then silently) and after.
    {"TheProgramFolderOnAFullDisk", "Default.ini",
     [](Entorno& e, Vigia&) {
         e.Poner("Configuracion", "PointClick", "1");
         e.Escribir("Puntuacion.dat", QByteArray("\x03\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\0\0\x4c\x04\0\0", 20));
         return true;
     },
     "f", 0, "Default.ini", 0},
};

void PrintTo(const CasoRaro& c, std::ostream* os) { *os << c.nombre; }

class ProgramFiles : public ::testing::TestWithParam<CasoRaro> {};

TEST_P(ProgramFiles, NeitherWaitedOnNorReplaced) {
    const CasoRaro& c = GetParam();
    Entorno e;
    Vigia vigia;
    if (!c.poner(e, vigia)) GTEST_SKIP() << "the system does not let the test make it here";
    const std::string ruta = Nativa(e.Ruta(c.fichero));
    ASSERT_EQ(Clase(ruta), c.clase);
    // On the full disk (where the files are good ones) every byte stays.
    QByteArray ajustes, puntuacion;
    std::unique_ptr<testsupport::DiscoLleno> lleno;
    if (c.sitio >= 0) {
        ajustes = e.Contenido("Default.ini");
        puntuacion = e.Contenido("Puntuacion.dat");
        lleno = std::make_unique<testsupport::DiscoLleno>(rlim_t(c.sitio));
    }
    const int estado = Estado([&e] {
        e.Arrancar();
        ::Mdi().Unload();
    });
    lleno.reset();
    EXPECT_EQ(estado, c.estado);
    EXPECT_EQ(Clase(ruta), c.clase);
    if (vigia) {
        EXPECT_FALSE(vigia->Abierta()) << "opened and waited on";
    }
    if (*c.mensaje) {
        EXPECT_GE(e.Contar(QString::fromUtf8(c.mensaje)), 1) << e.mensajes.size() << " messages";
    }
    if (c.sitio >= 0) {
        EXPECT_EQ(e.Contenido("Default.ini"), ajustes);
        EXPECT_EQ(e.Contenido("Puntuacion.dat"), puntuacion);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramFiles, ::testing::ValuesIn(kCasos),
                         [](const ::testing::TestParamInfo<CasoRaro>& i) { return std::string(i.param.nombre); });

}  // namespace
