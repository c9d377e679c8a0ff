// What the tests of the network windows share: a started program whose board window
// believes it is linked to a peer (no socket: what it queues stays in the queue), the
// messages of the peer handed to the dispatcher, and readings of what came out.
#pragma once

#include "entorno.h"

#include <QString>
#include <gtest/gtest.h>

#include <memory>
#include <string>

class Red : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

public:
    // A fresh link (as a connection makes it), the sender held still.
    void Enlazar();
    // A message of the peer through the dispatcher, as the link hands it over.
    void Llega(const QString& mensaje);
    // The queue for the peer ("|" between), then emptied.
    std::string Cola();
    // The boxes shown, as language text numbers where the text is one ("|" between),
    // then forgotten.
    std::string Cajas();
    // A game agreed with the peer: this side plays White (lado 1) or Black.
    void Partida(const char* tipo, int lado, int minutos = 5);
    // Plays a move of this side on the board by dragging ("e2e4").
    void Mover(const std::string& uci);
    // The piece on a square ("e4").
    static int Pieza(const std::string& casilla);

    std::unique_ptr<Entorno> e;
    std::int64_t reloj = 1'000'000;  // the clock source the program reads
    int parpadeos = 0;
    bool primerPlano = false;
};
