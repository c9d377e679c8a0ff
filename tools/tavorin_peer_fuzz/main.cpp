// tavorin_peer_fuzz: a hostile peer for Tavorin. Runs made by the grammar (gramatica.h)
// go through the real receive path of the program, offscreen, in this process
// (ejecucion.h), and every distinct fault is reported.
//
//   tavorin_peer_fuzz [--runs N] [--seconds S] [--seed X] [--first R] [--keep DIR]
//   tavorin_peer_fuzz --seed X --run R [--keep DIR]      (run R alone, as a long run made it)
//   tavorin_peer_fuzz --seed X --print-run R             (the steps of run R)
//   tavorin_peer_fuzz --seed X --run R --trace           (run R, each message and step told)
//   tavorin_peer_fuzz --copies --program DIR [--faults] [--runs N] [--seconds S] [--seed X] [--first R]
//                     [--verbose]                        (two real copies linked over sockets: copias.h;
//                                                        with the link cut, lost and a copy stopped)
//   tavorin_peer_fuzz --copies --program DIR --case NAME [--run V]   (a scripted check; "list" names them)
//
// Runs R, R+1, ... are made from the seed alone, so each can be replayed by itself.
// It stops after N runs or S seconds. A sanitizer report or a crash ends the process
// after a line that names the run; a loop that stands still for --stall seconds (60)
// does too. Memory that grows by more than --memory MB (64) from the fifth run on is a
// finding. With --keep, the steps of the first run of each finding are kept in DIR.
// Exit status 1 when something was found.
#include "copias.h"
#include "ejecucion.h"
#include "entorno.h"
#include "gramatica.h"

#include "app/Variables.h"

#include <QApplication>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

struct Opciones {
    long ejecuciones = 100;
    double segundos = 1e12;
    std::uint64_t semilla = 1;
    long primera = 0;
    long sola = -1;
    long imprimir = -1;
    double espera = 60;
    long memoriaMb = 64;
    bool detalle = false;
    bool traza = false;
    std::string guardar;
    bool copias = false;
    bool fallos = false;
    std::string programa, caso;
};

[[noreturn]] void Uso(const std::string& por) {
    std::fprintf(stderr,
                 "tavorin_peer_fuzz: %s\nusage: tavorin_peer_fuzz [--runs N] [--seconds S] [--seed X] [--first R] "
                 "[--run R] [--print-run R] [--stall S] [--memory MB] [--keep DIR] [--verbose] [--trace]\n"
                 "       tavorin_peer_fuzz --copies --program DIR [--faults] [--case NAME] [--runs N] [--seconds S] "
                 "[--seed X] [--first R] [--verbose]\n",
                 por.c_str());
    std::exit(2);
}

Opciones Leer(int argc, char** argv) {
    Opciones o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--verbose" || a == "--trace") {
            o.detalle = true;
            o.traza = o.traza || a == "--trace";
            continue;
        }
        if (a == "--copies" || a == "--faults") {
            o.copias = o.copias || a == "--copies";
            o.fallos = o.fallos || a == "--faults";
            continue;
        }
        if (i + 1 >= argc) Uso("missing value after " + a);
        const std::string v = argv[++i];
        if (a == "--runs")
            o.ejecuciones = std::stol(v);
        else if (a == "--seconds")
            o.segundos = std::stod(v);
        else if (a == "--seed")
            o.semilla = std::stoull(v);
        else if (a == "--first")
            o.primera = std::stol(v);
        else if (a == "--run")
            o.sola = std::stol(v);
        else if (a == "--print-run")
            o.imprimir = std::stol(v);
        else if (a == "--stall")
            o.espera = std::stod(v);
        else if (a == "--memory")
            o.memoriaMb = std::stol(v);
        else if (a == "--keep")
            o.guardar = v;
        else if (a == "--program")
            o.programa = v;
        else if (a == "--case")
            o.caso = v;
        else
            Uso("unknown option " + a);
    }
    return o;
}

// The line a crash or a sanitizer report ends with: which run to replay.
char g_ultimas[256] = "";
std::atomic<long> g_ejecucion{-1};

void Escribir(const char* texto) {
    const ssize_t n = ::write(2, texto, std::strlen(texto));
    (void)n;
}

#if defined(__SANITIZE_ADDRESS__)
void AlMorir() { Escribir(g_ultimas); }
#endif

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// Text in every script that a peer may send makes Qt ask fontconfig for fallback
// fonts, whose patterns fontconfig keeps to the end by design.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

namespace {

void Senal(int s) {
    Escribir(g_ultimas);
    std::signal(s, SIG_DFL);
    std::raise(s);
}

}  // namespace

int main(int argc, char** argv) {
    const Opciones o = Leer(argc, argv);
    if (o.copias) {
        if (o.programa.empty()) Uso("--copies needs --program");
        // Before any thread: a network of its own keeps the fixed ports of the copies
        // apart from every other program's.
        const bool propia = peerfuzz::RedPropia();
        peerfuzz::OpcionesCopias c;
        c.programa = o.programa;
        c.ejecuciones = o.sola >= 0 ? 1 : o.ejecuciones;
        c.primera = o.sola >= 0 ? o.sola : o.primera;
        c.semilla = o.semilla;
        c.segundos = o.segundos;
        c.detalle = o.detalle;
        c.fallos = o.fallos;
        c.caso = o.caso;
        return peerfuzz::EjecutarCopias(c, propia);
    }
    if (o.imprimir >= 0) {
        auto azar = peerfuzz::Azar(o.semilla, std::uint64_t(o.imprimir));
        std::fputs(peerfuzz::Texto(peerfuzz::Generar(azar)).c_str(), stdout);
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    IniciarRecursos();
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(AlMorir);
#endif
    for (int s : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL}) std::signal(s, Senal);
    if (!o.guardar.empty()) std::filesystem::create_directories(o.guardar);

    peerfuzz::Banco banco;
    banco.traza = o.traza;
    // A loop that stands still is a finding of its own: nothing else would end it.
    std::thread([espera = o.espera] {
        std::size_t visto = peerfuzz::Banco::Latido();
        auto desde = std::chrono::steady_clock::now();
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const std::size_t ahora = peerfuzz::Banco::Latido();
            if (ahora != visto) {
                visto = ahora;
                desde = std::chrono::steady_clock::now();
                continue;
            }
            if (std::chrono::steady_clock::now() - desde < std::chrono::duration<double>(espera)) continue;
            char linea[300];
            std::snprintf(linea, sizeof linea, "finding (stops answering): run %ld stood still for %.0f s\n",
                          g_ejecucion.load(), espera);
            Escribir(linea);
            Escribir(g_ultimas);
            std::_Exit(3);
        }
    }).detach();

    const auto inicio = std::chrono::steady_clock::now();
    auto transcurrido = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    };
    std::map<std::string, long> vistos;  // finding kinds, and the first run of each
    long ejecuciones = 0;
    std::size_t mensajes = 0, base = 0;
    const long primera = o.sola >= 0 ? o.sola : o.primera;
    const long ultima = o.sola >= 0 ? o.sola + 1 : o.primera + o.ejecuciones;
    for (long n = primera; n < ultima && transcurrido() < o.segundos; ++n) {
        g_ejecucion = n;
        std::snprintf(g_ultimas, sizeof g_ultimas,
                      "finding (crash or sanitizer report) in run %ld: replay with --seed %llu --run %ld\n", n,
                      static_cast<unsigned long long>(o.semilla), n);
        auto azar = peerfuzz::Azar(o.semilla, std::uint64_t(n));
        const peerfuzz::Ejecucion e = peerfuzz::Generar(azar);
        std::vector<peerfuzz::Hallazgo> hallazgos = banco.Ejecutar(e, azar);
        ++ejecuciones;
        mensajes += e.mensajes;
        if (o.detalle)
            std::printf("run %ld: %s, %zu steps, %zu messages, %zu findings\n", n, peerfuzz::Nombre(e.estado),
                        e.pasos.size(), e.mensajes, hallazgos.size());
        // Memory: what the program holds once a run has settled, against the fifth run.
        const std::size_t memoria = MemoriaViva();
        if (ejecuciones == 5) base = memoria;
        if (ejecuciones > 5 && memoria > base + std::size_t(o.memoriaMb) * 1024 * 1024)
            hallazgos.push_back({"memory grows", std::to_string((memoria - base) >> 20) + " MB more than after run " +
                                                     std::to_string(primera + 4)});
        for (const auto& h : hallazgos) {
            if (vistos.count(h.tipo)) continue;
            vistos[h.tipo] = n;
            std::printf("finding %zu (%s) in run %ld: %s\n", vistos.size(), h.tipo.c_str(), n, h.detalle.c_str());
            std::fflush(stdout);
            if (!o.guardar.empty()) {
                const std::string base = o.guardar + "/" + std::to_string(vistos.size());
                std::ofstream(base + ".run") << peerfuzz::Texto(e);
                std::ofstream(base + ".report") << h.tipo << "\nrun " << n << " of seed " << o.semilla << "\n"
                                                << h.detalle << "\n";
            }
        }
    }
    std::snprintf(g_ultimas, sizeof g_ultimas, "finding (crash or sanitizer report) after the last run\n");
    std::printf("seed %llu: %ld runs, %zu messages sent, %zu taken by the dispatcher, %zu findings, %.1f s\n",
                static_cast<unsigned long long>(o.semilla), ejecuciones, mensajes, banco.Despachados(), vistos.size(),
                transcurrido());
    return vistos.empty() ? 0 : 1;
}
