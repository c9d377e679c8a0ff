// The parts of start-up, language and appearance that need no window.
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/CommonDialogs.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "engines/ListaMotores.h"

#include "child_process.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <map>

namespace {

ListaIdiomas Elegir(const QStringList& ficheros, std::map<QString, QString> versiones) {
    return ElegirIdiomas(ficheros, [&](const QString& f) { return versiones[f]; });
}

// A language text's "$": where a value goes, or the line breaks.
TEST(TextosDolar, AValueGoesAtTheFirstOrLastDollarAndATextWithoutOneIsKept) {
    using Partes = std::pair<QString, QString>;
    EXPECT_EQ(PartirEnDolar("Retardo: $ s"), (Partes{"Retardo: ", " s"}));
    EXPECT_EQ(PartirEnDolar("a$b$c"), (Partes{"a", "b$c"}));
    EXPECT_EQ(PartirEnDolar("a$b$c", true), (Partes{"a$b", "c"}));
    EXPECT_EQ(PartirEnDolar("sin marca"), (Partes{"sin marca", ""}));
    EXPECT_EQ(PartirEnDolar("$"), (Partes{"", ""}));
    EXPECT_EQ(CambiarDolar("a$b$c", "X"), "aXb$c");
    EXPECT_EQ(CambiarDolar("a$b$c", "X", true), "a$bXc");
    // Without a "$" nothing is added (where PartirEnDolar's parts would put it at the end).
    EXPECT_EQ(CambiarDolar("sin marca", "X"), "sin marca");
    // Text 28 with a name: "" when the language's text has no place for it.
    TextosIdioma[28] = "No se puede $ escribir $ el fichero";
    EXPECT_EQ(TextoNoEscribible("f.ini"), "No se puede $ escribir \r\nf.ini\r\n el fichero");
    TextosIdioma[28] = "Sin lugar";
    EXPECT_EQ(TextoNoEscribible("f.ini"), "");
    TextosIdioma[28].clear();
}

TEST(ListarIdiomas, TheFirstFileDecidesAndLaterWrongVersionsAreLeftOut) {
    auto l = Elegir({"English.lng", "Español.lng", "Viejo.lng"},
                    {{"English.lng", "1.55"}, {"Español.lng", "1.55"}, {"Viejo.lng", "1.50"}});
    EXPECT_FALSE(l.versionIncorrecta);
    EXPECT_EQ(l.nombres, (QStringList{"English", QString::fromUtf8("Español")}));

    l = Elegir({"Aaa.lng", "English.lng"}, {{"Aaa.lng", "1.50"}, {"English.lng", "1.55"}});
    EXPECT_TRUE(l.versionIncorrecta);
}

TEST(ListarIdiomas, OnlyAnExtensionWrittenInSmallLettersCounts) {
    // A first entry in capitals is skipped without a version check.
    auto l = Elegir({"AAA.LNG", "Beta.Lng", "English.lng"}, {{"English.lng", "1.55"}});
    EXPECT_FALSE(l.versionIncorrecta);
    EXPECT_EQ(l.nombres, QStringList{"English"});
}

TEST(Colores, StoredColoursParseAsTheProgramAlwaysDid) {
    long r = 0, g = 0, b = 0;
    LeerColor("255:0:128", r, g, b);
    EXPECT_EQ((std::array<long, 3>{r, g, b}), (std::array<long, 3>{255, 0, 128}));
    r = g = b = 0;
    LeerColor("7", r, g, b);
    EXPECT_EQ((std::array<long, 3>{r, g, b}), (std::array<long, 3>{7, 0, 0}));
    r = g = b = 0;
    LeerColor("7::9", r, g, b);
    EXPECT_EQ((std::array<long, 3>{r, g, b}), (std::array<long, 3>{7, 0, 9}));
    r = g = b = 0;
    LeerColor("1:2:3:4", r, g, b);
    EXPECT_EQ((std::array<long, 3>{r, g, b}), (std::array<long, 3>{1, 2, 3}));
    r = g = b = 0;
    LeerColor("999:1x2:99999999999", r, g, b);
    EXPECT_EQ((std::array<long, 3>{r, g, b}), (std::array<long, 3>{255, 12, 255}));
    EXPECT_EQ(ColorTope(300, -5, 40), QColor(255, 0, 40));
}

TEST(Apariencias, TheSizeRulesOfASkin) {
    std::array<QSize, 13> fichas, mascaras;
    std::array<QSize, 3> cuadros{QSize(), QSize(40, 40), QSize(40, 40)};
    for (int i = 1; i <= 12; ++i) fichas[i] = mascaras[i] = QSize(40, 40);
    EXPECT_TRUE(AparienciaValida(fichas, mascaras, cuadros));
    // Black pieces smaller than the white ones still pass.
    auto f2 = fichas, m2 = mascaras;
    for (int i = 7; i <= 12; ++i) f2[i] = m2[i] = QSize(30, 30);
    EXPECT_TRUE(AparienciaValida(f2, m2, cuadros));
    auto m3 = mascaras;
    m3[4] = QSize(41, 40);
    EXPECT_FALSE(AparienciaValida(fichas, m3, cuadros));
    auto f4 = fichas;
    f4[9] = QSize(40, 39);
    EXPECT_FALSE(AparienciaValida(f4, mascaras, cuadros));
    // A 40-pixel pawn on 50-pixel squares fails.
    EXPECT_FALSE(AparienciaValida(fichas, mascaras, {QSize(), QSize(50, 50), QSize(50, 50)}));
    EXPECT_FALSE(AparienciaValida(fichas, mascaras, {QSize(), QSize(40, 40), QSize(41, 41)}));
}

TEST(Apariencias, TheExtensionComesFromTheFirstPawnPicture) {
    EXPECT_EQ(ExtensionApariencia("PeonB.BMP"), ".bmp");
    EXPECT_EQ(ExtensionApariencia("peonb.jpeg"), ".jpeg");
    EXPECT_EQ(ExtensionApariencia("peonb.ab"), ".b.ab");
    EXPECT_EQ(ExtensionApariencia(""), ".");
}

TEST(Tamano, BoardSizesAreKeptWithin30And100) {
    EXPECT_EQ(TamanoLimitado("40"), 40);
    EXPECT_EQ(TamanoLimitado("15"), 30);
    EXPECT_EQ(TamanoLimitado("500"), 100);
    EXPECT_EQ(TamanoLimitado(""), 40);
    EXPECT_EQ(TamanoLimitado("abc"), 40);
    EXPECT_EQ(TamanoLimitado("0"), 30);
}

TEST(LineaComandos, ThePathKeepsItsCaseAndLosesOnlyItsQuotes) {
    EXPECT_EQ(ProcesarLineaComandos("/home/Ana/Partida.TVP"), "/home/Ana/Partida.TVP");
    EXPECT_EQ(ExtensionDe("/home/Ana/Partida.TVP"), "tvp");
    EXPECT_EQ(ProcesarLineaComandos("\"/home/Ana/Mis Partidas/x.pgn\""), "/home/Ana/Mis Partidas/x.pgn");
    EXPECT_EQ(ProcesarLineaComandos("\"/home/Ana/x.pgn"), "/home/Ana/x.pgn");
    EXPECT_EQ(ExtensionDe(""), "");
}

TEST(LineaComandos, AShortNameBecomesItsLongForm) {
    testsupport::TempDir dir;
    QString c = QString::fromStdString(dir.path());
    QFile(c + "/Partida~1.pgn").open(QIODevice::WriteOnly);
    EXPECT_EQ(ProcesarLineaComandos(c + "/Partida~1.pgn"), QDir(c).canonicalPath() + "/Partida~1.pgn");
    EXPECT_EQ(ProcesarLineaComandos(c + "/no~existe.pgn"), "");
}

TEST(Mensajes, ANumberFrom0ToTheLastIsALanguageText) {
    TextosIdioma[5] = "cinco";
    TextosIdioma[texto::UltimoTexto] = "ultimo";
    EXPECT_EQ(TextoDeMensaje("5"), "cinco");
    const QString ultimo = QString::number(texto::UltimoTexto), siguiente = QString::number(texto::UltimoTexto + 1);
    EXPECT_EQ(TextoDeMensaje(" " + ultimo + " "), "ultimo");
    EXPECT_EQ(TextoDeMensaje("0"), "");
    EXPECT_EQ(TextoDeMensaje(siguiente), siguiente);
    EXPECT_EQ(TextoDeMensaje("-1"), "-1");
    EXPECT_EQ(TextoDeMensaje("5 x"), "5 x");
    EXPECT_EQ(TextoDeMensaje("99999999999999"), "99999999999999");
}

TEST(Mensajes, TheAnswerLandsInRespuestaMensajeAndIsReturned) {
    CMensaje visto;
    ResponderMensaje = [&](const CMensaje& m) {
        visto = m;
        return IDYES;
    };
    TextosIdioma[70] = "Registrar?";
    EXPECT_EQ(MostrarMensaje("Tavorin", "70", MB_ICONINFORMATION, MB_YESNO, MB_DEFBUTTON2), IDYES);
    EXPECT_EQ(RespuestaMensaje, IDYES);
    EXPECT_EQ(visto.TextoMensaje, "Registrar?");
    EXPECT_EQ(visto.IconoMensaje + visto.BotonesMensaje + visto.DefectoMensaje, 64 + 4 + 256);
    ResponderMensaje = nullptr;
}

TEST(Pantalla, ColourCountsAsTheChecksSeeThem) {
    EXPECT_EQ(ContarColores(24, 1), 16777216);
    EXPECT_EQ(ContarColores(16, 1), 65536);
    EXPECT_EQ(ContarColores(15, 1), 32768);
    EXPECT_EQ(ContarColores(8, 1), 256);
    EXPECT_EQ(ContarColores(32, 1), 0);  // does not fit: counts as enough
}

TEST(Dialogos, FilterTextsBecomeQtFilters) {
    QString filtro =
        QString("Partidas") + QChar(0) + "*.tvp" + QChar(0) + "PGN" + QChar(0) + "*.pgn;*.PGN" + QChar(0) + QChar(0);
    EXPECT_EQ(FiltrosDialogo(filtro), (QStringList{"Partidas (*.tvp)", "PGN (*.pgn *.PGN)"}));
}

TEST(Motores, EnginesAreTheExecutablesOneLevelBelowMotor) {
    testsupport::TempDir dir;
    QString m = QString::fromStdString(dir.path()) + "/Motor";
    QDir().mkpath(m + "/Orvik");
    QDir().mkpath(m + "/Otro");
    QFile e(m + "/Orvik/Orvik");
    e.open(QIODevice::WriteOnly);
    e.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    e.close();
    QFile(m + "/Orvik/orvik.ini").open(QIODevice::WriteOnly);
    QFile(m + "/Otro/Viejo.EXE").open(QIODevice::WriteOnly);
    QFile(m + "/suelto").open(QIODevice::WriteOnly);
    QStringList nombres;
    for (const MotorEncontrado& motor : MotoresEncontrados(m)) nombres << motor.nombre;
    EXPECT_EQ(nombres, (QStringList{"orvik", "viejo"}));
}

}  // namespace
