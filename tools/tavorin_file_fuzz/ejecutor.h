// One worker of the file fuzzer as the fuzzer sees it: started, given files one by one,
// and watched: what it answers, how long it takes, how much memory it holds, and how
// it ends (a sanitizer report, a signal, a status no input asked for).
#pragma once

#include "child_process.h"
#include "mutador.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace fuzz_ficheros {

struct LimitesTrabajador {
    // A file must be done within this time (generous: a sanitizer build on a busy
    // machine is slow).
    std::chrono::milliseconds espera{std::chrono::seconds(60)};
    // The heap after a file may exceed the one after the first `calentamiento` files
    // by this much, plus `porByte` times the biggest file given so far.
    unsigned long long crecimiento = 64ull << 20;
    unsigned long long porByte = 8;
    size_t calentamiento = 10;
    // The worker's peak resident memory (the sanitizers' shadow and quarantine in it).
    long picoKb = 3l << 20;
    // The leak sanitizer's suppressions for the worker ("" none).
    std::string supresiones;
};

struct Hallazgo {
    // "sanitizer", "signal", "exit status", "hang", "navigation", "program end", "memory",
    // "file" (a file lost bytes, a FIFO was waited on, a device was replaced)
    std::string clase;
    std::string clave;    // what tells one fault from another
    std::string informe;  // the worker's standard error (tail) and what was seen
};

struct Respuesta {
    double ms = 0;
    unsigned long long monton = 0;
    long picoKb = 0;
    std::optional<Hallazgo> hallazgo;
    bool vivo = true;  // the worker takes the next file
};

class Trabajador {
public:
    Trabajador(std::string programa, LimitesTrabajador limites);
    ~Trabajador();
    // Starts the worker (with `aparte`, for one case with a start and an exit of its
    // own); the reason when it cannot.
    std::optional<std::string> Arrancar(bool aparte = false);
    // Gives it one case (its first word on the line: mutador.h's Palabra).
    Respuesta Abrir(const std::string& palabra, std::uint64_t semillaAcciones, const std::string& ruta, size_t tamano);
    // Ends it: a finding when it ends with a report (a leak found at the end).
    std::optional<Hallazgo> Terminar();

private:
    Hallazgo Caido(const std::string& que);
    std::string ErroresRecientes() const;

    std::string programa_;
    LimitesTrabajador limites_;
    testsupport::ChildProcess proceso_;
    size_t ficheros_ = 0;
    size_t mayor_ = 0;
    unsigned long long base_ = 0;
    bool crecimientoVisto_ = false;
};

// The key of a sanitizer report: its first line and the first frame in the program's
// own code, without addresses and process numbers; empty when the lines hold none.
std::string ClaveSanitizer(const std::vector<std::string>& lineas);

}  // namespace fuzz_ficheros
