// The language files against the binding table, and language changes.
#include "entorno.h"

#include "app/Idioma.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "platform/IniFile.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <gtest/gtest.h>

#include <set>

namespace {

// Every key of the table is in the file, not empty (but the author), and what it
// set shows its text.
void ComprobarTabla(const QString& fichero) {
    for (const EnlaceIdioma& e : TablaIdioma()) {
        SCOPED_TRACE((e.seccion + "/" + e.clave).toStdString());
        QString valor;
        QFile f(fichero);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ini::Documento doc(f.readAll());
        ASSERT_TRUE(doc.Buscar(e.seccion, e.clave, valor)) << "missing key";
        if (e.seccion != "Autor") {
            EXPECT_FALSE(valor.isEmpty());
        }
        for (const QString& visto : e.leer()) EXPECT_TRUE(visto.contains(valor)) << visto.toStdString();
    }
}

class Idiomas : public ::testing::TestWithParam<const char*> {};

TEST_P(Idiomas, EveryKeyIsPresentAndLandsOnItsControl) {
    Entorno e;
    e.Poner("Configuracion", "Idioma", QString::fromUtf8(GetParam()));
    e.Arrancar();
    EXPECT_TRUE(e.mensajes.empty());
    ComprobarTabla(e.Ruta(QString::fromUtf8(GetParam()) + ".lng"));
}

TEST_P(Idiomas, TheFileHoldsNoKeyTheProgramDoesNotRead) {
    std::set<std::pair<QString, QString>> tabla;
    for (const EnlaceIdioma& e : TablaIdioma()) tabla.insert({e.seccion.toLower(), e.clave.toLower()});
    QFile f(Entorno::Recursos() + "/lang/" + QString::fromUtf8(GetParam()) + ".lng");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ini::Documento doc(f.readAll());
    for (const QString& s : doc.Secciones())
        for (const QString& k : doc.Claves(s))
            EXPECT_TRUE(tabla.count({s.toLower(), k.toLower()})) << (s + "/" + k).toStdString();
    QString version;
    ASSERT_TRUE(doc.Buscar("Version", "Version", version));
    EXPECT_EQ(version, "1.55");
}

INSTANTIATE_TEST_SUITE_P(Ficheros, Idiomas, ::testing::Values("Español", "English"));

TEST(CambioDeIdioma, TheOptionsDialogChangesEveryTextAtOnceAndOkStoresIt) {
    Entorno e;
    e.Arrancar();
    Mdi().mnuOpciones_Click();
    auto& o = Opciones();
    ASSERT_TRUE(o.Visible());
    const QString original = AparienciaActual;
    o.Combo1->setCurrentIndex(o.Combo1->findText("English"));
    o.Combo1_Click();
    ComprobarTabla(e.Ruta("English.lng"));
    // The built-in skin stays chosen, under its English name.
    EXPECT_NE(AparienciaActual, original);
    EXPECT_EQ(o.AparienciaElegida(), AparienciaActual);
    EXPECT_EQ(e.Leer("Configuracion", "Idioma"), QString::fromUtf8("Español"));
    o.Command1_Click();
    EXPECT_FALSE(o.Visible());
    EXPECT_EQ(e.Leer("Configuracion", "Idioma"), "English");
    EXPECT_EQ(e.Leer("Configuracion", "Apariencia"), AparienciaActual);
}

TEST(CambioDeIdioma, CancelGoesBackToTheStoredLanguage) {
    Entorno e;
    e.Arrancar();
    Mdi().mnuOpciones_Click();
    auto& o = Opciones();
    o.Combo1->setCurrentIndex(o.Combo1->findText("English"));
    o.Combo1_Click();
    o.Command2_Click();
    EXPECT_EQ(o.IdiomaElegido(), QString::fromUtf8("Español"));
    EXPECT_EQ(Mdi().mnuArchivos->title(), e.Leer("Menu", "Menu1", QString::fromUtf8("Español.lng")));
    EXPECT_FALSE(o.Visible());
}

// English.lng without one key, saved as another language.
void FicheroSinClave(Entorno& e, const QString& nombre, const QString& origen, const QByteArray& linea) {
    QByteArray datos = e.Contenido(origen);
    int i = datos.indexOf(linea);
    ASSERT_GE(i, 0);
    datos.remove(i, datos.indexOf('\n', i) - i + 1);
    e.Escribir(nombre, datos);
}

TEST(IdiomaDefectuoso, AMissingKeyReportsOnceAndFallsBackToSpanishOnce) {
    Entorno e;
    FicheroSinClave(e, "Roto.lng", "English.lng", "Menu5=");
    FicheroSinClave(e, "Roto.lng", "Roto.lng", "Jugador2=");  // a second fault in the same file
    e.Poner("Configuracion", "Idioma", "Roto");
    e.Arrancar();
    EXPECT_EQ(e.Contar("Fichero de idioma incorrecto."), 1);
    EXPECT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(Opciones().IdiomaElegido(), QString::fromUtf8("Español"));
    EXPECT_EQ(e.Leer("Configuracion", "Idioma"), QString::fromUtf8("Español"));
    EXPECT_EQ(Mdi().mnuGuararImagen->text(), e.Leer("Menu", "Menu5", QString::fromUtf8("Español.lng")));
}

TEST(IdiomaDefectuoso, AFaultySpanishFileDoesNotStartAnotherRound) {
    Entorno e;
    FicheroSinClave(e, "Roto.lng", "English.lng", "Menu5=");
    FicheroSinClave(e, QString::fromUtf8("Español.lng"), QString::fromUtf8("Español.lng"), "Menu6=");
    e.Poner("Configuracion", "Idioma", "Roto");
    e.Arrancar();
    EXPECT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(Opciones().IdiomaElegido(), QString::fromUtf8("Español"));
    EXPECT_EQ(Mdi().mnuSalir->text(), "");
}

TEST(IdiomaDefectuoso, AnEmptyAuthorIsNoFault) {
    Entorno e;
    e.Poner("Autor", "Nombre", "", "English.lng");
    e.Poner("Configuracion", "Idioma", "English");
    e.Arrancar();
    EXPECT_TRUE(e.mensajes.empty());
    EXPECT_EQ(Mdi().Caption(), QString::fromUtf8("Tavorin Versión 1.55"));
    e.Poner("Autor", "Nombre", "Ana Ruiz", "English.lng");
    CargarIdioma();
    EXPECT_EQ(Mdi().Caption(), QString::fromUtf8("Tavorin Versión 1.55 - Ana Ruiz"));
}

TEST(IdiomaDefectuoso, AFirstFileOfAnotherVersionEndsTheProgram) {
    Entorno e;
    QByteArray viejo = e.Contenido("English.lng").replace("Version=1.55", "Version=1.50");
    e.Escribir("Aaa.lng", viejo);
    EXPECT_EQ(Estado([&] { e.Arrancar(); }), 0);
    ASSERT_FALSE(e.mensajes.empty());
    EXPECT_EQ(e.mensajes[0].texto, QString::fromUtf8("Versión del idioma incorrecto."));
}

TEST(IdiomaDefectuoso, ALaterFileOfAnotherVersionIsLeftOutSilently) {
    Entorno e;
    QByteArray viejo = e.Contenido("English.lng").replace("Version=1.55", "Version=1.50");
    e.Escribir("Zulu.lng", viejo);
    e.Escribir("Mayus.LNG", e.Contenido("English.lng"));
    e.Arrancar();
    EXPECT_TRUE(e.mensajes.empty());
    QStringList lista;
    for (int i = 0; i < Opciones().Combo1->count(); ++i) lista << Opciones().Combo1->itemText(i);
    EXPECT_EQ(lista, (QStringList{"English", QString::fromUtf8("Español")}));
}

TEST(IdiomaDefectuoso, ALanguageFileThatVanishedEndsTheProgramWithAMessage) {
    Entorno e;
    e.Arrancar();
    QFile::remove(e.Ruta("English.lng"));
    auto& o = Opciones();
    o.Combo1->setCurrentIndex(o.Combo1->findText("English"));
    EXPECT_EQ(Estado([&] { o.Combo1_Click(); }), 1);
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(e.mensajes[0].texto, QString::fromUtf8("El fichero English.lng no se ha encontrado."));
}

}  // namespace
