// Default.ini as one table: the table's defaults are the shipped file, what start-up
// reads and what the program writes back are the same keys, and a start and an exit
// give back a file that holds every key byte for byte and add the missing keys in the
// order they always had.
#include "entorno.h"

#include "app/Ajustes.h"
#include "app/ApiFunciones.h"
#include "app/ColorRgb.h"
#include "app/Opciones.h"
#include "platform/IniFile.h"
#include "shell/Mdi.h"

#include <QFile>
#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using Claves = std::set<std::pair<QString, QString>>;

// Section and key compare without regard to case, as the file's reader does.
std::pair<QString, QString> Nombre(const QString& seccion, const QString& clave) {
    return {seccion.toLower(), clave.toLower()};
}

Claves DeLaTabla() {
    Claves claves;
    for (const ajustes::Fila& f : ajustes::Tabla()) claves.insert(Nombre(f.seccion, QString::fromUtf8(f.nombre)));
    return claves;
}

// Every key, with values other than the shipped ones where the windows allow it.
const char* const kCompleto =
    "[Mdi]\r\nWindows=0\r\nWidth=11250\r\nHeight=8400\r\nLeft=150\r\nTop=90\r\n\r\n"
    "[Configuracion]\r\nIdioma=English\r\nApariencia=marmol\r\nTama\xc3\xb1o=44\r\nCheck1=0\r\nCheck2=1\r\n"
    "Check3=1\r\nJugadas=0\r\nChat=0\r\nReloj=0\r\nElo=1\r\nSonido=0\r\nPointClick=1\r\nCheck=3\r\nFondo=2\r\n"
    "Color=10:20:30\r\nNick=Ana\r\nTiempo=7\r\nAutoPlay=2500\r\nDir=/tmp/partidas/\r\nTipo=2\r\nRegitTvp=1\r\n"
    "RegitPgn=1\r\nRegitEpd=1\r\n\r\n"
    "[CPU]\r\nSt=5\r\nSd=6\r\nTiempo=3\r\nJugadas=70\r\nOption=2\r\nTop=150\r\nLeft=5400\r\n\r\n"
    "[Tablero]\r\nTop=30\r\nLeft=45\r\n\r\n"
    "[Chat]\r\nTop=5700\r\nLeft=15\r\nWidth=5250\r\nHeight=2550\r\n\r\n"
    "[Jugadas]\r\nTop=4800\r\nLeft=5400\r\nWidth=3450\r\nHeight=4050\r\n\r\n"
    "[Reloj]\r\nTop=4800\r\nLeft=8880\r\n\r\n"
    "[Ranking]\r\nTop=600\r\nLeft=6000\r\n\r\n"
    "[Pgn]\r\nTopInformacion=15\r\nLeftInformacion=5700\r\nTopJugadas=30\r\nLeftJugadas=9000\r\n\r\n"
    "[EPD]\r\nTop=45\r\nLeft=2025\r\n";

TEST(Ajustes, TheTableIsTheShippedFile) {
    QFile f(Entorno::Recursos() + "/Default.ini");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const ini::Documento enviado(f.readAll());
    Claves delFichero;
    for (const QString& seccion : enviado.Secciones())
        for (const QString& clave : enviado.Claves(seccion)) delFichero.insert(Nombre(seccion, clave));
    EXPECT_EQ(delFichero, DeLaTabla());
    EXPECT_EQ(DeLaTabla().size(), ajustes::Tabla().size()) << "a key stands twice in the table";
    for (const ajustes::Fila& fila : ajustes::Tabla()) {
        QString valor;
        enviado.Buscar(fila.seccion, QString::fromUtf8(fila.nombre), valor);
        EXPECT_EQ(valor, QString::fromUtf8(fila.defecto)) << fila.seccion << "/" << fila.nombre;
    }
}

// Start-up reads every key of the table; the exit sequence and the places where the
// user changes a value (the options and colour dialogs, the file-type questions)
// write every one of them, and no other key.
TEST(Ajustes, EveryKeyReadIsWrittenAndEveryKeyWrittenIsRead) {
    Entorno e;
    e.Escribir("Default.ini", kCompleto);
    e.Poner("Configuracion", "RegitTvp", "0");
    e.Poner("Configuracion", "RegitPgn", "0");
    e.Poner("Configuracion", "RegitEpd", "0");
    testsupport::TempDir xdg;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(xdg.path()));
    e.respuestas = {IDNO, IDNO};
    Claves leidas, escritas;
    AlUsarAjuste = [&](const QString& seccion, const QString& clave, bool escritura) {
        (escritura ? escritas : leidas).insert(Nombre(seccion, clave));
    };
    e.Arrancar();
    const Claves leidasAlArrancar = leidas;
    Opciones().OpcionesAceptar();
    ColorRgb().Show();
    ColorRgb().Command1_Click();
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    AlUsarAjuste = nullptr;

    EXPECT_EQ(leidasAlArrancar, DeLaTabla());
    EXPECT_EQ(leidas, DeLaTabla());
    EXPECT_EQ(escritas, DeLaTabla());
}

TEST(Ajustes, AStartAndAnExitGiveBackAFileWithEveryKeyByteForByte) {
    Entorno e;
    e.Escribir("Default.ini", kCompleto);
    e.Arrancar();
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    EXPECT_EQ(e.Contenido("Default.ini").toStdString(), std::string(kCompleto));
}

// The keys the exit sequence stores that the file lacks come after the ones it has,
// section by section, in the exit sequence's order; the screen (800 x 600) brings the
// shipped places onto it.
TEST(Ajustes, TheExitAddsTheMissingKeysInItsOrder) {
    Entorno e;
    e.Escribir("Default.ini",
               "[Configuracion]\r\nIdioma=Espa\xc3\xb1ol\r\nNick=Ana\r\nRegitTvp=1\r\nRegitPgn=1\r\n"
               "RegitEpd=1\r\n");
    e.Arrancar();
    EXPECT_EQ(Estado([] { Mdi().Unload(); }), 0);
    EXPECT_EQ(e.Contenido("Default.ini").toStdString(),
              "[Configuracion]\r\nIdioma=Espa\xc3\xb1ol\r\nNick=Ana\r\nRegitTvp=1\r\nRegitPgn=1\r\nRegitEpd=1\r\n"
              "Tiempo=1\r\nDir=\r\nTipo=\r\nAutoPlay=\r\nCheck1=0\r\nCheck2=0\r\nCheck3=0\r\nJugadas=0\r\nChat=0\r\n"
              "Reloj=0\r\nElo=0\r\nSonido=0\r\nPointClick=0\r\n\r\n"
              "[Mdi]\r\nWindows=0\r\nTop=600\r\nLeft=0\r\nWidth=12000\r\nHeight=10800\r\n\r\n"
              "[Tablero]\r\nTop=0\r\nLeft=0\r\n\r\n"
              "[Chat]\r\nTop=5745\r\nLeft=0\r\nWidth=5400\r\nHeight=2700\r\n\r\n"
              "[Jugadas]\r\nTop=4860\r\nLeft=5490\r\nWidth=3600\r\nHeight=4200\r\n\r\n"
              "[Reloj]\r\nTop=4560\r\nLeft=8880\r\n\r\n"
              "[Ranking]\r\nTop=6360\r\nLeft=7290\r\n\r\n"
              "[Pgn]\r\nTopInformacion=0\r\nLeftInformacion=5850\r\nTopJugadas=0\r\nLeftJugadas=9405\r\n\r\n"
              "[CPU]\r\nTop=0\r\nLeft=5490\r\nSt=1\r\nSd=1\r\nTiempo=1\r\nJugadas=30\r\nOption=0\r\n\r\n"
              "[EPD]\r\nTop=0\r\nLeft=2025\r\n");
}

}  // namespace
