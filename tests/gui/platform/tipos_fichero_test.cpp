// File-type registration under the user's XDG data folder.
#include "platform/IniFile.h"
#include "platform/TiposFichero.h"

#include "child_process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <optional>

namespace {

class Registro : public ::testing::Test {
protected:
    void SetUp() override {
        datos = QString::fromStdString(dir.path()) + "/datos";
        qputenv("XDG_DATA_HOME", datos.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (QString::fromStdString(dir.path()) + "/config").toLocal8Bit());
    }
    QString Texto(const QString& ruta) const {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    testsupport::TempDir dir;
    QString datos;
};

TEST_F(Registro, WritesThePackageTheEntryAndTheDefaultForEachType) {
    QImage icono(16, 16, QImage::Format_ARGB32);
    icono.fill(Qt::red);
    const QString programa = "/opt/tavorin/tavorin";
    ASSERT_TRUE(tiposfichero::Registrar({".tvp", tiposfichero::MimeDe(".tvp"), "Tavorin", icono}, programa));
    ASSERT_TRUE(tiposfichero::Registrar({".pgn", tiposfichero::MimeDe(".pgn"), "Tavorin", QImage()}, programa));

    QString paquete = Texto(datos + "/mime/packages/tavorin-tvp.xml");
    EXPECT_TRUE(paquete.contains("type=\"application/x-tavorin-tvp\""));
    EXPECT_TRUE(paquete.contains("<glob pattern=\"*.tvp\"/>"));
    EXPECT_TRUE(QFileInfo::exists(datos + "/icons/hicolor/48x48/mimetypes/application-x-tavorin-tvp.png"));

    const QString entrada = datos + "/applications/tavorin.desktop";
    EXPECT_EQ(ini::Leer(entrada, "Desktop Entry", "Exec"), "/opt/tavorin/tavorin %f");
    EXPECT_EQ(ini::Leer(entrada, "Desktop Entry", "MimeType"), "application/x-tavorin-tvp;application/x-chess-pgn;");
    const QString lista = datos + "/applications/mimeapps.list";
    EXPECT_EQ(ini::Leer(lista, "Default Applications", "application/x-chess-pgn"), "tavorin.desktop;");
    EXPECT_EQ(ini::Leer(lista, "Default Applications", "application/x-tavorin-tvp"), "tavorin.desktop;");
}

TEST_F(Registro, KeepsOtherApplicationsAssociations) {
    QDir().mkpath(datos + "/applications");
    QFile f(datos + "/applications/mimeapps.list");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Added Associations]\napplication/x-chess-epd=otro.desktop;\n");
    f.close();
    ASSERT_TRUE(tiposfichero::Registrar({".epd", tiposfichero::MimeDe(".epd"), "Tavorin", QImage()}, "/t/tavorin"));
    EXPECT_EQ(ini::Leer(datos + "/applications/mimeapps.list", "Added Associations", "application/x-chess-epd"),
              "tavorin.desktop;otro.desktop;");
}

TEST_F(Registro, FailsWhenTheDataFolderCannotBeWritten) {
    // A plain file where the data folder should be.
    QFile f(datos);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QString fallo;
    EXPECT_FALSE(
        tiposfichero::Registrar({".tvp", tiposfichero::MimeDe(".tvp"), "Tavorin", QImage()}, "/t/tavorin", &fallo));
    // What could not be written is named.
    EXPECT_EQ(fallo, datos + "/mime/packages");
}

TEST(LineaExec, QuotesAProgramPathOnlyWhenItMustAndRefusesWhatItCannotCarry) {
    struct Caso {
        QString programa;
        std::optional<QString> exec;
    };
    const Caso casos[] = {
        {"/opt/tavorin/tavorin", "/opt/tavorin/tavorin %f"},
        {"/home/ana/mis juegos/tavorin", "\"/home/ana/mis juegos/tavorin\" %f"},
        {"/a$b/100%/t", "\"/a\\\\$b/100%%/t\" %f"},
        {QString::fromUtf8("/juegos/\xF0\x9F\x8E\xB2/t"), QString::fromUtf8("/juegos/\xF0\x9F\x8E\xB2/t %f")},
        {"/p/Prog\nExec=touch /tmp/PWNED #/t", std::nullopt},
        {"/p/Prog\rExec=x/t", std::nullopt},
        {"/p/a\tb/t", std::nullopt},
        {"/p/a\x7f/t", std::nullopt},
        {QString::fromUtf8("/p/x\xEF\xBF\xBD/t"), std::nullopt},  // a byte that was no UTF-8
        {"/p/x" + QString(QChar(0xDCFF)) + "/t", std::nullopt},   // the same, kept
    };
    for (const Caso& c : casos) EXPECT_EQ(tiposfichero::LineaExec(c.programa), c.exec) << c.programa.toStdString();
}

TEST_F(Registro, AProgramPathTheDesktopEntryCannotCarryRegistersNothing) {
    const tiposfichero::Tipo pgn{".pgn", tiposfichero::MimeDe(".pgn"), "Tavorin", QImage()};
    ASSERT_TRUE(tiposfichero::Registrar({".tvp", tiposfichero::MimeDe(".tvp"), "Tavorin", QImage()}, "/t/tavorin"));
    const QString entrada = datos + "/applications/tavorin.desktop";
    const QString antes = Texto(entrada);
    for (const char* carpeta : {"/p/Prog\nExec=touch /tmp/PWNED #", "/p/Prog\rExec=touch /tmp/PWNED"}) {
        QString fallo;
        EXPECT_FALSE(tiposfichero::Registrar(pgn, QString(carpeta) + "/tavorin", &fallo));
        EXPECT_EQ(fallo, entrada);
        EXPECT_EQ(Texto(entrada), antes);
    }
    EXPECT_FALSE(QFileInfo::exists(datos + "/mime/packages/tavorin-pgn.xml"));
}

TEST_F(Registro, TheDesktopNamesTavorinAsDefault) {
    const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
    if (xdgMime.isEmpty()) GTEST_SKIP() << "xdg-mime is not installed";
    const QString programa = QStandardPaths::findExecutable("true");
    ASSERT_TRUE(tiposfichero::Registrar({".pgn", tiposfichero::MimeDe(".pgn"), "Tavorin", QImage()}, programa));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("XDG_CURRENT_DESKTOP");
    env.remove("KDE_FULL_SESSION");
    env.remove("DESKTOP_SESSION");
    p.setProcessEnvironment(env);
    p.start(xdgMime, {"query", "default", "application/x-chess-pgn"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), "tavorin.desktop");
}

}  // namespace
