// Saving a game as PGN: the browser in save mode, the writer's two buttons, the file.
#include "pgn_comun.h"

#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "files/Guardar.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "juego.h"
#include "network/Nuevo.h"
#include "network/Red.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace pgn_prueba;

namespace {

class Guardar : public ::testing::Test {
protected:
    void SetUp() override {
        e = std::make_unique<Entorno>();
        e->Arrancar();
        NuevaPartida();
    }
    void TearDown() override {
        Cerrar();
        e.reset();
    }
    static void NuevaPartida(const std::string& fen = {}) {
        Nuevo().NuevoAceptado();
        if (!fen.empty()) {
            ASSERT_TRUE(rules_test::Preparar(Reglas(), fen));
        }
        Reglas().Turno = Reglas().TurnoFichero == 2 ? 2 : 1;
    }
    static void Jugar(const std::vector<std::string>& jugadas) {
        ASSERT_EQ(rules_test::JugarVarias(Reglas(), jugadas), jugadas.size());
    }
    // Save mode for a file of the program folder.
    QString Preparar(const QString& nombre) {
        FicheroPendiente = e->Ruta(nombre);
        GuardarPartidaPgn();
        return FicheroPendiente;
    }
    std::unique_ptr<Entorno> e;
};

TEST_F(Guardar, SaveModeTheFileAndTheWindowsPlaceAfterwards) {
    Jugar({"e2e4", "e7e5", "g1f3"});
    e->Poner("Pgn", "TopInformacion", "1500");
    e->Poner("Pgn", "LeftInformacion", "3000");
    const QString ruta = Preparar("s.pgn");
    auto& l = ListaPgn();
    ASSERT_TRUE(l.Visible());
    EXPECT_TRUE(GuardandoPgn);
    EXPECT_TRUE(controles::Visible(l.Command2[1]));
    EXPECT_TRUE(controles::Visible(l.Command2[2]));
    for (int i = 1; i <= 5; ++i) EXPECT_FALSE(controles::Visible(l.Command1[size_t(i)])) << i;
    EXPECT_TRUE(controles::Visible(l.picContainer[2]));
    EXPECT_FALSE(l.Text1[0]->isReadOnly());
    EXPECT_FALSE(l.Caption().contains(u'-'));
    const QString hoy = QDate::currentDate().toString("yyyy.MM.dd");
    QStringList campos;
    for (QLineEdit* t : l.Text1) campos << t->text();
    EXPECT_EQ(campos, (QStringList{"Tavorin", "Internet", hoy, "?", "?", "?"}));
    EXPECT_EQ(l.Combo1->currentText(), "*");
    EXPECT_EQ(TextoJugadasPgn, "1. e4 e5 2. Nf3 ");
    l.Text1[4]->setText("Ana \"la\" \\");
    l.Text1[5]->setText(QString::fromUtf8("L\xC3\xBCis"));
    l.Combo1->setCurrentIndex(l.Combo1->findText("1-0"));
    l.Command2_Click(1);
    EXPECT_EQ(e->Contenido("s.pgn"),
              QString("[Event \"Tavorin\"]\r\n[Site \"Internet\"]\r\n[Date \"" + hoy +
                      "\"]\r\n[Round \"?\"]\r\n[White \"Ana \\\"la\\\" \\\\\"]\r\n[Black \"L\xC3\xBCis\"]\r\n"
                      "[Result \"1-0\"]\r\n\r\n1. e4 e5 2. Nf3 1-0\r\n")
                  .toUtf8());
    ASSERT_EQ(e->mensajes.size(), 1u) << e->mensajes[0].texto.toStdString();
    EXPECT_EQ(e->mensajes[0].texto, TextosIdioma[34]);
    EXPECT_FALSE(l.Visible());
    EXPECT_FALSE(PgnMovimientos().Visible());
    EXPECT_FALSE(GuardandoPgn);
    EXPECT_TRUE(FicheroPendiente.isEmpty());
    EXPECT_EQ(l.Top(), 1500);
    EXPECT_EQ(l.Left(), 3000);
    // The open command works again.
    EXPECT_FALSE(controles::Visible(l.Command2[1]));
    for (int i = 1; i <= 5; ++i) EXPECT_TRUE(controles::Visible(l.Command1[size_t(i)])) << i;
    (void)ruta;
}

TEST_F(Guardar, NoMovesGivesTheResultAlone) {
    Preparar("v.pgn");
    ListaPgn().Command2_Click(1);
    EXPECT_TRUE(e->Contenido("v.pgn").endsWith("[Result \"*\"]\r\n\r\n*\r\n"));
}

TEST_F(Guardar, CancelAndTheCloseBoxWriteNothing) {
    Jugar({"e2e4"});
    Preparar("c.pgn");
    ListaPgn().Command2_Click(2);
    EXPECT_FALSE(QFile::exists(e->Ruta("c.pgn")));
    EXPECT_TRUE(FicheroPendiente.isEmpty());
    EXPECT_FALSE(GuardandoPgn);
    EXPECT_FALSE(ListaPgn().Visible());
    Preparar("c.pgn");
    ListaPgn().Unload();
    EXPECT_FALSE(QFile::exists(e->Ruta("c.pgn")));
    EXPECT_TRUE(FicheroPendiente.isEmpty());
    EXPECT_FALSE(GuardandoPgn);
    EXPECT_FALSE(controles::Visible(ListaPgn().Command2[1]));
    EXPECT_TRUE(e->mensajes.empty()) << e->mensajes[0].texto.toStdString();
    // The board and the side windows are left as they were.
    EXPECT_EQ(rules_test::En(Reglas(), "e4"), rules::PeonBlanco);
}

TEST_F(Guardar, AFailedWriteKeepsTheSaveModeAndTheOldFile) {
    Jugar({"e2e4"});
    const QString malo = Preparar("no/such/folder/s.pgn");
    ListaPgn().Command2_Click(1);
    ASSERT_EQ(e->mensajes.size(), 1u);
    const QString t28 = TextosIdioma[28];
    EXPECT_EQ(e->mensajes[0].texto,
              t28.left(t28.indexOf(u'$')) + "\r\n" + malo + "\r\n" + t28.mid(t28.indexOf(u'$') + 1));
    EXPECT_TRUE(ListaPgn().Visible());
    EXPECT_TRUE(GuardandoPgn);
    EXPECT_EQ(FicheroPendiente, malo);
    ListaPgn().Command2_Click(2);
    // An existing read-only file is replaced whole.
    e->Escribir("ro.pgn", "old text that is longer than the new one will be, longer and longer and longer\n");
    QFile::setPermissions(e->Ruta("ro.pgn"), QFile::ReadOwner);
    Preparar("ro.pgn");
    ListaPgn().Command2_Click(1);
    EXPECT_TRUE(e->Contenido("ro.pgn").startsWith("[Event \"Tavorin\"]"));
    EXPECT_TRUE(e->Contenido("ro.pgn").endsWith("1. e4 *\r\n"));
}

TEST_F(Guardar, TheResultStartsAtTheEndOfTheGameOnTheBoard) {
    struct Caso {
        const char* fen;
        std::vector<std::string> jugadas;
        const char* resultado;
    };
    for (const Caso& c : {
             Caso{"", {"f2f3", "e7e5", "g2g4", "d8h4"}, "0-1"},
             Caso{"", {"e2e4", "e7e5", "f1c4", "b8c6", "d1h5", "g8f6", "h5f7"}, "1-0"},
             Caso{"k7/8/1Q6/8/8/8/8/K7 w - - 0 1", {"a1b1"}, "1/2-1/2"},
             Caso{"", {"e2e4", "e7e5"}, "*"},
         }) {
        NuevaPartida(c.fen);
        Jugar(c.jugadas);
        Preparar("r.pgn");
        EXPECT_EQ(ListaPgn().Combo1->currentText(), c.resultado) << c.jugadas.size();
        // The user may still choose another.
        ListaPgn().Combo1->setCurrentIndex(ListaPgn().Combo1->findText("*"));
        EXPECT_EQ(ListaPgn().Combo1->currentText(), "*");
        ListaPgn().Command2_Click(2);
    }
    Jugar({});
    NuevaPartida();
    Jugar({"f2f3", "e7e5", "g2g4", "d8h4"});
    Preparar("m.pgn");
    ListaPgn().Command2_Click(1);
    EXPECT_TRUE(e->Contenido("m.pgn").endsWith("1. f3 e5 2. g4 Qh4# 0-1\r\n"));
}

// A game with the peer: this side's nick on its colour, the peer's as its greeting,
// its chat lines and its changes of nick give it.
TEST_F(Guardar, TheTagsOfAGameWithThePeerCarryBothNicks) {
    auto llega = [](const QString& mensaje) {
        red::Red().DatosRecibidos = mensaje;
        Tavorin().ProcesarDatos();
    };
    auto& g = Reglas();
    g.Conectado = true;
    VersionRival.clear();
    NickRival.clear();
    auto nombres = [&](const char* color) {
        g.MiColor = color;
        Preparar("red.pgn");
        const QStringList n{ListaPgn().Text1[4]->text(), ListaPgn().Text1[5]->text()};
        ListaPgn().Command2_Click(2);
        return n;
    };
    EXPECT_EQ(nombres("Blancas"), (QStringList{"Ana", "?"}));
    llega("Mensaje Luis se ha conectado con Tavorin versi\u00f3n 1.55");
    EXPECT_EQ(nombres("Negras"), (QStringList{"Luis", "Ana"}));
    // Later lines that are no chat line or change of nick name nobody.
    llega("Mensaje Pepe says nothing here");
    llega("Mensaje <Luis M>hola");
    EXPECT_EQ(nombres("Blancas"), (QStringList{"Ana", "Luis M"}));
    llega("Mensaje *** Luis M is now known as Pepe");
    llega("Mensaje <far too long a nick>hola");
    llega("Mensaje <unclosed");
    EXPECT_EQ(nombres("Negras"), (QStringList{"Pepe", "Ana"}));
    // Connected, with no game yet, nobody has a colour.
    ColorUltimaPartidaRed.clear();
    EXPECT_EQ(nombres(""), (QStringList{"?", "?"}));
    // A game that has ended keeps its players while it stays on the board, after the
    // link has gone too; another game or position on the board names nobody.
    g.MiColor = "Negras";
    SinPartida();
    EXPECT_EQ(nombres(""), (QStringList{"Pepe", "Ana"}));
    g.Conectado = false;
    EXPECT_EQ(nombres(""), (QStringList{"Pepe", "Ana"}));
    Jugadas().BorrarContenedor();
    EXPECT_EQ(nombres(""), (QStringList{"?", "?"}));
}

}  // namespace
