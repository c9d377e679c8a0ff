// The whole program opening the file named on its command line: an own game file
// replays to its end, an EPD list opens, and files that hold no game say so.
#include "platform/IniFile.h"

#include "child_process.h"

#include <QString>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class Linea : public ::testing::Test {
protected:
    void SetUp() override {
        carpeta = dir.path() + "/Tavorin";
        fs::copy(TAVORIN_CARPETA, carpeta, fs::copy_options::recursive);
        fs::permissions(carpeta + "/Default.ini", fs::perms::owner_read | fs::perms::owner_write);
        for (const char* clave : {"RegitTvp", "RegitPgn", "RegitEpd"}) Poner("Configuracion", clave, "1");
        Poner("Configuracion", "Nick", "Ana");
    }
    void Poner(const char* seccion, const char* clave, const QString& valor) {
        ini::Escribir(QString::fromStdString(carpeta + "/Default.ini"), seccion, clave, valor);
    }
    // Language text n of the language in use, as the test hook writes it.
    std::string Texto(int n) const {
        const QString idioma = ini::Leer(QString::fromStdString(carpeta + "/Default.ini"), "Configuracion", "Idioma");
        return ini::Leer(QString::fromStdString(carpeta) + "/" + idioma + ".lng", "Mensajes", QString::number(n))
            .toStdString();
    }
    // Runs the program on `fichero` for a few seconds; the texts of the boxes it showed.
    std::vector<std::string> Abrir(const std::string& fichero, const std::string& contenido) {
        const std::string ruta = dir.path() + "/" + fichero;
        std::ofstream(ruta, std::ios::binary) << contenido;
        testsupport::ChildProcess p;
        EXPECT_TRUE(p.start(carpeta + "/tavorin", {ruta}, carpeta,
                            {"QT_QPA_PLATFORM=offscreen", "TAVORIN_PRUEBA_MENSAJES=1", "TAVORIN_PRUEBA_SALIR_MS=3000",
                             "XDG_DATA_HOME=" + dir.path() + "/datos", "XDG_CONFIG_HOME=" + dir.path() + "/config"}));
        EXPECT_EQ(p.waitExit(std::chrono::seconds(60)), 0);
        std::vector<std::string> textos;
        for (const auto& l : p.errorLines())
            if (l.rfind("MENSAJE|", 0) == 0) textos.push_back(l.substr(l.find('|', l.find('|', 8) + 1) + 1));
        return textos;
    }

    testsupport::TempDir dir;
    std::string carpeta;
};

TEST_F(Linea, AnOwnGameFileReplaysToItsMate) {
    // 1.f3 e5 2.g4 Qh4#: the replay ends the game with Black's win.
    EXPECT_EQ(Abrir("mate.tvp", "0000\r\n0000\r\nA\r\n6263\r\n5755\r\n7274\r\n4884\r\n\r\n"),
              std::vector<std::string>{Texto(2)});
    EXPECT_EQ(Abrir("mala.tvp", "0000\r\n0000\r\nA\r\n5254\r\n5254\r\n"), (std::vector<std::string>{Texto(27), Texto(55)}));
}

TEST_F(Linea, AnEpdListOpensAndAnEmptyOneSaysSo) {
    std::ifstream wac(TAVORIN_TEST_DATA "/wac.epd", std::ios::binary);
    const std::string lista((std::istreambuf_iterator<char>(wac)), std::istreambuf_iterator<char>());
    EXPECT_EQ(Abrir("wac.epd", lista), std::vector<std::string>{});
    EXPECT_EQ(Abrir("nada.epd", ""), std::vector<std::string>{Texto(55)});
}

}  // namespace
