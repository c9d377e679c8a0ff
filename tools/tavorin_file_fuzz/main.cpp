// tavorin_file_fuzz: opens mutated PGN, EPD and own game files (.tvp) in Tavorin's
// windows, offscreen, as a user would; starts and ends Tavorin with its own files
// (Default.ini, a language file, a skin picture, Puntuacion.dat) mutated or replaced by
// FIFOs, devices, folders, links and loops of links; runs its writers (a game saved in
// each format, the PGN browser's save, the chat log, the board picture, a ranking
// booking, the exit sequence, the Options, colours and level dialogs, a file-type
// registration) on a disk that fills at a random byte; starts and ends Tavorin in a
// program folder of an odd name with game files of odd names (mutador.h). It reports every
// distinct fault: sanitizer reports, crashes, a worker that stops answering (60 s on one
// case), a heap that grows from file to file, a wrong board while moving through a PGN
// game, the program wanting to end, a file that held good bytes and holds fewer or other
// ones though the program did not say it wrote it, a FIFO waited on, a device or FIFO
// replaced, a program that does not start or open its files in a folder of an odd name,
// an empty text, an INI, desktop or MIME file that is not one key a line, an exit
// slower than 10 s.
//
//   tavorin_file_fuzz [--files N] [--seconds S] [--jobs J] [--seed X] [--keep DIR]
//                     [--block B] [--stall S] [--growth MB] [--warmup N] [--verbose]
//   tavorin_file_fuzz --seed X --run R [--from F]   (case R alone, or cases F to R in
//                                                     one worker, as the long run had them)
//   tavorin_file_fuzz --seed X --print-run R        (the file of case R on standard output)
//
// Every case is made from the seed and its number (tools/tavorin_file_fuzz/mutador.h),
// so it replays alone. A worker takes B consecutive cases (100 by default) and is
// started afresh for the next block and after a fault; a case with a start and an exit
// of its own gets a worker for it alone. Its heap after
// a file may exceed the one after the first N files (--warmup, 10) by MB (--growth,
// 64) and eight times the biggest file given it. The first case
// that showed each fault is kept in DIR (NNN.<ext> with NNN.report beside it, which
// names the replay). Exit status 1 when a fault was found.
#include "ejecutor.h"
#include "mutador.h"
#include "trabajador.h"

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace fuzz_ficheros;

namespace {

struct Opciones {
    size_t ficheros = 200;
    double segundos = 1e9;
    unsigned trabajos = 1;
    std::uint64_t semilla = 1;
    std::string guardar;
    long imprimir = -1;
    long solo = -1;
    long desde = -1;
    size_t bloque = 100;
    bool detalles = false;
    LimitesTrabajador limites;
};

[[noreturn]] void Uso(const std::string& por) {
    std::fprintf(stderr,
                 "tavorin_file_fuzz: %s\nusage: tavorin_file_fuzz [--files N] [--seconds S] [--jobs J] [--seed X] "
                 "[--keep DIR] [--block B] [--stall S] [--growth MB] [--warmup N] [--verbose] | --seed X --run R "
                 "[--from F] | --seed X "
                 "--print-run R\n",
                 por.c_str());
    std::exit(2);
}

Opciones Leer(int argc, char** argv) {
    Opciones o;
    o.limites.supresiones = TAVORIN_FUZZ_SUPRESIONES;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--verbose") {
            o.detalles = true;
            continue;
        }
        if (i + 1 >= argc) Uso("missing value after " + a);
        const std::string v = argv[++i];
        try {
            if (a == "--files")
                o.ficheros = std::stoull(v);
            else if (a == "--seconds")
                o.segundos = std::stod(v);
            else if (a == "--jobs")
                o.trabajos = unsigned(std::max(1, std::stoi(v)));
            else if (a == "--seed")
                o.semilla = std::stoull(v);
            else if (a == "--keep")
                o.guardar = v;
            else if (a == "--print-run")
                o.imprimir = std::stol(v);
            else if (a == "--run")
                o.solo = std::stol(v);
            else if (a == "--from")
                o.desde = std::stol(v);
            else if (a == "--block")
                o.bloque = std::max<size_t>(1, std::stoull(v));
            else if (a == "--stall")
                o.limites.espera = std::chrono::milliseconds(long(std::stod(v) * 1000));
            else if (a == "--growth")
                o.limites.crecimiento = std::stoull(v) << 20;
            else if (a == "--warmup")
                o.limites.calentamiento = std::max<size_t>(1, std::stoull(v));
            else
                Uso("unknown option " + a);
        } catch (const std::logic_error&) {
            Uso("not a number after " + a + ": " + v);
        }
    }
    if (o.desde >= 0 && (o.solo < 0 || o.desde > o.solo)) Uso("--from needs --run at or after it");
    return o;
}

struct Registro {
    std::string clase;
    size_t veces = 0;
    size_t primerCaso = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--worker") == 0) return Trabajar(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    const Opciones opt = Leer(argc, argv);
    if (opt.imprimir >= 0) {
        const Caso c = HacerCaso(opt.semilla, size_t(opt.imprimir));
        std::fwrite(c.contenido.data(), 1, c.contenido.size(), stdout);
        std::fprintf(stderr, "case %ld: %s, %zu bytes; the worker's line: %s %llu <file>%s\n", opt.imprimir,
                     Extension(c.clase), c.contenido.size(), Palabra(c).c_str(),
                     static_cast<unsigned long long>(c.semillaAcciones), Aparte(c) ? " (a worker --alone)" : "");
        return 0;
    }
    const std::string programa = fs::read_symlink("/proc/self/exe").string();
    const fs::path raiz = fs::temp_directory_path() / ("tavorin_file_fuzz." + std::to_string(getpid()));
    fs::create_directories(raiz);
    if (!opt.guardar.empty()) fs::create_directories(opt.guardar);

    // The cases in blocks of consecutive numbers, one worker a block.
    const bool replay = opt.solo >= 0;
    const size_t primero = replay ? size_t(opt.desde >= 0 ? opt.desde : opt.solo) : 0;
    const size_t ultimo = replay ? size_t(opt.solo) : opt.ficheros - 1;
    const size_t bloque = replay ? ultimo - primero + 1 : opt.bloque;
    if (!replay && opt.ficheros == 0) return 0;

    std::atomic<size_t> siguiente{primero}, casos{0}, bytes{0};
    std::array<std::atomic<size_t>, kClases> porClase{};
    std::atomic<bool> sinTrabajador{false};
    std::mutex cerrojo;
    std::map<std::string, Registro> hallazgos;
    double masLento = 0;
    size_t casoMasLento = 0;
    unsigned long long montonMaximo = 0;
    long picoMaximo = 0;
    const auto inicio = std::chrono::steady_clock::now();
    auto transcurrido = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    };

    auto anotar = [&](const Hallazgo& h, size_t caso, size_t desde, const Caso& c) {
        std::lock_guard<std::mutex> guarda(cerrojo);
        Registro& r = hallazgos[h.clase + ": " + h.clave];
        if (r.veces++ > 0) return;
        r.clase = h.clase;
        r.primerCaso = caso;
        std::printf("finding %zu (%s) in case %zu (%s): %s\n", hallazgos.size(), h.clase.c_str(), caso,
                    Extension(c.clase), h.clave.c_str());
        std::fflush(stdout);
        if (opt.guardar.empty()) return;
        const std::string base = opt.guardar + "/" + std::to_string(hallazgos.size());
        std::ofstream(base + "." + Extension(c.clase), std::ios::binary) << c.contenido;
        std::ofstream informe(base + ".report");
        informe << h.clase << ": " << h.clave << "\nseed " << opt.semilla << " case " << caso << " ("
                << Extension(c.clase) << ", " << c.contenido.size() << " bytes)\n"
                << "replay: tavorin_file_fuzz --seed " << opt.semilla << " --run " << caso;
        if (desde < caso) informe << "   (with the cases this worker had before it: --from " << desde << ")";
        informe << "\n\n" << h.informe << "\n";
    };

    auto trabajo = [&](unsigned numero) {
        const fs::path carpeta = raiz / ("trabajo" + std::to_string(numero));
        fs::create_directories(carpeta);
        for (;;) {
            if (transcurrido() >= opt.segundos || sinTrabajador) return;
            const size_t desdeBloque = siguiente.fetch_add(bloque);
            if (desdeBloque > ultimo) return;
            const size_t hastaBloque = std::min(ultimo, desdeBloque + bloque - 1);
            std::unique_ptr<Trabajador> t;
            size_t arranque = desdeBloque, hecho = desdeBloque;
            for (size_t n = desdeBloque; n <= hastaBloque; ++n) {
                if (transcurrido() >= opt.segundos) break;
                if (!t) {
                    t = std::make_unique<Trabajador>(programa, opt.limites);
                    if (auto error = t->Arrancar()) {
                        std::fprintf(stderr, "tavorin_file_fuzz: %s\n", error->c_str());
                        sinTrabajador = true;
                        return;
                    }
                    arranque = n;
                }
                const Caso c = HacerCaso(opt.semilla, n);
                const fs::path ruta = carpeta / ("caso" + std::to_string(n) + "." + Extension(c.clase));
                std::ofstream(ruta, std::ios::binary) << c.contenido;
                Respuesta r;
                if (Aparte(c)) {
                    // A start and an exit of its own: a worker for it alone, its leaks its own.
                    Trabajador solo(programa, opt.limites);
                    if (auto error = solo.Arrancar(true)) {
                        std::fprintf(stderr, "tavorin_file_fuzz: %s\n", error->c_str());
                        sinTrabajador = true;
                        return;
                    }
                    r = solo.Abrir(Palabra(c), c.semillaAcciones, ruta.string(), c.contenido.size());
                    if (r.vivo && !r.hallazgo) r.hallazgo = solo.Terminar();
                    r.vivo = true;
                } else {
                    r = t->Abrir(Palabra(c), c.semillaAcciones, ruta.string(), c.contenido.size());
                }
                hecho = n;
                fs::remove(ruta);
                ++casos;
                ++porClase[size_t(c.clase)];
                bytes += c.contenido.size();
                {
                    std::lock_guard<std::mutex> guarda(cerrojo);
                    if (r.ms > masLento) {
                        masLento = r.ms;
                        casoMasLento = n;
                    }
                    montonMaximo = std::max(montonMaximo, r.monton);
                    picoMaximo = std::max(picoMaximo, r.picoKb);
                    if (opt.detalles)
                        std::printf("case %zu: %s, %zu bytes, %.1f ms, heap %llu MB\n", n, Extension(c.clase),
                                    c.contenido.size(), r.ms, r.monton >> 20);
                }
                if (r.hallazgo) anotar(*r.hallazgo, n, arranque, c);
                if (!r.vivo) t.reset();
            }
            // A leak report comes when the worker ends: the last case it took names it.
            if (t) {
                if (auto h = t->Terminar()) anotar(*h, hecho, arranque, HacerCaso(opt.semilla, hecho));
            }
        }
    };
    std::vector<std::thread> hilos;
    for (unsigned j = 0; j < (replay ? 1u : opt.trabajos); ++j) hilos.emplace_back(trabajo, j);
    for (auto& h : hilos) h.join();
    std::error_code ec;
    fs::remove_all(raiz, ec);
    if (sinTrabajador) return 2;

    size_t total = 0;
    for (const auto& [clave, r] : hallazgos) total += r.veces;
    std::string clases;
    for (int k = 0; k < kClases; ++k)
        clases += (k ? ", " : "") + std::to_string(porClase[size_t(k)].load()) + " " + Extension(Clase(k));
    std::printf("%zu cases (%s), %.1f MB of files, %.1f s, %zu findings (%zu distinct)\n", casos.load(), clases.c_str(),
                double(bytes.load()) / 1048576.0, transcurrido(), total, hallazgos.size());
    std::printf("slowest case %zu: %.0f ms; heap at most %llu MB after a case; worker peak %ld MB\n", casoMasLento,
                masLento, montonMaximo >> 20, picoMaximo >> 10);
    for (const auto& [clave, r] : hallazgos)
        std::printf("  %zux %s (first in case %zu)\n", r.veces, clave.c_str(), r.primerCaso);
    return hallazgos.empty() ? 0 : 1;
}
