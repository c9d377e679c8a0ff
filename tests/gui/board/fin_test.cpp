// The end of a game and the event sounds.
#include "partida.h"

#include "app/CMensaje.h"
#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Sonidos.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "network/Ranking.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QTimer>

namespace {

TEST_F(Partida, StalemateShowsTextThreeWithoutTheWinSound) {
    Posicion("7k/8/6Q1/8/8/8/8/K7 w - - 0 1");
    EXPECT_EQ(DibujoDistinto(), "");
    Arrastrar("g6", "f7");
    EXPECT_EQ(Pieza("f7"), 5);
    ASSERT_EQ(e->mensajes.size(), 1u);
    EXPECT_EQ(e->mensajes[0].texto, TextosIdioma[3]);
    EXPECT_EQ(sonidos, QStringList{"Mueve.wav"});
    EXPECT_EQ(Reglas().Turno, 0);
    EXPECT_FALSE(Reglas().Ahogado);  // the game state is reset
}

TEST_F(Partida, ARatedMateIsBookedForTheLocalPlayersColour) {
    auto& r = Ranking().RegPuntuacion;
    Reglas().TipoPartida = "R";
    Reglas().MiColor = "Negras";
    Jugar("f2f3 e7e5 g2g4 d8h4");
    EXPECT_EQ(r[0], 1);
    EXPECT_EQ(r[1], 1);  // Black won: the local player
    EXPECT_EQ(r[4], 1300);
    EXPECT_EQ(e->mensajes.back().texto, TextosIdioma[2]);
    EXPECT_TRUE(Reglas().TipoPartida.empty());
    EXPECT_TRUE(Reglas().MiColor.empty());
    // An unrated game books nothing but still tells the result.
    ReiniciarTablero();
    Reglas().TipoPartida = "A";
    Reglas().MiColor = "Blancas";
    Jugar("e2e4 e7e5 f1c4 b8c6 d1h5 g8f6 h5f7");
    EXPECT_EQ(r[0], 1);
    EXPECT_EQ(e->mensajes.back().texto, TextosIdioma[1]);
    // A rated stalemate is a draw.
    ReiniciarTablero();
    Posicion("7k/8/6Q1/8/8/8/8/K7 w - - 0 1");
    Reglas().TipoPartida = "R";
    Reglas().MiColor = "Blancas";
    Arrastrar("g6", "f7");
    EXPECT_EQ(r[0], 2);
    EXPECT_EQ(r[3], 1);
}

TEST_F(Partida, MateStopsTheEngineClocksOfAShownEnginePanel) {
    Cpu().Timer4->start(1000);
    Cpu().Timer5->start(1000);
    Jugar("f2f3 e7e5 g2g4 d8h4");
    EXPECT_FALSE(Cpu().Timer4->isActive());
    EXPECT_FALSE(Cpu().Timer5->isActive());
}

TEST_F(Partida, AMissingSoundFileIsToldOnceAndSwitchesSoundsOff) {
    ASSERT_TRUE(QFile::remove(e->Ruta("Sonidos/Mueve.wav")));
    Jugar("e2e4");
    ASSERT_EQ(e->mensajes.size(), 1u);
    EXPECT_EQ(e->mensajes[0].icono, MB_ICONSTOP);
    EXPECT_FALSE(e->mensajes[0].texto.contains(u'$'));
    EXPECT_EQ(e->mensajes[0].texto.count("\r\n"), 2);
    EXPECT_FALSE(e->mensajes[0].texto.contains(" \r\n"));
    EXPECT_FALSE(Mdi().mnuSonido->isChecked());
    EXPECT_TRUE(sonidos.isEmpty());
    Jugar("e7e5");
    EXPECT_EQ(e->mensajes.size(), 1u);
    EXPECT_EQ(Pieza("e5"), 7);
}

TEST_F(Partida, WithSoundsOffNothingIsPlayedButTheSelectionIsStillHidden) {
    Mdi().mnuSonido->trigger();
    ASSERT_FALSE(Mdi().mnuSonido->isChecked());
    Tavorin().Shape->show();
    ReproducirSonido(4);
    EXPECT_TRUE(Tavorin().Shape->isHidden());
    EXPECT_TRUE(sonidos.isEmpty());
    EXPECT_TRUE(e->mensajes.empty());
    Mdi().mnuSonido->trigger();
    for (long tipo = 1; tipo <= 5; ++tipo) ReproducirSonido(tipo);
    EXPECT_EQ(sonidos, QStringList({"Conexion.wav", "Desconectado.wav", "Mueve.wav", "Gana.wav", "Tiempo.wav"}));
    ReproducirSonido(6);
    EXPECT_EQ(e->mensajes.size(), 1u);
}

TEST_F(Partida, TextFiftyFourWithoutTwoMarksShowsNothingAndKeepsSoundsOn) {
    const QString guardado = TextosIdioma[54];
    TextosIdioma[54] = "sin marcas $ una";
    SonidoNoEncontrado();
    EXPECT_TRUE(e->mensajes.empty());
    EXPECT_TRUE(Mdi().mnuSonido->isChecked());
    TextosIdioma[54] = "a $ b $ c";
    SonidoNoEncontrado();
    ASSERT_EQ(e->mensajes.size(), 1u);
    EXPECT_EQ(e->mensajes[0].texto, "a\r\nb\r\nc");
    TextosIdioma[54] = guardado;
}

TEST_F(Partida, TheNewGameCommandResetsAGameInProgress) {
    Cpu().Unload();
    // Closing the engine panel leaves nobody to move; the board goes on by hand.
    ASSERT_EQ(Reglas().Turno, 0);
    Reglas().Turno = 1;
    Jugar("e2e4 e7e5");
    ASSERT_NE(Reglas().Turno, 0);
    Mdi().mnuNuevaPartida->trigger();
    EXPECT_EQ(Reglas().Turno, 0);
    EXPECT_EQ(Pieza("e2"), 1);
    EXPECT_TRUE(Caja(1).isEmpty());
    EXPECT_TRUE(Tavorin().Shape1[1]->isHidden());
    EXPECT_EQ(DibujoDistinto(), "");
    EXPECT_TRUE(Cpu().Visible());
    // While the engine panel is shown the command does nothing.
    Cpu().Toolbar1[1]->trigger();
    Jugar("d2d4");
    Mdi().mnuNuevaPartida->trigger();
    EXPECT_EQ(Pieza("d4"), 1);
}

}  // namespace
