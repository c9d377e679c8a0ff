// What the tests of the game-file windows share: a started program brought back to
// a quiet board for each test, a fake sender for the peer queue, file dialogs
// answered, and the replay's timers run tick by tick.
#pragma once

#include "entorno.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <memory>
#include <string>

class QTimer;

class Ficheros : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

public:
    // A quiet board: start position seen from White, no game, no peer, no file
    // window open, clocks at zero, nothing queued or shown.
    void Reiniciar();
    // A peer connection as the network leaves it.
    static void Conectar();
    // The fake sender: what waits in the queue is sent (kept in `enviados`).
    void Enviar();
    // Runs the replay timers' ticks until both stop, sending as it goes.
    void Reproducir();
    // The messages shown, "|" between; a language text shows as its number.
    std::string Vistos() const;
    // Plays moves ("e2e4 e7e5") as a game at one board does.
    static void Jugar(const std::string& jugadas);
    // The answer to the colour question that names White (1) or Black (2) in the
    // language in use.
    static QString Color(int lado);

    std::unique_ptr<Entorno> e;
    QStringList enviados;
};

// The next file dialog: what it showed, and the answer it got.
struct Dialogo {
    ~Dialogo();
    bool visto = false;
    QString titulo, carpeta, filtroElegido;
    QStringList filtros;
    QTimer* reloj = nullptr;
};
// Answers the next file dialog with `ruta` (empty: cancel), after choosing its filter
// number `filtro` (from 1) when given. Replacing a file is not asked.
std::unique_ptr<Dialogo> ResponderDialogo(const QString& ruta, int filtro = 0);
