// Case-blind names on a case-sensitive file system, and the runtime's conversions.
#include "platform/Controles.h"
#include "platform/Nombres.h"

#include "child_process.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(Nombres, NamesMatchRealEntriesWithoutCaseAndExactMatchesWin) {
    testsupport::TempDir dir;
    QString c = QString::fromStdString(dir.path());
    QDir(c).mkpath("Apariencias/Marmol");
    QFile(c + "/Apariencias/Marmol/PeonB.PNG").open(QIODevice::WriteOnly);
    QFile(c + "/x.lng").open(QIODevice::WriteOnly);
    QFile(c + "/X.lng").open(QIODevice::WriteOnly);
    EXPECT_EQ(nombres::EntradaReal(c, "apariencias"), "Apariencias");
    EXPECT_EQ(nombres::EntradaReal(c, "X.lng"), "X.lng");
    EXPECT_EQ(nombres::EntradaReal(c, "nada"), "nada");
    EXPECT_EQ(nombres::RutaReal(c, "apariencias/marmol/peonb.png"), c + "/Apariencias/Marmol/PeonB.PNG");
    EXPECT_EQ(nombres::RutaReal(c, "apariencias/marmol/"), c + "/Apariencias/Marmol/");
    EXPECT_EQ(nombres::RutaReal(c, "apariencias/nueva/"), c + "/Apariencias/nueva/");
}

TEST(Nombres, ListingsAreSortedAndSplitIntoFilesAndFolders) {
    testsupport::TempDir dir;
    QString c = QString::fromStdString(dir.path());
    for (const char* f : {"b.lng", "a.lng", ".oculto"}) QFile(c + "/" + f).open(QIODevice::WriteOnly);
    QDir(c).mkdir("zz");
    QDir(c).mkdir("aa");
    EXPECT_EQ(nombres::Ficheros(c), (QStringList{".oculto", "a.lng", "b.lng"}));
    EXPECT_EQ(nombres::Carpetas(c), (QStringList{"aa", "zz"}));
    EXPECT_TRUE(nombres::Ficheros(c + "/no").isEmpty());
}

TEST(Controles, ValReadsTheLeadingNumberAndAEnteroOnlyWholeNumbers) {
    EXPECT_EQ(controles::Val("12abc"), 12);
    EXPECT_EQ(controles::Val("  007"), 7);
    EXPECT_EQ(controles::Val("-3.5x"), -3.5);
    EXPECT_EQ(controles::Val("abc"), 0);
    EXPECT_EQ(controles::Val(""), 0);
    EXPECT_EQ(controles::AEntero(" 15 "), 15);
    EXPECT_EQ(controles::AEntero("2.5"), 2);
    EXPECT_EQ(controles::AEntero("3.5"), 4);
    EXPECT_FALSE(controles::AEntero("12abc"));
    EXPECT_FALSE(controles::AEntero(""));
    EXPECT_FALSE(controles::AEntero("99999999999"));
    EXPECT_EQ(controles::ANumero("14400"), 14400.0);
    EXPECT_EQ(controles::RGBLargo(0, 128, 0), 32768);
    EXPECT_EQ(controles::DesdeLargo(32768), QColor(0, 128, 0));
}

// Names are bytes: every byte comes back, valid UTF-8 reads as text.
TEST(Nombres, ANamesBytesComeBackThroughItsText) {
    for (const QByteArray& b :
         {QByteArray("plain.tvp"), QByteArray("Espa\xc3\xb1ol \xf0\x9f\x8e\xb2"), QByteArray("x\xff\xfe.tvp"),
          QByteArray("\xc3"), QByteArray("\xe9\x80."), QByteArray("\xc0\xaf"), QByteArray("\xed\xa0\x80"),
          QByteArray("\xf4\x90\x80\x80"), QByteArray("\xed\xb3\xbf")}) {
        EXPECT_EQ(nombres::Bytes(nombres::DeBytes(b)), b) << b.toHex().toStdString();
        if (QString::fromUtf8(b).toUtf8() == b) {
            EXPECT_EQ(nombres::DeBytes(b), QString::fromUtf8(b));
        }
    }
}

}  // namespace
