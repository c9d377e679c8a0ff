// A game for two people at one board, started as the user starts it (main window's
// new game, then the engine panel's new-game button with no engine on either side),
// and played with synthetic mouse events on the real board picture.
#pragma once

#include "entorno.h"

#include <QImage>
#include <QPoint>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>
#include <string>

class Partida : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Changes to the program folder before start-up.
    virtual void Preparar() {}

public:
    // The centre pixel of a square ("e2") where the board shows it now.
    static QPoint Centro(const std::string& casilla);
    // Drags the piece from one square to another, through a few squares between.
    static void Arrastrar(const std::string& de, const std::string& a);
    // Plays moves ("e2e4 e7e5 ...") by dragging, or by two clicks each.
    static void Jugar(const std::string& jugadas, bool porClic = false);
    static void Clic(const std::string& casilla, Qt::MouseButton boton = Qt::LeftButton);
    static void Clic(QPoint punto, Qt::MouseButton boton = Qt::LeftButton);
    // The pointer over the board without a button pressed.
    static void Sobre(QPointF punto);
    // The piece code on a square.
    static int Pieza(const std::string& casilla);
    // Empty when the board picture shows exactly the pieces of the game state in the
    // orientation of the menu check; else the squares that differ.
    static std::string DibujoDistinto();
    // A copy of the whole board picture.
    static QImage Dibujo();
    // The text of move-list box n (1 coordinates, 2 Spanish, 3 English, 5 user letters).
    static QString Caja(int n);
    // The display square (col, row) a move frame stands on; (0, 0) when hidden.
    static QPoint Marco(int n);
    // A new game from the engine panel's new-game button, in the given input mode.
    static void ReiniciarTablero(bool porClic = false);
    // Sets the point-click input on or off through its menu command.
    static void ClicAClic(bool activo);
    // Puts a position on the board (FEN), with the given side to move.
    static void Posicion(const std::string& fen);

    std::unique_ptr<Entorno> e;
    QStringList sonidos;  // file names of the sounds played, in order
};
