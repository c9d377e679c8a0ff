// The whole program opening the file named on its command line: an own game file
// replays to its end, an EPD list opens, and files that hold no game say so. Driven
// by commands: the PGN move list's keys take the board along, a PGN file of old Mac
// line ends and one with a huge word open, and Save game during a game against
// Orvik writes a PGN that pgn-extract reads, with the players' names.
#include "platform/IniFile.h"
#include "red_e2e.h"

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
    EXPECT_EQ(Abrir("mala.tvp", "0000\r\n0000\r\nA\r\n5254\r\n5254\r\n"),
              (std::vector<std::string>{Texto(27), Texto(55)}));
}

// Names are bytes: one that is no UTF-8 (also with a "~", which is looked up) opens
// the file it names.
TEST_F(Linea, AFileWhoseNameIsNotUtf8Opens) {
    for (const char* nombre : {"x\xff\xfe.tvp", "a~\xe9\x80.tvp"})
        EXPECT_EQ(Abrir(nombre, "0000\r\n0000\r\nA\r\n6263\r\n5755\r\n7274\r\n4884\r\n\r\n"),
                  std::vector<std::string>{Texto(2)})
            << nombre;
}

TEST_F(Linea, AnEpdListOpensAndAnEmptyOneSaysSo) {
    std::ifstream wac(TAVORIN_TEST_DATA "/wac.epd", std::ios::binary);
    const std::string lista((std::istreambuf_iterator<char>(wac)), std::istreambuf_iterator<char>());
    EXPECT_EQ(Abrir("wac.epd", lista), std::vector<std::string>{});
    EXPECT_EQ(Abrir("nada.epd", ""), std::vector<std::string>{Texto(55)});
}

// A copy driven by commands on standard input, its boxes answered with their default.
class Ordenes : public ::testing::Test {
protected:
    void SetUp() override {
        copia =
            std::make_unique<red_e2e::Copia>(dir.path(), "Ana", std::vector<std::string>{"TAVORIN_PRUEBA_AVISOS=todo"});
    }
    void TearDown() override {
        copia->Enviar("salir");
        EXPECT_EQ(copia->p.waitExit(std::chrono::seconds(60)), 0);
    }
    // The board of the state line, rank 8 to 1 as piece codes in hex.
    std::string Tablero() { return copia->Estado()["Tablero"]; }
    // Polls the state until the condition holds.
    bool Hasta(const std::function<bool(std::map<std::string, std::string>&)>& condicion) {
        return testsupport::Hasta([&] {
            auto e = copia->Estado();
            return condicion(e);
        });
    }
    testsupport::TempDir dir;
    std::unique_ptr<red_e2e::Copia> copia;
};

// The board as the state line writes it, from a FEN placement.
std::string TableroDe(const std::string& fen) {
    const std::string letras = ".PRNBQKprnbqk";
    std::string t;
    for (char c : fen) {
        if (c == '/') continue;
        if (c >= '1' && c <= '8')
            t += std::string(size_t(c - '0'), '0');
        else
            t += "0123456789abc"[letras.find(c)];
    }
    return t;
}

TEST_F(Ordenes, TheMoveListsKeysTakeTheBoardAlong) {
    const std::string ruta = dir.path() + "/p.pgn";
    std::ofstream(ruta, std::ios::binary) << "[Event \"x\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *\n";
    copia->Orden("soltar ventana " + ruta);
    const std::string final = TableroDe("r1bqkbnr/1ppp1ppp/p1n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R");
    ASSERT_TRUE(Hasta([&](auto& e) { return e["Tablero"] == final; })) << Tablero();
    copia->Orden("tecla PgnMovimientos.List1 Home");
    EXPECT_EQ(Tablero(), TableroDe("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR"));
    copia->Orden("tecla PgnMovimientos.List1 End");
    EXPECT_EQ(Tablero(), final);
    copia->Orden("tecla PgnMovimientos.List1 Up");
    copia->Orden("tecla PgnMovimientos.List1 Up");
    copia->Orden("tecla PgnMovimientos.List1 PgDown");
    EXPECT_EQ(Tablero(), final);
}

// A PGN file whose lines end with CR alone (old Mac files) shows its moves; a word of
// a megabyte in the move text is quoted short, and the moves before it stand.
TEST_F(Ordenes, AnOldMacFileShowsItsMovesAndAHugeWordIsQuotedShort) {
    const std::string mac = dir.path() + "/mac.pgn";
    std::ofstream(mac, std::ios::binary) << "[Event \"x\"]\r[White \"a\"]\r\r1. e4 e5 2. Nf3 Nc6\r3. Bb5 a6 *\r";
    copia->Orden("soltar ventana " + mac);
    const std::string final = TableroDe("r1bqkbnr/1ppp1ppp/p1n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R");
    ASSERT_TRUE(Hasta([&](auto& e) { return e["Tablero"] == final; })) << Tablero();

    const std::string palabra = dir.path() + "/palabra.pgn";
    std::ofstream(palabra, std::ios::binary) << "[Event \"x\"]\n\n1. e4 e5 2. " << std::string(1 << 20, 'a') << " *\n";
    copia->Orden("soltar ventana " + palabra);
    const std::string mensaje = copia->Esperar("MENSAJE|", std::chrono::seconds(60));
    EXPECT_LT(mensaje.size(), 300u);
    EXPECT_NE(mensaje.find(std::string(40, 'a') + "..."), std::string::npos) << mensaje.substr(0, 300);
    EXPECT_TRUE(Hasta([](auto& e) {
        return e["Tablero"] == TableroDe("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR");
    })) << Tablero();
}

TEST_F(Ordenes, SaveGameDuringAGameAgainstOrvik) {
    const std::string ruta = dir.path() + "/partida.pgn";
    copia->Orden("menu mnuNuevaPartida");
    copia->Orden("poner Cpu.SMotor2 orvik");
    copia->Orden("menu Cpu.Toolbar1_1");
    ASSERT_TRUE(Hasta([](auto& e) { return e["Turno"] == "1"; }));
    copia->Orden("arrastrar e2 e4");
    ASSERT_TRUE(Hasta([](auto& e) {
        return e["Turno"] == "1" && std::count(e["Jugadas"].begin(), e["Jugadas"].end(), ',') == 2;
    })) << copia->Estado()["Jugadas"];
    copia->Orden("dialogo " + ruta);
    copia->Orden("menu mnuGuardarPartida");
    ASSERT_FALSE(copia->Esperar("DIALOGO|").empty());
    copia->Orden("boton ListaPgn.Command2_1");
    std::ifstream f(ruta, std::ios::binary);
    const std::string texto((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_NE(texto.find("[White \"Ana\"]\r\n[Black \"orvik\"]\r\n"), std::string::npos) << texto;
    EXPECT_NE(texto.find("\r\n\r\n1. e4 "), std::string::npos) << texto;
    // pgn-extract reads it without a word.
    ASSERT_TRUE(fs::exists("/usr/games/pgn-extract")) << "pgn-extract is missing (scripts/packages.txt installs it)";
    testsupport::ChildProcess px;
    ASSERT_TRUE(px.start("/usr/games/pgn-extract",
                         {"-s", "-l" + dir.path() + "/log.txt", "-o" + dir.path() + "/salida.pgn", ruta}, dir.path(),
                         {}));
    EXPECT_EQ(px.waitExit(std::chrono::seconds(60)), 0);
    std::ifstream log(dir.path() + "/log.txt");
    const std::string avisos((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(avisos, "");
}

}  // namespace
