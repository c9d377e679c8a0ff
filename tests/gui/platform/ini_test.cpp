// The INI layer against the rules of the classic profile functions.
#include "platform/IniFile.h"

#include "child_process.h"

#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class Ini : public ::testing::Test {
protected:
    QString Ruta(const char* nombre = "a.ini") const { return QString::fromStdString(dir.file(nombre)); }
    void Escribir(const QByteArray& datos, const char* nombre = "a.ini") const {
        QFile f(Ruta(nombre));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(datos);
    }
    QByteArray Leer(const char* nombre = "a.ini") const {
        QFile f(Ruta(nombre));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    testsupport::TempDir dir;
};

TEST_F(Ini, NamesCompareWithoutCaseAndValuesAreTrimmedAndUnquoted) {
    Escribir("; comment\n[Configuracion]\n  Idioma  =  English  \nNick=\"Ana Luz\"\nSolo='x'\nMedio=\"a\nIgual=a=b\n");
    EXPECT_EQ(ini::Leer(Ruta(), "configuracion", "IDIOMA"), "English");
    EXPECT_EQ(ini::Leer(Ruta(), "Configuracion", "Nick"), "Ana Luz");
    EXPECT_EQ(ini::Leer(Ruta(), "Configuracion", "Solo"), "x");
    EXPECT_EQ(ini::Leer(Ruta(), "Configuracion", "Medio"), "\"a");
    EXPECT_EQ(ini::Leer(Ruta(), "Configuracion", "Igual"), "a=b");
}

TEST_F(Ini, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(ini::Leer(Ruta("no.ini"), "S", "K", "d"), "d");
    Escribir("[S]\nK=1\n[T]\n");
    EXPECT_EQ(ini::Leer(Ruta(), "X", "K", "d"), "d");
    EXPECT_EQ(ini::Leer(Ruta(), "S", "X"), "");
    EXPECT_EQ(ini::Leer(Ruta(), "T", "K", "d"), "d");  // keys do not leak across sections
}

TEST_F(Ini, AReadReturnsAtMostTheBufferLessOne) {
    Escribir("[S]\nK=" + QByteArray(300, 'v') + "\n");
    EXPECT_EQ(ini::Leer(Ruta(), "S", "K").size(), 254);
    EXPECT_EQ(ini::Leer(Ruta(), "S", "K", {}, 10), QString(9, u'v'));
}

TEST_F(Ini, FirstSectionAndFirstKeyWin) {
    Escribir("[S]\nK=1\nK=2\n[s]\nK=3\n");
    EXPECT_EQ(ini::Leer(Ruta(), "S", "K"), "1");
}

TEST_F(Ini, LinesThatAreNotUtf8AreReadAsWindows1252) {
    Escribir("[Configuracion]\nIdioma=Espa\xF1ol\nEuro=\x80\nBien=Espa\xC3\xB1ol\n");
    EXPECT_EQ(ini::Leer(Ruta(), "Configuracion", "Idioma"), QString::fromUtf8("Español"));
    EXPECT_EQ(ini::Leer(Ruta(), "Configuracion", "Euro"), QString::fromUtf8("€"));
    EXPECT_EQ(ini::Leer(Ruta(), "Configuracion", "Bien"), QString::fromUtf8("Español"));
}

TEST_F(Ini, WritesChangeOneLineAndKeepEveryOtherByte) {
    QByteArray antes = "\xEF\xBB\xBF; top\r\n[Mdi]\r\nWIDTH = 10\r\nOld=Espa\xF1ol\r\n\r\n[Otra]\r\nA=1\r\n";
    Escribir(antes);
    ASSERT_TRUE(ini::Escribir(Ruta(), "mdi", "Width", "14400"));
    EXPECT_EQ(Leer(),
              QByteArray("\xEF\xBB\xBF; top\r\n[Mdi]\r\nWIDTH=14400\r\nOld=Espa\xF1ol\r\n\r\n[Otra]\r\nA=1\r\n"));
    // A new key goes after the section's last key, before its blank line.
    ASSERT_TRUE(ini::Escribir(Ruta(), "Mdi", "Top", "5"));
    EXPECT_EQ(
        Leer(),
        QByteArray("\xEF\xBB\xBF; top\r\n[Mdi]\r\nWIDTH=14400\r\nOld=Espa\xF1ol\r\nTop=5\r\n\r\n[Otra]\r\nA=1\r\n"));
    // A new section goes to the end.
    ASSERT_TRUE(ini::Escribir(Ruta(), "Nueva", "Clave", "Valor"));
    EXPECT_TRUE(Leer().endsWith("A=1\r\n\r\n[Nueva]\r\nClave=Valor\r\n"));
    EXPECT_EQ(ini::Leer(Ruta(), "nueva", "clave"), "Valor");
}

TEST_F(Ini, WritingCreatesTheFileAndValuesStayOneLine) {
    ASSERT_TRUE(ini::Escribir(Ruta("nuevo.ini"), "Configuracion", QString::fromUtf8("Tamaño"), "40"));
    ASSERT_TRUE(ini::Escribir(Ruta("nuevo.ini"), "Configuracion", "Nick", "a\nb"));
    EXPECT_EQ(Leer("nuevo.ini"), QByteArray("[Configuracion]\nTama\xC3\xB1o=40\nNick=a b\n"));
}

TEST_F(Ini, AReadOnlyFileIsNeverWritten) {
    QByteArray antes = "[S]\nK=1\n";
    Escribir(antes);
    ASSERT_EQ(::chmod(Ruta().toLocal8Bit().constData(), 0444), 0);
    EXPECT_TRUE(ini::MarcadoSoloLectura(Ruta()));
    EXPECT_FALSE(ini::Escribir(Ruta(), "S", "K", "2"));
    EXPECT_EQ(Leer(), antes);
    struct stat st {};
    ASSERT_EQ(::stat(Ruta().toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST_F(Ini, AChangedFileIsReadAgain) {
    Escribir("[S]\nK=1\n");
    EXPECT_EQ(ini::Leer(Ruta(), "S", "K"), "1");
    Escribir("[S]\nK=22\n");
    EXPECT_EQ(ini::Leer(Ruta(), "S", "K"), "22");
    ASSERT_TRUE(ini::Escribir(Ruta(), "S", "K", "3"));
    EXPECT_EQ(ini::Leer(Ruta(), "S", "K"), "3");
}

TEST(IniDocumento, ListsSectionsAndKeysInFileOrder) {
    ini::Documento d("[A]\nx=1\n;y=2\nz=3\n[B]\n");
    EXPECT_EQ(d.Secciones(), (std::vector<QString>{"A", "B"}));
    EXPECT_EQ(d.Claves("a"), (std::vector<QString>{"x", "z"}));
}

}  // namespace
