// Tavorin under test, in this process: its real windows (offscreen) on a link whose
// peer is the fuzzer. What the peer sends goes through the real receive path (the
// splitter, the dispatcher, the board, the clocks, the ranking and its file); what
// Tavorin sends stays in its queue until the run lets the sender send it. Questions are
// answered as the run says; the clock source is the fuzzer's.
//
// What counts as a finding, besides a sanitizer report or a crash (which end the
// process): a message loop that stops answering, memory that grows from run to run,
// a ranking change that no message or command asked for, a rated game, a position or
// a stream that this side never agreed to, a take-back of another move than this
// side's own, and a move of this side that is dropped or waits behind the refusals.
#pragma once

#include "gramatica.h"

#include <QByteArray>

#include <cstddef>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace peerfuzz {

struct Hallazgo {
    std::string tipo;     // what kind of fault
    std::string detalle;  // the message or step and what it did
};

class Banco {
public:
    Banco();
    ~Banco();
    Banco(const Banco&) = delete;
    Banco& operator=(const Banco&) = delete;

    // Runs `e` on a fresh link; `azar` answers the questions the run leaves open and
    // picks the legal moves.
    std::vector<Hallazgo> Ejecutar(const Ejecucion& e, std::mt19937_64& azar);

    // Prints every message the dispatcher takes and every step, with the state after it.
    bool traza = false;

    // Messages of the peer the dispatcher took, over all runs.
    std::size_t Despachados() const { return despachados_; }
    // Counts the steps: a watchdog sees the loop go on.
    static std::size_t Latido();

private:
    struct Foto;
    Foto Tomar() const;
    void Enlazar();
    void Dar(const Paso& p);
    void Bombear();
    void TrasMensaje(const QByteArray& m);
    void TrasPaso(const Paso& p);
    void Hallar(const std::string& tipo, const std::string& detalle);
    long Responder(long botones, long defecto, const QString& texto);
    bool JugadaLegal(int lado, bool promociones, int& x1, int& y1, int& x2, int& y2, int& pieza);

    struct Impl;
    std::unique_ptr<Impl> d_;
    std::size_t despachados_ = 0;
};

}  // namespace peerfuzz
