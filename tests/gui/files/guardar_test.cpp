// The savers: what each writes, the dialog each shows, and what happens to files
// that are read-only or cannot be written.
#include "ficheros_prueba.h"

#include "app/Variables.h"
#include "board/Tavorin.h"
#include "files/Guardar.h"
#include "files/SetTableroF.h"
#include "network/Chat.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>

#include <unistd.h>

namespace {

bool Root() { return ::geteuid() == 0; }

TEST(Nombres, SavedNamesGetTheExtensionOfTheirFilter) {
    const std::tuple<const char*, const char*, bool, const char*> casos[] = {
        {"/d/partida", "1", false, "/d/partida.tvp"},
        {"/d/partida", "2", false, "/d/partida.pgn"},
        {"/d/partida", "3", false, "/d/partida.epd"},
        {"/d/partida", "", false, "/d/partida.tvp"},
        {"/d/p.PGN", "1", false, "/d/p.PGN"},
        {"/d/p.txt", "3", false, "/d/p.txt.epd"},
        {"/d/p", "1", true, "/d/p.epd"},
        {"/d/p.tvp", "1", true, "/d/p.tvp.epd"},
        {"/d/p.EPD", "1", true, "/d/p.EPD"},
    };
    for (const auto& [ruta, filtro, soloEpd, esperado] : casos)
        EXPECT_EQ(NombreConExtension(ruta, filtro, soloEpd), esperado) << ruta << " " << filtro;
}

TEST_F(Ficheros, TheGameSavesByTheNameOrTheFilterChosen) {
    Jugar("e2e4 c7c5");
    {
        auto d = ResponderDialogo(e->Ruta("sin"), 3);
        GuardarPartida();
        EXPECT_EQ(d->filtros.size(), 3);
    }
    EXPECT_EQ(e->Contenido("sin.epd"), QByteArray("rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq c6 0 1\r\n"));
    EXPECT_EQ(Vistos(), "34");
    // The PGN road goes on in the browser with the name chosen.
    {
        auto d = ResponderDialogo(e->Ruta("sin"), 2);
        GuardarPartida();
    }
    EXPECT_EQ(FicheroPendiente, e->Ruta("sin.pgn"));
    // With the set-up window open nothing is saved, not even asked.
    SetTableroF().Show();
    ModoPreparar = true;
    auto d = ResponderDialogo(e->Ruta("nada.tvp"));
    GuardarPartida();
    EXPECT_FALSE(d->visto);
    EXPECT_FALSE(QFile::exists(e->Ruta("nada.tvp")));
}

TEST_F(Ficheros, ChatLogAndBoardPicture) {
    Chat().ChatList->setPlainText("Ana: hola\nLuis: buenas");
    {
        auto d = ResponderDialogo(e->Ruta("chat.txt"));
        GuardarChat();
        EXPECT_EQ(d->carpeta, QDir(e->Carpeta()).absolutePath());
    }
    // The date in the chosen language, Spanish, whatever the system's.
    const QString fecha = QLocale(QLocale::Spanish).toString(QDate::currentDate(), QLocale::LongFormat);
    EXPECT_EQ(QString::fromUtf8(e->Contenido("chat.txt")), "Tavorin. " + fecha + "\r\nAna: hola\r\nLuis: buenas\r\n");
    {
        auto d = ResponderDialogo(e->Ruta("tablero.bmp"));
        GuardarImagen();
    }
    const QImage imagen(e->Ruta("tablero.bmp"), "BMP");
    EXPECT_EQ(imagen.size(), QSize(8 * int(AnchoCasilla), 8 * int(AltoCasilla)));
    EXPECT_EQ(imagen.pixelColor(5, 5), Tavorin().PicBuffer->Imagen().pixelColor(5, 5));
    EXPECT_EQ(Vistos(), "33|37");
}

// Saves under `nombre` typed without an extension with filter `filtro`; a question about
// replacing a file gets `respuesta`, then the dialog is left by Cancel if still open.
// Gives the questions' texts.
QStringList GuardarSinExtension(const QString& nombre, int filtro, QMessageBox::StandardButton respuesta) {
    QStringList preguntas;
    bool elegido = false;
    QTimer reloj;
    reloj.setInterval(5);
    QObject::connect(&reloj, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible()) continue;
            if (auto* caja = qobject_cast<QMessageBox*>(w)) {
                preguntas << caja->text();
                caja->button(respuesta)->click();
                return;
            }
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialogo = qobject_cast<QFileDialog*>(w);
            if (!dialogo || !dialogo->isVisible()) continue;
            if (elegido) {
                dialogo->reject();
                return;
            }
            elegido = true;
            dialogo->selectNameFilter(dialogo->nameFilters().value(filtro - 1));
            dialogo->selectFile(nombre);
            // Accepted from outside this tick: the question's own loop needs the timer again.
            QTimer::singleShot(0, dialogo, [dialogo] { static_cast<QDialog*>(dialogo)->accept(); });
            return;
        }
    });
    reloj.start();
    GuardarPartida();
    return preguntas;
}

TEST_F(Ficheros, ANameCompletedByTheFilterAsksBeforeAFileIsReplaced) {
    Jugar("e2e4");
    e->Escribir("viejo.tvp", "viejo");
    e->Escribir("viejo.epd", "viejo");
    // No: the file stays and nothing is said.
    QStringList preguntas = GuardarSinExtension(e->Ruta("viejo"), 1, QMessageBox::No);
    ASSERT_EQ(preguntas.size(), 1);
    EXPECT_TRUE(preguntas[0].contains("viejo.tvp")) << preguntas[0].toStdString();
    EXPECT_EQ(e->Contenido("viejo.tvp"), QByteArray("viejo"));
    EXPECT_EQ(Vistos(), "");
    // Yes: the file of the completed name is written, once asked.
    preguntas = GuardarSinExtension(e->Ruta("viejo"), 3, QMessageBox::Yes);
    ASSERT_EQ(preguntas.size(), 1);
    EXPECT_TRUE(preguntas[0].contains("viejo.epd")) << preguntas[0].toStdString();
    EXPECT_TRUE(e->Contenido("viejo.epd").startsWith("rnbqkbnr/pppppppp/8/8/4P3/")) << e->Contenido("viejo.epd").data();
    EXPECT_EQ(Vistos(), "34");
    // A completed name that is no file yet is not asked about.
    e->mensajes.clear();
    EXPECT_TRUE(GuardarSinExtension(e->Ruta("nuevo"), 1, QMessageBox::No).isEmpty());
    EXPECT_TRUE(QFile::exists(e->Ruta("nuevo.tvp")));
    EXPECT_EQ(Vistos(), "34");
}

TEST_F(Ficheros, ReadOnlyFilesAreReplacedUnwritableOnesKept) {
    e->Escribir("viejo.tvp", "viejo");
    QFile::setPermissions(e->Ruta("viejo.tvp"), QFile::ReadOwner | QFile::ReadGroup);
    {
        auto d = ResponderDialogo(e->Ruta("viejo.tvp"));
        GuardarPartida();
    }
    EXPECT_EQ(e->Contenido("viejo.tvp"), QByteArray("0000\r\n0000\r\nA\r\n\r\n"));
    EXPECT_TRUE(QFile::permissions(e->Ruta("viejo.tvp")) & QFile::WriteOwner);
    EXPECT_EQ(Vistos(), "34");

    // A path that is no regular file, a folder that does not let a file in: text 28
    // names it and the old file stays.
    e->mensajes.clear();
    QDir().mkpath(e->Ruta("carpeta.tvp"));
    EXPECT_EQ(EscribirFichero(e->Ruta("carpeta.tvp"), [](QIODevice&) { return true; }), Escritura::Protegida);
    EXPECT_EQ(EscribirFichero(e->Ruta("viejo.tvp/x.tvp"), [](QIODevice&) { return true; }), Escritura::Fallida);
    EXPECT_EQ(EscribirFichero(e->Ruta("viejo.tvp"),
                              [](QIODevice& d) {
                                  d.write("a medias");
                                  return false;
                              }),
              Escritura::Fallida);
    EXPECT_EQ(e->Contenido("viejo.tvp"), QByteArray("0000\r\n0000\r\nA\r\n\r\n"));
    if (Root()) GTEST_SKIP() << "folder permissions do not bind root";
    QDir().mkpath(e->Ruta("cerrada"));
    e->Escribir("cerrada/p.tvp", "antes");
    QFile::setPermissions(e->Ruta("cerrada"), QFile::ReadOwner | QFile::ExeOwner);
    {
        auto d = ResponderDialogo(e->Ruta("cerrada/p.tvp"));
        GuardarPartida();
    }
    QFile::setPermissions(e->Ruta("cerrada"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(e->Contenido("cerrada/p.tvp"), QByteArray("antes"));
    EXPECT_EQ(Vistos(), TextoConNombre(28, e->Ruta("cerrada/p.tvp")).toStdString());
}

}  // namespace
