// The one writer and reader of files: a write that cannot be done whole leaves every
// byte of the file as it was (and no other file beside it), and nothing but a regular
// file is written or opened.
#include "platform/Ficheros.h"

#include "child_process.h"
#include "ficheros_raros.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>

namespace {

using ficheros::Escrito;

QByteArray Bytes(const std::string& ruta) {
    QFile f(QString::fromStdString(ruta));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

QStringList Entradas(const std::string& carpeta) {
    return QDir(QString::fromStdString(carpeta)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(Ficheros, AWriteThatCannotBeDoneWholeKeepsEveryByte) {
    const QByteArray viejo = QByteArray(6000, 'v') + "fin";
    const QByteArray nuevo = QByteArray(9000, 'n');
    // A write needs room up to the last byte it writes.
    const struct {
        const char* nombre;
        QByteArray datos;
        std::function<Escrito(const QString&, const QByteArray&)> escribir;
        QByteArray escrito;  // the file once written
        bool cerrada;        // in a folder that lets no new file in
    } escritores[] = {
        {"whole", nuevo, [](const QString& r, const QByteArray& b) { return ficheros::Escribir(r, b); }, nuevo, false},
        {"its start in place", "primeros", ficheros::EscribirPrincipio, "primeros" + viejo.mid(8), false},
        {"its start, growing it", nuevo, ficheros::EscribirPrincipio, nuevo, false},
        {"whole, in place in a closed folder", "corto",
         [](const QString& r, const QByteArray& b) { return ficheros::Escribir(r, b, true); }, "corto", true},
    };
    for (const auto& w : escritores) {
        if (w.cerrada && ::geteuid() == 0) {
            std::printf("[ SKIPPED ] %s: folder permissions do not bind root\n", w.nombre);
            continue;
        }
        for (rlim_t sitio : {rlim_t(0), rlim_t(1), rlim_t(4095), rlim_t(4096), rlim_t(8999), rlim_t(1) << 40}) {
            SCOPED_TRACE(std::string(w.nombre) + ", room for " + std::to_string(sitio) + " bytes");
            testsupport::TempDir d;
            d.write("f", viejo.toStdString());
            if (w.cerrada) ::chmod(d.path().c_str(), 0555);
            const bool cabe = sitio >= rlim_t(w.datos.size());
            Escrito e;
            {
                testsupport::DiscoLleno lleno(sitio);
                e = w.escribir(QString::fromStdString(d.file("f")), w.datos);
            }
            ::chmod(d.path().c_str(), 0755);
            EXPECT_EQ(e, cabe ? Escrito::Hecho : Escrito::Fallido);
            EXPECT_EQ(Bytes(d.file("f")), cabe ? w.escrito : viejo);
            EXPECT_EQ(Entradas(d.path()), QStringList{"f"});
        }
    }
}

TEST(Ficheros, NothingButARegularFileIsWrittenOrOpened) {
    const struct {
        const char* nombre;
        std::function<bool(const testsupport::TempDir&)> hacer;  // makes "x"
        std::string clase;
    } casos[] = {
        {"FIFO", [](const auto& d) { return ::mkfifo(d.file("x").c_str(), 0644) == 0; }, "p"},
        {"device", [](const auto& d) { return testsupport::NodoNulo(d.file("x")); }, "c"},
        {"folder", [](const auto& d) { return QDir().mkdir(QString::fromStdString(d.file("x"))); }, "d"},
        {"link to a FIFO",
         [](const auto& d) {
             return ::mkfifo(d.file("p").c_str(), 0644) == 0 && ::symlink("p", d.file("x").c_str()) == 0;
         },
         "l:p"},
        {"link to a device",
         [](const auto& d) { return testsupport::NodoNulo(d.file("c")) && ::symlink("c", d.file("x").c_str()) == 0; },
         "l:c"},
        {"link to nothing", [](const auto& d) { return ::symlink("nada", d.file("x").c_str()) == 0; }, "l:-"},
        {"link in a loop",
         [](const auto& d) {
             return ::symlink("y", d.file("x").c_str()) == 0 && ::symlink("x", d.file("y").c_str()) == 0;
         },
         "l:-"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        testsupport::TempDir d;
        if (!c.hacer(d)) {
            std::printf("[ SKIPPED ] %s: the system does not let the test make it\n", c.nombre);
            continue;
        }
        const QString x = QString::fromStdString(d.file("x"));
        const QStringList antes = Entradas(d.path());
        EXPECT_EQ(ficheros::Destino(x), Escrito::NoRegular);
        EXPECT_EQ(ficheros::Escribir(x, "datos", true), Escrito::NoRegular);
        EXPECT_EQ(ficheros::EscribirPrincipio(x, "datos"), Escrito::NoRegular);
        QFile f;
        EXPECT_FALSE(ficheros::AbrirLectura(f, x));
        EXPECT_FALSE(ficheros::Leer(x));
        EXPECT_EQ(testsupport::Clase(d.file("x")), c.clase);
        EXPECT_EQ(Entradas(d.path()), antes);
    }
    // A link to a regular file is written through, and stays a link.
    testsupport::TempDir d;
    d.write("f", "viejo");
    ASSERT_EQ(::symlink("f", d.file("x").c_str()), 0);
    const QString x = QString::fromStdString(d.file("x"));
    EXPECT_EQ(ficheros::Escribir(x, "nuevo"), Escrito::Hecho);
    EXPECT_EQ(ficheros::EscribirPrincipio(x, "N"), Escrito::Hecho);
    EXPECT_EQ(testsupport::Clase(d.file("x")), "l:f");
    EXPECT_EQ(ficheros::Leer(x), QByteArray("Nuevo"));
    EXPECT_EQ(ficheros::Leer(x, 2), QByteArray("Nu"));
}

}  // namespace
