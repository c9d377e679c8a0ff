// Every writer of the program on a full disk: the file that held good bytes keeps them
// all, no temporary file is left behind, the user is told the file could not be
// written (text 28) and no "saved" message follows.
#include "ficheros_prueba.h"

#include "app/ApiFunciones.h"
#include "app/Variables.h"
#include "ficheros_raros.h"
#include "files/Guardar.h"
#include "files/ListaPgn.h"
#include "network/Chat.h"
#include "network/Ranking.h"
#include "shell/Mdi.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>

#include <functional>
#include <map>

namespace {

struct CasoLleno {
    const char* nombre;
    // The disk takes this many bytes of a file.
    rlim_t sitio;
    // Puts the good files in place (the program folder is checked whole) and names
    // those outside it.
    std::function<QStringList(Ficheros&)> preparar;
    // What the user does, on the full disk.
    std::function<void(Ficheros&)> accion;
};

QByteArray Bytes(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

// Every file of the folder and below with its bytes.
std::map<QString, QByteArray> Arbol(const QString& carpeta) {
    std::map<QString, QByteArray> arbol;
    QDir d(carpeta);
    for (const QFileInfo& i : d.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (i.isDir()) {
            for (auto& [nombre, bytes] : Arbol(i.filePath())) arbol[i.fileName() + "/" + nombre] = bytes;
        } else {
            arbol[i.fileName()] = Bytes(i.filePath());
        }
    }
    return arbol;
}

// The names whose bytes differ, with their sizes before and after ("" when none).
std::string Cambios(const std::map<QString, QByteArray>& antes, const std::map<QString, QByteArray>& despues) {
    std::string cambios;
    auto tamano = [](const std::map<QString, QByteArray>& m, const QString& n) {
        const auto i = m.find(n);
        return i == m.end() ? std::string("none") : std::to_string(i->second.size());
    };
    std::map<QString, int> nombres;
    for (const auto& [n, b] : antes) nombres[n] = 0;
    for (const auto& [n, b] : despues) nombres[n] = 0;
    for (const auto& [n, x] : nombres) {
        const auto a = antes.find(n), d = despues.find(n);
        if (a != antes.end() && d != despues.end() && a->second == d->second) continue;
        cambios += n.toStdString() + " " + tamano(antes, n) + " -> " + tamano(despues, n) + " bytes; ";
    }
    return cambios;
}

// Saves the game through the save dialog under `nombre` in the program folder.
void GuardarComo(Ficheros& f, const QString& nombre) {
    auto d = ResponderDialogo(f.e->Ruta(nombre));
    GuardarPartida();
}

QStringList Ninguno(Ficheros&) { return {}; }

QStringList Viejo(Ficheros& f, const QString& nombre, const QByteArray& bytes) {
    f.e->Escribir(nombre, bytes);
    return {};
}

TEST_F(Ficheros, EveryWriterOnAFullDiskKeepsTheOldFileAndSaysItDidNotWrite) {
    const QByteArray pgn = QByteArray("[Event \"Vieja\"]\r\n[Site \"?\"]\r\n[Date \"2020.01.01\"]\r\n") +
                           QByteArray(420, ' ') + "\r\n1. e4 e5 *\r\n";
    testsupport::TempDir xdg;
    const QByteArray xdgAntes = qgetenv("XDG_DATA_HOME");
    const QString datos = QString::fromStdString(xdg.path());
    const CasoLleno casos[] = {
        {"save game as PGN over a good file", 0, [&](Ficheros& f) { return Viejo(f, "vieja.pgn", pgn); },
         [](Ficheros& f) {
             GuardarComo(f, "vieja.pgn");
             ::ListaPgn().Command2_Click(1);
         }},
        {"save game as PGN, the disk filling half-way", 64, [&](Ficheros& f) { return Viejo(f, "vieja.pgn", pgn); },
         [](Ficheros& f) {
             GuardarComo(f, "vieja.pgn");
             ::ListaPgn().Command2_Click(1);
         }},
        {"save game to a new own game file", 0, Ninguno, [](Ficheros& f) { GuardarComo(f, "nueva.tvp"); }},
        {"save game over a good own game file", 0,
         [](Ficheros& f) { return Viejo(f, "vieja.tvp", "0000\r\n0000\r\nA\r\n5254\r\n\r\n"); },
         [](Ficheros& f) { GuardarComo(f, "vieja.tvp"); }},
        {"save game as EPD over a good file", 0,
         [](Ficheros& f) { return Viejo(f, "vieja.epd", "8/8/8/8/8/8/8/K1k5 w - - 0 1\r\n"); },
         [](Ficheros& f) { GuardarComo(f, "vieja.epd"); }},
        {"the chat log over a good file", 0,
         [](Ficheros& f) {
             ::Chat().ChatList->setPlainText("Ana: hola");
             return Viejo(f, "chat.txt", "Tavorin. ayer\r\nLuis: adios\r\n");
         },
         [](Ficheros& f) {
             auto d = ResponderDialogo(f.e->Ruta("chat.txt"));
             GuardarChat();
         }},
        {"the board picture over a good file", 0, [](Ficheros& f) { return Viejo(f, "tablero.bmp", "BM viejo"); },
         [](Ficheros& f) {
             auto d = ResponderDialogo(f.e->Ruta("tablero.bmp"));
             GuardarImagen();
         }},
        {"a ranking booking, the disk taking ten of its bytes", 10,
         [](Ficheros& f) {
             ::Ranking().RegPuntuacion = {2, 1, 1, 0, 1250, 0, 0, 0, 0, 1200};
             return Viejo(f, "Puntuacion.dat", puntuacion::Bytes(::Ranking().RegPuntuacion) + "resto");
         },
         [](Ficheros&) { ::Ranking().SumaDePartidas(puntuacion::Derrota); }},
        {"a ranking booking", 0,
         [](Ficheros& f) {
             ::Ranking().RegPuntuacion = {2, 1, 1, 0, 1250, 0, 0, 0, 0, 1200};
             return Viejo(f, "Puntuacion.dat", puntuacion::Bytes(::Ranking().RegPuntuacion));
         },
         [](Ficheros&) { ::Ranking().SumaDePartidas(puntuacion::Victoria); }},
        {"the exit sequence", 0,
         [](Ficheros& f) {
             NickLocal = "Otro";
             return Viejo(f, "Puntuacion.dat", puntuacion::Bytes({3, 1, 1, 1, 1100}));
         },
         [](Ficheros&) { EXPECT_EQ(Estado([] { ::Mdi().Unload(); }), 0); }},
        {"a Default.ini bigger than the room left, at the exit", 100 * 1024,
         [](Ficheros& f) {
             QByteArray grande = f.e->Contenido("Default.ini");
             for (int i = 0; grande.size() < 320 * 1024; ++i)
                 grande += "[Seccion" + QByteArray::number(i) + "]\r\nA=1\r\n";
             f.e->Escribir("Default.ini", grande);
             f.e->Escribir("Puntuacion.dat", puntuacion::Bytes(::Ranking().RegPuntuacion));
             NickLocal = "Otro";
             return QStringList();
         },
         [](Ficheros&) { EXPECT_EQ(Estado([] { ::Mdi().Unload(); }), 0); }},
        {"a file type registered over good desktop files", 0,
         [&](Ficheros&) {
             qputenv("XDG_DATA_HOME", datos.toLocal8Bit());
             QDir().mkpath(datos + "/applications");
             QDir().mkpath(datos + "/mime/packages");
             const std::pair<const char*, const char*> viejos[] = {
                 {"/applications/mimeapps.list", "[Default Applications]\ntext/plain=otro.desktop;\n"},
                 {"/applications/tavorin.desktop", "[Desktop Entry]\nType=Application\nName=Tavorin\n"},
                 {"/mime/packages/tavorin-tvp.xml", "<?xml version=\"1.0\"?>\n<mime-info/>\n"}};
             QStringList rutas;
             for (const auto& [nombre, bytes] : viejos) {
                 QFile g(datos + nombre);
                 if (g.open(QIODevice::WriteOnly)) g.write(bytes);
                 rutas << datos + nombre;
             }
             return rutas;
         },
         [](Ficheros&) { RegistrarExtension(1, ".tvp", "tvpfile", "tvpfile", "Tavorin", "tvpfile"); }},
    };
    const QString prefijo28 = TextosIdioma[28].section(u'$', 0, 0);
    ASSERT_FALSE(prefijo28.isEmpty());
    for (const CasoLleno& c : casos) {
        SCOPED_TRACE(c.nombre);
        Reiniciar();
        OlvidarAvisoEscritura();
        Jugar("e2e4 e7e5");
        const QStringList fuera = c.preparar(*this);
        e->mensajes.clear();
        const std::map<QString, QByteArray> antes = Arbol(e->Carpeta());
        std::map<QString, QByteArray> antesFuera;
        for (const QString& r : fuera) antesFuera[r] = Bytes(r);
        {
            testsupport::DiscoLleno lleno(c.sitio);
            c.accion(*this);
        }
        std::map<QString, QByteArray> despuesFuera;
        for (const QString& r : fuera) despuesFuera[r] = Bytes(r);
        EXPECT_EQ(Cambios(antes, Arbol(e->Carpeta())) + Cambios(antesFuera, despuesFuera), "");
        bool dicho = false;
        for (const auto& m : e->mensajes) {
            dicho = dicho || m.texto.startsWith(prefijo28);
            for (int hecho : {33, 34, 37}) EXPECT_FALSE(m.texto == TextosIdioma[size_t(hecho)]) << "text " << hecho;
        }
        EXPECT_TRUE(dicho) << Vistos();
    }
    qputenv("XDG_DATA_HOME", xdgAntes);
}

}  // namespace
