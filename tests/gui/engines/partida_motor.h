// An engine game in a temporary program folder: engine folders under Motor/ (the
// recording test engine with its settings, or a real engine), the level, a game
// started from the engine panel as the person starts it, waits on the event loop, a
// record of every engine that ended by itself (its name, and the signal that ended it
// or its exit status), and at the end a check that no engine process and no process
// of an engine's group is left.
#pragma once

#include "entorno.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sys/types.h>
#include <vector>

class PartidaMotor : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

public:
    // Motor/<nombre>/<nombre>: the test engine with these settings (prueba.cfg lines),
    // with an empty record of what it reads.
    void Motor(const QString& nombre, const QStringList& ajustes);
    // Motor/<nombre>/<nombre>: a link to a real program.
    void Enlace(const QString& nombre, const QString& programa);
    // Sets the level dialog: mode 0 depth, 1 seconds per move, 2 time control (moves,
    // minutes); then its OK.
    static void Nivel(int modo, const QString& valor, const QString& jugadas = "0");
    // Lists the engines, picks one per side ("" for the person) and starts the game as
    // the new-game button does, without the second's wait. False when it did not start.
    bool Empezar(const QString& blancas, const QString& negras);
    // The lines the test engine of that folder has read.
    QStringList Leidas(const QString& nombre) const;
    // Runs the event loop until the condition holds; false after the time-out.
    static bool Esperar(const std::function<bool()>& condicion, int ms = 30000);
    // The request time-out and the castling retry's wait during the tests.
    static constexpr int kEsperaRespuestaMs = 60000;
    // Messages shown so far, "n" for language text n, else the text.
    QStringList Mensajes() const;
    // True when some message contains the text.
    bool Visto(const QString& texto) const;
    // The moves of the game's records, four digits each ("5254" ...).
    static QStringList Registros();
    // Records the process group of each running engine, for the end check.
    void AnotarGrupos();

    // An engine that ended by itself while it played.
    struct Final {
        QString motor;   // as the engine list shows it
        int senal = 0;   // the signal that ended it, 0 when it exited
        int estado = 0;  // its exit status when it exited
    };
    // Each as "fairymax ended by signal 11 (Segmentation fault)" or "... exited with
    // status 3", joined by "; ".
    QString Finales() const;

    std::unique_ptr<Entorno> e;
    std::vector<pid_t> grupos;
    std::vector<Final> finales;
};
