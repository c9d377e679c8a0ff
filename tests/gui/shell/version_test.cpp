// The new-version check: the version file's values, and the whole check from the
// help menu against a real HTTP server on 127.0.0.1 (python3's http.server): the
// question, the download, the answers, the failures.
#include "entorno.h"

#include "app/Variables.h"
#include "platform/Descarga.h"
#include "shell/Mdi.h"
#include "shell/Splash.h"
#include "shell/VersionDat.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

struct Caso {
    const char* contenido;
    QStringList valores;
    double version;
};

// Values split at commas and line ends outside double quotes; blanks round an
// unquoted value dropped; the final line end adds no value; the last value's
// leading number, "." as decimal point.
const Caso kCasos[] = {
    {"1.56", {"1.56"}, 1.56},
    {"1.55\r\n", {"1.55"}, 1.55},
    {"1.5\n", {"1.5"}, 1.5},
    {"", {}, 0},
    {"abc", {"abc"}, 0},
    {"1.54,1.60", {"1.54", "1.60"}, 1.60},
    {"1.54\n1.60\n", {"1.54", "1.60"}, 1.60},
    {"1.54\r\n1.60", {"1.54", "1.60"}, 1.60},
    {"\"1,60\"", {"1,60"}, 1},
    {"\"a,b\"\r\n\"1.7\"\r\n", {"a,b", "1.7"}, 1.7},
    {"  1.54 ,\t1.60  ", {"1.54", "1.60"}, 1.60},
    {"1.60,", {"1.60", ""}, 0},
    {"1.56beta", {"1.56beta"}, 1.56},
    {"\xEF\xBB\xBF"
     "1.60",
     {"1.60"},
     1.60},
    {"-2", {"-2"}, -2},
};

void ComprobarTabla(const char* donde) {
    for (const Caso& c : kCasos) {
        const QByteArray datos(c.contenido);
        EXPECT_EQ(ValoresVersionDat(datos), c.valores) << donde << ": " << c.contenido;
        EXPECT_DOUBLE_EQ(VersionDat(datos), c.version) << donde << ": " << c.contenido;
        EXPECT_EQ(VersionNueva(datos), c.version > 1.55) << donde << ": " << c.contenido;
    }
}

TEST(VersionDat, ValuesAndTheLastOnesNumber) { ComprobarTabla("C locale"); }

// A German locale writes 1,60 for 1.60: the file is read the same way.
TEST(VersionDat, TheDecimalPointIsAPointWhateverTheLocale) {
    testsupport::TempDir locales;
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        // The system has no German locale: one is compiled into a folder of the test's.
        QProcess localedef;
        localedef.start("localedef",
                        {"-i", "de_DE", "-f", "UTF-8", QString::fromStdString(locales.file("de_DE.UTF-8"))});
        ASSERT_TRUE(localedef.waitForFinished(60000));
        setenv("LOCPATH", locales.path().c_str(), 1);
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "no German locale (package locales)";
    }
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ComprobarTabla("German locale");
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
}

// python3 -m http.server on a free port of 127.0.0.1, serving a folder of its own.
class ServidorHttp {
public:
    ServidorHttp() {
        const QString python = QStandardPaths::findExecutable("python3");
        if (python.isEmpty()) return;
        python_.start(python.toStdString(),
                      {"-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", carpeta_.path()});
        const auto linea = python_.readUntilContains(" port ", std::chrono::seconds(20));
        if (!linea) return;
        const auto m = QRegularExpression(" port (\\d+)").match(QString::fromStdString(*linea));
        if (m.hasMatch()) puerto_ = m.captured(1).toInt();
    }
    int Puerto() const { return puerto_; }
    QString Pagina() const { return QString("http://127.0.0.1:%1/").arg(puerto_); }
    void Poner(const std::string& nombre, const std::string& contenido) const { carpeta_.write(nombre, contenido); }
    void Quitar(const std::string& nombre) const { std::remove(carpeta_.file(nombre).c_str()); }
    std::string Carpeta() const { return carpeta_.path(); }
    // Requests for version.dat seen so far.
    int Peticiones() {
        int n = 0;
        for (const auto& l : python_.errorLines()) n += l.find("GET /version.dat") != std::string::npos;
        return n;
    }

private:
    testsupport::TempDir carpeta_;
    testsupport::ChildProcess python_;
    int puerto_ = 0;
};

// The messages shown, "text number/style" ("|" between).
std::string Vistos(const Entorno& e) {
    QStringList v;
    for (const auto& m : e.mensajes) {
        QString n = m.texto;
        for (int i = 93; i <= 108; ++i)
            if (TextosIdioma[i] == m.texto) n = QString::number(i);
        if (m.texto == QString(TextosIdioma[100]).replace("$", "\r\n")) n = "100";
        v << n + "/" + QString::number(m.icono + m.botones + m.defecto);
    }
    return v.join(u'|').toStdString();
}

// The help menu's item, answered with `respuestas`; waits until the download ends.
std::string Comprobar(Entorno& e, std::deque<long> respuestas) {
    e.mensajes.clear();
    e.respuestas = std::move(respuestas);
    Mdi().mnuActualizar->trigger();
    EXPECT_TRUE(QTest::qWaitFor([] { return !Splash().rkDownload1->Ocupada(); }, 30000));
    return Vistos(e);
}

class Version : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(QStandardPaths::findExecutable("python3").isEmpty()) << "python3 is needed (package python3)";
        ASSERT_GT(servidor.Puerto(), 0) << "the HTTP server did not start";
        e.Arrancar();
        PaginaInicio = servidor.Pagina();
        // The desktop's opener: a script in front of PATH that notes what it opens.
        QDir().mkpath(e.Ruta("bin"));
        QFile abridor(e.Ruta("bin/xdg-open"));
        ASSERT_TRUE(abridor.open(QIODevice::WriteOnly));
        abridor.write("#!/bin/sh\necho \"$1\" >> " + e.Ruta("abiertas").toUtf8() + "\n");
        abridor.close();
        abridor.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", e.Ruta("bin").toUtf8() + ":" + camino_);
    }
    void TearDown() override {
        qputenv("PATH", camino_);
        PaginaInicio = kPaginaInicio;
    }
    // The pages opened so far.
    QStringList Abiertas() const {
        QFile f(e.Ruta("abiertas"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                           : QStringList{};
    }

    ServidorHttp servidor;
    Entorno e;
    const QByteArray camino_ = qgetenv("PATH");
};

constexpr long kSiNo = MB_ICONINFORMATION + MB_YESNO;

TEST_F(Version, NoToTheQuestionSendsNoRequestAndHidesTheAboutBox) {
    servidor.Poner("version.dat", "1.60");
    Mdi().mnuAcerca_Click();
    ASSERT_TRUE(Splash().Visible());
    EXPECT_EQ(Comprobar(e, {IDNO}), "100/" + std::to_string(kSiNo));
    EXPECT_FALSE(Splash().Visible());
    // No download runs: a request made would have been answered, and logged, by now.
    EXPECT_FALSE(Splash().rkDownload1->Ocupada());
    EXPECT_EQ(servidor.Peticiones(), 0);
    ASSERT_EQ(e.mensajes.size(), 1u);
    const QString pregunta = TextosIdioma[100];
    ASSERT_EQ(pregunta.count(u'$'), 1);
    EXPECT_EQ(e.mensajes[0].texto,
              pregunta.left(pregunta.indexOf(u'$')) + "\r\n" + pregunta.mid(pregunta.indexOf(u'$') + 1));
}

TEST_F(Version, TheFileOnTheServerDecides) {
    struct Fila {
        const char* contenido;
        const char* vistos;
    };
    const std::string pregunta = "100/" + std::to_string(kSiNo) + "|";
    const Fila filas[] = {
        {"1.56", "98/68"},
        {"1.55", "99/64"},
        {"1.5", "99/64"},
        {"", "99/64"},
        {"abc", "99/64"},
        {"1.54,1.60", "98/68"},
        {"1.54\r\n1.60\r\n", "98/68"},
        {"\"1,60\"", "99/64"},
    };
    for (const Fila& f : filas) {
        servidor.Poner("version.dat", f.contenido);
        // Yes to the question, No to the offer of the home page.
        EXPECT_EQ(Comprobar(e, {IDYES, IDNO}), pregunta + f.vistos) << f.contenido;
    }
    EXPECT_EQ(servidor.Peticiones(), int(std::size(filas)));
    EXPECT_TRUE(Abiertas().isEmpty());
    // Yes to the offer opens the home page.
    servidor.Poner("version.dat", "1.56");
    EXPECT_EQ(Comprobar(e, {IDYES, IDYES}), pregunta + "98/68");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Abiertas().isEmpty(); }, 20000));
    EXPECT_EQ(Abiertas(), QStringList{servidor.Pagina()});
}

TEST_F(Version, ARedirectIsFollowed) {
    // A folder answers with a redirect to itself with a "/", then with its index.
    ASSERT_EQ(std::system(("mkdir -p '" + servidor.Carpeta() + "/version.dat'").c_str()), 0);
    servidor.Poner("version.dat/index.html", "1.60");
    EXPECT_EQ(Comprobar(e, {IDYES, IDNO}), "100/" + std::to_string(kSiNo) + "|98/68");
}

// Whatever goes wrong with the download is a failure, never a comparison: a missing
// file, a closed port, a server that never answers, a body larger than 64 KiB.
TEST_F(Version, AFailedDownloadIsToldAsSuch) {
    const std::string fallo = "100/" + std::to_string(kSiNo) + "|93/16";
    servidor.Quitar("version.dat");
    EXPECT_EQ(Comprobar(e, {IDYES}), fallo) << "404";
    servidor.Poner("version.dat", "1.60," + std::string(70 * 1024, '1'));
    EXPECT_EQ(Comprobar(e, {IDYES}), fallo) << "too large";
    QTcpServer cerrado;
    ASSERT_TRUE(cerrado.listen(QHostAddress::LocalHost));
    const quint16 libre = cerrado.serverPort();
    cerrado.close();
    PaginaInicio = QString("http://127.0.0.1:%1/").arg(libre);
    EXPECT_EQ(Comprobar(e, {IDYES}), fallo) << "closed port";
    // A listener that takes the connection and never answers: the time-out.
    QTcpServer mudo;
    ASSERT_TRUE(mudo.listen(QHostAddress::LocalHost));
    PaginaInicio = QString("http://127.0.0.1:%1/").arg(mudo.serverPort());
    Splash().rkDownload1->FijarTiempoMaximo(500);
    EXPECT_EQ(Comprobar(e, {IDYES}), fallo) << "no answer";
    Splash().rkDownload1->FijarTiempoMaximo(Descarga::kTiempoMaximoMs);
}

TEST_F(Version, ASecondRequestWhileACheckRunsStartsNone) {
    QTcpServer mudo;
    ASSERT_TRUE(mudo.listen(QHostAddress::LocalHost));
    PaginaInicio = QString("http://127.0.0.1:%1/").arg(mudo.serverPort());
    Splash().rkDownload1->FijarTiempoMaximo(1500);
    e.respuestas = {IDYES};
    Mdi().mnuActualizar->trigger();
    ASSERT_TRUE(Splash().rkDownload1->Ocupada());
    // Asked again meanwhile: no question, no second download.
    Mdi().Toolbar1[25]->trigger();
    EXPECT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(Comprobar(e, {}), "93/16");
    Splash().rkDownload1->FijarTiempoMaximo(Descarga::kTiempoMaximoMs);
}

}  // namespace
