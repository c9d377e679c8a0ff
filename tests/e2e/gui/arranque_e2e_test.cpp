// Tavorin started for real (offscreen) from a temporary copy of its program folder:
// the start-up failure cases, the exit sequence and the file-type questions.
#include "programa.h"

#include "platform/IniFile.h"

#include <sys/stat.h>

namespace {

TEST_F(Tavorin, StartsAndClosingTheMainWindowSavesTheSettings) {
    Poner("Tablero", "Top", "no es un numero");
    Poner("Mdi", "Windows", "7");  // a maximised start
    auto estado = Ejecutar(1500);
    ASSERT_TRUE(estado);
    EXPECT_EQ(*estado, 0);
    EXPECT_TRUE(mensajes.empty()) << mensajes.front();
    bool numero = false;
    Leer("Tablero", "Top").toDouble(&numero);
    EXPECT_TRUE(numero) << Leer("Tablero", "Top").toStdString();
    EXPECT_EQ(Leer("Mdi", "Windows"), "2");
    EXPECT_EQ(Leer("Configuracion", "Nick"), "Ana");
}

TEST_F(Tavorin, WithoutDefaultIniTheProgramSaysSoAndEnds) {
    fs::remove(Ruta("Default.ini"));
    auto estado = Ejecutar(0);
    ASSERT_TRUE(estado);
    EXPECT_NE(*estado, 0);
    ASSERT_EQ(mensajes.size(), 1u);
    EXPECT_EQ(mensajes[0], "MENSAJE|64|Tavorin|El fichero Default.ini no se ha encontrado.");
    EXPECT_FALSE(fs::exists(Ruta("Default.ini")));
}

// A screen narrower than 800 pixels ends the start-up before the windows were
// placed: the message, and Default.ini as it was (its places are the user's).
TEST_F(Tavorin, AScreenCheckThatFailsEndsWithoutStoringAnything) {
    Poner("Chat", "Top", "1234");
    Escribir("pantalla.json", R"({"screens":[{"name":"estrecha","x":0,"y":0,"width":640,"height":480,"logicalDpi":96,)"
                              R"("logicalBaseDpi":96,"dpr":1}]})");
    const std::string antes = Contenido("Default.ini");
    auto estado = Ejecutar(0, {}, {"QT_QPA_PLATFORM=offscreen:configfile=" + Ruta("pantalla.json")});
    ASSERT_TRUE(estado);
    EXPECT_EQ(*estado, 0);
    ASSERT_EQ(mensajes.size(), 1u);
    EXPECT_EQ(mensajes[0].rfind("MENSAJE|16|Tavorin|", 0), 0u) << mensajes[0];
    EXPECT_EQ(Contenido("Default.ini"), antes);
}

TEST_F(Tavorin, AFirstLanguageFileOfAnotherVersionEndsTheProgram) {
    std::string viejo = Ingles();
    viejo.replace(viejo.find("Version=1.55"), 12, "Version=1.50");
    Escribir("Aaa.lng", viejo);
    auto estado = Ejecutar(0);
    ASSERT_TRUE(estado);
    ASSERT_EQ(mensajes.size(), 1u);
    EXPECT_EQ(mensajes[0], "MENSAJE|64|Tavorin|Versión del idioma incorrecto.");
}

TEST_F(Tavorin, ALanguageFileWithEmptyKeysReportsOnceAndSpanishTakesOver) {
    std::string roto = Ingles();
    for (const char* clave : {"\nMenu5=", "\nJugador2=", "\nTitulo="}) {
        auto i = roto.find(clave);
        ASSERT_NE(i, std::string::npos);
        i += std::string(clave).size();
        roto.erase(i, roto.find('\n', i) - i);
    }
    Escribir("Roto.lng", roto);
    Poner("Configuracion", "Idioma", "Roto");
    auto estado = Ejecutar(1500);
    ASSERT_TRUE(estado);
    EXPECT_EQ(*estado, 0);
    EXPECT_EQ(mensajes.size(), 1u);
    EXPECT_EQ(Contar("Fichero de idioma incorrecto.\\nCambie el fíchero."), 1);
    EXPECT_EQ(Leer("Configuracion", "Idioma"), QString::fromUtf8("Español"));
}

TEST_F(Tavorin, AReadOnlyDefaultIniIsNeverWritten) {
    Poner("Tablero", "Top", "no es un numero");
    const std::string antes = Contenido("Default.ini");
    fs::permissions(Ruta("Default.ini"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    auto estado = Ejecutar(1500);
    ASSERT_TRUE(estado);
    EXPECT_EQ(*estado, 0);
    EXPECT_EQ(Contenido("Default.ini"), antes);
    EXPECT_EQ(fs::status(Ruta("Default.ini")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ASSERT_EQ(mensajes.size(), 1u);
    EXPECT_NE(mensajes[0].find("\\nDefault.ini\\n"), std::string::npos) << mensajes[0];
}

TEST_F(Tavorin, AFirstStartAsksTheTwoQuestionsAndRegistersTheThreeTypes) {
    Poner("Configuracion", "RegitTvp", "0");
    Poner("Configuracion", "RegitPgn", "0");
    Poner("Configuracion", "RegitEpd", "0");
    auto estado = Ejecutar(1500, "6,6");
    ASSERT_TRUE(estado);
    EXPECT_EQ(*estado, 0);
    ASSERT_EQ(mensajes.size(), 2u);
    EXPECT_EQ(mensajes[0].rfind("MENSAJE|36|Tavorin|", 0), 0u);
    EXPECT_EQ(mensajes[1].rfind("MENSAJE|36|Tavorin|", 0), 0u);
    EXPECT_EQ(Leer("Configuracion", "RegitTvp"), "1");
    EXPECT_EQ(Leer("Configuracion", "RegitPgn"), "1");
    EXPECT_EQ(Leer("Configuracion", "RegitEpd"), "1");
    const std::string datos = dir.path() + "/datos";
    EXPECT_TRUE(fs::exists(datos + "/applications/tavorin.desktop"));
    for (const char* tipo : {"tvp", "pgn", "epd"})
        EXPECT_TRUE(fs::exists(datos + "/mime/packages/tavorin-" + std::string(tipo) + ".xml")) << tipo;
    const QString exec =
        ini::Leer(QString::fromStdString(datos + "/applications/tavorin.desktop"), "Desktop Entry", "Exec", {}, 1024);
    EXPECT_EQ(exec.toStdString(), Ruta("tavorin") + " %f");

    // What the desktop says, when its tool is installed.
    if (std::system("command -v xdg-mime >/dev/null 2>&1") != 0) return;
    for (const char* mime : {"application/x-tavorin-tvp", "application/x-chess-pgn", "application/x-chess-epd"}) {
        testsupport::ChildProcess q;
        ASSERT_TRUE(q.start("/bin/sh", {"-c", std::string("xdg-mime query default ") + mime}, {},
                            {"XDG_DATA_HOME=" + datos, "XDG_CONFIG_HOME=" + dir.path() + "/config",
                             "XDG_CURRENT_DESKTOP=", "DESKTOP_SESSION=", "KDE_FULL_SESSION="}));
        auto linea = q.readLine(std::chrono::seconds(10));
        ASSERT_TRUE(linea) << mime;
        EXPECT_EQ(*linea, "tavorin.desktop") << mime;
        q.waitExit();
    }
}

TEST_F(Tavorin, AnsweringNoRemembersTheRefusal) {
    Poner("Configuracion", "RegitPgn", "0");
    Poner("Configuracion", "RegitEpd", "0");
    auto estado = Ejecutar(1500, "7,7");
    ASSERT_TRUE(estado);
    EXPECT_EQ(mensajes.size(), 2u);
    EXPECT_EQ(Leer("Configuracion", "RegitPgn"), "1");
    EXPECT_EQ(Leer("Configuracion", "RegitEpd"), "1");
    EXPECT_FALSE(fs::exists(dir.path() + "/datos/mime/packages/tavorin-pgn.xml"));
    Ejecutar(1500);
    EXPECT_TRUE(mensajes.empty());
}

// A registration that could not be written (a plain file where the data folder should
// be) leaves the three marks at 0, and the next start asks again and registers.
TEST_F(Tavorin, AFailedRegistrationIsAskedAgainAtTheNextStart) {
    for (const char* clave : {"RegitTvp", "RegitPgn", "RegitEpd"}) Poner("Configuracion", clave, "0");
    const std::string datos = dir.path() + "/datos";
    fs::remove_all(datos);
    std::ofstream(datos) << "";
    ASSERT_TRUE(Ejecutar(1500, "6,6"));
    EXPECT_EQ(Contar("MENSAJE|36|"), 2);
    for (const char* clave : {"RegitTvp", "RegitPgn", "RegitEpd"}) EXPECT_EQ(Leer("Configuracion", clave), "0");
    fs::remove(datos);
    fs::create_directories(datos);
    ASSERT_TRUE(Ejecutar(1500, "6,6"));
    EXPECT_EQ(Contar("MENSAJE|36|"), 2);
    for (const char* clave : {"RegitTvp", "RegitPgn", "RegitEpd"}) EXPECT_EQ(Leer("Configuracion", clave), "1");
    EXPECT_TRUE(fs::exists(datos + "/mime/packages/tavorin-epd.xml"));
}

// Tavorin in a program folder whose name a desktop entry cannot carry (a line break
// that would start a key of its own, bytes that are no UTF-8): it starts, writes no
// desktop entry and says so (text 28), and keeps its settings at exit.
TEST_F(Tavorin, AProgramFolderOfAnyNameStartsAndRegistersNothingItCannotWrite) {
    Poner("Configuracion", "RegitTvp", "0");
    const std::string comun = carpeta;
    for (const char* nombre : {"Prog\nExec=touch PWNED #", "T\xff\xfe"}) {
        SCOPED_TRACE(nombre);
        carpeta = dir.path() + "/" + nombre;
        fs::rename(comun, carpeta);
        ASSERT_TRUE(Ejecutar(1500));
        EXPECT_EQ(Contar("El fichero Default.ini no se ha encontrado"), 0);
        EXPECT_EQ(Contar("MENSAJE|64|Tavorin|No se puede escribir el fichero"), 1);
        EXPECT_FALSE(fs::exists(dir.path() + "/datos/applications/tavorin.desktop"));
        EXPECT_NE(Contenido("Default.ini").find("RegitTvp=0"), std::string::npos);
        EXPECT_NE(Contenido("Default.ini").find("Nick=Ana"), std::string::npos);
        fs::rename(carpeta, comun);
    }
}

}  // namespace
