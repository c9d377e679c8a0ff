// The one writer of files: a write that cannot be done whole, whichever way it writes,
// leaves every byte of the file as it was, and no other file beside it. (What it does
// with FIFOs, devices, folders and links is tested through the program's own files.)
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

}  // namespace
