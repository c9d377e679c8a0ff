// What the two-copy runs are made of (copias.h): a real copy of Tavorin driven through
// its test commands, and the pair of them a run plays with. The pair's plain steps are
// in copias.cpp, the faults of the link and the steps in a mover's last second in
// copias_fallos.cpp.
#pragma once

#include "copias_red.h"
#include "ejecucion.h"

#include "child_process.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace peerfuzz {

using RelojReal = std::chrono::steady_clock;

// A copy of the program in a folder of its own, started through `lanzador` (a network
// of its own) when one is given.
class Copia {
public:
    Copia(const std::string& programa, const std::string& raiz, const std::string& nick,
          std::vector<std::string> lanzador);

    bool Arrancar();
    const std::string& Nick() const { return nick_; }
    std::string Ruta(const std::string& nombre) const { return carpeta_ + "/" + nombre; }
    pid_t Pid() const { return p_.pid(); }
    bool Viva() { return p_.running(); }
    std::vector<std::string> Errores() { return p_.errorLines(); }
    void Terminar();
    void Matar() { p_.kill(); }

    // A command: read on until it is done or has opened a box. The program reads the
    // lines that came with a command only once more input comes, when the command opens
    // a box: nothing else is written before it shows.
    void Enviar(const std::string& orden);
    // A command written and left to run: a stopped copy reads it when it goes on.
    void Encargar(const std::string& orden);
    // What came, waiting up to `ms` for a first line.
    void Leer(int ms);
    // The state line, read now (it is answered while a box is open).
    std::map<std::string, std::string> Estado();
    // Answers the innermost box that is open.
    void Responder(bool si);
    // Boxes left open on purpose: the outermost `diferidas`, or all with `retener`.
    size_t Retenidas() const { return retener ? preguntas.size() : size_t(diferidas); }
    bool Ocupada() const { return preguntas.size() > Retenidas() || textos > 0; }
    bool SinPendientes() const { return pendientes_.empty(); }

    // The Yes/No boxes open, innermost last. Input boxes open.
    std::vector<std::string> preguntas;
    int diferidas = 0;
    bool retener = false;
    int textos = 0;
    // Boxes that tell of a protocol error.
    std::vector<std::string> errores;
    // Tells the boxes, questions and moves shown.
    bool detalle = false;

private:
    void Linea(const std::string& l);

    std::string nick_, carpeta_;
    std::vector<std::string> lanzador_, entorno_;
    testsupport::ChildProcess p_;
    std::multiset<std::string> pendientes_;
};

// The local half of a copy's Puntuacion.dat.
std::array<std::int32_t, 5> Registro(const Copia& c);

std::string Valor(const std::map<std::string, std::string>& e, const char* clave);

// How long what a copy sends while its question is open is given to arrive: a sender's
// tick and a dispatch, far less on the loopback, more under the sanitizers.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kCalmaMs = 600;
#else
inline constexpr int kCalmaMs = 250;
#endif

class Pareja {
public:
    // `red`: the link between the copies' networks, or nullptr when they share one.
    Pareja(Copia& ana, Copia& luis, std::mt19937_64& azar, bool detalle, RedCopias* red);

    // A run of random steps; with `fallos`, the link is cut, delayed and lost, a copy
    // stopped, and requests made in a mover's last second.
    std::vector<Hallazgo> Ejecutar(bool fallos);
    // Variant `variante` of a scripted check (Casos() names them).
    std::vector<Hallazgo> Caso(const std::string& nombre, int variante);
    // The link was cut for good: these copies cannot be linked again.
    bool Perdido() const { return perdido_; }

    struct DatosCaso {
        const char* nombre;
        int variantes;
        const char* que;
    };
    static const std::vector<DatosCaso>& Casos();

private:
    int Entre(int menor, int mayor) { return std::uniform_int_distribution<int>(menor, mayor)(azar_); }
    bool Prob(int porMil) { return Entre(0, 999) < porMil; }
    Copia& Una() { return Prob(500) ? a_ : b_; }
    Copia& Otra(Copia& c) { return &c == &a_ ? b_ : a_; }
    std::map<std::string, std::string>& EstadoDe(const Copia& c) { return &c == &a_ ? ea_ : eb_; }
    void Hallar(const std::string& tipo, const std::string& detalle);
    void Paso(const std::string& que);

    // The answer a question gets when nothing else is asked of it.
    bool Respuesta(const std::string& texto);
    // Until both copies are still: questions answered (but the ones left open), every
    // command done, both queues empty. False when they do not come to rest.
    bool Asentar();
    // Answers and reads until both are still, what travels between them aside.
    bool Atender();
    // A chat line of `de` reaches `a`: everything `de` sent before has been read there.
    bool Barrera(Copia& de, Copia& a);
    // The link carries what is sent and neither copy is stopped.
    bool Enlazadas() const { return !(red_ && red_->Cortado()) && !quieta_; }
    void Orden(Copia& c, const std::string& orden);
    bool Enlazar();
    void Desenlazar();
    void Proponer(Copia& quien, bool puntuable, int minutos, bool blancas);
    bool Mover(Copia& quien);
    bool MoverCualquiera();
    // The copy whose player is to move in a rated game, with its clock's seconds left.
    Copia* Mueve(long& quedan);
    void MoverAlLimite();
    void Contar(Copia& c, long ms);
    void PreguntaAbierta();
    void Comprobar(const char* cuando);
    void Preparar(bool fallos);
    void PasoComun(int n);
    void Final();
    // The two ranking files tell one story of the run's games so far.
    void Cuentas(const char* cuando);
    bool Bien(const std::array<std::int32_t, 5>& x, const std::array<std::int32_t, 5>& y, std::string& por);

    // ---- copias_fallos.cpp ----
    void PasoConFallo();
    // Both clocks go on by `ms`, `paso` at a time, as time passes on both machines.
    void Avanzar(long ms, long paso);
    // A few seconds on both clocks, then both still: every wait on the clock is over.
    void Reposo();
    // What must hold once both have come to rest after a fault: neither alone in a
    // rated game, the bookings so far one story.
    void Coherencia(const std::string& cuando);
    // The link down for `ms` of both clocks (the side to move moving into it when
    // `mueve`), then back; or lost for good.
    void Corte(long ms, bool paraSiempre, bool mueve);
    // The link down for a moment of real time.
    void CorteCorto();
    // One copy stopped (SIGSTOP) while the other plays on and the clocks run.
    void Parada();
    // The mover of a rated game, its clock taken to `antes` ms before its flag and the
    // peer's count of that clock to `desfase` ms behind; nullptr without one.
    Copia* AlLimite(long antes, long desfase);
    // A request of `quien` ("tablas", "nueva", "fichero", "epd"), its own questions
    // answered Yes; the peer's question about it is held open. True once it shows.
    bool Pedir(Copia& quien, const std::string& que);
    // `quien`, `antes` ms before its flag, asks; the peer's count goes on `espera` ms and
    // it says Yes; the asker's flag falls before that Yes or after it.
    void Peticion(Copia& quien, const std::string& que, long antes, long espera, bool banderaAntes);
    // A fresh rated game of one minute with `blancas` White, both at rest: White's clock
    // has run no time on either copy.
    bool PartidaDeUnMinuto(Copia& blancas);

    Copia &a_, &b_;
    std::mt19937_64& azar_;
    bool detalle_;
    RedCopias* red_;
    Copia* servidor_ = nullptr;
    Copia* quieta_ = nullptr;  // stopped (SIGSTOP)
    std::vector<Hallazgo> hallazgos_;
    std::map<std::string, std::string> ea_, eb_;
    int sincronias_ = 0;
    bool siempreSi_ = false;  // a scripted check answers every question Yes
    bool perdido_ = false;
    std::string colorA_, colorB_;  // each copy's colour when the link went for good
    std::array<std::int32_t, 5> antesA_{}, antesB_{};
};

}  // namespace peerfuzz
