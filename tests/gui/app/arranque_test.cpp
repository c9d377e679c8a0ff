// Start-up in a temporary program folder: what it reads, what it shows, how it
// ends, and the exit sequence that writes the settings back.
#include "entorno.h"

#include "app/ApiFunciones.h"
#include "app/ColorRgb.h"
#include "app/Graficos.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "network/Chat.h"
#include "network/Reloj.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"
#include "shell/Splash.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(Arranque, TheWindowsComeUpWithTheStoredOptions) {
    Entorno e;
    e.Poner("Configuracion", QString::fromUtf8("Tamaño"), "55");
    e.Poner("Configuracion", "Check2", "0");
    e.Poner("Configuracion", "Color", "0:64:128");
    e.Poner("Configuracion", "Chat", "1");
    e.Poner("Configuracion", "Jugadas", "0");
    e.Poner("Configuracion", "PointClick", "1");
    e.Poner("Tablero", "Top", "1500");
    e.Poner("Tablero", "Left", "3000");
    e.Arrancar();

    EXPECT_TRUE(e.mensajes.empty());
    EXPECT_EQ(Mdi().Caption(), QString::fromUtf8("Tavorin Versión 1.55"));
    EXPECT_EQ(Opciones().IdiomaElegido(), QString::fromUtf8("Español"));
    EXPECT_EQ(Opciones().AparienciaElegida(), AparienciaActual);
    EXPECT_TRUE(AparienciaActual.startsWith(u'('));
    EXPECT_EQ(Opciones().Text1->text(), "55");
    EXPECT_EQ(Tavorin().PicBuffer->width(), 8 * 55);
    EXPECT_FALSE(Tavorin().Letras[0]->isVisibleTo(&Tavorin()));
    EXPECT_EQ(Tavorin().Top(), 1500);
    EXPECT_EQ(Tavorin().Left(), 3000);
    EXPECT_EQ(ColorVerde, 64);
    EXPECT_TRUE(Mdi().mnuPointClick->isChecked());
    EXPECT_EQ(e.Leer("Configuracion", "PointClick"), "1");
    EXPECT_EQ(NickLocal, "Ana");
    EXPECT_TRUE(Chat().Visible());
    EXPECT_EQ(Chat().Caption(), Chat().Caption().section(" - ", 0, 0) + " - Ana");
    EXPECT_TRUE(Tavorin().Visible());
    // The splash has gone into its about layout, hidden.
    EXPECT_FALSE(Splash().Visible());
    EXPECT_FALSE(Splash().MostrandoProgreso());
    EXPECT_FALSE(Splash().Label1->isHidden());
}

TEST(Arranque, TheStoredBoardSizeIsClamped) {
    Entorno e;
    e.Poner("Configuracion", QString::fromUtf8("Tamaño"), "500");
    e.Arrancar();
    EXPECT_EQ(Opciones().Text1->text(), "100");
    EXPECT_EQ(Tavorin().PicBuffer->width(), 800);
}

TEST(Arranque, ALanguageNamedInOtherLettersIsChosen) {
    Entorno e;
    e.Poner("Configuracion", "Idioma", "ENGLISH");
    e.Arrancar();
    EXPECT_EQ(Opciones().IdiomaElegido(), "English");
    EXPECT_EQ(Mdi().mnuArchivos->title(), e.Leer("Menu", "Menu1", "English.lng"));
}

TEST(Arranque, WithoutDefaultIniTheProgramEnds) {
    Entorno e;
    QFile::remove(e.Ruta("Default.ini"));
    EXPECT_EQ(Estado([&] { e.Arrancar(); }), 1);
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(e.mensajes[0].texto, "El fichero Default.ini no se ha encontrado.");
    EXPECT_EQ(e.mensajes[0].icono, MB_ICONINFORMATION);
    EXPECT_FALSE(QFile::exists(e.Ruta("Default.ini")));
}

TEST(Arranque, AnUnknownLanguageEndsTheProgram) {
    Entorno e;
    e.Poner("Configuracion", "Idioma", "Klingon");
    EXPECT_EQ(Estado([&] { e.Arrancar(); }), 1);
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(e.mensajes[0].texto, "Fichero de idioma no encontrado.");
    EXPECT_EQ(e.mensajes[0].icono, 0);
}

TEST(Arranque, AMissingSkinFolderMeansTheBuiltInSkinWithoutAMessage) {
    Entorno e;
    e.Poner("Configuracion", "Apariencia", "noexiste");
    e.Arrancar();
    EXPECT_TRUE(e.mensajes.empty());
    EXPECT_EQ(Opciones().AparienciaElegida(), AparienciaActual);
}

TEST(Arranque, AStoredSkinFolderIsLoadedWhateverTheCaseOfItsName) {
    Entorno e;
    QDir(e.Carpeta() + "/apariencias").rename("marmol", "Marmol");
    e.Poner("Configuracion", "Apariencia", "marmol");
    e.Arrancar();
    EXPECT_TRUE(e.mensajes.empty());
    EXPECT_EQ(Opciones().AparienciaElegida(), "marmol");
    EXPECT_EQ(Tavorin().SCuadro[1].width(), 56);
    EXPECT_EQ(Tavorin().RCuadro[1].width(), 40);
}

TEST(Arranque, ABrokenSkinFallsBackToTheBuiltInOneWithText25) {
    Entorno e;
    QFile::remove(e.Carpeta() + "/apariencias/torneo/damanf.png");
    e.Poner("Configuracion", "Apariencia", "torneo");
    e.Arrancar();
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(e.mensajes[0].texto, TextosIdioma[25]);
    EXPECT_EQ(Opciones().AparienciaElegida(), AparienciaActual);
    EXPECT_EQ(e.Leer("Configuracion", "Apariencia"), AparienciaActual);
}

TEST(Salida, TheExitSequenceWritesPositionsAndSettings) {
    Entorno e;
    e.Poner("Tablero", "Top", "no es numero");
    e.Poner("Configuracion", "Tiempo", "15");
    e.Arrancar();
    Opciones().FijarCheck(3, 1);
    Mdi().mnuSonido_Click();
    NickLocal = "Beto";
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    EXPECT_EQ(e.Leer("Mdi", "Windows"), "0");
    EXPECT_EQ(e.Leer("Mdi", "Width").toDouble(), Mdi().Width());
    EXPECT_EQ(e.Leer("Tablero", "Top").toDouble(), Tavorin().Top());
    EXPECT_EQ(e.Leer("Chat", "Height").toDouble(), Chat().Height());
    EXPECT_EQ(e.Leer("Configuracion", "Nick"), "Beto");
    EXPECT_EQ(e.Leer("Configuracion", "Check3"), "1");
    EXPECT_EQ(e.Leer("Configuracion", "Sonido"), Mdi().mnuSonido->isChecked() ? "1" : "0");
    EXPECT_EQ(e.Leer("Configuracion", "Tiempo"), "15");
    EXPECT_EQ(e.Leer("CPU", "Option"), "0");
    EXPECT_EQ(e.Leer("Configuracion", "Check"), "1");
}

TEST(Salida, WhileMaximisedOnlyTheStateIsWritten) {
    Entorno e;
    e.Poner("Mdi", "Width", "9000");
    e.Arrancar();
    Mdi().FijarEstadoVentana(forms::Mdi::EstadoVentana::Maximizada);
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    EXPECT_EQ(e.Leer("Mdi", "Windows"), "2");
    EXPECT_EQ(e.Leer("Mdi", "Width"), "9000");
}

TEST(Salida, AReadOnlyDefaultIniIsLeftAsItWasWithText28) {
    Entorno e;
    e.Arrancar();
    const QByteArray antes = e.Contenido("Default.ini");
    ASSERT_EQ(::chmod(e.Ruta("Default.ini").toLocal8Bit().constData(), 0444), 0);
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    EXPECT_EQ(e.Contenido("Default.ini"), antes);
    ASSERT_FALSE(e.mensajes.empty());
    EXPECT_TRUE(e.mensajes.back().texto.contains("\r\nDefault.ini\r\n"));
    struct stat st {};
    ::stat(e.Ruta("Default.ini").toLocal8Bit().constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST(Registro, AFirstStartRegistersTheOwnTypeAndAsksForTheOtherTwo) {
    Entorno e(false);
    e.Poner("Configuracion", "Nick", "Ana");
    testsupport::TempDir xdg;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(xdg.path()));
    e.respuestas = {IDNO, IDYES};
    e.Arrancar();
    ASSERT_EQ(e.mensajes.size(), 2u);
    EXPECT_EQ(e.mensajes[0].texto, TextosIdioma[70]);
    EXPECT_EQ(e.mensajes[0].icono + e.mensajes[0].botones, MB_ICONQUESTION + MB_YESNO);
    EXPECT_EQ(e.mensajes[1].texto, TextosIdioma[85]);
    EXPECT_EQ(e.Leer("Configuracion", "RegitTvp"), "1");
    EXPECT_EQ(e.Leer("Configuracion", "RegitPgn"), "1");
    EXPECT_EQ(e.Leer("Configuracion", "RegitEpd"), "1");
    const QString datos = QString::fromStdString(xdg.path());
    EXPECT_TRUE(QFile::exists(datos + "/mime/packages/tavorin-tvp.xml"));
    EXPECT_FALSE(QFile::exists(datos + "/mime/packages/tavorin-pgn.xml"));
    EXPECT_TRUE(QFile::exists(datos + "/mime/packages/tavorin-epd.xml"));
}

// A desktop where registration fails: the failure is told once, with text 28 and what
// could not be written; a type that was not registered keeps its mark at 0 (the next
// start tries it again), and only a No is kept.
TEST(Registro, AFailedRegistrationIsToldOnceAndLeftToTheNextStart) {
    Entorno e(false);
    e.Poner("Configuracion", "Nick", "Ana");
    testsupport::TempDir xdg;
    // A plain file where the data folder should be: nothing can be written.
    xdg.write("datos", "");
    const QString datos = QString::fromStdString(xdg.file("datos"));
    qputenv("XDG_DATA_HOME", datos.toLocal8Bit());
    e.respuestas = {IDOK, IDYES, IDNO};
    e.Arrancar();
    EXPECT_EQ(e.Leer("Configuracion", "RegitTvp"), "0");
    EXPECT_EQ(e.Leer("Configuracion", "RegitPgn"), "0");
    EXPECT_EQ(e.Leer("Configuracion", "RegitEpd"), "1");
    // The own type fails without a question, then the two questions; the second
    // failure (PGN, answered Yes) is not told again, and EPD is refused.
    ASSERT_EQ(e.mensajes.size(), 3u);
    EXPECT_EQ(e.mensajes[0].texto, TextoNoEscribible(datos + "/mime/packages"));
    EXPECT_TRUE(e.mensajes[0].texto.contains("\r\n" + datos + "/mime/packages\r\n"));
    EXPECT_EQ(e.mensajes[1].texto, TextosIdioma[70]);
    EXPECT_EQ(e.mensajes[2].texto, TextosIdioma[85]);
}

TEST(Nick, AnEmptyNickIsAskedForUntilOneOfNineCharactersComes) {
    Entorno e;
    e.Poner("Configuracion", "Nick", "");
    e.textos = {"", "DemasiadoLargo", "Carmen"};
    e.Arrancar();
    EXPECT_EQ(NickLocal, "Carmen");
    ASSERT_EQ(e.mensajes.size(), 2u);
    EXPECT_EQ(e.mensajes[0].texto, TextosIdioma[8]);
    EXPECT_EQ(e.mensajes[1].texto, TextosIdioma[38]);
}

// A settings file that cannot be written: the first lost setting is reported once,
// with the file's path; every later one, and the exit, say nothing more; each
// question whose answer cannot be kept is asked once.
TEST(Escritura, SettingsThatCannotBeWrittenAreReportedOnceAndEachQuestionAskedOnce) {
    Entorno e(false);
    OlvidarAvisoEscritura();
    testsupport::TempDir xdg;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(xdg.path()));
    ASSERT_EQ(::chmod(e.Ruta("Default.ini").toLocal8Bit().constData(), 0444), 0);
    const QByteArray antes = e.Contenido("Default.ini");
    e.respuestas = {IDNO, IDNO};
    e.textos = {"Carmen", "Otro"};
    e.Arrancar();
    EXPECT_EQ(NickLocal, "Carmen");
    EXPECT_EQ(e.textos, QStringList{"Otro"});
    ASSERT_EQ(e.mensajes.size(), 3u);
    EXPECT_EQ(e.mensajes[0].texto, TextoNoEscribible(FicheroIni));
    EXPECT_TRUE(e.mensajes[0].texto.contains("\r\n" + e.Ruta("Default.ini") + "\r\n"));
    EXPECT_EQ(e.mensajes[1].texto, TextosIdioma[70]);
    EXPECT_EQ(e.mensajes[2].texto, TextosIdioma[85]);
    // Option changes are lost without another word, and so is the exit's saving.
    Mdi().mnuSonido_Click();
    Opciones().OpcionesAceptar();
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    EXPECT_EQ(e.mensajes.size(), 3u);
    EXPECT_EQ(e.Contenido("Default.ini"), antes);
}

}  // namespace
